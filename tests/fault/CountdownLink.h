#ifndef VELPAD_TESTS_FAULT_COUNTDOWNLINK_H
#define VELPAD_TESTS_FAULT_COUNTDOWNLINK_H

#include <deque>
#include <string>
#include <vector>

#include "FakeTransport.h"
#include "ri/Sleep.h"

// How the pinpad link fails when the countdown runs out.
enum class LinkFault {
    kClose,    // the line drops: nothing more arrives, sending fails
    kSilence,  // the pinpad stops answering; what the engine sends is lost
    kCutFrame  // the pinpad dies in the middle of a frame, then stays silent
};

// The countdown shared by a run's links (an engine deletes its link when the
// run ends): the fault strikes at operation number faultAt (1 for the first
// Send or Recive; 0 never). It also counts the operations made and the
// pinpad frames handed out whole, which tells the test how far the run got.
struct Countdown {
    long faultAt = 0;
    LinkFault fault = LinkFault::kClose;
    long operations = 0;
    size_t delivered = 0;
    bool struck = false;
    // Payloads of the frames the engine sent before the fault.
    std::vector<std::string> sent;
};

// A scripted pinpad: it hands out its frames in order, whatever the engine
// sends, until the countdown strikes.
class CountdownLink : public ITransport {
public:
    CountdownLink(Countdown* countdown, const std::vector<std::string>& payloads)
        : countdown_(countdown) {
        for (const std::string& payload : payloads)
            frames_.push_back(FakeTransport::Frame(payload));
    }

    int Connect() override { return 0; }
    int Close() override { return 0; }
    int Send(const std::string& frame) override {
        Tick();
        if (!countdown_->struck) countdown_->sent.push_back(frame.substr(3));
        return countdown_->struck && countdown_->fault == LinkFault::kClose ? -1 : 0;
    }
    std::string Recive(int length) override {
        const bool cut = Tick() && countdown_->fault == LinkFault::kCutFrame;
        if (countdown_->struck && !cut) {
            // A silent line waits a little, as a real receive does.
            if (countdown_->fault != LinkFault::kClose) ri::Sleep(1);
            return "";
        }
        if (frames_.empty()) return "";
        std::string& front = frames_.front();
        const size_t wanted = cut ? static_cast<size_t>(length) / 2 : static_cast<size_t>(length);
        std::string chunk = front.substr(0, wanted);
        front.erase(0, chunk.size());
        if (front.empty()) {
            frames_.pop_front();
            ++countdown_->delivered;
        }
        return chunk;
    }
    void SetTimeouts(unsigned int, unsigned int) override {}
    int Purge() override { return 0; }
    void* GetParams() override { return nullptr; }
    bool IsConnected() const override {
        return !(countdown_->struck && countdown_->fault == LinkFault::kClose);
    }

private:
    // Counts one operation; true when the fault strikes at it.
    bool Tick() {
        if (countdown_->struck) return false;
        ++countdown_->operations;
        countdown_->struck = countdown_->operations == countdown_->faultAt;
        return countdown_->struck;
    }

    Countdown* countdown_;
    std::deque<std::string> frames_;
};

#endif
