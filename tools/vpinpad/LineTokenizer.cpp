#include "LineTokenizer.h"

#include <cctype>
#include <stdexcept>

namespace vpinpad {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

const char* SimpleEscape(char c) {
    switch (c) {
        case 'e':
            return "\x1b";
        case 'n':
            return "\n";
        case 'r':
            return "\r";
        case 't':
            return "\t";
        case '\\':
            return "\\";
        case '"':
            return "\"";
        case '$':
            return "$";
        default:
            return nullptr;
    }
}

}  // namespace

std::string LineTokenizer::Escape(const std::string& line, std::size_t* pos) {
    std::size_t at = *pos + 1;
    if (at >= line.size()) throw std::invalid_argument("backslash at the end of the line");
    char c = line[at];
    if (c == '0') {
        *pos = at + 1;
        return std::string(1, '\0');
    }
    if (const char* text = SimpleEscape(c)) {
        *pos = at + 1;
        return text;
    }
    if (c == 'x' && at + 2 < line.size() && HexDigit(line[at + 1]) >= 0 &&
        HexDigit(line[at + 2]) >= 0) {
        *pos = at + 3;
        return std::string(1,
                           static_cast<char>(HexDigit(line[at + 1]) * 16 + HexDigit(line[at + 2])));
    }
    throw std::invalid_argument("unknown escape \"\\" + std::string(1, c) +
                                "\" (use \\xNN with two hex digits, \\e, \\n, \\r, \\t, \\0)");
}

std::string LineTokenizer::Variable(const std::string& line, std::size_t* pos) const {
    std::size_t close = line.find('}', *pos);
    if (close == std::string::npos) throw std::invalid_argument("unterminated ${...}");
    std::string body = line.substr(*pos + 2, close - *pos - 2);
    *pos = close + 1;
    std::size_t dash = body.find(":-");
    std::string name = body.substr(0, dash);
    auto found = vars_.find(name);
    if (found != vars_.end()) return found->second;
    if (dash != std::string::npos) return body.substr(dash + 2);
    throw std::invalid_argument("variable ${" + name + "} is not set");
}

std::vector<std::string> LineTokenizer::Split(const std::string& line) const {
    std::vector<std::string> tokens;
    std::string current;
    bool started = false;
    bool quoted = false;
    std::size_t pos = 0;
    while (pos < line.size()) {
        char c = line[pos];
        if (c == '\\') {
            current += Escape(line, &pos);
            started = true;
        } else if (c == '$' && pos + 1 < line.size() && line[pos + 1] == '{') {
            current += Variable(line, &pos);
            started = true;
        } else if (c == '"') {
            quoted = !quoted;
            started = true;
            ++pos;
        } else if (!quoted && std::isspace(static_cast<unsigned char>(c))) {
            if (started) tokens.push_back(current);
            current.clear();
            started = false;
            ++pos;
        } else if (!quoted && !started && c == '#') {
            break;
        } else {
            current += c;
            started = true;
            ++pos;
        }
    }
    if (quoted) throw std::invalid_argument("unterminated double quote");
    if (started) tokens.push_back(current);
    return tokens;
}

}  // namespace vpinpad
