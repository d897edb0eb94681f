#include "transport/TransportCOM.h"

#include "ri/Exception.h"

TransportCOM::~TransportCOM() {
    port_.ClosePort();
}

int TransportCOM::Connect() {
    lineFailed_ = false;
    return port_.OpenPort();
}

int TransportCOM::Close() {
    port_.ClosePort();
    return 0;
}

int TransportCOM::Send(const std::string& data) {
    // Bytes left over from an earlier exchange would be taken for the answer
    // to this one.
    port_.Purge();
    return port_.Send(data);
}

std::string TransportCOM::Recive(int length) {
    if (length <= 0) {
        return std::string();
    }
    int error = 0;
    std::string data =
        port_.Receive(static_cast<std::size_t>(length), port_.GetPortTimeout(), &error);
    if (error != 0) {
        lineFailed_ = true;
        throw ri::Exception(error, "COM port Receive fail: [%d]", error);
    }
    return data;
}

void TransportCOM::SetTimeouts(unsigned int receive, unsigned int) {
    port_.SetPortTimeout(static_cast<long>(receive));
}

int TransportCOM::Purge() {
    return port_.Purge();
}
