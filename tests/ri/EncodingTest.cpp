#include <gtest/gtest.h>

#include <ctime>

#include "ri/CharsetEncoder.h"
#include "ri/Encoding.h"
#include "ri/TimeFormat.h"

namespace {
const std::string kPrivet = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет" in CP1251
const std::string kPrivetUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
}  // namespace

TEST(Encoding, CyrillicRoundTrip) {
    EXPECT_EQ(kPrivetUtf8, ri::Encoding::win1251_utf(kPrivet));
    EXPECT_EQ(kPrivet, ri::Encoding::utf_win1251(kPrivetUtf8));
    EXPECT_EQ("", ri::Encoding::win1251_utf(""));
}

TEST(Encoding, UnconvertibleBytesAreDropped) {
    // A CJK character has no CP1251 form; a stray continuation byte is invalid UTF-8.
    EXPECT_EQ("AB", ri::Encoding::utf_win1251("A\xE4\xB8\xAD"
                                              "B"));
    EXPECT_EQ("A" + kPrivet, ri::Encoding::utf_win1251("A\x80" + kPrivetUtf8));
    // 0x98 is unassigned in CP1251.
    EXPECT_EQ("xy", ri::Encoding::win1251_utf("x\x98y"));
}

TEST(Encoding, OutputLongerThanTwiceTheInputIsKept) {
    // "№" is one byte in CP1251 and three in UTF-8.
    const std::string signs(40, '\xB9');
    std::string expected;
    for (int i = 0; i < 40; ++i) expected += "\xE2\x84\x96";
    EXPECT_EQ(expected, ri::Encoding::win1251_utf(signs));
    EXPECT_EQ(signs, ri::Encoding::utf_win1251(expected));
}

TEST(Encoding, ResultEndsAtEmbeddedNul) {
    EXPECT_EQ("ab", ri::Encoding::win1251_utf(std::string("ab\0cd", 5)));
}

TEST(Encoding, EncoderStates) {
    ri::Encoding::CharsetEncoder bad("NO-SUCH-CHARSET", "UTF-8");
    EXPECT_NE(0, bad.open());
    EXPECT_EQ("", bad.encode("abc"));
    EXPECT_EQ("", ri::EncodingFormat("NO-SUCH-CHARSET", "UTF-8", "abc"));

    ri::Encoding::CharsetEncoder good("CP1251", "UTF-8");
    EXPECT_EQ("", good.encode(kPrivet));  // not open yet
    ASSERT_EQ(0, good.open());
    EXPECT_EQ(kPrivetUtf8, good.encode(kPrivet));
    EXPECT_EQ(kPrivetUtf8, good.encode(kPrivet));  // reusable
    good.close();
    EXPECT_FALSE(good.isOpen());
    EXPECT_EQ("", good.encode(kPrivet));
}

TEST(TimeFormat, AllTypes) {
    std::tm t{};
    t.tm_year = 2021 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 31;
    t.tm_hour = 23;
    t.tm_min = 59;
    t.tm_sec = 58;
    const std::int64_t ms = 1640995198123;
    using ri::TimeFormat;
    EXPECT_EQ("86398", TimeFormat::Make(t, ms, 1, '/', true, ':'));
    EXPECT_EQ("1640995198123", TimeFormat::Make(t, ms, 2, '/', true, ':'));
    EXPECT_EQ("31/12/21 23:59:58", TimeFormat::Make(t, ms, 3, '/', true, ':'));
    EXPECT_EQ("31.12.2021", TimeFormat::Make(t, ms, 4, '.', false, ':'));
    EXPECT_EQ("12/31/21", TimeFormat::Make(t, ms, 5, '/', false, ':'));
    EXPECT_EQ("12/31/2021", TimeFormat::Make(t, ms, 6, '/', false, ':'));
    EXPECT_EQ("2021/12/31 23:59:58", TimeFormat::Make(t, ms, 7, '/', true, ':'));
    EXPECT_EQ("21_12_31_23_59_58", TimeFormat::Make(t, ms, 8, '_', true, '_'));
    EXPECT_EQ("2021-12-31 235958", TimeFormat::Make(t, ms, 7, '-', true, '\0'));
    EXPECT_EQ("", TimeFormat::Make(t, ms, 9, '/', true, ':'));
    EXPECT_EQ(17u, TimeFormat::Get(3).size());
}

// Stamps of several forms asked for in turn within one second each come in
// their own form (the per-second stamps are kept per form).
TEST(TimeFormat, InterleavedFormsWithinOneSecond) {
    using ri::TimeFormat;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const std::string trace = TimeFormat::Get(3);
        const std::string log = TimeFormat::Get(7);
        const std::string day = TimeFormat::Get(4, '.', false);
        const std::string utc = TimeFormat::GetUtc(7);
        const std::string again = TimeFormat::Get(3);
        const std::time_t after = std::time(nullptr);
        if (before != after) continue;
        std::tm local{};
        std::tm universal{};
        localtime_r(&before, &local);
        gmtime_r(&before, &universal);
        EXPECT_EQ(TimeFormat::Make(local, 0, 3, '/', true, ':'), trace);
        EXPECT_EQ(TimeFormat::Make(local, 0, 7, '/', true, ':'), log);
        EXPECT_EQ(TimeFormat::Make(local, 0, 4, '.', false, ':'), day);
        EXPECT_EQ(TimeFormat::Make(universal, 0, 7, '/', true, ':'), utc);
        EXPECT_EQ(trace, again);
        return;
    }
    GTEST_SKIP() << "the second changed during every attempt";
}
