#include "config/Registry.h"

#include "ri/INI.h"

Registry::Registry() {
    ri::INI::IniPath("cashreg.ini", &iniPath_);
    dlgLibPath_ = iniPath_;
    workPath_ = iniPath_;
    exchangePath_ = iniPath_;
}
