#include "modes/ProxyMode.h"

#include <vector>

#include "ri/Map.h"
#include "ri/Trace.h"

namespace {

constexpr int kStartWait = 3;
constexpr int kAnswerWait = -1;

// "9", ESC, "38", ESC, ESC: opens a proxy session on the pinpad.
const char kStartMessage[] =
    "9\x1b"
    "38\x1b\x1b";

const char kData[] = "DATA:";

}  // namespace

const std::string ProxyMode::PROXY_CMD_PREFIX = "PROXY:";
const size_t ProxyMode::PROXY_CMD_LEN = ProxyMode::PROXY_CMD_PREFIX.size();

ProxyMode::ProxyMode(Tags* tags, const std::string& settingsDir)
    : HostMode(tags, PROXY_CMD_PREFIX, settingsDir) {}

int ProxyMode::Run(const std::string& text) {
    const Command command = Parse(text);
    const std::string& word = command.word;
    if (word == "START") return Start();
    if (word == "END") return End();
    if (word == "CONNECT") return Connect(command.parameter);
    if (word == "DISCONNECT") return Disconnect();
    if (word == "SEND") return Send(command.parameter);
    if (word == "RECV") return Receive(command.parameter);
    if (word == "GETAPLIST") return GetApList();
    return Store(command);
}

int ProxyMode::Start() {
    return OpenWith(kStartMessage, kStartWait);
}

int ProxyMode::End() {
    return CloseWith(PROXY_CMD_PREFIX + "END", kStartWait);
}

int ProxyMode::Request(const char* name, const std::string& request, const std::string& parameter,
                       const std::string& tag, std::string* answer) {
    std::string message = PROXY_CMD_PREFIX + request;
    if (parameter.empty()) {
        message += Tag(tag);
    } else {
        const std::vector<std::string> fields = ri::Map::Explode(parameter, "|");
        if (fields.size() != 1) {
            trace_->Error("ProxyMode: %s: invalid parameters count: %d", name,
                          static_cast<int>(fields.size()));
            return -1;
        }
        message += fields[0];
    }
    SendRequest(message);
    return CommandLoop(answer, kAnswerWait);
}

int ProxyMode::Expect(const std::string& answer, const char* expected, const char* name) {
    if (answer == expected) return 0;
    trace_->Error("ProxyMode: %s: error answer=[%s]", name, CardData::Message(answer).c_str());
    return -2;
}

int ProxyMode::Data(const std::string& answer, const std::string& tag) {
    if (answer == kData) return -2;
    if (answer.compare(0, sizeof(kData) - 1, kData) != 0) return -1;
    SetTag(tag, answer.substr(sizeof(kData) - 1));
    return 0;
}

int ProxyMode::Connect(const std::string& parameter) {
    std::string answer;
    const int result = Request("Connect", "CONNECT:", parameter, "AP_NAME", &answer);
    return result != 0 ? result : Expect(answer, "CONNECTED", "Connect");
}

int ProxyMode::Send(const std::string& parameter) {
    std::string answer;
    const int result = Request("Send", "SEND:", parameter, "PROXY_SEND", &answer);
    return result != 0 ? result : Expect(answer, "OK", "Send");
}

int ProxyMode::Receive(const std::string& parameter) {
    std::string answer;
    const int result = Request("Receive", "RECV:", parameter, "RECV_SIZE", &answer);
    return result != 0 ? result : Data(answer, "PROXY_RECV");
}

int ProxyMode::Disconnect() {
    SendRequest(PROXY_CMD_PREFIX + "DISCONNECT");
    std::string answer;
    const int result = CommandLoop(&answer, kAnswerWait);
    // Its error line reads "Connect" as well, as the register's logs have it.
    return result != 0 ? result : Expect(answer, "OK", "Connect");
}

int ProxyMode::GetApList() {
    SendRequest(PROXY_CMD_PREFIX + "GET_AP_LIST");
    std::string answer;
    const int result = CommandLoop(&answer, kAnswerWait);
    return result != 0 ? result : Data(answer, "AP_LIST");
}
