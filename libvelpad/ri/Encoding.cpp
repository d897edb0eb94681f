#include "ri/Encoding.h"

#include "ri/CharsetEncoder.h"

namespace ri {

std::string EncodingFormat(const std::string& from, const std::string& to,
                           const std::string& text) {
    Encoding::CharsetEncoder encoder(from, to);
    if (encoder.open() != 0) return std::string();
    return encoder.encode(text);
}

namespace Encoding {

std::string win1251_utf(const std::string& text) {
    return EncodingFormat("CP1251", "UTF-8", text);
}

std::string utf_win1251(const std::string& text) {
    return EncodingFormat("UTF-8", "CP1251", text);
}

}  // namespace Encoding
}  // namespace ri
