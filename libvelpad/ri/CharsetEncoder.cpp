#include "ri/CharsetEncoder.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace ri {
namespace Encoding {

CharsetEncoder::CharsetEncoder(const std::string& from, const std::string& to)
    : from_(from), to_(to) {}

CharsetEncoder::~CharsetEncoder() {
    close();
}

int CharsetEncoder::open() {
    close();
    cd_ = iconv_open(to_.c_str(), from_.c_str());
    return isOpen() ? 0 : -1;
}

void CharsetEncoder::close() {
    if (!isOpen()) return;
    iconv_close(cd_);
    cd_ = kClosed;
}

// Converts the text with its terminating NUL. A byte that cannot be converted
// is skipped and the conversion goes on; a full output buffer is grown rather
// than losing input (one CP1251 byte may become three UTF-8 bytes). The result
// ends at the first NUL, like the C string it was handed in as.
std::string CharsetEncoder::encode(const std::string& text) {
    if (!isOpen()) return std::string();
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> input(text.begin(), text.end());
    input.push_back('\0');
    std::vector<char> output(input.size() * 2, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::size_t written = 0;
    while (inLeft > 0) {
        char* out = output.data() + written;
        std::size_t outLeft = output.size() - written;
        const std::size_t result = iconv(cd_, &in, &inLeft, &out, &outLeft);
        written = static_cast<std::size_t>(out - output.data());
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            output.resize(output.size() * 2, '\0');
        } else {
            ++in;
            --inLeft;
        }
    }
    return std::string(output.data(), strnlen(output.data(), written));
}

}  // namespace Encoding
}  // namespace ri
