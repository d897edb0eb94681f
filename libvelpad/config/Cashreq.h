#pragma once

#include <map>
#include <string>

#include "config/Settings.h"

// The engine's settings (cashreg.ini): upper-case keys to text values. A new
// table holds the built-in defaults; the file's lines and the engine's own
// MakePair calls replace them. A key counts as present (IsExist) when it is
// set to anything but "0", an empty value included.
class Cashreq : public Settings {
public:
    explicit Cashreq(ri::Trace* trace = nullptr);

    // Stores value under the upper-cased key; the last value of a key wins.
    void MakePair(const std::string& key, const std::string& value) override;

    // Exact key (not upper-cased) present with a value other than "0".
    bool IsExist(const std::string& key) const;
    // The value of the upper-cased key; an absent key is added, empty.
    std::string& operator[](const std::string& key);
    // The value as by operator[] read as a decimal number; 0 when empty.
    int GetInt(const std::string& key);
    long GetLong(const std::string& key);
    char GetChar(const std::string& key);
    // Removes the exact key (not upper-cased).
    void Delete(const std::string& key);
    // The value of the exact key, empty when absent; never adds the key.
    std::string Find(const std::string& key) const {
        auto it = values_.find(key);
        return it == values_.end() ? std::string() : it->second;
    }

private:
    std::map<std::string, std::string> values_;
};
