#include <gtest/gtest.h>

#include "ri/Map.h"

using ri::Map;

namespace {
Map TwoEntries() {
    Map map;
    map.Set("b", "2");
    map.Set("a", "1");
    return map;
}
}  // namespace

TEST(Map, WritesThreeFormats) {
    const Map map = TwoEntries();
    EXPECT_EQ("{\"a\":\"1\",\"b\":\"2\"}", map.Make(Map::FORMAT_JSON));
    EXPECT_EQ("a=1&b=2", map.Make(Map::FORMAT_URL));
    EXPECT_EQ("a::1///b::2", map.Make(Map::FORMAT_PACK));
    EXPECT_EQ("a::1///b::2", map.Make(-1));  // a fresh map packs
    EXPECT_EQ("", map.Make(1));
    EXPECT_EQ("{}", Map().Make(Map::FORMAT_JSON));
    EXPECT_EQ("", Map().Make(Map::FORMAT_URL));
    EXPECT_EQ("\na=1\nb=2", map.Print());
    EXPECT_EQ("", Map().Print());
}

TEST(Map, ReadsJson) {
    Map map;
    EXPECT_FALSE(map.Parse(Map::FORMAT_JSON, "{}", false));
    EXPECT_TRUE(map.Parse(Map::FORMAT_JSON, "{\"a\":\"1\",\"b\":\"2\"}", false));
    EXPECT_EQ("\na=1\nb=2", map.Print());
    EXPECT_EQ(Map::FORMAT_JSON, map.GetFormat());
    Map split(Map::FORMAT_JSON, "{\"a\":\"x\",\"y\"}");  // value holding quote, comma, quote
    EXPECT_EQ("x", split["a"]);
    EXPECT_EQ(1u, split.Size());
    EXPECT_FALSE(map.Parse(Map::FORMAT_JSON, "[\"a\":\"1\"]", true));
    EXPECT_EQ(0u, map.Size());  // emptied before the text was refused
}

TEST(Map, ReadsUrlAndPack) {
    Map url(Map::FORMAT_URL, "p?x=1&y&z=2#frag");
    EXPECT_EQ("\nx=1\nz=2", url.Print());
    Map pack(Map::FORMAT_PACK, "k::v::w///bare///n::");
    EXPECT_EQ("v::w", pack.Get("k"));
    EXPECT_TRUE(pack.Exist("n"));
    EXPECT_FALSE(pack.Exist("bare"));
    EXPECT_TRUE(pack.Parse(Map::FORMAT_PACK, "k::2", false));
    EXPECT_EQ(2, pack.GetInt("k", -1));
    EXPECT_EQ(-1, pack.GetInt("none", -1));
    EXPECT_TRUE(pack.Exist("n"));  // other entries stay without clear
}

TEST(Map, UnsupportedFormatChangesNothing) {
    Map map(Map::FORMAT_URL, "a=1");
    EXPECT_FALSE(map.Parse(1, "b=2", true));
    EXPECT_FALSE(map.Parse(-1, "b=2", true));
    EXPECT_EQ(Map::FORMAT_URL, map.GetFormat());
    EXPECT_EQ("a=1", map.Make(-1));
}

TEST(Map, EntriesAndMerge) {
    Map map = TwoEntries();
    std::string key, value;
    EXPECT_EQ(0, map.GetFirst(&key, &value));
    EXPECT_EQ("a", key);
    EXPECT_EQ("1", value);
    EXPECT_EQ(0, map.GetFirst(nullptr, nullptr));
    EXPECT_EQ("", map["missing"]);
    EXPECT_FALSE(map.Exist("missing"));  // operator[] never inserts
    EXPECT_EQ("dflt", map.Get("missing", "dflt"));
    map.Delete("a");
    map.Delete("none");
    EXPECT_EQ("\nb=2", map.Print());

    Map source;
    source.Set("b", "20");
    source.Set("c", "3");
    ri::Merge(map, source);
    EXPECT_EQ("\nb=20\nc=3", map.Print());
    Map copy(Map::FORMAT_URL, "z=9");
    copy.Copy(map);
    EXPECT_EQ("b=20&c=3", copy.Make(-1));  // format code stays
    copy.Clear();
    EXPECT_EQ(-1, copy.GetFirst(&key, &value));
}

TEST(MapExplode, Pieces) {
    using V = std::vector<std::string>;
    EXPECT_EQ((V{"a", "b"}), Map::Explode("a,b", ","));
    EXPECT_EQ((V{"a", "", "b"}), Map::Explode("a,,b", ","));
    EXPECT_EQ((V{"", "a"}), Map::Explode(",a", ","));
    EXPECT_EQ((V{"a", "b"}), Map::Explode("a,b,", ","));
    EXPECT_EQ((V{""}), Map::Explode(",", ","));
    EXPECT_EQ((V{"1", "2"}), Map::Explode("1\x1B\x1B"
                                          "2",
                                          "\x1B\x1B"));
    EXPECT_EQ(V{}, Map::Explode("", ","));

    V kept{"old"};
    Map::Explode(&kept, "a,b", "");
    EXPECT_EQ(V{"old"}, kept);
    Map::Explode(&kept, "", ",");
    EXPECT_EQ(V{"old"}, kept);
    Map::Explode(&kept, "x", ",");
    EXPECT_EQ(V{"x"}, kept);
    Map::Explode(nullptr, "a,b", ",");
}

TEST(MapImplode, SkipsSeparatorWhileEmpty) {
    EXPECT_EQ("a,b", Map::Implode({"a", "b"}, ","));
    EXPECT_EQ("a", Map::Implode({"", "a"}, ","));
    EXPECT_EQ("a,,b", Map::Implode({"a", "", "b"}, ","));
    EXPECT_EQ("a,", Map::Implode({"a", ""}, ","));
    EXPECT_EQ("", Map::Implode({}, ","));
}
