#include "ri/Test.h"

#include <cstring>

#include "ri/Exception.h"

namespace ri {
namespace Test {

void Assert(bool condition, const std::string& text, int code) {
    if (condition) throw Exception(code, text);
}

std::size_t TestString(const char* text) {
    if (text == nullptr) return 0;
    const std::size_t length = strnlen(text, kMaxCallerString);
    return length >= kMaxCallerString ? 0 : length;
}

}  // namespace Test
}  // namespace ri
