#include "ri/TimeFormat.h"

#include <sys/time.h>

#include <cctype>

#include "ri/Format.h"

namespace ri {

namespace {

std::string DatePart(const std::tm& t, int type, char s) {
    const int day = t.tm_mday;
    const int month = t.tm_mon + 1;
    const int year = t.tm_year + 1900;
    switch (type) {
        case 3:
            return Format("%02d%c%02d%c%02d", day, s, month, s, year % 100);
        case 4:
            return Format("%02d%c%02d%c%04d", day, s, month, s, year);
        case 5:
            return Format("%02d%c%02d%c%02d", month, s, day, s, year % 100);
        case 6:
            return Format("%02d%c%02d%c%04d", month, s, day, s, year);
        case 7:
            return Format("%04d%c%02d%c%02d", year, s, month, s, day);
        case 8:
            return Format("%02d%c%02d%c%02d", year % 100, s, month, s, day);
        default:
            return std::string();
    }
}

std::string TimePart(const std::tm& t, char dateSeparator, char s) {
    const char lead = dateSeparator == '_' ? '_' : ' ';
    if (!std::isprint(static_cast<unsigned char>(s))) {
        return lead + Format("%02d%02d%02d", t.tm_hour, t.tm_min, t.tm_sec);
    }
    return lead + Format("%02d%c%02d%c%02d", t.tm_hour, s, t.tm_min, s, t.tm_sec);
}

std::string Now(bool utc, int type, char dateSeparator, bool withTime, char timeSeparator) {
    const std::int64_t ms = TimeFormat::NowMs();
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm t{};
    if (utc) {
        gmtime_r(&seconds, &t);
    } else {
        localtime_r(&seconds, &t);
    }
    return TimeFormat::Make(t, ms, type, dateSeparator, withTime, timeSeparator);
}

}  // namespace

std::string TimeFormat::Make(const std::tm& when, std::int64_t epochMs, int type,
                             char dateSeparator, bool withTime, char timeSeparator) {
    if (type == 1) return Format("%d", when.tm_hour * 3600 + when.tm_min * 60 + when.tm_sec);
    if (type == 2) return Format("%ld", static_cast<long>(epochMs));
    std::string text = DatePart(when, type, dateSeparator);
    if (withTime && !text.empty()) text += TimePart(when, dateSeparator, timeSeparator);
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
