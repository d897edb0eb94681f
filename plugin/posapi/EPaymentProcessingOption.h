#pragma once

// Capabilities a processing announces to the host; the values are bit flags
// fixed by the host.
struct EPaymentProcessingOption {
    enum Option {
        ReportByMerchantId = 8,
        SlipInAnswer = 8192,
        QRCodeOnPinPad = 524288,
    };
};
