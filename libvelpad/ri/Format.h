#pragma once

#include <cstdarg>
#include <string>

namespace ri {

// printf-style formatting into a string of exactly the required length.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The same for an argument list that the caller has already started.
std::string Print(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace ri
