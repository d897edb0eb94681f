// Channels to the bank host, opened on the pinpad's behalf: the pinpad opens
// a channel, names the host's address and the time-outs, then passes its
// request bytes in "WRITE:" and fetches the answer with "READ:". The register
// relays the bytes unchanged and never looks into them.
#include <arpa/inet.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <vector>

#include "engine/RequestFields.h"
#include "engine/handlers/CommandRow.h"
#include "ri/Conv.h"
#include "ri/Map.h"
#include "ri/Trace.h"
#include "transport/TransportFactory.h"

namespace handlers {

namespace {

// The channel numbers by which the pinpad names a channel; every kind opens
// the same TCP channel, only the socket kind is ever connected.
constexpr int kSocketChannel = 2;
constexpr int kComChannel = 3;
constexpr int kModemChannel = 4;

constexpr unsigned kDefaultTimeoutMs = 30000;
// The pinpad gives its time-outs in tens of milliseconds. A channel time-out
// is held to ten minutes so that one "READ:" cannot block the register for
// days.
constexpr long kTimeUnitMs = 10;
constexpr long kMaxTimeoutMs = 600000;
// The longest answer a "READ:" may carry: the channel number, ":" and the
// data must fit in one frame of at most 65535 bytes.
constexpr long kMaxReadLength = 65535 - 2;
// A length or time of any size is no misread: a large one is held to the
// bounds above.
constexpr long kLargestField = std::numeric_limits<long>::max();

constexpr int kConnectInfo = 41;
constexpr int kDisconnectInfo = 42;

// Status lines shown while a request is relayed (CP1251).
// "посылка запроса"
const char kSending[] = "\xEF\xEE\xF1\xFB\xEB\xEA\xE0 \xE7\xE0\xEF\xF0\xEE\xF1\xE0";
// "запрос отправлен"
const char kSent[] = "\xE7\xE0\xEF\xF0\xEE\xF1 \xEE\xF2\xEF\xF0\xE0\xE2\xEB\xE5\xED";
// "ожидание ответа"
const char kWaiting[] = "\xEE\xE6\xE8\xE4\xE0\xED\xE8\xE5 \xEE\xF2\xE2\xE5\xF2\xE0";
// "ответ получен"
const char kReceived[] = "\xEE\xF2\xE2\xE5\xF2 \xEF\xEE\xEB\xF3\xF7\xE5\xED";

bool IsChannelNumber(long number) {
    return number >= kSocketChannel && number <= kModemChannel;
}

bool IsChannelChar(char c) {
    return c >= '0' + kSocketChannel && c <= '0' + kModemChannel;
}

// A field of decimal digits only, read as a number within [0, max]; -1 when
// the field is empty, holds anything else or lies beyond max.
long Decimal(const std::string& field, long max) {
    long value = -1;
    return ri::Conv::String::ToDecimal(field, 0, max, &value) ? value : -1;
}

// The dotted address rebuilt from its four decimal parts ("010.000.001.005"
// becomes "10.0.1.5"); empty when it is not such an address.
std::string DottedAddress(const std::string& text) {
    const std::vector<std::string> parts = ri::Map::Explode(text, ".");
    if (parts.size() != 4) return "";
    std::string address;
    for (const std::string& part : parts) {
        const long value = Decimal(part, 255);
        if (value < 0) return "";
        if (!address.empty()) address += ".";
        address += std::to_string(value);
    }
    return address;
}

// Connects the channel to the host named by the address and port fields of a
// "CONNECT:" request; 0 when connected, -1 for a malformed address or port or
// a failed connect.
int ConnectSocket(BankChannel& channel, Logger& log, ri::Trace& trace, const std::string& host,
                  const std::string& portField) {
    log.Write("%s", host.c_str());
    const std::string address = DottedAddress(host);
    const long port = Decimal(portField, 65535);
    if (address.empty() || port <= 0) {
        trace.Error("ConnectDevice: invalid address: [%s] [%s]", host.c_str(), portField.c_str());
        return -1;
    }
    log.Write("%s", address.c_str());
    log.Write("%s", portField.c_str());
    return channel.Connect(TransportFactory::Ipv4(address, port)) ? 0 : -1;
}

}  // namespace

Served OpenDevice(Request& r, const std::string& kind) {
    r.trace.Debug4("OpenDevice: %s", kind.c_str());
    r.log.Write("OpenDevice!!!");
    if (kind == "PRINTER") return r.reply.Ok();
    if (!r.bank.Open(kDefaultTimeoutMs)) {
        r.log.Write("Create channel fail");
        return r.reply.Error();
    }
    if (kind == "SOCKET") return r.reply.Answer("OK:" + std::to_string(kSocketChannel));
    if (kind == "COM") return r.reply.Answer("OK:" + std::to_string(kComChannel));
    if (kind == "MODEM") return r.reply.Answer("OK:" + std::to_string(kModemChannel));
    return r.reply.Error();
}

Served ConnectDevice(Request& r, const std::string& argument) {
    r.trace.Debug4("ConnectDevice: %s", argument.c_str());
    if (argument.empty()) return r.reply.Error();
    r.log.Write("Connect");
    const std::vector<std::string> fields = SplitFields(argument, ':');
    if (fields.size() != 3 || !r.bank.Held()) return r.reply.Error();
    if (Decimal(fields[0], kModemChannel) == kSocketChannel &&
        ConnectSocket(r.bank, r.log, r.trace, fields[1], fields[2]) != 0)
        return r.reply.Error();
    if (r.Has("INFO_DIALOG")) r.dialog.InfoWin(std::to_string(kConnectInfo) + "|Connect");
    return r.reply.Ok();
}

Served IoctlDevice(Request& r, const std::string& argument) {
    r.trace.Debug4("IoctlDevice: %s", argument.c_str());
    const std::vector<std::string> fields = SplitFields(argument, ':');
    if (fields.size() < 3) return r.reply.Error();
    const long first = Decimal(fields[1], kLargestField);
    const long second = Decimal(fields[2], kLargestField);
    if (first < 0 || second < 0) {
        r.trace.Error("IoctlDevice: invalid time: [%s]", argument.c_str());
        return r.reply.Error();
    }
    const long timeout =
        kTimeUnitMs * std::min(std::max(first, second), kMaxTimeoutMs / kTimeUnitMs);
    r.log.Write("Setting time out %ld", timeout);
    if (Decimal(fields[0], kModemChannel) == kSocketChannel)
        r.bank.SetTimeouts(static_cast<unsigned>(timeout));
    r.log.Write("Time out setted");
    return r.reply.Ok();
}

Served WriteDevice(Request& r, const std::string& argument) {
    r.trace.Debug4("WriteDevice: %s",
                   CardData::Message(argument, CardData::Payload::kChannel).c_str());
    // One channel digit, then a separator that is no further digit.
    if (argument.size() < 2 || !IsChannelChar(argument[0]) ||
        (argument[1] >= '0' && argument[1] <= '9') || !r.bank.Held())
        return r.reply.Error();
    r.dialog.StatusReportConst(r.session, kSending);
    // The data follows the channel number and one separator character.
    const std::string data = argument.substr(2);
    const int sent = r.bank.Send(data);
    r.dialog.StatusReportConst(r.session, kSent);
    if (sent == 0) return r.reply.Ok();
    r.trace.Error("WriteDevice: invalid send result: [%d] [%d]", sent,
                  static_cast<int>(data.size()));
    return r.reply.Error();
}

Served ReadDevice(Request& r, const std::string& argument) {
    r.trace.Debug4("ReadDevice: %s", argument.c_str());
    std::string channel;
    std::string maximum;
    if (!SplitFirst(argument, ':', &channel, &maximum)) return r.reply.Error();
    const long number = Decimal(channel, kModemChannel);
    if (!IsChannelNumber(number) || !r.bank.Held()) return r.reply.Error();
    // The pinpad's maximum is bounded: nothing is asked for below one byte,
    // and never more than one answer frame can carry.
    const long length = Decimal(maximum, kLargestField);
    if (length <= 0) {
        r.trace.Error("ReadDevice: invalid length: [%s]", CardData::Message(maximum).c_str());
        return r.reply.Error();
    }
    r.dialog.StatusReportConst(r.session, kWaiting);
    const std::string data = r.bank.Receive(static_cast<int>(std::min(length, kMaxReadLength)));
    if (data.empty()) r.log.Write("WSAGetLastError = %ld", static_cast<long>(errno));
    const std::string reply = std::to_string(number) + ":" + data;
    r.dialog.StatusReportConst(r.session, kReceived);
    return r.reply.Answer(reply, false, CardData::Payload::kChannel);
}

Served DisconnectDevice(Request& r, const std::string& argument) {
    r.trace.Debug4("DisconnectDevice: %s", argument.c_str());
    if (!argument.empty() && IsChannelChar(argument[0])) r.bank.Close();
    return r.reply.Ok();
}

Served CloseDevice(Request& r, const std::string& argument) {
    r.trace.Debug4("CloseDevice: %s", argument.c_str());
    if (!argument.empty() && argument[0] == '0' + kSocketChannel) r.bank.Release();
    if (r.Has("INFO_DIALOG")) r.dialog.InfoWin(std::to_string(kDisconnectInfo) + "|Disconnect");
    return r.reply.Ok();
}

const CommandRows& DeviceChannelCommands() {
    static const CommandRows rows = {
        {"DEVICEOPEN:", OpenDevice, 1},       {"DEVICECLOSE:", CloseDevice, 1},
        {"IOCTL:", IoctlDevice, 1},           {"CONNECT:", ConnectDevice, 1},
        {"WRITE:", WriteDevice, 1},           {"READ:", ReadDevice, 1},
        {"DISCONNECT:", DisconnectDevice, 1},
    };
    return rows;
}

}  // namespace handlers
