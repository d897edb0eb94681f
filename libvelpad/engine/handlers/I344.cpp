// The I344 character-screen emulation: the pinpad draws lines on the
// register's display, clears them, reads a key, asks for the terminal's
// identity, and sends display streams that place text by pixel position.
// Every command is read through a bounds-checked reader, so a stream that
// ends inside a command stops there and nothing past the payload is read.
#include <algorithm>
#include <cstdint>

#include "engine/handlers/CommandRow.h"
#include "engine/handlers/RunRecords.h"
#include "ri/ByteReader.h"
#include "ri/Exception.h"
#include "ri/Trace.h"

namespace handlers {

namespace {

// Command bytes (the second byte of each command).
enum I344Command : std::uint8_t {
    kEndScreen = 0x04,
    kClearLine = 0x05,
    kPrintLine = 0x08,
    kReadKey = 0x0A,
    kIdentify = 0x13,
    kDisplayStream = 'x',
};

constexpr std::size_t kLineWidth = 16;
constexpr std::uint8_t kEscape = 0x1B;
// In display streams a value byte 0x10 announces an escaped value: the next
// byte less 0x80.
constexpr std::uint8_t kValueEscape = 0x10;
constexpr int kValueBias = 0x80;
// Pixels per character cell of the display stream.
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;
constexpr int kIgnoredValues = 5;

// The terminal's answer to the identify command: 0x0C and its model text.
const char kIdentity[] =
    "\x0C"
    "HSCL33WW0400";
// "ОБРАБОТКА..."
const char kProcessing[] = "\xCE\xC1\xD0\xC0\xC1\xCE\xD2\xCA\xC0...";

// A row number sent as a digit character.
int RowOf(std::uint8_t digit) {
    return digit - '0';
}

// One value of a display stream.
int StreamValue(ri::ByteReader& in) {
    const std::uint8_t byte = in.U8();
    return byte == kValueEscape ? in.U8() - kValueBias : byte;
}

// Draws "write text" of a display stream at pixel position x, y: the
// attribute value, then up to one line of raw text.
void StreamText(ri::ByteReader& in, Dialog& dialog, int x, int y) {
    const int attribute = StreamValue(in);
    const std::string text = in.Bytes(std::min(kLineWidth, in.Remaining()));
    const int row = static_cast<std::int8_t>(y) / kCellHeight;
    const int column = static_cast<std::int8_t>(x) / kCellWidth;
    dialog.I344PrintLine(row, column, text, attribute == '4' ? 1 : 0);
}

// Prints a line (row digit and one line of text) or clears one (row digit).
// A command cut short takes the rest of the stream with it.
void ScreenLine(std::uint8_t command, ri::ByteReader& in, Dialog& dialog) {
    const std::size_t needed = command == kPrintLine ? 1 + kLineWidth : 1;
    if (in.Remaining() < needed) {
        in.Skip(in.Remaining());
        return;
    }
    const int row = RowOf(in.U8());
    if (command == kPrintLine) {
        dialog.I344PrintLine(row, in.Bytes(kLineWidth));
    } else {
        dialog.I344PrintLine(row, std::string(kLineWidth, ' '));
    }
}

}  // namespace

// Draws the display stream at the front of stream (commands introduced by
// ESC) and returns what follows it. A stream cut short inside a sub-command
// ends there and leaves nothing.
std::string Adv_disp(Request& r, std::string& stream) {
    ri::ByteReader in(stream);
    int x = 0;
    int y = 0;
    try {
        while (!in.AtEnd() && in.Peek() == kEscape) {
            in.Skip(1);
            const std::uint8_t sub = in.U8();
            if (sub == '2') {
                x = StreamValue(in);
                y = StreamValue(in);
            } else if (sub == '4') {
                StreamText(in, r.dialog, x, y);
            } else if (sub == '6') {
                for (int i = 0; i < kIgnoredValues; ++i) StreamValue(in);
            } else {
                // An unknown sub-command ends the stream; it stays for the
                // command loop.
                return stream.substr(in.Offset() - 1);
            }
        }
    } catch (const ri::Exception& e) {
        r.trace.Debug4("Adv_disp: stream cut short: %s", e.What());
        return "";
    }
    return in.Rest();
}

Served I344Process(Request& r, const std::string& commands) {
    r.trace.Debug4("I344Process: [%d]", static_cast<int>(commands.size()));
    std::string rest = commands;
    std::string reply;
    bool closePending = true;
    r.dialog.I344Open();
    std::size_t at = 0;
    while (rest.size() - at > 1) {
        ri::ByteReader in(rest.data() + at, rest.size() - at);
        in.Skip(1);  // the first byte of a command is not examined
        const std::uint8_t command = in.U8();
        if (command == kPrintLine || command == kClearLine) {
            ScreenLine(command, in, r.dialog);
        } else if (command == kEndScreen) {
            if (closePending) {
                r.dialog.I344Close();
                r.dialog.StatusReportConst(r.session, kProcessing);
            }
            closePending = false;
        } else if (command == kReadKey) {
            r.log.Write("0xA");
            reply = r.dialog.GetPOKey();
        } else if (command == kIdentify) {
            r.reply.Send(std::string(kIdentity, sizeof(kIdentity) - 1));
            reply.clear();
        } else if (command == kDisplayStream) {
            r.dialog.I344Open();
            std::string stream = in.Rest();
            rest = Adv_disp(r, stream);
            at = 0;
            reply.clear();
            continue;
        } else {
            // Not a command: only the unexamined byte is dropped, and the
            // byte read as the command starts the next one.
            reply.clear();
            at += 1;
            continue;
        }
        at += in.Offset();
    }
    r.reply.Send(reply, true);
    r.log.Write("I344 PROCESS END");
    return kGoOn;
}

const CommandRows& I344Commands() {
    static const CommandRows rows = {
        {"I344:", I344Process, -1},
    };
    return rows;
}

}  // namespace handlers
