#include "EngineLog.h"

#include <algorithm>
#include <cstdio>

namespace vpinpad {

namespace {

// What the host writes about the pinpad link.
const std::string kSend = "SEND ->";
const std::string kRecv = "RECV <-";
const std::string kConnected = "Connection OK";
const std::string kStartNext = "External Command";
const std::string kStray = "ERROR: recive message: first byte not 0x01: [0x";
const std::string kShortHeader = "ERROR: recive message: invalid length, must be [2]: [";
// "ОШИБКА! Нет ответа от пин-пада" (CP1251), written after a frame whose rest never came.
const std::string kNoAnswer =
    "\xCE\xD8\xC8\xC1\xCA\xC0! \xCD\xE5\xF2 \xEE\xF2\xE2\xE5\xF2\xE0 \xEE\xF2 \xEF\xE8\xED-"
    "\xEF\xE0\xE4\xE0";

constexpr std::int64_t kMsPerDay = 86400000;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// `count` decimal digits at text[at], or -1.
int Number(const std::string& text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return -1;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

struct Stamp {
    std::int64_t millis = 0;
    bool wholeSeconds = false;
    std::size_t length = 0;
};

// Date and time fields read at their places in a stamp; false when one is out of range.
bool Calendar(const int (&f)[7], Stamp* stamp) {
    const int year = f[0], month = f[1], day = f[2], hour = f[3], minute = f[4], second = f[5];
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 60 || f[6] < 0) {
        return false;
    }
    stamp->millis = DaysFromCivil(year, month, day) * kMsPerDay +
                    ((hour * 60 + minute) * 60 + second) * std::int64_t{1000} + f[6];
    return true;
}

// "2026/01/15 12:30:45" (the default) or "20260115 123045.120" (with milliseconds).
bool CalendarStamp(const std::string& line, Stamp* stamp) {
    if (line.size() < 19) return false;
    if (line[4] == '/' && line[7] == '/' && line[10] == ' ' && line[13] == ':' && line[16] == ':') {
        const int f[7] = {Number(line, 0, 4),
                          Number(line, 5, 2),
                          Number(line, 8, 2),
                          Number(line, 11, 2),
                          Number(line, 14, 2),
                          Number(line, 17, 2),
                          0};
        stamp->wholeSeconds = true;
        stamp->length = 19;
        return Calendar(f, stamp);
    }
    if (line[8] == ' ' && line[15] == '.') {
        const int f[7] = {Number(line, 0, 4), Number(line, 4, 2),  Number(line, 6, 2),
                          Number(line, 9, 2), Number(line, 11, 2), Number(line, 13, 2),
                          Number(line, 16, 3)};
        stamp->length = 19;
        return Calendar(f, stamp);
    }
    return false;
}

// The milliseconds since the epoch.
bool EpochStamp(const std::string& line, Stamp* stamp) {
    std::size_t end = 0;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
    if (end < 10 || end > 16) return false;
    stamp->millis = std::stoll(line.substr(0, end));
    stamp->length = end;
    return true;
}

// The stamp must be followed by the blank that separates it from the message.
bool ReadStamp(const std::string& line, Stamp* stamp) {
    if (!CalendarStamp(line, stamp) && !EpochStamp(line, stamp)) return false;
    return line.size() == stamp->length || line[stamp->length] == ' ';
}

// The payload of a "SEND ->" or "RECV <-" line: everything after the arrow and one blank.
bool FramePayload(const std::string& message, const std::string& arrow, std::string* payload) {
    if (message.compare(0, arrow.size(), arrow) != 0) return false;
    if (message.size() == arrow.size()) {
        payload->clear();
        return true;
    }
    if (message[arrow.size()] != ' ') return false;
    *payload = EngineLog::Unescape(message.substr(arrow.size() + 1));
    return true;
}

void CheckBytes(const std::string& line, int number) {
    for (char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", byte);
            throw LogError(number, std::string("a raw control byte ") + hex +
                                       ", which the engine log never writes");
        }
    }
}

// The byte of "first byte not 0x01: [0xNN]".
int StrayByte(const std::string& message, int number) {
    const std::size_t at = kStray.size();
    if (message.size() != at + 3 || HexDigit(message[at]) < 0 || HexDigit(message[at + 1]) < 0 ||
        message[at + 2] != ']') {
        throw LogError(number, "a stray byte the log does not show as [0xNN]");
    }
    return HexDigit(message[at]) * 16 + HexDigit(message[at + 1]);
}

// The length bytes of "invalid length, must be [2]: [N]": 0 or 1.
int HeaderBytes(const std::string& message, int number) {
    const std::size_t at = kShortHeader.size();
    if (message.size() != at + 2 || (message[at] != '0' && message[at] != '1') ||
        message[at + 1] != ']') {
        throw LogError(number, "a frame header cut short that the log does not show as [0] or [1]");
    }
    return message[at] - '0';
}

// What a message says about the link; false for a message about anything else.
bool Classify(const std::string& message, int number, LogEvent* event) {
    using Kind = LogEvent::Kind;
    if (FramePayload(message, kSend, &event->text)) {
        event->kind = Kind::kHostFrame;
    } else if (FramePayload(message, kRecv, &event->text)) {
        event->kind = Kind::kPinpadFrame;
    } else if (message == kConnected) {
        event->kind = Kind::kConnected;
    } else if (message == kStartNext) {
        event->kind = Kind::kStartNext;
    } else if (message.compare(0, kStray.size(), kStray) == 0) {
        event->kind = Kind::kStrayByte;
        event->value = StrayByte(message, number);
    } else if (message.compare(0, kShortHeader.size(), kShortHeader) == 0) {
        event->kind = Kind::kShortHeader;
        event->value = HeaderBytes(message, number);
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::string EngineLog::Unescape(const std::string& shown) {
    std::string bytes;
    bytes.reserve(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\\' && i + 3 < shown.size() && shown[i + 1] == 'x' &&
            HexDigit(shown[i + 2]) >= 0 && HexDigit(shown[i + 3]) >= 0) {
            bytes += static_cast<char>(HexDigit(shown[i + 2]) * 16 + HexDigit(shown[i + 3]));
            i += 3;
        } else {
            bytes += shown[i];
        }
    }
    return bytes;
}

int EngineLog::CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n' ? 1 : 0;
    return lines + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

std::vector<LogEvent> EngineLog::Read(const std::string& text) {
    std::vector<LogEvent> events;
    int number = 0;
    bool afterRecv = false;
    for (std::size_t from = 0; from < text.size();) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(from, end - from);
        from = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool follows = afterRecv;
        afterRecv = false;
        if (line.empty()) continue;
        CheckBytes(line, number);
        Stamp stamp;
        if (!ReadStamp(line, &stamp)) {
            throw LogError(number, "no time stamp; every line of the engine log begins with one");
        }
        const std::string message = line.substr(std::min(line.size(), stamp.length + 1));
        if (message == kNoAnswer && follows) {
            events.back().kind = LogEvent::Kind::kPinpadCut;
            continue;
        }
        LogEvent event;
        if (!Classify(message, number, &event)) continue;
        event.line = number;
        event.millis = stamp.millis;
        event.wholeSeconds = stamp.wholeSeconds;
        afterRecv = event.kind == LogEvent::Kind::kPinpadFrame;
        events.push_back(std::move(event));
    }
    return events;
}

}  // namespace vpinpad
