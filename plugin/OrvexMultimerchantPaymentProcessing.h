#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "BasicPaymentProcessing.h"

class QProcess;
class QTextCodec;

namespace Log4Qt {
class Logger;
}

// Card payments of a multi-merchant terminal: every host request runs the
// program "velrun" once in the processing directory and turns its output lines
// and the cheque file it leaves behind into the host's answer.
class OrvexMultimerchantPaymentProcessing : public QObject, public BasicPaymentProcessing {
    Q_OBJECT
    Q_INTERFACES(AbstractPaymentProcessing)

public:
    using Parameters = QMap<QString, QVariant>;

    OrvexMultimerchantPaymentProcessing();

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

    // Runs velrun with the command code and the parameters as its options.
    PaymentProcessingAnswer execute(const Parameters& parameters, int command) const;
    // Cancellation (command 4); when the terminal answers 202 the operation is
    // run again as a refund (command 3) and that answer is returned.
    PaymentProcessingAnswer cancelOrReturn(const Parameters& parameters) const;

private:
    void readConfiguration();
    Parameters refundParameters(const PaymentProcessingRequest& request) const;
    QString chequePath() const;
    int waitMilliseconds() const;
    PaymentProcessingAnswer timedOut(QProcess& process) const;
    PaymentProcessingAnswer notStarted() const;
    PaymentProcessingAnswer refused(QProcess& process) const;
    // chequeWritten: the cheque file exists and changed while velrun ran.
    PaymentProcessingAnswer completed(QProcess& process, bool chequeWritten) const;
    Parameters parseOutput(const QByteArray& output) const;
    QString decodeValue(const QByteArray& value) const;
    QStringList readSlip() const;
    void reportLeftCheque() const;

    Log4Qt::Logger* logger;
    int timeout;
    QTextCodec* codec;
    QString currency;
};
