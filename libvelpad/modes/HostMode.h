#pragma once

#include <string>

#include "engine/session/PinpadSession.h"

namespace ri {
class Trace;
}

// A mode in which the register, not the pinpad, leads the dialogue: a
// pinpad session over the caller's tag store that takes the pinpad and opens
// its link when it is made, then performs one request/answer exchange per
// host command. No transaction runs: no result file is touched. The
// pinpad's answers carry the mode's prefix ("DL:", "PROXY:"); its other
// requests met while waiting are acknowledged and the wait goes on.
class HostMode {
public:
    // settingsDir: where the session finds its settings and places its
    // files instead of the working directory (PinpadSession).
    HostMode(Tags* tags, const std::string& prefix, const std::string& settingsDir = "");
    virtual ~HostMode() = default;
    HostMode(const HostMode&) = delete;
    HostMode& operator=(const HostMode&) = delete;

    // Performs one host command; 0 success, -1 or -2 failure.
    virtual int Run(const std::string& command) = 0;
    // Whether the pinpad link is still open.
    bool Connected() const { return session_.LinkUp(); }

    // Waits up to timeout seconds (-1: 60) for the pinpad's answer: 0 with
    // the text after the prefix in *answer (answer may be null), -1 when none
    // came or the link dropped, -2 when the pinpad ended the transaction.
    int CommandLoop(std::string* answer, int timeout);

protected:
    // One host command: a word, then "=" and a value or "|" and a parameter.
    struct Command {
        std::string word;
        std::string value;
        std::string parameter;
    };
    // Raises "Run: no connection" when the link was never opened.
    Command Parse(const std::string& command) const;
    // Stores value under word as a tag when both are given; 0.
    int Store(const Command& command);
    // Sends a request; a failed send raises "Run: send message fail: ...".
    void SendRequest(const std::string& message);
    // Opens the mode on the pinpad with its start message: 0 once it
    // answers "START", -1 for another answer, else CommandLoop's failure.
    int OpenWith(const std::string& message, int timeout);
    // Closes the mode with its end message: 0 once the pinpad ends it (or
    // answers), else CommandLoop's failure.
    int CloseWith(const std::string& message, int timeout);
    // A tag of the session's store as text.
    std::string Tag(const std::string& name) const;
    void SetTag(const std::string& name, const std::string& value);

    // In a mode "TIMEOUT" is the dialog's input time-out in seconds (CLEAR
    // sets it to 10), not the link's in milliseconds: it is no setting here.
    PinpadSession session_;
    Tags* tags_;
    ri::Trace* trace_;

private:
    std::string prefix_;
    bool connected_ = false;
};
