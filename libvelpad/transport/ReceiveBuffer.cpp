#include "transport/ReceiveBuffer.h"

#include <algorithm>
#include <cstring>

namespace transport {

char* ReceiveBuffer::Reserve(std::size_t count) {
    if (Empty()) Clear();
    if (bytes_.size() - end_ < count && begin_ > 0) {
        std::memmove(bytes_.data(), bytes_.data() + begin_, Size());
        end_ -= begin_;
        begin_ = 0;
    }
    if (bytes_.size() - end_ < count) bytes_.resize(end_ + count);
    return bytes_.data() + end_;
}

std::string ReceiveBuffer::Take(std::size_t count) {
    const std::size_t taken = std::min(count, Size());
    std::string out(bytes_.data() + begin_, taken);
    begin_ += taken;
    if (Empty()) Clear();
    return out;
}

}  // namespace transport
