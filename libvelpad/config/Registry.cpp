#include "config/Registry.h"

#include "ri/File.h"
#include "ri/INI.h"

Registry::Registry(const std::string& base)
    : base_(base.empty() || base[0] == '/' ? base : ri::File::Under(ri::File::GetDir(), base)) {
    ri::INI::IniPath("cashreg.ini", &iniPath_, base_);
    dlgLibPath_ = iniPath_;
    workPath_ = iniPath_;
    exchangePath_ = iniPath_;
}

std::string Registry::Resolve(const std::string& path) const {
    return ri::File::Under(base_, path);
}
