// The request field splitter gives the fields the handlers have always read:
// those of ri::Map::Explode, for separators at either end, doubled, absent.
#include <gtest/gtest.h>

#include "engine/RequestFields.h"
#include "ri/Map.h"

namespace {

const std::vector<std::string>& Texts() {
    static const std::vector<std::string> texts = {"",
                                                   ":",
                                                   "::",
                                                   "a",
                                                   "a:",
                                                   ":a",
                                                   "a::b",
                                                   "2:host:7000",
                                                   "9:-1:-1",
                                                   "x:y:z:",
                                                   std::string("\0:\0", 3),
                                                   std::string(5000, ':'),
                                                   std::string(70000, 'A')};
    return texts;
}

TEST(RequestFields, SplitsAsTheHandlersAlwaysRead) {
    for (const std::string& text : Texts())
        EXPECT_EQ(SplitFields(text, ':'), ri::Map::Explode(text, ":")) << text.size();
    EXPECT_EQ(SplitFields("1\x1b"
                          "2\x1b\x1b"
                          "4",
                          '\x1b'),
              (std::vector<std::string>{"1", "2", "", "4"}));
}

TEST(RequestFields, FirstSeparatorOnly) {
    std::string head = "kept";
    std::string rest = "kept";
    EXPECT_FALSE(SplitFirst("no separator", '\x1c', &head, &rest));
    EXPECT_EQ(head, "kept");
    EXPECT_EQ(rest, "kept");
    EXPECT_TRUE(
        SplitFirst("a.txt\x1c"
                   "b\x1c"
                   "c",
                   '\x1c', &head, &rest));
    EXPECT_EQ(head, "a.txt");
    EXPECT_EQ(rest,
              "b\x1c"
              "c");
    EXPECT_TRUE(SplitFirst(":", ':', &head, &rest));
    EXPECT_EQ(head, "");
    EXPECT_EQ(rest, "");
}

}  // namespace
