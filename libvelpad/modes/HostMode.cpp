#include "modes/HostMode.h"

#include <algorithm>
#include <chrono>

#include "config/CardData.h"
#include "ri/Exception.h"
#include "ri/Trace.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultWaitSeconds = 60;

}  // namespace

HostMode::HostMode(Tags* tags, const std::string& prefix, const std::string& settingsDir)
    : session_(tags, {"TIMEOUT"}, settingsDir),
      tags_(tags),
      trace_(&session_.trace()),
      prefix_(prefix) {
    session_.Lock();
    connected_ = session_.Connect(-1) == PinpadSession::kConnected;
}

HostMode::Command HostMode::Parse(const std::string& text) const {
    if (!connected_) throw ri::Exception(0, "Run: no connection");
    Command command;
    command.word = text;
    const size_t equals = text.find('=');
    if (equals != std::string::npos) {
        command.word = text.substr(0, equals);
        command.value = text.substr(equals + 1);
    }
    const size_t bar = text.find('|');
    if (bar != std::string::npos) {
        command.word = text.substr(0, bar);
        command.parameter = text.substr(bar + 1);
    }
    return command;
}

int HostMode::Store(const Command& command) {
    if (!command.word.empty() && !command.value.empty()) SetTag(command.word, command.value);
    return 0;
}

void HostMode::SendRequest(const std::string& message) {
    if (session_.SendMsg(message) != 0)
        throw ri::Exception(0, "Run: send message fail: %s", CardData::Message(message).c_str());
}

std::string HostMode::Tag(const std::string& name) const {
    return tags_->Get(name);
}

void HostMode::SetTag(const std::string& name, const std::string& value) {
    tags_->Add(name, value, static_cast<int>(value.size()), Tags::TAG_TEXT);
}

// The pinpad's own requests (a "PING:" among them) are acknowledged while
// the register waits; silence is not answered with NAKs, since the pinpad
// may be waiting for the cardholder.
int HostMode::CommandLoop(std::string* answer, int timeout) {
    const auto deadline =
        Clock::now() + std::chrono::seconds(timeout < 0 ? kDefaultWaitSeconds : timeout);
    while (true) {
        if (!session_.LinkUp()) {
            trace_->Error("CommandLoop: link lost while waiting for a %s answer", prefix_.c_str());
            return -1;
        }
        const auto left = std::chrono::duration_cast<std::chrono::seconds>(deadline - Clock::now());
        if (left.count() < 0) return -1;
        const std::string message = session_.WaitMessage(0, std::max<long>(1, left.count()));
        if (message.empty()) {
            if (Clock::now() >= deadline) return -1;
            continue;
        }
        if (message == "ENDTR") {
            session_.SendMsg("OK");
            return -2;
        }
        if (message.compare(0, prefix_.size(), prefix_) == 0) {
            if (answer) *answer = message.substr(prefix_.size());
            return 0;
        }
        session_.SendMsg("OK");
    }
}

int HostMode::OpenWith(const std::string& message, int timeout) {
    SendRequest(message);
    std::string answer;
    const int result = CommandLoop(&answer, timeout);
    if (result != 0) return result;
    return answer == "START" ? 0 : -1;
}

int HostMode::CloseWith(const std::string& message, int timeout) {
    SendRequest(message);
    const int result = CommandLoop(nullptr, timeout);
    return result == -2 ? 0 : result;
}
