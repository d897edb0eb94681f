#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace transport {

// Bytes received but not yet handed out. Handing bytes out moves a read
// position instead of shifting what is left, and the storage stays between
// receives, so a large frame is copied once into it and once out of it.
class ReceiveBuffer {
public:
    std::size_t Size() const { return end_ - begin_; }
    bool Empty() const { return begin_ == end_; }
    // Room for at least count more bytes, at the returned address; the held
    // bytes move to the front or the storage grows only when it must.
    char* Reserve(std::size_t count);
    // The first count bytes of the reserved room now hold received bytes.
    void Commit(std::size_t count) { end_ += count; }
    // Hands out up to count held bytes.
    std::string Take(std::size_t count);
    void Clear() { begin_ = end_ = 0; }

private:
    std::vector<char> bytes_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

}  // namespace transport
