#pragma once

#include <map>
#include <string>

#include "config/Settings.h"

// Result-code texts (rc_res.ini): CODE=text lines, CODE up to 9 digits; the
// text is everything after the first "=", byte for byte in the file's
// character set. Other lines are ignored; a code read again replaces the
// earlier line.
class RcResult : public Settings {
public:
    explicit RcResult(ri::Trace* trace = nullptr);

    void MakePair(const std::string& key, const std::string& value) override;
    bool IsExist(int code) const;
    // The text of code, or fallback when the table has none.
    std::string Get(int code, const std::string& fallback) const;

private:
    std::map<int, std::string> texts_;
};
