#include "config/Settings.h"

#include <cerrno>
#include <fstream>

#include "ri/Conv.h"
#include "ri/File.h"
#include "ri/Trace.h"

unsigned int GetLastError() {
    return static_cast<unsigned int>(errno);
}

Settings::Settings(ri::Trace* trace) : trace_(trace != nullptr ? trace : ri::Trace::Get()) {}

void Settings::MakePair(const std::string& /*key*/, const std::string& /*value*/) {}

int Settings::SetFile(const std::string& path) {
    trace_->Debug("Parse file: %s", path.c_str());
    // A directory opens for reading too but yields no lines; it is no file.
    if (!ri::File::Exists(path) || ri::File::IsFolderExist(path)) {
        trace_->Error("file not exist: [%s] [%ld]", path.c_str(),
                      static_cast<long>(GetLastError()));
        return -1;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        trace_->Error("file not open: %ld", static_cast<long>(GetLastError()));
        return -1;
    }
    std::string line;
    while (std::getline(in, line)) {
        ReadLine(line);
    }
    return 0;
}

void Settings::ReadLine(const std::string& raw) {
    const std::string line = ri::Trim::BothSide(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';') {
        return;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
        MakePair(line, "1");
        return;
    }
    MakePair(ri::Conv::Upper(line.substr(0, equals)), line.substr(equals + 1));
}
