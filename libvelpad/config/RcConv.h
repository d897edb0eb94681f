#pragma once

#include <map>
#include <string>
#include <vector>

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
    // Whether a line FROM=TO would turn a failure of the register's own
    // (999, no result from the pinpad, or any code below zero) into success.
    // Such a line is skipped: a lost link must never read as an approval.
    static bool HidesFailure(long from, long to) { return to == 0 && (from == 999 || from < 0); }
    // The skipped lines, as "FROM=TO", in the order they were read.
    const std::vector<std::string>& Skipped() const { return skipped_; }

private:
    std::map<int, int> codes_;
    std::vector<std::string> skipped_;
};
