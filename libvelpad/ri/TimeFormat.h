#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace ri {

// Time stamps of the logs and files.
//   type 1  seconds since midnight          type 5  MM s DD s YY
//   type 2  milliseconds since the epoch    type 6  MM s DD s YYYY
//   type 3  DD s MM s YY                    type 7  YYYY s MM s DD
//   type 4  DD s MM s YYYY                  type 8  YY s MM s DD
// (s = dateSeparator). With withTime and types 3-8 a time part follows: a
// blank ("_" when the date separator is "_"), then HH t MM t SS with t =
// timeSeparator, or HHMMSS when timeSeparator is not printable.
class TimeFormat {
public:
    static std::string Get(int type, char dateSeparator = '/', bool withTime = true,
                           char timeSeparator = ':');
    static std::string GetUtc(int type, char dateSeparator = '/', bool withTime = true,
                              char timeSeparator = ':');
    // The same for a given broken-down time and milliseconds since the epoch.
    static std::string Make(const std::tm& when, std::int64_t epochMs, int type, char dateSeparator,
                            bool withTime, char timeSeparator);
    // Milliseconds since the epoch.
    static std::int64_t NowMs();
};

}  // namespace ri
