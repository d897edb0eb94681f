#pragma once

#include "AbstractPaymentProcessing.h"

// The host's default processing: announces no capability, supports no
// operation, and keeps the processing directory for the derived plug-in.
class BasicPaymentProcessing : public AbstractPaymentProcessing {
public:
    BasicPaymentProcessing() = default;
    ~BasicPaymentProcessing() override = default;

    bool isPaymentEnable(PaymentProcessingRequest::Type type) const override;
    bool isCancelEnable(PaymentProcessingRequest::Type type) const override;
    PaymentProcessingAnswer payment(const PaymentProcessingRequest& request) override;
    PaymentProcessingAnswer cancel(const PaymentProcessingRequest& request) override;
    PaymentProcessingAnswer checkTotals(int number) override;
    PaymentProcessingAnswer printCopy(int number) override;
    PaymentProcessingAnswer printReport() override;
    PaymentProcessingAnswer printReportByMerchantId(const QString& merchantId) override;
    PaymentProcessingAnswer printShortReport() override;
    PaymentProcessingAnswer paymentByQRCodeOnPinPad(
        const PaymentProcessingRequest& request) override;
    PaymentProcessingAnswer cancelByQRCodeOnPinPad(
        const PaymentProcessingRequest& request) override;
    void setProcessingDirectory(const QString& directory) override;

    bool init() override;
    PaymentProcessingAnswer change(const PaymentProcessingRequest& request) override;
    PaymentProcessingAnswer checkTotalsByMerchantId(const QString& merchantId) override;
    PaymentProcessingAnswer balance(const PaymentProcessingRequest& request) override;
    PaymentProcessingAnswer discountCard(const PaymentProcessingRequest& request) override;
    PaymentProcessingAnswer loyaltyCards(const PaymentProcessingRequest& request) override;
    bool checkOption(EPaymentProcessingOption::Option option) const override;
    void setOption(EPaymentProcessingOption::Option option, bool enabled) override;
    void cancelCardRequest() override;
    PaymentProcessingAnswer testConnection() override;
    PaymentProcessingAnswer demandPinCode(const PaymentProcessingRequest& request) override;
    PaymentProcessingAnswer demandQRCode(const PaymentProcessingRequest& request) override;
    PaymentProcessingAnswer paymentByBiometry(const PaymentProcessingRequest& request) override;
    PaymentProcessingAnswer paymentWithCashAdvance(
        const PaymentProcessingRequest& request) override;
    bool interruptPayment() override;
    QString getHashedCardNumber() const override;
    bool sendEnqueuedMessage() override;

    const QString& processingDirectory() const { return m_processingDirectory; }

protected:
    QString m_processingDirectory;

private:
    static PaymentProcessingAnswer notSupported();

    unsigned m_options = 0;
};
