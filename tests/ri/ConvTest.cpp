#include <gtest/gtest.h>

#include <string>

#include "ri/Conv.h"
#include "ri/Exception.h"
#include "ri/Format.h"
#include "ri/Test.h"

using namespace ri::Conv;

TEST(ConvString, IsIntAcceptsUpToNineDigits) {
    EXPECT_TRUE(String::IsInt(""));
    EXPECT_TRUE(String::IsInt("123456789"));
    EXPECT_FALSE(String::IsInt("1234567890"));
    EXPECT_FALSE(String::IsInt("12a"));
    EXPECT_FALSE(String::IsInt("-1"));
}

TEST(ConvString, ToIntReadsLeadingInteger) {
    EXPECT_EQ(0, String::ToInt(""));
    EXPECT_EQ(30, String::ToInt(" 30"));
    EXPECT_EQ(-12, String::ToInt("-12abc"));
    EXPECT_EQ(0, String::ToInt("abc"));
    EXPECT_EQ(5000000000L, String::ToInt("5000000000"));
    EXPECT_DOUBLE_EQ(12.5, String::ToDouble("12.5 rub"));
}

TEST(ConvString, ReplaceNeverRescansInsertedText) {
    EXPECT_EQ("a/b/c", String::Replace("a\\b\\c", "\\", "/"));
    EXPECT_EQ("xaax", String::Replace("xax", "a", "aa"));
    EXPECT_EQ("abc", String::Replace("abc", "", "z"));
}

TEST(ConvString, TrimAndUpper) {
    EXPECT_EQ("a b", Trim::BothSide(" \t a b\r\n"));
    EXPECT_EQ("", Trim::BothSide(" \r\n\t"));
    EXPECT_EQ("b", Trim::BothSide("xxbxx", "x"));
    // Bytes outside ASCII stay as they are in the C locale.
    EXPECT_EQ("PORT=COM1 \xEF\xF0", Upper("port=com1 \xEF\xF0"));
}

TEST(ConvBytes, HexBothWays) {
    EXPECT_EQ("01 AB", HEX::ToString("\x01\xAB", " "));
    EXPECT_EQ("01AB", HEX::ToString("\x01\xAB"));
    EXPECT_EQ("", HEX::ToString("", " "));
    EXPECT_EQ(0x1F, HEX::To("1f"));
    EXPECT_EQ(std::string("\x01\xAB\x00", 3), HEX::ToBytes("01 ab 00"));
    EXPECT_EQ("\x12", HEX::ToBytes("12zz"));
}

TEST(ConvBytes, BcdPacksFromTheRight) {
    EXPECT_EQ("\x07", BCD::To("7"));
    EXPECT_EQ("\x12\x34", BCD::To("1234"));
    EXPECT_EQ("\x01\x23", BCD::To("123"));
    EXPECT_EQ(std::string("\x00\x01\x23\x45", 4), BCD::To("0012345"));
    EXPECT_EQ("\x12", BCD::To("12a4"));  // the pair "a4" is skipped
    EXPECT_EQ("", BCD::To(""));
    EXPECT_EQ("0123", BCD::From(std::string("\x01\x23")));
    EXPECT_EQ("1:", BCD::From(std::string("\x1A")));
    EXPECT_EQ(59, BCD::From(static_cast<std::uint8_t>(0x59)));
}

TEST(ConvBytes, Base64RoundTrip) {
    EXPECT_EQ("", Base64::Encode(""));
    EXPECT_EQ("Zg==", Base64::Encode("f"));
    EXPECT_EQ("Zm8=", Base64::Encode("fo"));
    EXPECT_EQ("Zm9vYmFy", Base64::Encode("foobar"));
    EXPECT_EQ("fo", Base64::Decode("Zm8="));
    EXPECT_EQ("foobar", Base64::Decode("Zm9vYmFy"));
    EXPECT_EQ("f", Base64::Decode("Zg==Zm9v"));  // stops at the first "="
    const std::string binary("\x00\xFF\x80\x7F\x01", 5);
    EXPECT_EQ(binary, Base64::Decode(Base64::Encode(binary)));
}

TEST(Guards, TestStringRejectsLongOrNull) {
    EXPECT_EQ(0u, ri::Test::TestString(nullptr));
    EXPECT_EQ(0u, ri::Test::TestString(""));
    const std::string ok(499, 'k');
    const std::string tooLong(500, 'k');
    EXPECT_EQ(499u, ri::Test::TestString(ok.c_str()));
    EXPECT_EQ(0u, ri::Test::TestString(tooLong.c_str()));
}

TEST(Guards, ExceptionCarriesTextAndCode) {
    try {
        throw ri::Exception(-3, "bad port %s", "COM9");
    } catch (const std::runtime_error& e) {
        const auto& error = dynamic_cast<const ri::Exception&>(e);
        EXPECT_STREQ("bad port COM9", error.What());
        EXPECT_EQ(-3, error.Error());
    }
    EXPECT_EQ(-1, ri::Exception("plain").Error());
    EXPECT_NO_THROW(ri::Test::Assert(false, "never"));
    try {
        ri::Test::Assert(true, "100% failed", 7);  // the text is not a format
        FAIL();
    } catch (const ri::Exception& e) {
        EXPECT_STREQ("100% failed", e.What());
        EXPECT_EQ(7, e.Error());
    }
    EXPECT_EQ(std::string(300, 'x') + "1", ri::Format("%s%d", std::string(300, 'x').c_str(), 1));
}
