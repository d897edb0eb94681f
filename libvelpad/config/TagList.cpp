#include <cstdint>

#include "config/Tags.h"
#include "ri/ByteReader.h"
#include "ri/Format.h"
#include "ri/Trace.h"

namespace {

// Tag bytes, most significant first: one byte per significant byte of the id
// (ids below Tags::kLocalBase take at most three).
void AppendTagBytes(std::uint64_t id, std::string* out) {
    if (id > 0xFFFF) {
        *out += static_cast<char>((id >> 16) & 0xFF);
    }
    if (id > 0xFF) {
        *out += static_cast<char>((id >> 8) & 0xFF);
    }
    *out += static_cast<char>(id & 0xFF);
}

// A first byte with all five low bits set, or 0xA1, starts a longer tag.
bool StartsLongTag(std::uint8_t first) {
    return (first & 0x1F) == 0x1F || first == 0xA1;
}

// Reads one tag number. A long tag takes the following bytes while their top
// bit is set (unless the second byte is 0xA1, which ends the tag at once),
// then one last byte. False when the list ends inside the tag.
bool ReadTag(ri::ByteReader* reader, std::uint64_t* id) {
    std::uint8_t byte = 0;
    if (!reader->TryU8(&byte)) {
        return false;
    }
    std::uint64_t tag = byte;
    if (StartsLongTag(byte)) {
        if (!reader->AtEnd() && (reader->Peek() & 0x80) != 0 && reader->Peek() != 0xA1) {
            while (!reader->AtEnd() && (reader->Peek() & 0x80) != 0) {
                tag = (tag << 8) | reader->U8();
            }
        }
        if (!reader->TryU8(&byte)) {
            return false;
        }
        tag = (tag << 8) | byte;
    }
    *id = tag;
    return true;
}

}  // namespace

// The length byte is read signed by the pinpad: a longer value would arrive as
// "no value" and its bytes would be read as further tags, so it is left out.
void Tags::ReportOverlong(std::uint64_t id, std::size_t length) {
    std::string name = NameOf(id);
    if (name.empty()) {
        name = ri::Format("0x%llX", static_cast<unsigned long long>(id));
    }
    ri::Trace::Get()->Error(
        "Tags::Make: tag %s holds %zu bytes, more than %zu; left out of the list", name.c_str(),
        length, kMaxValueLength);
}

std::string Tags::Make() const {
    std::string out;
    for (const auto& [id, value] : store_) {
        if (id >= kLocalBase) {
            continue;
        }
        if (value.size() > kMaxValueLength) {
            ReportOverlong(id, value.size());
            continue;
        }
        AppendTagBytes(id, &out);
        out += static_cast<char>(value.size());
        out += value;
    }
    return out;
}

namespace {

// Walks the whole items of a tag list, calling visit(id, head, value offset,
// value length) for each; returns the bytes the whole items take.
template <typename Visit>
std::size_t WalkItems(const std::string& list, Visit visit) {
    ri::ByteReader reader(list);
    std::size_t whole = 0;
    std::uint64_t id = 0;
    while (ReadTag(&reader, &id)) {
        std::uint8_t lengthByte = 0;
        if (!reader.TryU8(&lengthByte)) {
            break;
        }
        const auto length = static_cast<std::int8_t>(lengthByte);
        const std::size_t valueAt = reader.Offset();
        if (length > 0 && !reader.TrySkip(static_cast<std::size_t>(length))) {
            break;
        }
        const std::size_t end = reader.Offset();
        visit(id, whole, valueAt, end - valueAt);
        whole = end;
    }
    return whole;
}

}  // namespace

std::vector<Tags::Item> Tags::Items(const std::string& list, std::size_t* used) {
    std::vector<Item> items;
    const std::size_t whole = WalkItems(
        list, [&](std::uint64_t id, std::size_t at, std::size_t valueAt, std::size_t length) {
            Item item;
            item.id = id;
            item.head = list.substr(at, valueAt - at);
            item.value = list.substr(valueAt, length);
            items.push_back(std::move(item));
        });
    if (used != nullptr) {
        *used = whole;
    }
    return items;
}

// Values are copied straight from the list into the store: a list that
// repeats the tags of the last one reuses their storage.
void Tags::Parse(const std::string& data) {
    WalkItems(data, [&](std::uint64_t id, std::size_t, std::size_t valueAt, std::size_t length) {
        if (length > 0) {  // a length of 0 or below carries no value
            store_[id].assign(data, valueAt, length);
        }
    });
}

bool Tags::IsWhole(const std::string& list) {
    return WalkItems(list, [](std::uint64_t, std::size_t, std::size_t, std::size_t) {}) ==
           list.size();
}

std::string Tags::ValueIn(const std::string& list, const std::string& name) {
    std::uint64_t wanted = 0;
    if (!FindId(name, &wanted)) {
        return std::string();
    }
    std::size_t from = 0;
    std::size_t size = 0;
    WalkItems(list, [&](std::uint64_t id, std::size_t, std::size_t valueAt, std::size_t length) {
        if (id == wanted && length > 0) {
            from = valueAt;
            size = length;
        }
    });
    return list.substr(from, size);
}
