#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vpinpad {

// A log that cannot be read as the host's engine log, with the line that shows it.
class LogError : public std::runtime_error {
public:
    LogError(int line, const std::string& text)
        : std::runtime_error("line " + std::to_string(line) + ": " + text), line_(line) {}
    int Line() const { return line_; }

private:
    int line_;
};

// What one line of the engine log tells about the pinpad link.
struct LogEvent {
    enum class Kind {
        kConnected,    // "Connection OK": the host opened the link for a run
        kStartNext,    // "External Command": the host's next frame is a start message
        kHostFrame,    // "SEND -> ": a frame the host sent
        kPinpadFrame,  // "RECV <- ": a whole frame from the pinpad
        kPinpadCut,    // "RECV <- " and then the host's "no answer": a frame cut short
        kStrayByte,    // "first byte not 0x01": a byte outside a frame (in `value`)
        kShortHeader,  // "invalid length": a frame header cut after `value` length bytes
    };
    Kind kind = Kind::kHostFrame;
    int line = 0;
    std::int64_t millis = 0;    // the line's time stamp in milliseconds
    bool wholeSeconds = false;  // the time stamp counts whole seconds only
    std::string text;           // a frame's payload as the log shows it, escapes decoded
    int value = 0;
};

// Reads the engine's time-stamped log: one line per message, each begun by a time stamp in
// one of the forms the engine writes ("2026/01/15 12:30:45", "20260115 123045.120" or the
// milliseconds since the epoch), control bytes written as "\xNN". Lines that say nothing
// about the pinpad link are passed over; a line without a time stamp, or with a raw
// control byte, is no line of such a log.
class EngineLog {
public:
    // Throws LogError.
    static std::vector<LogEvent> Read(const std::string& text);
    // The lines of a text, as Read counts them.
    static int CountLines(const std::string& text);
    // "\xNN" back to the byte it stands for; any other backslash stays as it is.
    static std::string Unescape(const std::string& shown);
};

}  // namespace vpinpad
