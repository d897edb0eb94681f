#include "SecretKeys.h"

#include <cctype>
#include <string_view>
#include <vector>

namespace velrun {

namespace {

const char kBlanked[] = "<blanked>";
const char* const kSecretParts[] = {"PASS", "PWD", "SECRET", "TOKEN"};
const char* const kSecretEnds[] = {"KEY", "PIN"};

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

std::vector<std::string> upperWords(const std::string& key) {
    std::vector<std::string> words(1);
    for (const char c : key) {
        if (!isWordChar(c)) {
            if (!words.back().empty()) words.emplace_back();
            continue;
        }
        words.back() += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return words;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool isSecretWord(std::string_view word) {
    for (const char* part : kSecretParts) {
        if (word.find(part) != std::string_view::npos) return true;
    }
    if (endsWith(word, "S")) word.remove_suffix(1);
    for (const char* end : kSecretEnds) {
        if (endsWith(word, end)) return true;
    }
    return false;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// One line without its end: the value of a secret key blanked.
std::string blankLine(const std::string& line) {
    std::size_t at = 0;
    while (at < line.size() && (isBlank(line[at]) || line[at] == ';' || line[at] == '#')) ++at;
    const std::size_t equals = line.find('=', at);
    if (equals == std::string::npos || !isSecretKey(line.substr(at, equals - at))) return line;
    std::size_t value = equals + 1;
    while (value < line.size() && isBlank(line[value])) ++value;
    if (value == line.size()) return line;
    return line.substr(0, value) + kBlanked;
}

}  // namespace

bool isSecretKey(const std::string& key) {
    for (const std::string& word : upperWords(key)) {
        if (!word.empty() && isSecretWord(word)) return true;
    }
    return false;
}

std::string blankSecretValues(const std::string& text) {
    std::string blanked;
    blanked.reserve(text.size());
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t content = end;
        if (content > start && text[content - 1] == '\r') --content;
        blanked += blankLine(text.substr(start, content - start));
        blanked.append(text, content, end - content + (end < text.size() ? 1 : 0));
        start = end + 1;
    }
    return blanked;
}

}  // namespace velrun
