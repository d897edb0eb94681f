#pragma once

#include <string>

// Rules that decide what a run makes of its settings files, in one place for
// the engine and for velrun --check (which compiles this file in), so that
// the check reports what a run will do. No I/O: each reads the files its own
// way and hands the values over.
class SettingRules {
public:
    // A time-out setting in milliseconds: a value of 1..most is taken, any
    // other (0, below 0, beyond most, no number) is replaced by fallback.
    struct Timeout {
        const char* key;
        long fallback;
        long most;
    };
    // One frame and every single receive.
    static constexpr Timeout kLinkTimeout{"TIMEOUT", 1000, 60000};
    // The pinpad's silence within a transaction.
    static constexpr Timeout kIdleTimeout{"PPAD_IDLE_TO", 120000, 3600000};
    // The wait for a pinpad that another run holds.
    static constexpr Timeout kLockTimeout{"PPAD_LOCK_TO", 5000, 600000};
    // The time-outs held to their bounds when the engine is made.
    static constexpr Timeout kStartTimeouts[] = {kLinkTimeout, kIdleTimeout};

    // The value of a setting's text as the engine reads a number (blanks
    // skipped, a sign allowed, trailing text ignored, 0 without a digit).
    static long Number(const std::string& text);
    // Whether the text of a time-out setting is taken as it stands.
    static bool Accepts(const Timeout& timeout, const std::string& text);
    // The time-out a run uses for the text: its value, or the fallback.
    static long InForce(const Timeout& timeout, const std::string& text);
    // What the logs say of a text that is not taken:
    // "KEY=[text] is not in 1..MOST ms, FALLBACK is used" (the text up to a
    // zero byte, as the logs show it).
    static std::string Replaced(const Timeout& timeout, const std::string& text);

    // The name an operation line gets without one.
    static constexpr char kNoName[] = "NONE";
    // An operation line's value "TYPE,OWINDEX,NAME": the type before the
    // first comma, the pinpad index up to the second, the name after it
    // (further commas stay in the name; kNoName with one comma only); a
    // value without any comma gives three empty fields.
    struct Operation {
        std::string type;
        std::string owIndex;
        std::string name;
    };
    static Operation SplitOperation(const std::string& value);
    // A code of the operation and result-code tables: 1 to 9 digits, no
    // sign. Any other key is not read as a code.
    static bool IsTableCode(const std::string& key);
    // What the start message lacks when an operation is run as its line
    // has it ("no pinpad type", "no pinpad index", "no pinpad type and
    // index"), or null when the line gives both.
    static const char* MissingStartFields(const Operation& operation);

    // The ledger of operations a run keeps unless "LEDGER_FILE" names
    // another file ("NO_LEDGER" turns it off).
    static constexpr char kLedgerFile[] = "ledger.db";

    // The "PORT" value of the TCP relay.
    static constexpr char kRelayPort[] = "ETH";
    // A serial device name: "COM" and one character, "\\.\COM..." or
    // "//./COM..." of more than six characters, or any "/dev/tty..." name.
    static bool IsSerialName(const std::string& port);
};
