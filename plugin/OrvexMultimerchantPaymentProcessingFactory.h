#pragma once

#include <QObject>

#include "AbstractPaymentProcessing.h"

// Entry object of the plug-in: the host loads the plug-in, checks its IID and
// asks this factory for a processing object.
class OrvexMultimerchantPaymentProcessingFactory : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "OrvexMultimerchantPaymentProcessingRegisterFactory")

public:
    // A new processing object without parent; the host owns it.
    Q_INVOKABLE AbstractPaymentProcessing* getObject();
};
