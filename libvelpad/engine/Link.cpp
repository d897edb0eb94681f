// The message link to the pinpad: framing, NAKs, waiting for frames, opening
// the serial or TCP link and the link test.
#include <arpa/inet.h>

#include <algorithm>
#include <chrono>

#include "engine/PPAD.h"
#include "ri/Conv.h"
#include "ri/Encoding.h"
#include "ri/Exception.h"
#include "ri/Sleep.h"
#include "ri/Trace.h"
#include "transport/COMPort.h"
#include "transport/LinuxTransportSocket.h"
#include "transport/TransportFactory.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kFrameStart = 0x01;
constexpr char kRelayAccept = 0x05;
constexpr long kDefaultWaitSeconds = 60;
// Longest wait a caller may ask for (a day), far from any overflow.
constexpr long kMostWaitSeconds = 86400;
constexpr long kPayloadPollMs = 100;
constexpr size_t kMaxPayload = 0xFFFF;

// Texts shown to the operator and written to the logs (CP1251).
// "ОШИБКА! Нет ответа от пин-пада"
const char kNoAnswer[] =
    "\xCE\xD8\xC8\xC1\xCA\xC0! \xCD\xE5\xF2 \xEE\xF2\xE2\xE5\xF2\xE0 \xEE\xF2 \xEF\xE8\xED-"
    "\xEF\xE0\xE4\xE0";
// "ОШИБКА! Невозможно открыть последовательный порт!"
const char kComOpenError[] =
    "\xCE\xD8\xC8\xC1\xCA\xC0! \xCD\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xEE\xF2\xEA\xF0\xFB\xF2"
    "\xFC \xEF\xEE\xF1\xEB\xE5\xE4\xEE\xE2\xE0\xF2\xE5\xEB\xFC\xED\xFB\xE9 \xEF\xEE\xF0\xF2!";
// "Невозможно открыть СОМ порт"
const char kComOpenWarning[] =
    "\xCD\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xEE\xF2\xEA\xF0\xFB\xF2\xFC \xD1\xCE\xCC "
    "\xEF\xEE\xF0\xF2";
// "Невозможно соединиться с OrvexIPService"
const char kRelayFail[] =
    "\xCD\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xF1\xEE\xE5\xE4\xE8\xED\xE8\xF2\xFC\xF1\xFF \xF1 "
    "OrvexIPService";
// "ОШИБКА! " as the head of the relay error report.
const char kErrorHead[] = "\xCE\xD8\xC8\xC1\xCA\xC0! ";

}  // namespace

int PPAD::SendMsg(const std::string& payload, bool allowEmpty, CardData::Payload kind) {
    const std::string body = payload.empty() && !allowEmpty ? std::string("OK") : payload;
    const std::string shown = CardData::Message(body, kind);
    log_.Write("SEND -> %s", shown.c_str());
    trace_->Debug4("SendMsg: %s", shown.c_str());
    trace_->Dump(CardData::Redact(body, kind));
    if (body.size() > kMaxPayload) {
        trace_->Error("SendMsg: payload of %zu bytes does not fit a frame", body.size());
        return 1;
    }
    if (!transport_) return 1;
    std::string frame;
    frame.reserve(body.size() + 3);
    frame += kFrameStart;
    frame += static_cast<char>((body.size() >> 8) & 0xFF);
    frame += static_cast<char>(body.size() & 0xFF);
    frame += body;
    return transport_->Send(frame) == 0 ? 0 : 1;
}

int PPAD::SendOk() {
    return SendMsg("OK");
}

int PPAD::SendError() {
    return SendMsg("ER");
}

void PPAD::SendNak(int& budget) {
    trace_->Debug4("SendNak");
    if (budget <= 0 || Has("DISABLE_NAK")) throw -1;
    if (transport_) transport_->Purge();
    SendMsg("NAK");
    --budget;
}

std::string PPAD::WaitMessage(int budget, long waitSeconds) {
    trace_->Debug4("WaitMessage: [%d] [%ld]", budget, waitSeconds);
    if (waitSeconds < 0) waitSeconds = kDefaultWaitSeconds;
    const long timeoutMs = Number("TIMEOUT");
    if (timeoutMs > 0 && budget * timeoutMs > waitSeconds)
        budget = static_cast<int>(waitSeconds / timeoutMs);
    const auto now = Clock::now();
    auto deadline = now + std::chrono::seconds(std::min(waitSeconds, kMostWaitSeconds));
    // The transaction loop passes the idle time-out in milliseconds as the
    // wait in seconds: the idle time-out itself bounds every wait, whether
    // silence is answered with NAKs or not.
    const long idleMs = Number("PPAD_IDLE_TO");
    if (idleMs > 0) deadline = std::min(deadline, now + std::chrono::milliseconds(idleMs));
    return WaitFrame(budget, deadline);
}

std::string PPAD::WaitFrame(int budget, Clock::time_point deadline) {
    const long timeoutMs = Number("TIMEOUT");
    const bool quietSilence = !tags_->Get("MF_TIMEOUT").empty() || !tags_->Get("SKIP_NAK").empty();
    if (transport_) transport_->SetWaitDeadline(deadline);
    try {
        while (Clock::now() < deadline && LinkUp()) {
            std::string first = transport_->Recive(1);
            if (first.empty()) {
                trace_->Debug6("WaitMessage: recv empty");
                if (quietSilence) continue;
                log_.Write("ERROR: recive message: empty");
                SendNak(budget);
                continue;
            }
            if (first[0] != kFrameStart) {
                trace_->Debug6("WaitMessage: invalid first byte");
                log_.Write("ERROR: recive message: first byte not 0x01: [0x%02X]",
                           static_cast<unsigned char>(first[0]));
                SendNak(budget);
                continue;
            }
            std::string length = transport_->Recive(2);
            if (length.size() != 2) {
                trace_->Debug6("WaitMessage: invalid LEN length");
                log_.Write("ERROR: recive message: invalid length, must be [2]: [%d]",
                           static_cast<int>(length.size()));
                SendNak(budget);
                continue;
            }
            const size_t expected = (static_cast<unsigned char>(length[0]) << 8) |
                                    static_cast<unsigned char>(length[1]);
            std::string payload;
            const auto payloadDeadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
            while (payload.size() < expected) {
                payload += transport_->Recive(static_cast<int>(expected - payload.size()));
                // The rest of a frame cut by a dropped line never comes.
                if (payload.size() >= expected || Clock::now() >= payloadDeadline || !LinkUp())
                    break;
                ri::Sleep(kPayloadPollMs);
            }
            log_.Write("RECV <- %s", CardData::Message(payload).c_str());
            trace_->Dump(CardData::Redact(payload));
            if (payload.size() < expected) {
                log_.Write(kNoAnswer);
                return "";
            }
            return payload;
        }
        return "";
    } catch (const ri::Exception& e) {
        trace_->Error("PPAD: WaitMessage 1: %s", e.What());
    } catch (const std::exception& e) {
        trace_->Error("PPAD: WaitMessage 2: %s", e.what());
    } catch (...) {
        trace_->Error("PPAD: WaitMessage: exception");
    }
    try {
        SendNak(budget);
    } catch (...) {
    }
    return "";
}

int PPAD::ComConnect(long timeoutMs) {
    trace_->Debug4("ComConnect");
    device_.reset();
    transport_.reset(TransportFactory::getTransportCOM());
    auto* port = static_cast<ri::COMPort*>(transport_->GetParams());
    port->SetPortName(Setting("PORT"));
    port->SetPortBaud(Number("SPEED"));
    port->SetPortParity(Number("PARITY"));
    port->SetPortData(Number("BYTE"));
    port->SetPortTimeout(timeoutMs > 0 ? timeoutMs : Number("TIMEOUT"));
    port->SetSendPause(Number("SERIAL_SEND_PAUSE"));
    const std::string stop = Setting("STOP");
    port->SetPortStop(stop == "1.5" ? 1 : stop == "2" ? 2 : 0);
    const int opened = transport_->Connect();
    if (opened == 0) return 0;
    if (opened == ri::COMPort::OPEN_BUSY)
        trace_->Error("PPAD: serial port [%s] is held by another program", Setting("PORT").c_str());
    dialog_.ErrorReport(Encoding(kComOpenError));
    dialog_.WarningDlg(Encoding(kComOpenWarning));
    ShutDown();
    return -1;
}

int PPAD::EthConnect() {
    trace_->Debug4("EthConnect");
    device_.reset();
    transport_.reset(TransportFactory::getTransportSocket());
    const unsigned timeout = static_cast<unsigned>(Number("TIMEOUT"));
    std::string address = Setting("ADDR_IP");
    if (address.empty()) address = tags_->Get("addr_ip");
    std::string port = Setting("PORT_IP");
    if (port.empty()) port = tags_->Get("port_ip");
    auto* params = static_cast<LinuxTransportSocket::Params*>(transport_->GetParams());
    params->address.sin_family = AF_INET;
    params->address.sin_port = htons(static_cast<uint16_t>(ri::Conv::String::ToInt(port)));
    params->address.sin_addr.s_addr = inet_addr(address.c_str());
    transport_->SetTimeouts(timeout, timeout);
    int result = 0;
    if (transport_->Connect() < 0) {
        trace_->Error("%s", kRelayFail);
        trace_->Error("ADDR_IP: %s", address.c_str());
        trace_->Error("PORT_IP: %s", port.c_str());
        dialog_.ErrorReport(Encoding(std::string(kErrorHead) + kRelayFail + "!"));
        dialog_.WarningDlg(Encoding(kRelayFail));
        result = -1;
    } else if (Has("ORVEX_ID")) {
        transport_->Send(Setting("ORVEX_ID"));
        const std::string answer = transport_->Recive(1);
        if (answer.size() != 1) {
            trace_->Error("%s (len)", kRelayFail);
            result = -1;
        } else if (answer[0] != kRelayAccept) {
            trace_->Error("%s (byte)", kRelayFail);
            result = -1;
        }
    }
    if (result != 0) ShutDown();
    trace_->Debug("EthConnect result: [%d]", result);
    return result;
}

void PPAD::ShutDown() {
    trace_->Debug4("ShutDown");
    if (!transport_) return;
    transport_->Close();
    transport_.reset();
}

std::string PPAD::Encoding(const std::string& text) {
    if (Has("OPCHARSET") && Setting("OPCHARSET") != "CP1251" && Setting("OPCHARSET") == "UTF-8")
        return ri::Encoding::win1251_utf(text);
    return text;
}

int PPAD::TraceMessage(const std::string& text) {
    // The pinpad's own trace is a trace file too: card data and line breaks
    // in it are shown as in every other log line.
    const std::string shown = CardData::Message(text);
    trace_->Debug4("TraceMessage: %s", shown.c_str());
    if (Number("USEPPADTRACE") != 0 && !text.empty()) {
        if (!trace_writer_.IsOpen()) trace_writer_.Open(Setting("TRACE_FILE"));
        trace_writer_.Write(shown, false);
    }
    return SendOk();
}

int PPAD::Connect(long comTimeoutMs) {
    const std::string port = Setting("PORT");
    if (port == "ETH") return EthConnect() == 0 ? 0 : -1;
    if (ri::COMPort::IsCorrectName(port)) return ComConnect(comTimeoutMs) == 0 ? 0 : -2;
    return -3;
}

int PPAD::Ping() {
    if (transport_) return 0;
    const std::string message(
        "9\x1b"
        "6\x1b\x1b\x1b\x1b",
        7);
    const bool addedNoDialogs = !Has("NODIALOGS");
    if (addedNoDialogs) settings_.MakePair("NODIALOGS", "1");
    int result = Connect(3000);
    if (result != 0) {
        if (addedNoDialogs) settings_.Delete("NODIALOGS");
        return result;
    }
    SendMsg(message);
    std::string reply = WaitMessage(1, -1);
    result = reply.empty() ? -2 : 1;
    auto idleDeadline = Clock::now() + std::chrono::seconds(5);
    while (result == 1) {
        if (reply.size() > 3) {
            if (ProcessCommand(reply) == -3) {
                result = 0;
                break;
            }
            idleDeadline = Clock::now() + std::chrono::seconds(5);
        }
        reply = WaitMessage(2, -1);
        if (reply.empty() && Clock::now() >= idleDeadline) result = -2;
    }
    ShutDown();
    if (addedNoDialogs) settings_.Delete("NODIALOGS");
    return result;
}
