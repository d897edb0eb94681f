// Opening the pinpad link (the serial line or the TCP relay named by
// "PORT") and taking the pinpad's lock: one run per pinpad, so that a second
// run on the same pinpad, in this process or another, neither talks over the
// first nor touches its files.
#include "engine/Texts.h"
#include "engine/session/PinpadSession.h"
#include "ri/Conv.h"
#include "ri/Exception.h"
#include "ri/Trace.h"
#include "transport/COMPort.h"
#include "transport/TransportFactory.h"

namespace {

constexpr char kRelayAccept = 0x05;

// Texts shown to the operator and written to the logs (CP1251).
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

void PinpadSession::Lock() {
    const long waitMs = Number(SettingRules::kLockTimeout.key);
    const std::string path = StatusFilePath() + ".lock";
    const ri::FileLock::Result result = pinpad_lock_.Acquire(path, waitMs);
    if (result == ri::FileLock::LOCK_TAKEN) return;
    if (result == ri::FileLock::LOCK_NOT_FILE) {
        // Nothing is written through a link or into a device in its place.
        trace_->Error("PPAD: lock file [%s] is a symbolic link or not a regular file",
                      path.c_str());
        throw ri::Exception(-1, "lock file [%s] is a symbolic link or not a regular file",
                            path.c_str());
    }
    if (result == ri::FileLock::LOCK_NO_FILE) {
        // A folder nobody may write: no other run can leave files there
        // either, and the serial line is still opened for this run alone.
        trace_->Warning("PPAD: lock file [%s] cannot be opened, the run goes on unlocked",
                        path.c_str());
        return;
    }
    trace_->Error("PPAD: the pinpad is busy with another run: lock [%s] not free after %ld ms",
                  path.c_str(), waitMs);
    // The code tells the session that this run never began, so that it can
    // say so to the cashier.
    throw ri::Exception(texts::kPinpadBusyCode, "pinpad busy: lock [%s] held by another run",
                        path.c_str());
}

PinpadSession::Connected PinpadSession::Connect(long comTimeoutMs) {
    if (source_) {
        ITransport* transport = source_();
        if (transport == nullptr) return kRelayFailed;
        Attach(transport);
        return kConnected;
    }
    switch (TransportFactory::KindOf(Setting("PORT"))) {
        case TransportFactory::PortKind::kRelay:
            return EthConnect() == 0 ? kConnected : kRelayFailed;
        case TransportFactory::PortKind::kSerial:
            return ComConnect(comTimeoutMs) == 0 ? kConnected : kSerialFailed;
        case TransportFactory::PortKind::kNone:
            break;
    }
    return kNoPort;
}

int PinpadSession::ComConnect(long timeoutMs) {
    trace_->Debug4("ComConnect");
    TransportFactory::SerialLine line;
    line.name = Setting("PORT");
    line.baud = Number("SPEED");
    line.parity = static_cast<int>(Number("PARITY"));
    line.data = static_cast<int>(Number("BYTE"));
    line.timeoutMs = timeoutMs > 0 ? timeoutMs : Number("TIMEOUT");
    line.sendPauseMs = Number("SERIAL_SEND_PAUSE");
    // A line has one or two stop bits; one and a half is given as two.
    const std::string stop = Setting("STOP");
    line.stop = stop == "1.5" || stop == "2" ? ri::COMPort::STOP_TWO : ri::COMPort::STOP_ONE;
    Attach(TransportFactory::Serial(line).release());
    const int opened = link_.Transport()->Connect();
    if (opened == 0) return 0;
    if (opened == ri::COMPort::OPEN_BUSY)
        trace_->Error("PPAD: serial port [%s] is held by another program", line.name.c_str());
    dialog_.ErrorReport(Encoding(kComOpenError));
    dialog_.WarningDlg(Encoding(kComOpenWarning));
    ShutDown();
    return -1;
}

int PinpadSession::EthConnect() {
    trace_->Debug4("EthConnect");
    const unsigned timeout = static_cast<unsigned>(Number("TIMEOUT"));
    const std::string address = Setting("ADDR_IP");
    const std::string port = Setting("PORT_IP");
    Attach(TransportFactory::Tcp(address, ri::Conv::String::ToInt(port)).release());
    ITransport& relay = *link_.Transport();
    relay.SetTimeouts(timeout, timeout);
    int result = 0;
    if (relay.Connect() < 0) {
        trace_->Error("%s", kRelayFail);
        trace_->Error("ADDR_IP: %s", CardData::Message(address).c_str());
        trace_->Error("PORT_IP: %s", CardData::Message(port).c_str());
        dialog_.ErrorReport(Encoding(std::string(kErrorHead) + kRelayFail + "!"));
        dialog_.WarningDlg(Encoding(kRelayFail));
        result = -1;
    } else if (Has("ORVEX_ID")) {
        relay.Send(Setting("ORVEX_ID"));
        const std::string answer = relay.Recive(1);
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
