#ifndef VELPAD_ENGINE_HANDLERS_TEXTFORMS_H
#define VELPAD_ENGINE_HANDLERS_TEXTFORMS_H

#include <string>

// The printed and shown forms of amounts and card numbers; no I/O.

// An amount in minor units with a point before its last two digits
// ("1500" -> "15.00", "5" -> "00.05"); empty for an empty amount.
std::string GetAmountStr(const std::string& amount);
// The digits of a card number in groups of four, each followed by a blank.
std::string FormatPAN(const std::string& pan);
// The card number and the expiry ("MM/YY" from the YYMM after "=") of a
// track 2 text, with or without its leading ";"; empty parts when missing.
void GetPanExpDate(const std::string& track, std::string* pan, std::string* expiry);
// Pads an amount on the left with "0" to twelve characters; an amount longer
// than twelve characters gives twelve zeros.
void formatAmount(const std::string& amount, std::string& out);

#endif
