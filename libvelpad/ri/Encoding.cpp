#include "ri/Encoding.h"

#include <map>
#include <memory>
#include <utility>

#include "ri/CharsetEncoder.h"

namespace ri {

// Opening a conversion costs more than converting a line, and the same few
// pairs serve every trace line and status text, so each thread keeps the
// encoders it has opened.
std::string EncodingFormat(const std::string& from, const std::string& to,
                           const std::string& text) {
    thread_local std::map<std::pair<std::string, std::string>,
                          std::unique_ptr<Encoding::CharsetEncoder>>
        encoders;
    std::unique_ptr<Encoding::CharsetEncoder>& encoder = encoders[{from, to}];
    if (!encoder) {
        encoder = std::make_unique<Encoding::CharsetEncoder>(from, to);
        encoder->open();
    }
    return encoder->encode(text);
}

namespace {

// Seven-bit text reads the same in both charsets: it needs no conversion, and
// a run whose lines are all such opens none. Like a conversion, the result
// ends at an embedded NUL.
bool SevenBit(const std::string& text, std::string* same) {
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0x80) != 0) return false;
    same->assign(text, 0, text.find('\0'));
    return true;
}

}  // namespace

namespace Encoding {

std::string win1251_utf(const std::string& text) {
    std::string same;
    return SevenBit(text, &same) ? same : EncodingFormat("CP1251", "UTF-8", text);
}

std::string utf_win1251(const std::string& text) {
    std::string same;
    return SevenBit(text, &same) ? same : EncodingFormat("UTF-8", "CP1251", text);
}

}  // namespace Encoding
}  // namespace ri
