#pragma once

#include <QString>
#include <QtGlobal>

// One request of the host to its payment processing.
struct PaymentProcessingRequest {
    enum Type {
        Undefined = 0,
        Payment = 1,
        Cancel = 2,
        Return = 3,
    };

    Type type = Undefined;
    qint64 amount = 0;      // in minor units of the currency
    QString terminalId;     // terminal (merchant) that should run the operation
    QString receiptNumber;  // receipt number of an earlier operation
    QString rrn;            // reference of an earlier operation
};
