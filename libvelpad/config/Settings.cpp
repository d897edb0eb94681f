#include "config/Settings.h"

#include <cerrno>
#include <fstream>

#include "ri/Conv.h"
#include "ri/File.h"
#include "ri/IniLine.h"
#include "ri/Trace.h"

unsigned int GetLastError() {
    return static_cast<unsigned int>(errno);
}

Settings::Settings(ri::Trace* trace) : trace_(trace != nullptr ? trace : ri::Trace::Get()) {}

void Settings::MakePair(const std::string& /*key*/, const std::string& /*value*/) {}

int Settings::SetFile(const std::string& path) {
    file_ = path;
    trace_->Debug("Parse file: %s", path.c_str());
    // A directory opens for reading too but yields no lines; it is no file.
    std::ifstream in;
    if (!ri::File::IsFolderExist(path) && !path.empty()) in.open(path, std::ios::binary);
    if (!in.is_open()) {
        trace_->Error("file not exist: [%s] [%ld]", path.c_str(),
                      static_cast<long>(GetLastError()));
        return -1;
    }
    std::string line;
    while (std::getline(in, line)) {
        const ri::IniLine read = ri::IniLine::Read(line, false);
        if (read.kind == ri::IniLine::kBare) MakePair(read.key, "1");
        if (read.kind == ri::IniLine::kEntry) MakePair(ri::Conv::Upper(read.key), read.value);
    }
    return 0;
}
