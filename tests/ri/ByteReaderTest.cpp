#include <gtest/gtest.h>

#include "ri/ByteReader.h"
#include "ri/Exception.h"

TEST(ByteReader, FetchesInOrder) {
    const std::string data("\x01\x00\x05hello\x12\x34\x56\x78\x01\x02", 14);
    ri::ByteReader reader(data);
    EXPECT_EQ(0x01, reader.U8());
    EXPECT_EQ(5, reader.U16BE());
    EXPECT_EQ("hello", reader.Bytes(5));
    EXPECT_EQ(0x12345678u, reader.U32BE());
    EXPECT_EQ(0x0201, reader.U16LE());
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ("", reader.Rest());
}

TEST(ByteReader, ShortFetchThrowsAndKeepsCursor) {
    const std::string readerBytes = std::string(
        "\x00\x09"
        "abc",
        5);
    ri::ByteReader reader(readerBytes);
    EXPECT_EQ(9, reader.U16BE());
    try {
        reader.Bytes(9);
        FAIL();
    } catch (const ri::Exception& e) {
        EXPECT_EQ(ri::ByteReader::kShort, e.Error());
    }
    EXPECT_EQ(2u, reader.Offset());
    EXPECT_THROW(reader.U32BE(), ri::Exception);
    EXPECT_THROW(reader.Skip(4), ri::Exception);
    std::string out = "kept";
    EXPECT_FALSE(reader.TryBytes(4, &out));
    EXPECT_EQ("kept", out);
    std::uint32_t value = 0;
    EXPECT_FALSE(reader.TryU32BE(&value));
    EXPECT_TRUE(reader.TryBytes(3, &out));
    EXPECT_EQ("abc", out);
    EXPECT_THROW(reader.Peek(), ri::Exception);
    std::uint8_t byte = 0;
    EXPECT_FALSE(reader.TryU8(&byte));
}

TEST(ByteReader, NullDataIsEmpty) {
    ri::ByteReader reader(nullptr, 10);
    EXPECT_EQ(0u, reader.Size());
    EXPECT_THROW(reader.U8(), ri::Exception);
}

TEST(ByteReader, BerTagNumbers) {
    const std::string readerBytes = std::string("\x5A\x9F\x02\xDF\x81\x01\x9F", 7);
    ri::ByteReader reader(readerBytes);
    EXPECT_EQ(0x5Au, reader.BerTag());
    EXPECT_EQ(0x9F02u, reader.BerTag());
    EXPECT_EQ(0xDF8101u, reader.BerTag());
    std::uint32_t tag = 0;
    EXPECT_FALSE(reader.TryBerTag(&tag));  // cut off by the end
    EXPECT_EQ(6u, reader.Offset());

    const std::string tooLongBytes = std::string("\x9F\x81\x81\x01", 4);
    ri::ByteReader tooLong(tooLongBytes);
    EXPECT_THROW(tooLong.BerTag(3), ri::Exception);
    EXPECT_EQ(0u, tooLong.Offset());
}

TEST(ByteReader, FieldsBySeparator) {
    const std::string readerBytes = std::string(
        "SETTAGS:a\x1B"
        "b\x1B"
        "c");
    ri::ByteReader reader(readerBytes);
    EXPECT_FALSE(reader.Expect("GETTAGS:"));
    EXPECT_TRUE(reader.Expect("SETTAGS:"));
    EXPECT_EQ("a", reader.Until("\x1B"));
    std::string field;
    EXPECT_TRUE(reader.TryUntil("\x1B", &field));
    EXPECT_EQ("b", field);
    EXPECT_FALSE(reader.TryUntil("\x1B", &field));
    EXPECT_THROW(reader.Until("\x1B"), ri::Exception);
    EXPECT_EQ("c", reader.Rest());
}
