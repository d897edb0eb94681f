#pragma once

#include <string>

namespace ri {

// Converts text with iconv from charset `from` to charset `to` (iconv names,
// e.g. "CP1251", "UTF-8"). Bytes that cannot be converted are dropped; an
// unavailable conversion pair gives an empty text.
std::string EncodingFormat(const std::string& from, const std::string& to, const std::string& text);

namespace Encoding {
std::string win1251_utf(const std::string& text);
std::string utf_win1251(const std::string& text);
}  // namespace Encoding

}  // namespace ri
