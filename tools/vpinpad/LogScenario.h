#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "EngineLog.h"

namespace vpinpad {

// Turns the host's engine log of a run into a scenario that plays the pinpad's side of the
// same exchange: what the pinpad sent ("RECV <-" lines) is sent, what the host sent
// ("SEND ->" lines) is expected, exactly where the log shows the bytes and by its beginning
// where the log masked card data, and the pinpad's pauses are kept (the shortest the time
// stamps allow, at most kMostPauseMs each).
//
// Card data stays as the log shows it: masked card numbers as they are (packed again inside
// tag lists), data shown by its length as that many filler bytes. The bank channel goes to
// the emulator's fake bank: "CONNECT:" names it instead of the shop's bank (a connect the
// host could not make names port 0, which the host refuses again), the filler the pinpad
// writes is expected at the bank, and the bank answers each "READ:" that brought data with
// filler of the same length.
//
// Link faults are played again: a byte outside a frame, a header or a frame cut short; a NAK
// of the host is expected where the log shows one. A run that broke off (the log ends, or
// the host connects anew, without the pinpad's "ENDTR" answered) ends with the pinpad
// dropping the line at that point. A run that ended and another that follows in the same log
// are played in turn.
class LogScenario {
public:
    static constexpr std::int64_t kMostPauseMs = 10000;

    // The scenario, `source` naming the log in its heading. Throws LogError.
    static std::string Convert(const std::string& logText, const std::string& source);

private:
    explicit LogScenario(std::vector<LogEvent> events) : events_(std::move(events)) {}

    void Take(std::size_t at);
    void HostFrame(const LogEvent& event);
    void PinpadEvent(const LogEvent& event, const LogEvent* reply);
    void PinpadFrame(const LogEvent& event, const LogEvent* reply);
    void Expect(const LogEvent& event);
    void ExpectStart(const LogEvent& event);
    void ExpectText(const LogEvent& event);
    void ExpectTags(const LogEvent& event);
    void SendTagList(const LogEvent& event, const std::string& word);
    void Connect(const LogEvent& event, const LogEvent* reply);
    void Read(const LogEvent& event, const LogEvent* reply);
    void Send(const LogEvent& event, const std::string& payload);
    void Pause(const LogEvent& event);
    void FlushNaks();
    void EndSession(bool atEnd, int logLine);
    void NewSession();
    const LogEvent* ReplyTo(std::size_t at) const;
    void Step(const std::string& step, int logLine, const std::string& note = "");
    void Comment(const std::string& text);
    std::string Heading(const std::string& source) const;

    std::vector<LogEvent> events_;
    std::string steps_;
    int frames_ = 0;
    int connections_ = 0;
    std::int64_t pausedMs_ = 0;
    // The session on the current connection.
    bool sessionFrames_ = false;
    bool startNext_ = false;
    bool ended_ = false;
    bool bankConnected_ = false;
    std::string request_;    // the pinpad's request the host has not answered yet
    std::string written_;    // bytes the pinpad wrote to the bank, for the bank's check
    int bankReplyLine_ = 0;  // the host's reply to a "READ:" the fake bank answers
    std::string bankReply_;  // what that reply holds
    const LogEvent* lastHost_ = nullptr;  // the host's last frame since the pinpad's last
    std::vector<int> pendingNaks_;        // log lines of NAKs not yet expected
};

}  // namespace vpinpad
