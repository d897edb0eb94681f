#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vpinpad {

// Splits one scenario line into arguments, shell-like: blanks separate arguments, double
// quotes keep blanks and allow empty arguments, "#" at the start of an argument begins a
// comment. Byte escapes work inside and outside quotes: \xNN, \e (ESC), \n, \r, \t, \0,
// \\, \" and \$. ${NAME} is replaced by a variable's value, ${NAME:-TEXT} falls back to TEXT
// when the variable is not set. Errors are thrown as std::invalid_argument.
class LineTokenizer {
public:
    using Vars = std::map<std::string, std::string>;

    explicit LineTokenizer(Vars vars) : vars_(std::move(vars)) {}
    std::vector<std::string> Split(const std::string& line) const;

private:
    // Each reads the construct starting at line[*pos] and advances *pos past it.
    static std::string Escape(const std::string& line, std::size_t* pos);
    std::string Variable(const std::string& line, std::size_t* pos) const;

    Vars vars_;
};

}  // namespace vpinpad
