#include "LoggedTagList.h"

#include <stdexcept>

#include "ByteText.h"
#include "LogTagNames.h"
#include "ShownData.h"

namespace vpinpad {

namespace {

// A tag list's length byte is read signed: no value is longer.
constexpr std::size_t kMostValue = 127;
constexpr std::size_t kMostBytes = 0xFFFF;
constexpr std::uint64_t kMostShortTag = 0xFFFFFF;
// "send-tags" takes its prefix and up to 63 items.
constexpr std::size_t kMostSendTags = 63;

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The length of a known tag name followed by "=" at text[at], or 0.
std::size_t NameAt(const std::string& text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && IsNameChar(text[end])) ++end;
    std::uint64_t tag = 0;
    if (end == at || end >= text.size() || text[end] != '=') return 0;
    return LogTagNames::Find(text.substr(at, end - at), &tag) ? end - at : 0;
}

bool IsMaskedNumber(const std::string& value) {
    if (value.empty()) return false;
    for (char c : value) {
        if (!(c >= '0' && c <= '9') && c != '*' && c != 'D') return false;
    }
    return true;
}

// Digits two to a byte, "*" (a masked digit) as the nibble D, an odd count padded with F.
std::string Pack(const std::string& digits) {
    std::string packed;
    auto nibble = [](char c) { return c >= '0' && c <= '9' ? c - '0' : 0xD; };
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int low = i + 1 < digits.size() ? nibble(digits[i + 1]) : 0xF;
        packed += static_cast<char>(nibble(digits[i]) << 4 | low);
    }
    return packed;
}

// The tag number's significant bytes, most significant first.
std::string TagBytes(std::uint64_t tag) {
    std::string bytes;
    do {
        bytes.insert(bytes.begin(), static_cast<char>(tag & 0xFF));
        tag >>= 8;
    } while (tag != 0);
    return bytes;
}

LoggedTagList::Item ReadItem(const std::string& text) {
    LoggedTagList::Item item;
    const std::size_t equals = text.find('=');
    item.name = text.substr(0, equals);
    LogTagNames::Find(item.name, &item.tag);
    item.value = text.substr(equals + 1);
    std::string label;
    std::size_t bytes = 0;
    if (ShownData::Read(item.value, &label, &bytes) && label == item.name) {
        if (bytes > kMostValue) {
            throw std::invalid_argument("tag " + item.name + " shown with " +
                                        std::to_string(bytes) + " bytes, more than a list holds");
        }
        item.value = ShownData::Filler(bytes);
        item.cardData = true;
    } else if (LogTagNames::IsCardNumber(item.name) && IsMaskedNumber(item.value)) {
        item.value = Pack(item.value);
        item.cardData = true;
    }
    if (item.value.size() > kMostValue) {
        throw std::invalid_argument("tag " + item.name + " holds " +
                                    std::to_string(item.value.size()) +
                                    " bytes, more than a list holds");
    }
    return item;
}

// Takes a trailing "<cut: N bytes>" off the text.
std::size_t TakeCut(std::string* text) {
    const std::size_t at = text->rfind("<cut: ");
    if (at == std::string::npos || (at != 0 && (*text)[at - 1] != ' ')) return 0;
    std::string label;
    std::size_t bytes = 0;
    if (!ShownData::Read(text->substr(at), &label, &bytes) || label != "cut") return 0;
    if (bytes == 0 || bytes > kMostBytes) {
        throw std::invalid_argument("an item cut short after " + std::to_string(bytes) + " bytes");
    }
    text->erase(at == 0 ? 0 : at - 1);
    return bytes;
}

}  // namespace

LoggedTagList LoggedTagList::Parse(const std::string& shown) {
    LoggedTagList list;
    std::string text = shown;
    list.cutBytes = TakeCut(&text);
    if (text.empty()) return list;
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if ((at == 0 || text[at - 1] == ' ') && NameAt(text, at) > 0) starts.push_back(at);
    }
    if (starts.empty() || starts[0] != 0) {
        throw std::invalid_argument("no known tag name and \"=\" at " +
                                    ByteText::Quoted(text.substr(0, 24)));
    }
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] - 1 : text.size();
        list.items.push_back(ReadItem(text.substr(starts[i], end - starts[i])));
    }
    return list;
}

std::string LoggedTagList::Bytes() const {
    std::string bytes;
    for (const Item& item : items) {
        bytes += TagBytes(item.tag);
        bytes += static_cast<char>(item.value.size());
        bytes += item.value;
    }
    // A long tag whose bytes never end: the list ends inside an item.
    if (cutBytes > 0) bytes += "\x1F" + std::string(cutBytes - 1, '\x81');
    return bytes;
}

bool LoggedTagList::FitsSendTags() const {
    if (cutBytes > 0 || items.empty() || items.size() > kMostSendTags) return false;
    for (const Item& item : items) {
        if (item.tag > kMostShortTag || item.value.empty() || item.value.size() > kMostValue)
            return false;
    }
    return true;
}

}  // namespace vpinpad
