#include "engine/EngineSettings.h"

#include "ri/Conv.h"

long EngineSettings::Number(const std::string& key) const {
    return ri::Conv::String::ToInt(Setting(key));
}
