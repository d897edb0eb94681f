#include "ri/JsonFormat.h"

namespace ri {

JsonFormat::JsonFormat() {
    prefix_ = "{";
    suffix_ = "}";
}

void JsonFormat::Add(const std::string& key, const std::string& value) {
    Separate(",");
    body_ += "\"" + key + "\":\"" + value + "\"";
}

// Reads only the flat object of string values that Add writes: the quotes at
// both ends of the inner text are dropped, the rest is cut at "," between
// quotes and each piece at its first ":" between quotes.
bool JsonFormat::Parse(const std::string& text, std::map<std::string, std::string>* out) {
    if (text.size() <= 4 || text.front() != '{' || text.back() != '}') return false;
    const std::string inner = text.substr(1, text.size() - 2);
    const std::size_t first = inner.find_first_not_of('"');
    if (first == std::string::npos) return true;
    const std::size_t last = inner.find_last_not_of('"');
    ReadPairs(inner.substr(first, last - first + 1), "\",\"", "\":\"", out);
    return true;
}

}  // namespace ri
