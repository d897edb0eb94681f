#pragma once

#include <QObject>
#include <QString>

#include "EPaymentProcessingOption.h"
#include "PaymentProcessingAnswer.h"
#include "PaymentProcessingRequest.h"

// The host's payment-processing interface. A processing plug-in hands the host
// an object of this interface through its factory's getObject.
class AbstractPaymentProcessing {
public:
    virtual ~AbstractPaymentProcessing() = default;

    virtual bool isPaymentEnable(PaymentProcessingRequest::Type type) const = 0;
    virtual bool isCancelEnable(PaymentProcessingRequest::Type type) const = 0;
    virtual PaymentProcessingAnswer payment(const PaymentProcessingRequest& request) = 0;
    virtual PaymentProcessingAnswer cancel(const PaymentProcessingRequest& request) = 0;
    virtual PaymentProcessingAnswer checkTotals(int number) = 0;
    virtual PaymentProcessingAnswer printCopy(int number) = 0;
    virtual PaymentProcessingAnswer printReport() = 0;
    virtual PaymentProcessingAnswer printReportByMerchantId(const QString& merchantId) = 0;
    virtual PaymentProcessingAnswer printShortReport() = 0;
    virtual PaymentProcessingAnswer paymentByQRCodeOnPinPad(
        const PaymentProcessingRequest& request) = 0;
    virtual PaymentProcessingAnswer cancelByQRCodeOnPinPad(
        const PaymentProcessingRequest& request) = 0;
    virtual void setProcessingDirectory(const QString& directory) = 0;

    virtual bool init() = 0;
    virtual PaymentProcessingAnswer change(const PaymentProcessingRequest& request) = 0;
    virtual PaymentProcessingAnswer checkTotalsByMerchantId(const QString& merchantId) = 0;
    virtual PaymentProcessingAnswer balance(const PaymentProcessingRequest& request) = 0;
    virtual PaymentProcessingAnswer discountCard(const PaymentProcessingRequest& request) = 0;
    virtual PaymentProcessingAnswer loyaltyCards(const PaymentProcessingRequest& request) = 0;
    virtual bool checkOption(EPaymentProcessingOption::Option option) const = 0;
    virtual void setOption(EPaymentProcessingOption::Option option, bool enabled) = 0;
    virtual void cancelCardRequest() = 0;
    virtual PaymentProcessingAnswer testConnection() = 0;
    virtual PaymentProcessingAnswer demandPinCode(const PaymentProcessingRequest& request) = 0;
    virtual PaymentProcessingAnswer demandQRCode(const PaymentProcessingRequest& request) = 0;
    virtual PaymentProcessingAnswer paymentByBiometry(const PaymentProcessingRequest& request) = 0;
    virtual PaymentProcessingAnswer paymentWithCashAdvance(
        const PaymentProcessingRequest& request) = 0;
    virtual bool interruptPayment() = 0;
    virtual QString getHashedCardNumber() const = 0;
    virtual bool sendEnqueuedMessage() = 0;
};

Q_DECLARE_INTERFACE(AbstractPaymentProcessing, "BrivanePaymentProcessing/1.0")
