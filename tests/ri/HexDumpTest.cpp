#include <gtest/gtest.h>

#include <algorithm>

#include "ri/HexDump.h"

TEST(HexDump, RowsOfSixteenPaddedWithZeroBytes) {
    std::string bytes;
    for (int i = 1; i <= 17; ++i) bytes += static_cast<char>(i);
    EXPECT_EQ(ri::HexDump(bytes, "> ", false),
              "> 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10\n"
              "> 11 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n");
    EXPECT_EQ(ri::HexDump("", "> ", false), "");
}

// Control and non-ASCII bytes show as ".", DEL as the escape every log line
// uses for it; blanks and printable bytes as they are.
TEST(HexDump, CharactersAfterTheBytes) {
    const std::string bytes("A z\x1F\x7F\x80\xFF~", 8);
    EXPECT_EQ(ri::HexDump(bytes, "", true),
              "41 20 7A 1F 7F 80 FF 7E 00 00 00 00 00 00 00 00 A z.\\x7F..~........\n");
}

TEST(HexDump, LargeFrameGivesOneLinePerRow) {
    const std::string bytes(59811, 'Z');
    const std::string text = ri::HexDump(bytes, "", true);
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
              (bytes.size() + 15) / 16);
    EXPECT_EQ(text.substr(0, 65),
              "5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A ZZZZZZZZZZZZZZZZ\n");
}
