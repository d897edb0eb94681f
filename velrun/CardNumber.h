// The card number as velrun prints it.
#pragma once

#include <string>

namespace velrun {

// Digits after the first six and before the last four become "*" (for
// numbers under 12 positions only the last four stay, under 8 none); the "*"
// of digits the terminal masked already count as positions. Other characters
// stay as they are.
std::string maskCardNumber(const std::string& number);

}  // namespace velrun
