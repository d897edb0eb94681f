#include "ri/Format.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace ri {

namespace {

// True when every conversion of format is a plain "%s".
bool OnlyStrings(const char* format) {
    for (const char* at = std::strchr(format, '%'); at != nullptr; at = std::strchr(at + 2, '%'))
        if (at[1] != 's') return false;
    return true;
}

// A format of text and plain "%s" conversions, joined without a formatting
// pass, so that a long argument (a whole frame) is copied once.
std::string JoinStrings(const char* format, va_list args) {
    std::string text;
    const char* plain = format;
    for (const char* at = std::strchr(format, '%'); at != nullptr; at = std::strchr(plain, '%')) {
        text.append(plain, static_cast<std::size_t>(at - plain));
        const char* argument = va_arg(args, const char*);
        text.append(argument != nullptr ? argument : "(null)");
        plain = at + 2;
    }
    text.append(plain);
    return text;
}

}  // namespace

std::string Print(const char* format, va_list args) {
    if (format == nullptr) return std::string();
    if (OnlyStrings(format)) return JoinStrings(format, args);
    va_list probe;
    va_copy(probe, args);
    const int size = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (size <= 0) return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return std::string(buffer.data(), static_cast<std::size_t>(size));
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = Print(format, args);
    va_end(args);
    return text;
}

}  // namespace ri
