#pragma once

#include <cstddef>
#include <string>

namespace ri {
namespace Test {

// Raises ri::Exception(code, text) when condition is true.
void Assert(bool condition, const std::string& text, int code = -1);

// Largest accepted length of a caller string, exclusive.
constexpr std::size_t kMaxCallerString = 500;

// Length of a NUL-terminated string received from a caller; 0 for a null
// pointer or a string of kMaxCallerString bytes or more (only that many bytes
// are examined, so an unterminated buffer is never overrun beyond them).
std::size_t TestString(const char* text);

}  // namespace Test
}  // namespace ri
