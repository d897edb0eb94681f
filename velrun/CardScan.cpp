#include "CardScan.h"

#include <string>
#include <vector>

namespace velrun {

namespace {

constexpr std::size_t kShortestNumber = 13;
constexpr std::size_t kLongestNumber = 19;
constexpr std::size_t kShortestTrackNumber = 12;
constexpr std::size_t kShortestJoinedGroup = 3;
constexpr std::size_t kExpiryDigits = 4;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A maximal run of digits, [begin, end).
struct Group {
    std::size_t begin;
    std::size_t end;
    std::size_t size() const { return end - begin; }
};

Group groupAt(std::string_view bytes, std::size_t at) {
    std::size_t end = at;
    while (end < bytes.size() && isDigit(bytes[end])) ++end;
    return {at, end};
}

// Whether the group after `group` joins its chain: one space or dash between
// them, and both long enough to be part of a written card number.
bool joinsNext(std::string_view bytes, const Group& group) {
    const std::size_t next = group.end + 1;
    if (group.size() < kShortestJoinedGroup || next >= bytes.size()) return false;
    if (bytes[group.end] != ' ' && bytes[group.end] != '-') return false;
    return groupAt(bytes, next).size() >= kShortestJoinedGroup;
}

bool digitsAt(std::string_view bytes, std::size_t at, std::size_t count) {
    if (at + count > bytes.size()) return false;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!isDigit(bytes[i])) return false;
    }
    return true;
}

// Track 1 or track 2 data whose number is `group`.
std::optional<CardFinding> trackAround(std::string_view bytes, const Group& group) {
    if (group.size() < kShortestTrackNumber || group.size() > kLongestNumber ||
        group.end >= bytes.size())
        return std::nullopt;
    const char after = bytes[group.end];
    if (after == '^' && group.begin > 0 && bytes[group.begin - 1] == 'B') {
        const std::size_t start = group.begin - 1;
        const bool sentinel = start > 0 && bytes[start - 1] == '%';
        return CardFinding{sentinel ? start - 1 : start, CardDataKind::kTrack1};
    }
    if ((after == '=' || after == 'D') && digitsAt(bytes, group.end + 1, kExpiryDigits)) {
        const bool sentinel = group.begin > 0 && bytes[group.begin - 1] == ';';
        return CardFinding{sentinel ? group.begin - 1 : group.begin, CardDataKind::kTrack2};
    }
    return std::nullopt;
}

// A card number in the windows of the chain that start at its group `first`.
bool numberFrom(std::string_view bytes, const std::vector<Group>& chain, std::size_t first) {
    if (bytes[chain[first].begin] == '0') return false;
    std::string digits;
    for (std::size_t last = first; last < chain.size(); ++last) {
        const Group& group = chain[last];
        if (digits.size() + group.size() > kLongestNumber) return false;
        digits.append(bytes.substr(group.begin, group.size()));
        if (digits.size() >= kShortestNumber && passesLuhn(digits)) return true;
    }
    return false;
}

std::optional<CardFinding> findInChain(std::string_view bytes, const std::vector<Group>& chain) {
    for (std::size_t first = 0; first < chain.size(); ++first) {
        if (const auto track = trackAround(bytes, chain[first])) return track;
        if (numberFrom(bytes, chain, first))
            return CardFinding{chain[first].begin, CardDataKind::kCardNumber};
    }
    return std::nullopt;
}

}  // namespace

std::optional<CardFinding> findCardData(std::string_view bytes) {
    std::size_t at = 0;
    std::vector<Group> chain;
    while (at < bytes.size()) {
        if (!isDigit(bytes[at])) {
            ++at;
            continue;
        }
        chain.assign(1, groupAt(bytes, at));
        while (joinsNext(bytes, chain.back()))
            chain.push_back(groupAt(bytes, chain.back().end + 1));
        if (const auto found = findInChain(bytes, chain)) return found;
        at = chain.back().end;
    }
    return std::nullopt;
}

bool passesLuhn(std::string_view digits) {
    if (digits.empty()) return false;
    int sum = 0;
    bool twice = false;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (!isDigit(*it)) return false;
        int value = *it - '0';
        if (twice) value = value * 2 > 9 ? value * 2 - 9 : value * 2;
        sum += value;
        twice = !twice;
    }
    return sum % 10 == 0;
}

const char* describe(CardDataKind kind) {
    switch (kind) {
        case CardDataKind::kTrack1:
            return "track 1 data";
        case CardDataKind::kTrack2:
            return "track 2 data";
        case CardDataKind::kCardNumber:
            break;
    }
    return "a card number";
}

}  // namespace velrun
