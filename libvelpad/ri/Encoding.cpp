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

namespace Encoding {

std::string win1251_utf(const std::string& text) {
    return EncodingFormat("CP1251", "UTF-8", text);
}

std::string utf_win1251(const std::string& text) {
    return EncodingFormat("UTF-8", "CP1251", text);
}

}  // namespace Encoding
}  // namespace ri
