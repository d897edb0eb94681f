#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "transport/ReceiveBuffer.h"

using transport::ReceiveBuffer;

namespace {

void Put(ReceiveBuffer* buffer, const std::string& bytes, std::size_t room) {
    std::memcpy(buffer->Reserve(room), bytes.data(), bytes.size());
    buffer->Commit(bytes.size());
}

}  // namespace

// Bytes come out in the order they arrived, whatever mix of partial takes,
// compaction and growth lies between.
TEST(ReceiveBuffer, HandsBytesOutInArrivalOrder) {
    ReceiveBuffer buffer;
    EXPECT_TRUE(buffer.Empty());
    EXPECT_EQ("", buffer.Take(5));
    Put(&buffer, std::string("\x01\x00\x05hello", 8), 16);
    EXPECT_EQ("\x01", buffer.Take(1));
    EXPECT_EQ(std::string("\x00\x05", 2), buffer.Take(2));
    // More than the free room at the end: what is held moves to the front.
    Put(&buffer, "world", 12);
    EXPECT_EQ(10u, buffer.Size());
    EXPECT_EQ("helloworld", buffer.Take(100));
    EXPECT_TRUE(buffer.Empty());
    // A frame far larger than any earlier receive.
    std::string large(70000, 'x');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 31);
    Put(&buffer, "ab", 4);
    EXPECT_EQ("a", buffer.Take(1));
    Put(&buffer, large, large.size());
    EXPECT_EQ("b" + large.substr(0, 999), buffer.Take(1000));
    EXPECT_EQ(large.substr(999), buffer.Take(large.size()));
    Put(&buffer, "z", 1);
    buffer.Clear();
    EXPECT_TRUE(buffer.Empty());
}
