#ifndef VELPAD_ENGINE_HANDLERS_TEXTFORMS_H
#define VELPAD_ENGINE_HANDLERS_TEXTFORMS_H

#include <string>

namespace ri {
class Trace;
}

// The printed and shown forms of amounts and card numbers; no I/O. The
// overloads over a trace write the engine's debug line of each form first
// (the card data in it redacted) and then give the same result.

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
std::string GetAmountStr(const std::string& amount, ri::Trace& trace);
std::string FormatPAN(const std::string& pan, ri::Trace& trace);
void GetPanExpDate(const std::string& track, std::string* pan, std::string* expiry,
                   ri::Trace& trace);
void formatAmount(const std::string& amount, std::string& out);

#endif
