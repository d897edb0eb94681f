#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Helpers for the transport tests: a pseudo-terminal pair standing in for a
// serial line, a loopback TCP listener, and a trace in a temporary directory.
namespace transport_test {

// A pseudo-terminal: the test drives the master side, the port under test
// opens the slave by its name.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlaveName() const { return slaveName_; }
    int Master() const { return master_; }
    void Write(const std::string& bytes) const;
    // Reads until count bytes came or timeoutMs passed.
    std::string Read(std::size_t count, long timeoutMs) const;
    void CloseMaster();

private:
    int master_ = -1;
    std::string slaveName_;
};

// A listening TCP socket on 127.0.0.1 at a port chosen by the system.
class LoopbackServer {
public:
    explicit LoopbackServer(int backlog = 4, bool listening = true);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    unsigned short Port() const { return port_; }
    // Accepts one connection within timeoutMs; -1 when none came.
    int Accept(long timeoutMs) const;

private:
    int fd_ = -1;
    unsigned short port_ = 0;
};

// Sends all bytes on a connected descriptor.
void SendAll(int fd, const std::string& bytes);
// Reads until count bytes came, the peer closed, or timeoutMs passed.
std::string ReadUpTo(int fd, std::size_t count, long timeoutMs);

// Runs an action once on another thread unless cancelled within timeoutMs;
// used to release a receive that would otherwise hang, so the test fails on
// its elapsed time instead of its time limit.
class Watchdog {
public:
    template <typename Action>
    Watchdog(long timeoutMs, Action action)
        : thread_([this, timeoutMs, action] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!done_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [this] { return cancelled_; })) {
                  action();
              }
          }) {}
    ~Watchdog();

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool cancelled_ = false;
    std::thread thread_;
};

// Milliseconds spent by an action.
template <typename Action>
long ElapsedMs(Action action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    const auto spent = std::chrono::steady_clock::now() - start;
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count());
}

}  // namespace transport_test
