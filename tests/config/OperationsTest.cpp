#include <gtest/gtest.h>

#include "config/Operations.h"
#include "config/OpsTIDConv.h"
#include "support/TempDir.h"
#include "support/TestTrace.h"

namespace {

const char* const kPayment = "\xCE\xEF\xEB\xE0\xF2\xE0";  // "Оплата" (payment)

TEST(Operations, FileLines) {
    TempDir dir;
    Operations ops(TestTrace());
    ASSERT_EQ(0, ops.SetFile(dir.Write(
                     "ops.ini", std::string("1=1,1,") + kPayment +
                                    "\n2=4,3\n3=7\n4=1,2,a,b\nabc=1,2,3\n-1=1,2,3\n"
                                    "=9,9,x\n1234567890=1,1,x\n5=1,1,first\n5=2,2,second\n")));
    EXPECT_EQ("1", ops.GetType(1));
    EXPECT_EQ("1", ops.GetOwInd(1));
    EXPECT_EQ(kPayment, ops.GetName(1));
    EXPECT_EQ("4", ops.GetType(2));
    EXPECT_EQ("3", ops.GetOwInd(2));
    EXPECT_EQ("NONE", ops.GetName(2));
    EXPECT_TRUE(ops.IsExist(3));
    EXPECT_EQ("", ops.GetType(3));
    EXPECT_EQ("", ops.GetOwInd(3));
    EXPECT_EQ("", ops.GetName(3));
    EXPECT_EQ("a,b", ops.GetName(4));
    EXPECT_EQ("second", ops.GetName(5));
    EXPECT_FALSE(ops.IsExist(0));
    EXPECT_FALSE(ops.IsExist(-1));
}

TEST(Operations, UnconfiguredCodes) {
    Operations ops(TestTrace());
    EXPECT_FALSE(ops.IsExist(7));
    EXPECT_EQ("-1", ops.GetType(7));
    EXPECT_EQ("-1", ops.GetOwInd(7));
    EXPECT_EQ("NONE", ops.GetName(7));
    EXPECT_EQ("NONE", ops.GetNameByInd("1"));
    EXPECT_FALSE(ops.IsExist(7));  // lookups add nothing
}

TEST(Operations, NameByIndexTakesTheLowestCode) {
    Operations ops(TestTrace());
    ops.MakePair("20", "1,5,twenty");
    ops.MakePair("10", "1,5,ten");
    ops.MakePair("30", "1,55,thirty");
    EXPECT_EQ("ten", ops.GetNameByInd("5"));
    EXPECT_EQ("thirty", ops.GetNameByInd("55"));
    EXPECT_EQ("NONE", ops.GetNameByInd("05"));
}

TEST(Operations, LoadsAddToEarlierLoadsAndPrint) {
    TempDir dir;
    Operations ops(TestTrace());
    ASSERT_EQ(0, ops.SetFile(dir.Write("a.ini", "1=1,1,pay\n2=4,3,cancel\n")));
    ASSERT_EQ(0, ops.SetFile(dir.Write("b.ini", "2=4,4,void\n")));
    EXPECT_EQ("pay", ops.GetName(1));
    EXPECT_EQ("void", ops.GetName(2));
    EXPECT_EQ(-1, ops.SetFile(dir.Path() + "/none.ini"));
    EXPECT_EQ("pay", ops.GetName(1));
    ops.Print();
    EXPECT_NE(std::string::npos, TestTraceText().find("KEY: 002   VALUE: [  4] [  4] [void]"));
}

TEST(OpsTIDConv, KeysAreUpperCased) {
    TempDir dir;
    OpsTIDConv conv(TestTrace());
    ASSERT_EQ(0, conv.SetFile(dir.Write("conv.ini", "t1000001=ops_a.ini\nT1000002=ops_b.ini\n")));
    EXPECT_TRUE(conv.IsExist("t1000001"));
    EXPECT_TRUE(conv.IsExist("T1000002"));
    EXPECT_EQ("ops_a.ini", conv["t1000001"]);
    EXPECT_EQ("ops_b.ini", conv["t1000002"]);
    EXPECT_FALSE(conv.IsExist("T3"));
    EXPECT_EQ("", conv["t3"]);
    EXPECT_TRUE(conv.IsExist("T3"));
}

}  // namespace
