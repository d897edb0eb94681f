#include <gtest/gtest.h>

#include "config/RcConv.h"
#include "config/RcResult.h"
#include "support/TempDir.h"
#include "support/TestTrace.h"

namespace {

TEST(RcConv, ConvertsListedCodesOnly) {
    TempDir dir;
    RcConv conv(TestTrace());
    ASSERT_EQ(0, conv.SetFile(dir.Write("rc_conv.ini",
                                        "5=51\nabc=1\n1=abc\n-5=10\n1234567890=1\n"
                                        "2=\n=3\n4=40\n4=41\n")));
    EXPECT_EQ(51, conv[5]);
    EXPECT_EQ(6, conv[6]);
    EXPECT_EQ(1, conv[1]);
    EXPECT_EQ(-5, conv[-5]);
    EXPECT_EQ(2, conv[2]);  // an empty target is no code, not 0
    EXPECT_EQ(0, conv[0]);
    EXPECT_EQ(41, conv[4]);
}

TEST(RcConv, MissingFileKeepsCodes) {
    RcConv conv(TestTrace());
    EXPECT_EQ(-1, conv.SetFile("/nonexistent/rc_conv.ini"));
    EXPECT_EQ(999, conv[999]);
}

TEST(RcResult, TextsByCode) {
    TempDir dir;
    RcResult texts(TestTrace());
    ASSERT_EQ(0, texts.SetFile(dir.Write("rc_res.ini",
                                         "51=Insufficient funds\nx=text\n7=a=b\n8= lead \n"
                                         "=empty\n9=\xCE\xEA\n9=\xC4\xE0\n")));
    EXPECT_EQ("Insufficient funds", texts.Get(51, "default"));
    EXPECT_EQ("a=b", texts.Get(7, "default"));
    EXPECT_EQ(" lead", texts.Get(8, "default"));
    EXPECT_EQ("\xC4\xE0", texts.Get(9, "default"));
    EXPECT_FALSE(texts.IsExist(0));
    EXPECT_EQ("default", texts.Get(5, "default"));
}

}  // namespace
