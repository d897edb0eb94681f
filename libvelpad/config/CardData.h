#pragma once

#include <string>

// Card data as the logs show it. This is the one place that knows which tags
// and message fields carry card data: the card number ("pan", and the
// loyalty card number) is shown masked to its first six and last four
// digits; tracks, discretionary data, the cardholder name, loyalty tracks,
// encrypted card data and the card field of the start message are shown by
// their length only, as "<track2_data: 37 bytes>". Every trace, log line and
// hex dump that may hold such a value is written through here.
class CardData {
public:
    // Separates the fields inside a pinpad payload.
    static constexpr char kFieldSeparator = 0x1B;
    // What a message payload holds where no command word tells it.
    enum class Payload {
        kText,     // a command or reply; tag lists and channel data found by their word
        kTagList,  // a tag list with nothing in front (the reply to "GETTAGS:")
        kStart,    // the start message; its sixth field is card data
        kChannel,  // "N:" and bytes read from a device channel
    };

    // True for the names of tags that hold card data.
    static bool IsCardTag(const std::string& name);
    // Digits after the first six and before the last four become "*" (only
    // the last four stay for numbers under 12 digits, none under 8); other
    // characters stay as they are.
    static std::string MaskPan(const std::string& pan);
    // A card number as text: kept when it is text already (digits, "*" and
    // the "D" of the short form), else unpacked from packed digits (nibble D
    // shown as "*", padding F dropped).
    static std::string PanText(const std::string& value);
    // A tag's value as a log shows it (unchanged for tags without card data).
    static std::string Value(const std::string& name, const std::string& value);
    // A tag's value as a result file or the runner may show it: card numbers
    // masked, other card data left out (empty).
    static std::string ResultValue(const std::string& name, const std::string& value);
    // A tag list as "name=value" items separated by blanks; an item cut short
    // is shown by its length only.
    static std::string TagList(const std::string& list);
    // A message payload as a log line shows it, control bytes as "\xNN".
    static std::string Message(const std::string& payload, Payload kind = Payload::kText);
    // The payload's bytes with every card value replaced by how the log shows
    // it, for hexadecimal dumps.
    static std::string Redact(const std::string& payload, Payload kind = Payload::kText);
    // Bytes of unknown structure that a transport read: text that begins
    // with a command word as by Message, anything else by its length only.
    static std::string Stream(const std::string& bytes);
    // A request of the register to a host-driven mode (a word, then "="
    // and a value or "|" and a parameter): the data a proxy relays and
    // values of card-data tags by their length, other digit runs masked.
    static std::string Request(const std::string& request);
    // Every run of 13 or more digits in a text masked as a card number.
    static std::string MaskDigitRuns(const std::string& text);
};
