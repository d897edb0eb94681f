#ifndef VELPAD_ENGINE_ENGINESETTINGS_H
#define VELPAD_ENGINE_ENGINESETTINGS_H

#include <string>

#include "config/Cashreq.h"
#include "config/Operations.h"
#include "config/RcConv.h"
#include "config/RcResult.h"
#include "config/Registry.h"

namespace ri {
class Trace;
}

// The engine's settings and tables, read once when the engine is made and
// shared by every way of serving a pinpad: the settings ("cashreg.ini"
// overlaid with the caller's parameters), the directories, the result-code
// resolution and conversion tables and the operation table.
class EngineSettings {
public:
    // The directories are looked up from settingsDir (Registry), from the
    // working directory when it is empty.
    EngineSettings(ri::Trace* trace, const std::string& settingsDir)
        : settings(trace), registry(settingsDir) {}

    // The value of a key, empty when absent; no key is ever added.
    std::string Setting(const std::string& key) const { return settings.Find(key); }
    // The value of a key read as a number.
    long Number(const std::string& key) const;
    bool Has(const std::string& key) const { return settings.IsExist(key); }

    Cashreq settings;
    Registry registry;
    RcResult rcResult;
    RcConv rcConv;
    Operations operations;
};

#endif
