#pragma once

#include <QString>

#include "log4qt/logger.h"

namespace Log4Qt {

class LogManager {
public:
    // The logger of that name, created on first use; it lives until the end
    // of the process.
    static Logger* logger(const QString& name);
};

}  // namespace Log4Qt
