#include <gtest/gtest.h>

#include "ri/Format.h"

// Formats of plain "%s" take a path of their own; every format gives what
// printf gives.
TEST(Format, StringsAndOtherConversionsAsPrintfGivesThem) {
    const std::string frame(70000, 'F');
    EXPECT_EQ(ri::Format("RECV <- %s", frame.c_str()), "RECV <- " + frame);
    EXPECT_EQ(ri::Format("[%s] %s result: [%d]", "rc.out", "open", 0), "[rc.out] open result: [0]");
    EXPECT_EQ(ri::Format("%s=%s;", "a", ""), "a=;");
    EXPECT_EQ(ri::Format("100%% of %s", "it"), "100% of it");
    EXPECT_EQ(ri::Format("%5s|%-3s|", "ab", "c"), "   ab|c  |");
    EXPECT_EQ(ri::Format("no conversion"), "no conversion");
}
