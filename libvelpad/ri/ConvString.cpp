#include <cctype>
#include <clocale>
#include <cstdlib>
#include <sstream>

#include "ri/Conv.h"

namespace ri {
namespace Conv {

std::string Upper(const std::string& text, const char* locale) {
    if (locale != nullptr) std::setlocale(LC_ALL, locale);
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

namespace String {

std::string Replace(const std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    std::string result;
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(from, start)) != std::string::npos;) {
        result.append(text, start, found - start).append(to);
        start = found + from.size();
    }
    return result.append(text, start, std::string::npos);
}

bool IsInt(const std::string& text) {
    if (text.size() > 9) return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// Reads like a stream extraction of a long long (blanks skipped, a sign
// allowed, trailing text ignored, 0 when no digit comes, the nearest limit on
// overflow) without building a stream: the engine reads numbers at every frame.
long ToInt(const std::string& text) {
    return static_cast<long>(std::strtoll(text.c_str(), nullptr, 10));
}

bool ToDecimal(const std::string& text, long low, long high, long* value) {
    // Eighteen digits always fit a long; a longer text lies beyond any bound.
    constexpr std::size_t kMostDigits = 18;
    const bool negative = !text.empty() && text[0] == '-' && low < 0;
    const std::size_t digits = text.size() - (negative ? 1 : 0);
    if (digits == 0 || digits > kMostDigits) return false;
    long number = 0;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        number = number * 10 + (text[i] - '0');
    }
    if (negative) number = -number;
    if (number < low || number > high) return false;
    *value = number;
    return true;
}

double ToDouble(const std::string& text) {
    double value = 0;
    std::istringstream in(text);
    in >> value;
    return value;
}

}  // namespace String

namespace Trim {

std::string BothSide(const std::string& text, const std::string& set) {
    const std::size_t first = text.find_first_not_of(set);
    if (first == std::string::npos) return std::string();
    const std::size_t last = text.find_last_not_of(set);
    return text.substr(first, last - first + 1);
}

}  // namespace Trim

}  // namespace Conv
}  // namespace ri
