#pragma once

#include <stdexcept>
#include <string>

namespace ri {

// The library's error: a printf-style formatted text and an integer code (-1
// when none is given). Raised inside the library and caught at the handler,
// link or session boundary.
class Exception : public std::runtime_error {
public:
    explicit Exception(const char* format, ...) __attribute__((format(printf, 2, 3)));
    explicit Exception(const std::string& text);
    Exception(int code, const char* format, ...) __attribute__((format(printf, 3, 4)));
    Exception(int code, const std::string& text);

    // The formatted text.
    const char* What() const noexcept { return what(); }
    // The code given at construction, -1 when none was given.
    int Error() const noexcept { return code_; }

private:
    int code_;
};

}  // namespace ri
