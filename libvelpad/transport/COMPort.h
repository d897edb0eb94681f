#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace ri {

class INI;

// A serial line in raw mode (no echo, no line editing, no flow control).
// The port owns its descriptor; it is closed by ClosePort or the destructor.
class COMPort {
public:
    // OpenPort results.
    enum OpenResult {
        OPEN_OK = 0,
        OPEN_FAILED = -1,   // no name, or the device cannot be opened
        OPEN_GETATTR = -2,  // the device's settings cannot be read
        OPEN_BAUD = -3,     // unsupported baud rate
        OPEN_DATA = -4,     // unsupported data bits
        OPEN_PARITY = -5,   // unsupported parity
        OPEN_STOP = -6,     // unsupported stop bits
        OPEN_SETATTR = -7,  // the settings cannot be applied
        OPEN_BUSY = -8,     // another program holds the line
    };

    // Parity values.
    enum Parity { PARITY_NONE = 0, PARITY_EVEN = 1, PARITY_ODD = 2 };
    // Stop bit values.
    enum StopBits { STOP_ONE = 0, STOP_TWO = 1 };

    // Pause before the purge at open, and before every other purge (before
    // each send) unless set otherwise.
    static constexpr long kDefaultSettleMs = 50;
    // Largest request Receive accepts, in bytes.
    static constexpr std::size_t kMaxReceive = 10239;

    COMPort() = default;
    // Opens "/dev/ttyS<n>" at once with the default settings; throws the int -1
    // when that fails.
    explicit COMPort(int n);
    ~COMPort();
    COMPort(const COMPort&) = delete;
    COMPort& operator=(const COMPort&) = delete;

    void SetPortName(const std::string& name) { name_ = name; }
    void SetPortName(const char* name) { name_ = name ? name : ""; }
    void SetPortBaud(long baud) { baud_ = baud; }
    void SetPortData(int data) { data_ = data; }
    void SetPortParity(int parity) { parity_ = parity; }
    void SetPortStop(int stop) { stop_ = stop; }
    void SetPortTimeout(long timeoutMs) { timeout_ = timeoutMs; }
    // Receptions wait for their first byte no later than deadline (yet at
    // least their own time-out), instead of the full first-byte wait.
    void SetFirstByteDeadline(std::chrono::steady_clock::time_point deadline) {
        firstByteDeadline_ = deadline;
    }

    // The pause that lets bytes in flight settle before the purge that
    // precedes each send, in ms: 0 purges at once, a negative value keeps the
    // default, at most 10 s.
    void SetSendPause(long ms);

    const std::string& GetPortName() const { return name_; }
    long GetPortBaud() const { return baud_; }
    int GetPortData() const { return data_; }
    int GetPortParity() const { return parity_; }
    int GetPortStop() const { return stop_; }
    long GetPortTimeout() const { return timeout_; }

    // Modem lines are not driven.
    void rts(bool) {}
    void dtr(bool) {}

    // Reads "Port" from section and "Baud", "Data", "Stop", "Parity" from the
    // main section; -1 without an INI or without a port name, else 0.
    int SetUp(INI* ini, const std::string& section);

    // True for a serial device name (the rule is SettingRules::IsSerialName,
    // which velrun --check applies too).
    static bool IsCorrectName(const std::string& name);

    // Opens and configures the line; an OpenResult. Already open: 0.
    int OpenPort();
    // Closes the line; always 0.
    int ClosePort();
    bool IsOpen() const { return fd_ >= 0; }
    // Discards unread input and unsent output after the send pause; 0.
    int Purge();

    // Writes all bytes, waiting for the line at most 100 s in all: 0 when every
    // byte went out, -1 otherwise; *sent receives the count written.
    int Send(const char* data, std::size_t length, std::size_t* sent);
    int Send(const std::string& data);
    // Waits for the first byte up to 10 s, or less as the first-byte deadline
    // allows (never less than timeoutMs), then collects up to length bytes
    // until timeoutMs has passed since it arrived. Returns the count received,
    // or -1 when the line failed before any byte came.
    int Recv(char* buffer, std::size_t length, long timeoutMs);
    // Recv into a buffer of this call; requests above kMaxReceive give an
    // empty string at once. *error becomes -1 when the line failed, else 0.
    std::string Receive(std::size_t length, long timeoutMs, int* error);

private:
    int Configure();
    // Waits ms (none for 0), then discards unread input and unsent output.
    void Settle(long ms);
    int ReadAvailable(char* buffer, std::size_t length);
    long FirstByteWaitMs(long timeoutMs) const;

    int fd_ = -1;
    std::string name_;
    long baud_ = 9600;
    int data_ = 8;
    int parity_ = PARITY_NONE;
    int stop_ = STOP_ONE;
    long timeout_ = -1;
    long settleMs_ = kDefaultSettleMs;
    std::chrono::steady_clock::time_point firstByteDeadline_ =
        std::chrono::steady_clock::time_point::max();
};

}  // namespace ri
