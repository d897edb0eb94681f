#pragma once

#include <string>

#include "modes/HostMode.h"

// Proxy mode: the register uses the pinpad as its network proxy. It lists
// the access points the pinpad sees, connects to one, sends and receives
// data over it and disconnects. Inputs may come from the session's tags
// ("AP_NAME", "PROXY_SEND", "RECV_SIZE"); results are left in "AP_LIST"
// and "PROXY_RECV".
class ProxyMode : public HostMode {
public:
    static const std::string PROXY_CMD_PREFIX;
    static const size_t PROXY_CMD_LEN;

    explicit ProxyMode(Tags* tags, const std::string& settingsDir = "");
    ~ProxyMode() override = default;

    // Words: START, END, CONNECT, DISCONNECT, SEND, RECV, GETAPLIST; any
    // other word with "=" stores its value as a tag.
    int Run(const std::string& command) override;

    int Start();
    int End();
    int Connect(const std::string& parameter);
    int Disconnect();
    int Send(const std::string& parameter);
    int Receive(const std::string& parameter);
    int GetApList();

private:
    // Sends "PROXY:" + request + the one field of parameter (the tag when
    // the parameter is empty) and waits for the answer. -1 without sending
    // when the parameter holds more than one field.
    int Request(const char* name, const std::string& request, const std::string& parameter,
                const std::string& tag, std::string* answer);
    // Judges a "DATA:" answer: the data after it is stored as tag.
    int Data(const std::string& answer, const std::string& tag);
    // An answer that must be exactly expected; else the error is traced
    // with the name of the operation and the result is -2.
    int Expect(const std::string& answer, const char* expected, const char* name);
};
