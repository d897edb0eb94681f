// The tag names the virtual pinpad reads in engine logs are the library's:
// each stands for the same tag number in the library's dictionary, and every
// tag of a tag list that the library has a name for is among them.
#include <gtest/gtest.h>

#include <set>

#include "LogTagNames.h"
#include "config/Tags.h"

namespace {

// The numbers a tag list can carry in one or two bytes, and in three bytes
// after a first byte that begins a longer tag.
std::vector<std::uint64_t> WireTags() {
    std::vector<std::uint64_t> tags;
    for (std::uint64_t tag = 0; tag <= 0xFFFF; ++tag) tags.push_back(tag);
    for (std::uint64_t first = 0x1F; first <= 0xFF; first += 0x20)
        for (std::uint64_t rest = 0; rest <= 0xFFFF; ++rest) tags.push_back(first << 16 | rest);
    return tags;
}

}  // namespace

TEST(LogTagNames, AreTheNamesTheLibraryWritesInItsLog) {
    std::set<std::string> known;
    for (const auto& [name, tag] : vpinpad::LogTagNames::All()) {
        std::uint64_t id = 0;
        EXPECT_TRUE(Tags::FindId(name, &id)) << name;
        EXPECT_EQ(id, tag) << name;
        EXPECT_EQ(Tags::NameOf(tag), name);
        known.insert(name);
    }
    for (std::uint64_t tag : WireTags()) {
        const std::string name = Tags::NameOf(tag);
        if (name.empty()) continue;
        EXPECT_EQ(known.count(name), 1u) << name << " is not read from logs";
    }
}
