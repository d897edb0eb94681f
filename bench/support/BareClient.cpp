#include "support/BareClient.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace bench {

namespace {

constexpr int kBankWaitMs = 10000;

class BareHost {
public:
    ~BareHost() {
        if (bank_ >= 0) close(bank_);
    }
    // The reply to one request; empty after "ENDTR" has been answered.
    std::string Answer(const std::string& request);

private:
    std::string Argument(const std::string& request) const {
        return request.substr(request.find(':') + 1);
    }
    std::string Channel(const std::string& request);

    int bank_ = -1;
};

// The file named by "GETFILE:" in the working directory, read afresh each
// time as the library reads it.
std::string FileContent(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return "ER";
    std::ostringstream content;
    content << in.rdbuf();
    return content.str().empty() ? "OK" : content.str();
}

std::string BareHost::Answer(const std::string& request) {
    if (request.rfind("DEVICEOPEN:", 0) == 0) return "OK:2";
    if (request.rfind("GETFILE:", 0) == 0) return FileContent(Argument(request));
    if (request.rfind("CONNECT:", 0) == 0 || request.rfind("WRITE:", 0) == 0 ||
        request.rfind("READ:", 0) == 0 || request.rfind("DISCONNECT:", 0) == 0)
        return Channel(request);
    return "OK";
}

// The bank channel: CONNECT:2:host:port, WRITE:2:bytes, READ:2:max, DISCONNECT:2.
std::string BareHost::Channel(const std::string& request) {
    const std::string rest = Argument(Argument(request));
    if (request.rfind("CONNECT:", 0) == 0) {
        bank_ = ConnectLoopback(std::stoi(rest.substr(rest.find(':') + 1)));
    } else if (request.rfind("WRITE:", 0) == 0) {
        WriteAll(bank_, rest);
    } else if (request.rfind("READ:", 0) == 0) {
        return "2:" + ReadSome(bank_, static_cast<std::size_t>(std::stoi(rest)), kBankWaitMs);
    } else if (bank_ >= 0) {
        close(bank_);
        bank_ = -1;
    }
    return "OK";
}

}  // namespace

std::string PaymentStart() {
    return std::string(
        "1\x1b"
        "1\x1b"
        "643\x1b"
        "15.00\x1b\x1b");
}

void BareTransaction(FrameLink& link, const std::string& startMessage) {
    BareHost host;
    link.Send(startMessage);
    for (;;) {
        const std::string request = link.Receive();
        link.Send(host.Answer(request));
        if (request == "ENDTR") return;
    }
}

}  // namespace bench
