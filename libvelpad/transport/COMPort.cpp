#include "transport/COMPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "config/SettingRules.h"
#include "ri/INI.h"
#include "ri/Sleep.h"
#include "transport/Poll.h"

namespace ri {

namespace {

// The first byte of a reception is awaited this long unless the user's
// deadline comes sooner; the link's NAK pacing on a serial line rests on it.
constexpr long kFirstByteWaitMs = 10000;
// Longest wait for the line to take all bytes of one send.
constexpr long kSendWaitMs = 100000;
// Longest pause before a purge a setting may ask for.
constexpr long kMaxSettleMs = 10000;

struct BaudEntry {
    long baud;
    speed_t constant;
};

constexpr BaudEntry kBauds[] = {{1200, B1200},   {2400, B2400},    {4800, B4800},
                                {9600, B9600},   {19200, B19200},  {38400, B38400},
                                {57600, B57600}, {115200, B115200}};

bool BaudConstant(long baud, speed_t* constant) {
    for (const BaudEntry& entry : kBauds) {
        if (entry.baud == baud) {
            *constant = entry.constant;
            return true;
        }
    }
    return false;
}

bool DataBitsFlag(int data, tcflag_t* flag) {
    switch (data) {
        case 5:
            *flag = CS5;
            return true;
        case 6:
            *flag = CS6;
            return true;
        case 7:
            *flag = CS7;
            return true;
        case 8:
            *flag = CS8;
            return true;
        default:
            return false;
    }
}

bool ParityFlags(int parity, tcflag_t* control, tcflag_t* input) {
    switch (parity) {
        case COMPort::PARITY_NONE:
            *control = 0;
            *input = IGNPAR;
            return true;
        case COMPort::PARITY_EVEN:
            *control = PARENB;
            *input = INPCK;
            return true;
        case COMPort::PARITY_ODD:
            *control = PARENB | PARODD;
            *input = INPCK;
            return true;
        default:
            return false;
    }
}

bool StopFlag(int stop, tcflag_t* flag) {
    switch (stop) {
        case COMPort::STOP_ONE:
            *flag = 0;
            return true;
        case COMPort::STOP_TWO:
            *flag = CSTOPB;
            return true;
        default:
            return false;
    }
}

}  // namespace

COMPort::COMPort(int n) : name_("/dev/ttyS" + std::to_string(n)) {
    if (OpenPort() != OPEN_OK) {
        throw -1;
    }
}

COMPort::~COMPort() {
    ClosePort();
}

int COMPort::SetUp(INI* ini, const std::string& section) {
    if (ini == nullptr) {
        return -1;
    }
    name_ = ini->GetStr(section, "Port", "");
    if (name_.empty()) {
        return -1;
    }
    baud_ = ini->GetMainInt("Baud", 9600);
    data_ = static_cast<int>(ini->GetMainInt("Data", 8));
    stop_ = static_cast<int>(ini->GetMainInt("Stop", STOP_ONE));
    parity_ = static_cast<int>(ini->GetMainInt("Parity", PARITY_NONE));
    return 0;
}

bool COMPort::IsCorrectName(const std::string& name) {
    return SettingRules::IsSerialName(name);
}

int COMPort::OpenPort() {
    if (IsOpen()) {
        return OPEN_OK;
    }
    if (name_.empty()) {
        return OPEN_FAILED;
    }
    // The descriptor stays non-blocking: every read and write is preceded by a
    // bounded wait for readiness, so no call can outlive its time-out.
    fd_ = open(name_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        return OPEN_FAILED;
    }
    // One program at a time on the line: two readers would take each other's
    // frames.
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ClosePort();
        return OPEN_BUSY;
    }
    const int result = Configure();
    if (result != OPEN_OK) {
        ClosePort();
        return result;
    }
    // A line just opened always settles for the default pause: the pinpad may
    // still be ending the previous run on it.
    Settle(kDefaultSettleMs);
    return OPEN_OK;
}

// Applies the configured line settings in raw mode: no echo, no line editing,
// no output processing, no flow control, modem lines ignored.
int COMPort::Configure() {
    termios settings{};
    if (tcgetattr(fd_, &settings) != 0) {
        return OPEN_GETATTR;
    }
    speed_t speed = B0;
    tcflag_t dataBits = 0;
    tcflag_t parity = 0;
    tcflag_t input = 0;
    tcflag_t stop = 0;
    if (!BaudConstant(baud_, &speed)) {
        return OPEN_BAUD;
    }
    if (!DataBitsFlag(data_, &dataBits)) {
        return OPEN_DATA;
    }
    if (!ParityFlags(parity_, &parity, &input)) {
        return OPEN_PARITY;
    }
    if (!StopFlag(stop_, &stop)) {
        return OPEN_STOP;
    }
    settings.c_iflag = input;
    settings.c_oflag = 0;
    settings.c_cflag = dataBits | parity | stop | CREAD | HUPCL | CLOCAL;
    settings.c_lflag &= ~static_cast<tcflag_t>(ISIG | ICANON | ECHO | ECHOE | IEXTEN);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, speed);
    cfsetospeed(&settings, speed);
    if (tcsetattr(fd_, TCSANOW, &settings) != 0) {
        return OPEN_SETATTR;
    }
    return OPEN_OK;
}

void COMPort::SetSendPause(long ms) {
    settleMs_ = ms < 0 ? kDefaultSettleMs : std::min(ms, kMaxSettleMs);
}

int COMPort::ClosePort() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    return 0;
}

int COMPort::Purge() {
    if (IsOpen()) Settle(settleMs_);
    return 0;
}

void COMPort::Settle(long ms) {
    if (ms > 0) Sleep(ms);
    tcflush(fd_, TCIOFLUSH);
}

int COMPort::Send(const char* data, std::size_t length, std::size_t* sent) {
    std::size_t written = 0;
    if (IsOpen() && data != nullptr) {
        const transport::Clock::time_point deadline = transport::DeadlineIn(kSendWaitMs);
        while (written < length) {
            const long left = transport::RemainingMs(deadline);
            if (transport::WaitReady(fd_, POLLOUT, left) <= 0) {
                break;
            }
            const ssize_t count = write(fd_, data + written, length - written);
            if (count > 0) {
                written += static_cast<std::size_t>(count);
            } else if (left == 0 || (count < 0 && errno != EINTR && errno != EAGAIN)) {
                break;
            }
        }
    }
    if (sent != nullptr) {
        *sent = written;
    }
    return (length > 0 && written == length) ? 0 : -1;
}

int COMPort::Send(const std::string& data) {
    return Send(data.data(), data.size(), nullptr);
}

// One non-blocking read: the count read, 0 when nothing was waiting, -1 when
// the line failed or was hung up.
int COMPort::ReadAvailable(char* buffer, std::size_t length) {
    for (;;) {
        const ssize_t count = read(fd_, buffer, length);
        if (count > 0) {
            return static_cast<int>(count);
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        return (count < 0 && errno == EAGAIN) ? 0 : -1;
    }
}

int COMPort::Recv(char* buffer, std::size_t length, long timeoutMs) {
    if (!IsOpen() || buffer == nullptr) {
        return -1;
    }
    if (length == 0) {
        return 0;
    }
    const int ready = transport::WaitReady(fd_, POLLIN, FirstByteWaitMs(timeoutMs));
    if (ready <= 0) {
        return ready;
    }
    const transport::Clock::time_point deadline = transport::DeadlineIn(timeoutMs);
    std::size_t received = 0;
    for (;;) {
        const int count = ReadAvailable(buffer + received, length - received);
        if (count < 0) {
            return received > 0 ? static_cast<int>(received) : -1;
        }
        received += static_cast<std::size_t>(count);
        const long left = transport::RemainingMs(deadline);
        if (received == length || left == 0 || transport::WaitReady(fd_, POLLIN, left) <= 0) {
            return static_cast<int>(received);
        }
    }
}

long COMPort::FirstByteWaitMs(long timeoutMs) const {
    const long left = transport::RemainingMs(firstByteDeadline_);
    return std::min(kFirstByteWaitMs, std::max(left, timeoutMs));
}

std::string COMPort::Receive(std::size_t length, long timeoutMs, int* error) {
    if (error != nullptr) {
        *error = 0;
    }
    if (length > kMaxReceive) {
        return std::string();
    }
    // A buffer of this call alone: ports used by sessions on other threads
    // never share reception memory.
    std::string buffer(length, '\0');
    const int count = Recv(&buffer[0], length, timeoutMs);
    if (count < 0) {
        if (error != nullptr) {
            *error = -1;
        }
        return std::string();
    }
    buffer.resize(static_cast<std::size_t>(count));
    return buffer;
}

}  // namespace ri
