// The scan velrun --report runs over every byte it bundles, so that a support
// bundle never carries card data in clear: a card number (13 to 19 digits
// that pass the Luhn check, written whole or in groups), track 2 data (a
// number, "=" or "D", then the expiry date) and track 1 data ("B", a number,
// "^"). A number masked to its first six and last four digits is no longer
// one run of digits and is not found.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace velrun {

enum class CardDataKind { kCardNumber, kTrack1, kTrack2 };

struct CardFinding {
    std::size_t offset = 0;  // of its first byte ("B", ";" or the first digit)
    CardDataKind kind = CardDataKind::kCardNumber;
};

// The first card data in bytes, by position; empty when there is none.
//
// A card number is a window of digit groups in a chain, 13 to 19 digits in
// all, not starting with 0, that passes the Luhn check. A group is a maximal
// run of digits; groups of at least 3 digits joined by one space or one dash
// form a chain ("4111 1111 1111 1111", "3782-822463-10005"), so that hex
// dumps ("34 31 31") and dates ("2024-01-15") never join into one. A window
// is any run of whole consecutive groups of a chain, so a number is found
// beside another one ("1500 4111 1111 1111 1111"); a group of more than 19
// digits holds none.
//
// Track 2 is a group of 12 to 19 digits followed by "=" or "D" (the
// separator of the chip's track 2 image) and four digits, with or without
// the sentinel ";" before it; track 1 is "B" (or "%B") before such a group
// and "^" after it. Track data is found whether or not its number passes the
// Luhn check.
std::optional<CardFinding> findCardData(std::string_view bytes);

// Whether a string of digits passes the Luhn check.
bool passesLuhn(std::string_view digits);

// "a card number", "track 1 data", "track 2 data".
const char* describe(CardDataKind kind);

}  // namespace velrun
