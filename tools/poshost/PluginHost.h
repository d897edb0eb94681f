#pragma once

#include <QString>
#include <memory>

#include "AbstractPaymentProcessing.h"

// Loads a payment plug-in file and obtains one processing object from its
// factory, as the POS application does.
class PluginHost {
public:
    // False with a reason in error() when the file cannot be loaded, is not a
    // payment plug-in, or its factory gives no object.
    bool load(const QString& path);

    AbstractPaymentProcessing* processing() const { return m_processing.get(); }
    const QString& error() const { return m_error; }

private:
    bool fail(const QString& reason);

    std::unique_ptr<AbstractPaymentProcessing> m_processing;
    QString m_error;
};
