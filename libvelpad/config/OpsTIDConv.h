#pragma once

#include <map>
#include <string>

#include "config/Settings.h"

// A terminal-id conversion table: TERMINALID=value lines, looked up by the
// upper-cased terminal id. One such table picks the operation file per
// terminal (OPS_CONV_INI_FILE), another replaces the terminal id itself
// (TID_CONV_INI_FILE).
class OpsTIDConv : public Settings {
public:
    explicit OpsTIDConv(ri::Trace* trace = nullptr);

    // Stores value under the upper-cased key; the last value of a key wins.
    void MakePair(const std::string& key, const std::string& value) override;
    bool IsExist(const std::string& key) const;
    // The value of the upper-cased key; an absent key is added, empty.
    std::string& operator[](const std::string& key);

private:
    std::map<std::string, std::string> values_;
};
