#include "ri/TimeFormat.h"

#include <sys/time.h>

#include <algorithm>
#include <cctype>
#include <iterator>

namespace ri {

namespace {

// Appends value as exactly width decimal digits (leading zeros kept).
void PutDigits(std::string* out, int value, int width) {
    char digits[4];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out->append(digits, static_cast<std::size_t>(width));
}

// Three numbers joined by a separator; the middle one has two digits.
std::string Joined(int a, int aWidth, char s, int b, int c, int cWidth) {
    std::string text;
    text.reserve(10);
    PutDigits(&text, a, aWidth);
    text += s;
    PutDigits(&text, b, 2);
    text += s;
    PutDigits(&text, c, cWidth);
    return text;
}

std::string DatePart(const std::tm& t, int type, char s) {
    const int day = t.tm_mday;
    const int month = t.tm_mon + 1;
    const int year = t.tm_year + 1900;
    switch (type) {
        case 3:
            return Joined(day, 2, s, month, year % 100, 2);
        case 4:
            return Joined(day, 2, s, month, year, 4);
        case 5:
            return Joined(month, 2, s, day, year % 100, 2);
        case 6:
            return Joined(month, 2, s, day, year, 4);
        case 7:
            return Joined(year, 4, s, month, day, 2);
        case 8:
            return Joined(year % 100, 2, s, month, day, 2);
        default:
            return std::string();
    }
}

void AppendTimePart(std::string* text, const std::tm& t, char dateSeparator, char s) {
    *text += dateSeparator == '_' ? '_' : ' ';
    const bool separated = std::isprint(static_cast<unsigned char>(s)) != 0;
    PutDigits(text, t.tm_hour, 2);
    if (separated) *text += s;
    PutDigits(text, t.tm_min, 2);
    if (separated) *text += s;
    PutDigits(text, t.tm_sec, 2);
}

std::tm BrokenDown(std::time_t seconds, bool utc) {
    std::tm broken{};
    if (utc)
        gmtime_r(&seconds, &broken);
    else
        localtime_r(&seconds, &broken);
    return broken;
}

// Stamps of types 3 to 8 change once a second: the last one made for each of
// a few forms (the trace's, the engine log's) is kept per thread and handed
// out again within its second.
std::string Now(bool utc, int type, char dateSeparator, bool withTime, char timeSeparator) {
    struct Kept {
        std::time_t seconds = -1;
        int form = -1;
        std::string text;
    };
    constexpr int kForms = 4;
    thread_local Kept kept[kForms];
    thread_local int next = 0;
    const std::int64_t ms = TimeFormat::NowMs();
    const auto seconds = static_cast<std::time_t>(ms / 1000);
    const int form = type | (static_cast<unsigned char>(dateSeparator) << 4) |
                     (static_cast<unsigned char>(timeSeparator) << 12) | (withTime ? 1 << 20 : 0) |
                     (utc ? 1 << 21 : 0);
    if (type < 3)
        return TimeFormat::Make(BrokenDown(seconds, utc), ms, type, dateSeparator, withTime,
                                timeSeparator);
    Kept* slot = std::find_if(std::begin(kept), std::end(kept),
                              [form](const Kept& entry) { return entry.form == form; });
    if (slot == std::end(kept)) {
        slot = &kept[next];
        next = (next + 1) % kForms;
        *slot = Kept{-1, form, {}};
    }
    if (slot->seconds != seconds) {
        slot->text = TimeFormat::Make(BrokenDown(seconds, utc), ms, type, dateSeparator, withTime,
                                      timeSeparator);
        slot->seconds = seconds;
    }
    return slot->text;
}

}  // namespace

std::string TimeFormat::Make(const std::tm& when, std::int64_t epochMs, int type,
                             char dateSeparator, bool withTime, char timeSeparator) {
    if (type == 1) return std::to_string(when.tm_hour * 3600 + when.tm_min * 60 + when.tm_sec);
    if (type == 2) return std::to_string(static_cast<long>(epochMs));
    std::string text = DatePart(when, type, dateSeparator);
    if (withTime && !text.empty()) AppendTimePart(&text, when, dateSeparator, timeSeparator);
    return text;
}

std::string TimeFormat::Get(int type, char dateSeparator, bool withTime, char timeSeparator) {
    return Now(false, type, dateSeparator, withTime, timeSeparator);
}

std::string TimeFormat::GetUtc(int type, char dateSeparator, bool withTime, char timeSeparator) {
    return Now(true, type, dateSeparator, withTime, timeSeparator);
}

std::int64_t TimeFormat::NowMs() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_usec / 1000;
}

}  // namespace ri
