#include "api/LegacyRecord.h"

#include <algorithm>

std::size_t LegacyRecord::Visible(std::size_t offset, std::size_t width) const {
    if (offset >= size_) return 0;
    return std::min(width, size_ - offset);
}

std::string LegacyRecord::Text(std::size_t offset, std::size_t width) const {
    if (!Holds(offset, width)) return std::string();
    const auto* start = reinterpret_cast<const char*>(bytes_ + offset);
    return std::string(start, strnlen(start, width));
}

void LegacyRecord::Put(std::size_t offset, std::size_t limit, const std::string& value) {
    const std::size_t count = std::min(Visible(offset, limit), value.size());
    if (count > 0) std::memcpy(bytes_ + offset, value.data(), count);
}
