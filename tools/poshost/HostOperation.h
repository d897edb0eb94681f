#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "AbstractPaymentProcessing.h"

// One host operation as named on poshost's command line, with the request
// fields and the extra argument it takes.
struct HostOperation {
    QString name;
    PaymentProcessingRequest request;
    QString merchantId;
    int number = 0;

    // The operation names poshost understands.
    static QStringList names();
    // Runs the operation on the processing; empty when the name is unknown.
    std::optional<PaymentProcessingAnswer> run(AbstractPaymentProcessing& processing) const;
};
