#include "config/Settings.h"

#include <cerrno>

#include "config/SettingsFiles.h"
#include "ri/Trace.h"

unsigned int GetLastError() {
    return static_cast<unsigned int>(errno);
}

Settings::Settings(ri::Trace* trace) : trace_(trace != nullptr ? trace : ri::Trace::Get()) {}

void Settings::MakePair(const std::string& /*key*/, const std::string& /*value*/) {}

int Settings::SetFile(const std::string& path) {
    file_ = path;
    trace_->Debug("Parse file: %s", path.c_str());
    const std::shared_ptr<const SettingsFiles::Pairs> pairs = SettingsFiles::Read(path);
    if (!pairs) {
        trace_->Error("file not exist: [%s] [%ld]", path.c_str(),
                      static_cast<long>(GetLastError()));
        return -1;
    }
    for (const auto& [key, value] : *pairs) MakePair(key, value);
    return 0;
}
