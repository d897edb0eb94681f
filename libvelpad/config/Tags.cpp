#include "config/Tags.h"

#include <algorithm>

#include "ri/Conv.h"
#include "ri/Format.h"

namespace {

bool IsKnownType(int type) {
    return type >= Tags::TAG_TEXT && type <= Tags::TAG_BCD;
}

// The first size bytes of value, all of it when size is 0 or negative.
std::string Head(const std::string& value, int size) {
    return size > 0 ? value.substr(0, static_cast<std::size_t>(size)) : value;
}

// The low `width` bytes of number, least significant first.
std::string LittleEndian(long number, std::size_t width) {
    const auto bits = static_cast<unsigned long>(number);
    std::string out;
    for (std::size_t i = 0; i < width; ++i) {
        out += static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    return out;
}

// Up to `width` leading bytes read little-endian, unsigned.
unsigned long ReadLittleEndian(const std::string& bytes, std::size_t width) {
    const std::size_t n = std::min(bytes.size(), width);
    unsigned long value = 0;
    for (std::size_t i = 0; i < n; ++i) {
        value |= static_cast<unsigned long>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    return value;
}

// A full 4-byte value is a signed number; shorter ones are unsigned.
std::string DecodeInt32(const std::string& stored) {
    const unsigned long bits = ReadLittleEndian(stored, 4);
    const long value = stored.size() >= 4 ? static_cast<long>(static_cast<std::int32_t>(bits))
                                          : static_cast<long>(bits);
    return ri::Format("%ld", value);
}

}  // namespace

std::string Tags::Encode(const std::string& value, int size, TagType type) {
    switch (type) {
        case TAG_TEXT:
            return Head(value, size);
        case TAG_HEX:
            return ri::HEX::ToString(Head(value, size));
        case TAG_INT32:
            return LittleEndian(ri::Conv::String::ToInt(value), 4);
        case TAG_INT16:
            return LittleEndian(ri::Conv::String::ToInt(value), 2);
        case TAG_CHAR:
            return value.substr(0, 1);
        case TAG_BCD:
            return ri::BCD::To(value);
    }
    return {};
}

std::string Tags::Decode(const std::string& stored, TagType type) {
    switch (type) {
        case TAG_TEXT:
            return stored;
        case TAG_HEX:
            return ri::HEX::ToString(stored);
        case TAG_INT32:
            return DecodeInt32(stored);
        case TAG_INT16:
            return ri::Format("%ld", static_cast<long>(ReadLittleEndian(stored, 2)));
        case TAG_CHAR:
            return stored.substr(0, 1);
        case TAG_BCD:
            return ri::BCD::From(stored);
    }
    return "unknown";  // a type outside the six conversions
}

int Tags::Add(std::uint64_t id, const std::string& value, int size, TagType type) {
    if (!IsKnownType(type)) {
        return -1;
    }
    store_[id] = Encode(value, size, type);
    return 0;
}

int Tags::Add(std::uint64_t id, char c) {
    return Add(id, std::string(1, c), 1, TAG_CHAR);
}

int Tags::Add(const std::string& name, const std::string& value, int size, TagType type) {
    std::uint64_t id = 0;
    if (FindId(name, &id)) {
        return Add(id, value, size, type);
    }
    params_[name] = value;
    return 0;
}

int Tags::Add(const std::string& name, char c) {
    std::uint64_t id = 0;
    if (FindId(name, &id)) {
        return Add(id, c);
    }
    params_[name] = std::string(1, c);
    return 0;
}

std::string Tags::Get(const std::string& name, TagType type) const {
    std::string result;
    std::uint64_t id = 0;
    if (FindId(name, &id)) {
        const auto stored = store_.find(id);
        if (stored != store_.end()) {
            result = Decode(stored->second, type);
        }
    }
    if (result.empty()) {
        const auto param = params_.find(name);
        if (param != params_.end()) {
            return param->second;
        }
    }
    return result;
}

void Tags::Delete(const std::string& name) {
    std::uint64_t id = 0;
    if (FindId(name, &id)) {
        store_.erase(id);
    } else {
        params_.erase(name);
    }
}

void Tags::Clear() {
    store_.clear();
    params_.clear();
}

bool Tags::IsExistParams(const std::string& name) const {
    return params_.count(name) != 0;
}
