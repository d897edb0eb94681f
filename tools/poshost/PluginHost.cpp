#include "PluginHost.h"

#include <QJsonObject>
#include <QMetaObject>
#include <QPluginLoader>

namespace {
const char kFactoryIid[] = "OrvexMultimerchantPaymentProcessingRegisterFactory";
}

bool PluginHost::fail(const QString& reason) {
    m_error = reason;
    return false;
}

bool PluginHost::load(const QString& path) {
    QPluginLoader loader(path);
    const QString iid = loader.metaData().value("IID").toString();
    if (iid != kFactoryIid) return fail("not a payment plug-in (IID '" + iid + "'): " + path);
    QObject* factory = loader.instance();
    if (!factory) return fail(loader.errorString());
    AbstractPaymentProcessing* object = nullptr;
    if (!QMetaObject::invokeMethod(factory, "getObject", Qt::DirectConnection,
                                   Q_RETURN_ARG(AbstractPaymentProcessing*, object)))
        return fail("the plug-in's factory has no getObject");
    if (!object) return fail("the plug-in's factory gave no processing object");
    m_processing.reset(object);
    return true;
}
