#include "ri/Format.h"

#include <cstdio>
#include <vector>

namespace ri {

std::string Print(const char* format, va_list args) {
    if (format == nullptr) return std::string();
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
