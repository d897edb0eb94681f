#include "log4qt/logger.h"

namespace Log4Qt {

Logger::Logger(const QString& name) : m_name(name.toUtf8()), m_category(m_name.constData()) {}

void Logger::info(const QString& message) const {
    if (m_category.isInfoEnabled())
        QMessageLogger().info(m_category, "%s", message.toUtf8().constData());
}

void Logger::error(const QString& message) const {
    if (m_category.isCriticalEnabled())
        QMessageLogger().critical(m_category, "%s", message.toUtf8().constData());
}

}  // namespace Log4Qt
