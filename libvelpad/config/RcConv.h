#pragma once

#include <map>

#include "config/Settings.h"

// Result-code conversion (rc_conv.ini): FROM=TO lines, both sides up to 9
// digits, turn the pinpad's result code into the register's numbering. Other
// lines are ignored; a code read again replaces the earlier line.
class RcConv : public Settings {
public:
    explicit RcConv(ri::Trace* trace = nullptr);

    void MakePair(const std::string& key, const std::string& value) override;
    // The converted code, or code itself when the table has none.
    int operator[](int code) const;

private:
    std::map<int, int> codes_;
};
