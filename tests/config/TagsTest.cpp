#include <gtest/gtest.h>

#include "config/Tags.h"

namespace {

std::string Bytes(std::initializer_list<int> list) {
    std::string out;
    for (int b : list) out += static_cast<char>(b);
    return out;
}

TEST(Tags, TextTagMakesItsListItem) {
    Tags tags;
    EXPECT_EQ(0, tags.Add("terminal_id", "12345678", 0, Tags::TAG_TEXT));
    EXPECT_EQ(Bytes({0x9F, 0x1C, 0x08}) + "12345678", tags.Make());
}

TEST(Tags, LocalTagsAreStoredButNeverSerialised) {
    Tags tags;
    tags.Add("currency", "643", 0, Tags::TAG_TEXT);
    tags.Add("response_code", "000");
    EXPECT_EQ("643", tags.Get("currency", Tags::TAG_TEXT));
    EXPECT_EQ("", tags.Make());
    EXPECT_FALSE(tags.IsExistParams("currency"));
}

TEST(Tags, NamesOutsideTheDictionaryGoToParameters) {
    Tags tags;
    tags.Add("PORT", "COM1", 2, Tags::TAG_INT32);
    tags.Add("FLAG", 'Y');
    EXPECT_EQ("", tags.Make());
    EXPECT_TRUE(tags.IsExistParams("PORT"));
    for (int type = 0; type <= 6; ++type) {
        EXPECT_EQ("COM1", tags.Get("PORT", static_cast<Tags::TagType>(type)));
    }
    EXPECT_EQ("Y", tags.Get("FLAG"));
    EXPECT_EQ(2u, tags.GetParams().size());
    EXPECT_EQ("", tags.Get("ABSENT"));
}

TEST(Tags, TextAndHexConversions) {
    Tags tags;
    tags.Add("pan", "12345", 3, Tags::TAG_TEXT);
    EXPECT_EQ("123", tags.Get("pan"));
    EXPECT_EQ("313233", tags.Get("pan", Tags::TAG_HEX));
    tags.Add("pan", "AB", 0, Tags::TAG_HEX);
    EXPECT_EQ("4142", tags.Get("pan"));
    tags.Add("pan", "ABC", 1, Tags::TAG_HEX);
    EXPECT_EQ("41", tags.Get("pan"));
    tags.Add("pan", "xy", 10, Tags::TAG_TEXT);
    EXPECT_EQ("xy", tags.Get("pan"));
}

TEST(Tags, IntegerConversions) {
    Tags tags;
    tags.Add("pan", "1", 0, Tags::TAG_INT16);
    EXPECT_EQ(Bytes({0x5A, 0x02, 0x01, 0x00}), tags.Make());
    EXPECT_EQ("1", tags.Get("pan", Tags::TAG_INT16));
    tags.Add("pan", "70000", 0, Tags::TAG_INT16);
    EXPECT_EQ("4464", tags.Get("pan", Tags::TAG_INT16));  // low 16 bits

    tags.Add("pan", "-1", 0, Tags::TAG_INT32);
    EXPECT_EQ(Bytes({0x5A, 0x04, 0xFF, 0xFF, 0xFF, 0xFF}), tags.Make());
    EXPECT_EQ("-1", tags.Get("pan", Tags::TAG_INT32));
    EXPECT_EQ("65535", tags.Get("pan", Tags::TAG_INT16));

    tags.Add("pan", Bytes({0xFF, 0xFF, 0xFF}));  // fewer than 4 bytes: unsigned
    EXPECT_EQ("16777215", tags.Get("pan", Tags::TAG_INT32));
    tags.Add("pan", "");
    EXPECT_EQ("0", tags.Get("pan", Tags::TAG_INT32));
    EXPECT_EQ("0", tags.Get("pan", Tags::TAG_INT16));
}

TEST(Tags, CharAndBcdConversions) {
    Tags tags;
    tags.Add("pan", "xyz", 0, Tags::TAG_CHAR);
    EXPECT_EQ("x", tags.Get("pan", Tags::TAG_CHAR));
    tags.Add("pan", 'Z');
    EXPECT_EQ("Z", tags.Get("pan"));
    tags.Add("pan", "", 0, Tags::TAG_CHAR);
    EXPECT_EQ("", tags.Get("pan", Tags::TAG_CHAR));

    tags.Add("pan", "123", 0, Tags::TAG_BCD);
    EXPECT_EQ(Bytes({0x01, 0x23}), tags.Get("pan"));
    EXPECT_EQ("0123", tags.Get("pan", Tags::TAG_BCD));
    tags.Add("tvr", Bytes({0xAB}));
    EXPECT_EQ(":;", tags.Get("tvr", Tags::TAG_BCD));  // nibbles above 9
}

TEST(Tags, UnknownTypeStoresNothingAndReadsAsUnknown) {
    Tags tags;
    EXPECT_EQ(-1, tags.Add("pan", "1", 0, static_cast<Tags::TagType>(6)));
    EXPECT_EQ(-1, tags.Add("pan", "1", 0, static_cast<Tags::TagType>(-1)));
    EXPECT_EQ("", tags.Get("pan"));
    tags.Add("pan", "1");
    EXPECT_EQ("unknown", tags.Get("pan", static_cast<Tags::TagType>(6)));
}

TEST(Tags, DeleteAndClear) {
    Tags tags;
    tags.Add("cmd", "1");
    tags.Add("pan", "1");
    tags.Add("PORT", "COM1");
    tags.Delete("cmd");
    tags.Delete("PORT");
    tags.Delete("NOT_THERE");
    EXPECT_EQ("", tags.Get("cmd"));
    EXPECT_FALSE(tags.IsExistParams("PORT"));
    EXPECT_EQ("1", tags.Get("pan"));
    tags.Add("OTHER", "x");
    tags.Clear();
    EXPECT_EQ("", tags.Make());
    EXPECT_TRUE(tags.GetParams().empty());
    std::uint64_t id = 0;
    EXPECT_TRUE(Tags::FindId("pan", &id));
}

TEST(Tags, DictionaryHasTheFiftySevenNames) {
    std::uint64_t id = 0;
    EXPECT_TRUE(Tags::FindId("result_enc_data", &id));
    EXPECT_EQ(0xA1A1u, id);
    EXPECT_TRUE(Tags::FindId("qr_transaction_id", &id));
    EXPECT_EQ(0x1F8419u, id);
    EXPECT_TRUE(Tags::FindId("phone_number", &id));
    EXPECT_EQ(static_cast<std::uint64_t>(-12), id);
    EXPECT_FALSE(Tags::FindId("PAN", &id));  // case-sensitive
}

TEST(Tags, SetDictionaryRenumbersAndMovesTheValue) {
    Tags tags;
    Tags other;
    tags.SetDictionary("no_such_name", 0x1F26);
    tags.Add("receipt_number", "R1");
    other.Add("receipt_number", "O1");
    tags.SetDictionary("receipt_number", 0x1F26);
    EXPECT_EQ("R1", tags.Get("card_type"));
    EXPECT_EQ("R1", tags.Get("receipt_number"));
    // The other store keeps its value under the old id, now unnamed.
    EXPECT_EQ("", other.Get("receipt_number"));
    other.Add("card_type", "C");
    EXPECT_EQ("C", other.Get("receipt_number"));

    tags.SetDictionary("receipt_number", 0x1F06);
    EXPECT_EQ("", tags.Get("card_type"));
    EXPECT_EQ("R1", tags.Get("receipt_number"));
}

TEST(Tags, PrintTagsListsNamedTagsOnly) {
    Tags tags;
    EXPECT_EQ("", tags.PrintTags());
    tags.Add("terminal_id", "12345678");
    tags.Add(std::uint64_t{0x1234}, "unnamed");
    tags.Add("OPTION", "param");
    EXPECT_EQ("         terminal_id: 12345678 [ 31 32 33 34 35 36 37 38]\n", tags.PrintTags());
    tags.Clear();
    tags.Add("terminal_id", Bytes({'A', 0x00, 'B'}));
    EXPECT_EQ("         terminal_id: A [ 41 00 42]\n", tags.PrintTags());
    // Card data is listed as the logs show it, in the text and in the hex.
    tags.Clear();
    tags.Add("pan", "4276123456781234");
    EXPECT_EQ(
        "                 pan: 427612******1234 [ 34 32 37 36 31 32 2A 2A 2A 2A 2A 2A 31 32 "
        "33 34]\n",
        tags.PrintTags());
    tags.Clear();
    tags.Add("track2_data", "4276123456781234=2512101");
    EXPECT_EQ(
        "         track2_data: <track2_data: 24 bytes> [ 3C 74 72 61 63 6B 32 5F 64 61 74 61 "
        "3A 20 32 34 20 62 79 74 65 73 3E]\n",
        tags.PrintTags());
}

}  // namespace
