#pragma once

#include <QString>
#include <QStringList>

#include "Tr.h"

// The answer of a payment-processing operation. A default answer is a failure
// without a message.
struct PaymentProcessingAnswer {
    int code = 0;
    int error = 1;  // 1: the operation failed, 0: it succeeded
    tr::Tr message;
    QStringList slips;
    QString cardType;
    QString cardNumber;
    QString authorizationCode;
    QString rrn;
    QString terminalId;

    // A failed answer carrying only a message.
    static PaymentProcessingAnswer failure(const tr::Tr& message);
};
