#ifndef VELPAD_TESTS_FAULT_BANKHOST_H
#define VELPAD_TESTS_FAULT_BANKHOST_H

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "support/Loopback.h"

// The bank host behind the pinpad, on 127.0.0.1 at a port the system chose:
// for every channel the engine opens it waits for the request, answers it
// once and holds the connection until the engine closes it. It serves one
// channel at a time on its own thread and stops when destroyed.
class BankHost {
public:
    explicit BankHost(std::string answer) : answer_(std::move(answer)) {
        listener_ = ListenOnLoopback(8, &port_);
        thread_ = std::thread([this] { Serve(); });
    }
    ~BankHost() {
        stop_ = true;
        thread_.join();
        if (listener_ >= 0) close(listener_);
    }
    BankHost(const BankHost&) = delete;
    BankHost& operator=(const BankHost&) = delete;

    int Port() const { return port_; }

private:
    static constexpr int kPollMs = 20;

    void Serve() {
        while (!stop_) {
            if (!WaitReadable(listener_, kPollMs)) continue;
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            Talk(client);
            close(client);
        }
    }

    // Answers the first bytes that arrive, then reads until the engine closes.
    void Talk(int client) {
        bool answered = false;
        char buffer[512];
        while (!stop_) {
            if (!WaitReadable(client, kPollMs)) continue;
            if (recv(client, buffer, sizeof(buffer), 0) <= 0) return;
            if (!answered) send(client, answer_.data(), answer_.size(), MSG_NOSIGNAL);
            answered = true;
        }
    }

    const std::string answer_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

#endif
