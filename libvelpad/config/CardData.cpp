#include "config/CardData.h"

#include <cstdint>

#include "config/Tags.h"
#include "ri/Conv.h"
#include "ri/Format.h"
#include "ri/LogText.h"

using Payload = CardData::Payload;

namespace {

constexpr char kEsc = CardData::kFieldSeparator;
const std::size_t kStartCardField = 5;  // fields before the card field
const std::size_t kMinMaskedRun = 13;   // shorter runs are references, not card numbers
const std::size_t kMinCardNumber = 12;  // from this length the first six digits show

// Card numbers: shown masked.
const char* const kNumberTags[] = {"pan", "loyalty_card_number"};
// Tracks, names and encrypted card data: shown by their length only.
const char* const kSecretTags[] = {
    "track1_data",     "track2_data", "loyalty_track2", "cardholder_name", "received_text_message",
    "result_enc_data", "rfu",         "enc_data",       "MF_DATA",         "PROXY_SEND",
    "PROXY_RECV",      "DATA_INPUT"};

template <std::size_t N>
bool Listed(const char* const (&names)[N], const std::string& name) {
    for (const char* listed : names)
        if (name == listed) return true;
    return false;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Length(const std::string& label, std::size_t size) {
    return ri::Format("<%s: %zu bytes>", label.c_str(), size);
}

std::string NameOrNumber(std::uint64_t id) {
    const std::string name = Tags::NameOf(id);
    return name.empty() ? ri::Format("0x%llX", static_cast<unsigned long long>(id)) : name;
}

bool StartsWith(const std::string& text, const std::string& head) {
    return text.compare(0, head.size(), head) == 0;
}

// The command words whose payload is a tag list.
const char* TagListWord(const std::string& payload) {
    for (const char* word : {"SETTAGS:", "SEND_CARD:"})
        if (StartsWith(payload, word)) return word;
    return nullptr;
}

// Requests whose bytes after a head are a card's or a file's contents: a
// Mifare block, and a stored file after its name and the FS byte. They are
// shown by their length.
std::size_t OpaqueHead(const std::string& payload) {
    if (StartsWith(payload, "MF:DATA:")) return 8;
    // Data relayed by a proxy, and what was typed on the pinpad in a direct
    // dialog.
    for (const char* head : {"PROXY:SEND:", "PROXY:DATA:", "DL:DATA:"})
        if (StartsWith(payload, head)) return std::char_traits<char>::length(head);
    if (!StartsWith(payload, "PUTFILE:")) return std::string::npos;
    const std::size_t separator = payload.find('\x1C');
    return separator == std::string::npos ? std::string::npos : separator + 1;
}

// The head of channel data: "WRITE:N:" of a request or "N:" of a reply to "READ:".
std::size_t ChannelHead(const std::string& payload, Payload kind) {
    const std::size_t from = kind == Payload::kChannel ? 0 : 6;
    const std::size_t colon = payload.find(':', from);
    return colon == std::string::npos ? payload.size() : colon + 1;
}

// A tag list rebuilt with every card value replaced by how the log shows
// it; an item cut short is replaced by its length.
std::string RedactTagList(const std::string& list) {
    std::size_t used = 0;
    std::string out;
    out.reserve(list.size());
    for (const Tags::Item& item : Tags::Items(list, &used)) {
        const std::string name = Tags::NameOf(item.id);
        if (!CardData::IsCardTag(name)) {
            out.append(item.head).append(item.value);
            continue;
        }
        const std::string shown = CardData::Value(name, item.value);
        out.append(item.head, 0, item.head.size() - 1);
        out.append(1, static_cast<char>(shown.size())).append(shown);
    }
    if (used < list.size()) out += Length("cut", list.size() - used);
    return out;
}

}  // namespace

bool CardData::IsCardTag(const std::string& name) {
    return Listed(kNumberTags, name) || Listed(kSecretTags, name);
}

// Positions of a card number are its digits and the "*" of digits the
// pinpad masked already; only digits are replaced.
std::string CardData::MaskPan(const std::string& pan) {
    std::size_t positions = 0;
    for (char c : pan) positions += IsDigit(c) || c == '*' ? 1 : 0;
    const std::size_t head = positions >= kMinCardNumber ? 6 : 0;
    const std::size_t tail = positions >= 8 ? 4 : 0;
    std::string masked = pan;
    std::size_t seen = 0;
    for (char& c : masked) {
        if (!IsDigit(c) && c != '*') continue;
        if (seen >= head && seen + tail < positions) c = '*';
        ++seen;
    }
    return masked;
}

std::string CardData::PanText(const std::string& value) {
    bool text = true;
    for (char c : value) text = text && (IsDigit(c) || c == '*' || c == 'D');
    if (text) return value;
    std::string unpacked;
    for (char digit : ri::HEX::ToString(value)) {
        if (digit == 'F') continue;
        unpacked += digit == 'D' ? '*' : digit;
    }
    return unpacked;
}

std::string CardData::Value(const std::string& name, const std::string& value) {
    if (value.empty()) return value;
    if (Listed(kNumberTags, name)) return MaskPan(PanText(value));
    if (Listed(kSecretTags, name)) return Length(name, value.size());
    return value;
}

std::string CardData::ResultValue(const std::string& name, const std::string& value) {
    if (Listed(kNumberTags, name)) return MaskPan(PanText(value));
    return Listed(kSecretTags, name) ? std::string() : value;
}

std::string CardData::TagList(const std::string& list) {
    std::size_t used = 0;
    std::string shown;
    shown.reserve(list.size() * 2);
    for (const Tags::Item& item : Tags::Items(list, &used)) {
        const std::string name = NameOrNumber(item.id);
        if (!shown.empty()) shown += ' ';
        shown.append(name).append(1, '=').append(Value(name, item.value));
    }
    if (used < list.size()) shown += (shown.empty() ? "" : " ") + Length("cut", list.size() - used);
    return ri::LogText(shown);
}

std::string CardData::Message(const std::string& payload, Payload kind) {
    if (kind == Payload::kTagList) return TagList(payload);
    if (const char* word = TagListWord(payload))
        return word + TagList(payload.substr(std::char_traits<char>::length(word)));
    return ri::LogText(Redact(payload, kind));
}

std::string CardData::Redact(const std::string& payload, Payload kind) {
    if (kind == Payload::kTagList) return RedactTagList(payload);
    if (const char* word = TagListWord(payload)) {
        const std::size_t size = std::char_traits<char>::length(word);
        return word + RedactTagList(payload.substr(size));
    }
    if (kind == Payload::kChannel || (kind == Payload::kText && StartsWith(payload, "WRITE:"))) {
        const std::size_t head = ChannelHead(payload, kind);
        if (head >= payload.size()) return payload;
        return payload.substr(0, head) + Length("data", payload.size() - head);
    }
    const std::size_t opaque = kind == Payload::kText ? OpaqueHead(payload) : std::string::npos;
    if (opaque != std::string::npos && opaque < payload.size())
        return payload.substr(0, opaque) + Length("data", payload.size() - opaque);
    if (kind == Payload::kStart) {
        std::size_t at = std::string::npos;
        for (std::size_t field = 0; field < kStartCardField; ++field) {
            at = payload.find(kEsc, at == std::string::npos ? 0 : at + 1);
            if (at == std::string::npos) return payload;
        }
        if (at + 1 >= payload.size()) return payload;
        return payload.substr(0, at + 1) + Length("card", payload.size() - at - 1);
    }
    return MaskDigitRuns(payload);
}

// A read that does not begin with a command word may be the rest of a frame
// split by the line, the middle of a tag list included, or bank data: it is
// shown by its length. A colon never occurs in packed card data.
std::string CardData::Stream(const std::string& bytes) {
    if (TagListWord(bytes) || StartsWith(bytes, "WRITE:")) return Message(bytes);
    std::size_t word = 0;
    while (word < bytes.size() &&
           ((bytes[word] >= 'A' && bytes[word] <= 'Z') || bytes[word] == '_'))
        ++word;
    const bool command = word > 0 && (word == bytes.size() || bytes[word] == ':');
    bool text = true;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text = text && (byte >= 0x20 || c == kEsc || c == '\n' || c == '\r');
    }
    return command && text ? Message(bytes) : Length("data", bytes.size());
}

std::string CardData::Request(const std::string& request) {
    const std::size_t split = request.find_first_of("=|");
    if (split == std::string::npos || split + 1 >= request.size()) return MaskDigitRuns(request);
    const std::string word = request.substr(0, split);
    const std::string rest = request.substr(split + 1);
    if (word == "SEND" || (request[split] == '=' && IsCardTag(word)))
        return request.substr(0, split + 1) + Length("data", rest.size());
    return MaskDigitRuns(request);
}

std::string CardData::MaskDigitRuns(const std::string& text) {
    std::string out = text;
    std::size_t at = 0;
    while (at < out.size()) {
        if (!IsDigit(out[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < out.size() && IsDigit(out[end])) ++end;
        if (end - at >= kMinMaskedRun) out.replace(at, end - at, MaskPan(out.substr(at, end - at)));
        at = end;
    }
    return out;
}
