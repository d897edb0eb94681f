#include "ri/Exception.h"

#include <cstdarg>

#include "ri/Format.h"

namespace ri {

Exception::Exception(const std::string& text) : std::runtime_error(text), code_(-1) {}

Exception::Exception(int code, const std::string& text) : std::runtime_error(text), code_(code) {}

// The message is formatted after the base is built because a variadic list
// cannot be started in a member initialiser.
Exception::Exception(const char* format, ...) : std::runtime_error(""), code_(-1) {
    va_list args;
    va_start(args, format);
    static_cast<std::runtime_error&>(*this) = std::runtime_error(Print(format, args));
    va_end(args);
}

Exception::Exception(int code, const char* format, ...) : std::runtime_error(""), code_(code) {
    va_list args;
    va_start(args, format);
    static_cast<std::runtime_error&>(*this) = std::runtime_error(Print(format, args));
    va_end(args);
}

}  // namespace ri
