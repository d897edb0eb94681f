#pragma once

#include <string>

#include "modes/HostMode.h"

// Direct dialog mode: the register drives the pinpad's screen and keyboard
// outside any payment. Screen positions, masks, time-outs and texts come
// from the command or from the session's tags ("ROW", "COL", "LINE",
// "MASK", "TIMEOUT", "LENGTH", "CAPTION", "MENU"); the input read is left in
// "DATA_INPUT", "KEY_INPUT" and "MENU_SELECT".
class DlgDirect : public HostMode {
public:
    explicit DlgDirect(Tags* tags, const std::string& settingsDir = "");
    ~DlgDirect() override = default;

    // Words: START, END, CLEAR, WRITE, READKEY, MENU, READ, RESTART; any
    // other word with "=" stores its value as a tag.
    int Run(const std::string& command) override;

    int Start();
    int End();
    int ClrScreen();
    int WriteLine(const std::string& parameter);
    int ReadLine(const std::string& parameter);
    int ReadKey(const std::string& parameter);
    int DisplayMenu(const std::string& parameter);

private:
    // Sends message and waits timeout seconds for an answer beginning with
    // head; the rest of it is stored as tag. 0, -1 (no or wrong answer) or
    // -2 (no input, or the pinpad ended the transaction).
    int Input(const std::string& message, const std::string& head, const std::string& tag);
    // Sends message and waits up to 3 s for the answer "OK".
    int Confirmed(const std::string& message);
};
