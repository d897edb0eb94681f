#include "modes/DlgDirect.h"

#include <vector>

#include "ri/Map.h"
#include "ri/Sleep.h"
#include "ri/Trace.h"

namespace {

// Waits, in seconds, for the answers to screen commands; input commands
// wait the engine's default.
constexpr int kScreenWait = 3;
constexpr int kInputWait = -1;
constexpr long kRestartPauseMs = 100;

const char kEsc[] = "\x1b";

// "2", ESC, "32", ESC, ESC: opens a dialog session on the pinpad.
const char kStartMessage[] =
    "2\x1b"
    "32\x1b\x1b";

std::vector<std::string> Fields(const std::string& parameter) {
    if (parameter.empty()) return {};
    return ri::Map::Explode(parameter, "|");
}

}  // namespace

DlgDirect::DlgDirect(Tags* tags, const std::string& settingsDir)
    : HostMode(tags, "DL:", settingsDir) {}

int DlgDirect::Run(const std::string& text) {
    const Command command = Parse(text);
    const std::string& word = command.word;
    if (word == "START") return Start();
    if (word == "END") return End();
    if (word == "CLEAR") return ClrScreen();
    if (word == "WRITE") return WriteLine(command.parameter);
    if (word == "READKEY") return ReadKey(command.parameter);
    if (word == "MENU") return DisplayMenu(command.parameter);
    if (word == "READ") return ReadLine(command.parameter);
    if (word == "RESTART") {
        End();
        ri::Sleep(kRestartPauseMs);
        return Start();
    }
    return Store(command);
}

int DlgDirect::Start() {
    return OpenWith(kStartMessage, kScreenWait);
}

int DlgDirect::End() {
    return CloseWith("DL:END:", kScreenWait);
}

int DlgDirect::Confirmed(const std::string& message) {
    SendRequest(message);
    std::string answer;
    const int result = CommandLoop(&answer, kScreenWait);
    if (result != 0) return result;
    return answer == "OK" ? 0 : -1;
}

int DlgDirect::ClrScreen() {
    const int result = Confirmed("DL:CLRSCR:0");
    SetTag("ROW", "0");
    SetTag("COL", "0");
    SetTag("TIMEOUT", "10");
    SetTag("MASK", "0");
    SetTag("LENGTH", "8");
    return result;
}

int DlgDirect::WriteLine(const std::string& parameter) {
    const std::vector<std::string> fields = Fields(parameter);
    std::string row = Tag("ROW");
    std::string column = Tag("COL");
    std::string text = Tag("LINE");
    switch (fields.size()) {
        case 0:
            break;
        case 1:
            text = fields[0];
            break;
        case 2:
            row = fields[0];
            text = fields[1];
            break;
        case 3:
            row = fields[0];
            column = fields[1];
            text = fields[2];
            break;
        default:
            trace_->Error("DlgDirect: WriteLine: invalid parameters count: %d",
                          static_cast<int>(fields.size()));
            return -1;
    }
    return Confirmed("DL:WRLINE:0," + row + "," + column + "," + text);
}

int DlgDirect::ReadLine(const std::string& parameter) {
    const std::vector<std::string> fields = Fields(parameter);
    std::vector<std::string> values = {Tag("ROW"), Tag("COL"), Tag("MASK"), Tag("TIMEOUT"),
                                       Tag("LENGTH")};
    switch (fields.size()) {
        case 0:
            break;
        case 1:
            values[4] = fields[0];
            break;
        case 2:
            values = {fields[0], Tag("COL"), fields[1]};
            break;
        case 5:
            values = fields;
            break;
        default:
            trace_->Error("DlgDirect: ReadLine: invalid parameters count: %d",
                          static_cast<int>(fields.size()));
            return -1;
    }
    std::string message = "DL:RDLINE:0";
    for (const std::string& value : values) message += "," + value;
    return Input(message, "DATA:", "DATA_INPUT");
}

int DlgDirect::ReadKey(const std::string& parameter) {
    const std::vector<std::string> fields = Fields(parameter);
    if (fields.size() > 1) return -1;
    const std::string timeout = fields.empty() ? Tag("TIMEOUT") : fields[0];
    return Input("DL:RDKEY:0," + timeout, "DATA:", "KEY_INPUT");
}

int DlgDirect::DisplayMenu(const std::string& parameter) {
    std::vector<std::string> fields = Fields(parameter);
    if (fields.empty()) fields = {Tag("CAPTION"), Tag("MENU")};
    if (fields.size() < 2) return -1;
    std::string message = "DL:MENU:0";
    for (const std::string& field : fields) message += kEsc + field;
    return Input(message, "MSELECTION:", "MENU_SELECT");
}

int DlgDirect::Input(const std::string& message, const std::string& head, const std::string& tag) {
    SendRequest(message);
    std::string answer;
    const int result = CommandLoop(&answer, kInputWait);
    if (result != 0) return result;
    if (answer == head) return -2;
    if (answer.compare(0, head.size(), head) != 0) return -1;
    SetTag(tag, answer.substr(head.size()));
    return 0;
}
