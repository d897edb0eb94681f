#include "log4qt/logmanager.h"

#include <QMutex>
#include <QMutexLocker>
#include <map>
#include <memory>

namespace Log4Qt {

Logger* LogManager::logger(const QString& name) {
    static QMutex mutex;
    static std::map<QString, std::unique_ptr<Logger>> loggers;
    QMutexLocker lock(&mutex);
    std::unique_ptr<Logger>& slot = loggers[name];
    if (!slot) slot = std::make_unique<Logger>(name);
    return slot.get();
}

}  // namespace Log4Qt
