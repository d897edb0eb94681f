#pragma once

#include <cstdint>
#include <string>

namespace ri {
namespace Conv {

// Upper-cases every byte with the C library's toupper; when locale is not
// null the process locale is set to it first (all categories).
std::string Upper(const std::string& text, const char* locale = nullptr);

namespace String {
// Replaces every occurrence of from, left to right; inserted text is never rescanned.
std::string Replace(const std::string& text, const std::string& from, const std::string& to);
// At most 9 characters, all decimal digits; the empty text counts as an integer.
bool IsInt(const std::string& text);
// Leading decimal integer (blanks skipped, trailing text ignored); 0 when none.
long ToInt(const std::string& text);
// The whole text read as a decimal integer in [low, high]: digits only, a
// leading "-" where low is below zero, nothing else (no blanks, no sign "+",
// no trailing text). False, with *value untouched, for anything else; used
// for every number the pinpad sends that decides a result, a size or an index.
bool ToDecimal(const std::string& text, long low, long high, long* value);
// Leading decimal number; 0 when none.
double ToDouble(const std::string& text);
}  // namespace String

namespace Trim {
// Characters the engine trims from settings and request lines.
constexpr const char* kBlanks = " \n\r\t";
// Removes every leading and trailing character that belongs to set.
std::string BothSide(const std::string& text, const std::string& set = kBlanks);
}  // namespace Trim

namespace HEX {
// Each byte as two upper-case hex digits, separator between consecutive bytes.
std::string ToString(const std::string& bytes, const std::string& separator = "");
// The text read as a hexadecimal integer; 0 when it holds none.
long To(const std::string& text);
// Hex text (two digits per byte, blanks allowed between bytes) back to bytes;
// stops at the first pair that is not hexadecimal.
std::string ToBytes(const std::string& text);
}  // namespace HEX

namespace BCD {
// Packed BCD, two digits per byte, paired from the right; an odd count gets a
// leading zero nibble; a pair holding a non-digit is skipped.
std::string To(const std::string& digits);
// Each byte as two digit characters, high nibble first.
std::string From(const std::string& bytes);
// One byte as a two-digit BCD number (high nibble * 10 + low nibble).
int From(std::uint8_t byte);
}  // namespace BCD

namespace Base64 {
// RFC 4648 standard alphabet with "=" padding.
std::string Encode(const std::string& bytes);
// Stops at the first "="; characters outside the alphabet are skipped.
std::string Decode(const std::string& text);
}  // namespace Base64

}  // namespace Conv

// Short spellings used throughout the engine.
namespace Trim = Conv::Trim;
namespace HEX = Conv::HEX;
namespace BCD = Conv::BCD;

}  // namespace ri
