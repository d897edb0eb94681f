#ifndef VELPAD_ENGINE_PINPADLINK_H
#define VELPAD_ENGINE_PINPADLINK_H

#include <chrono>
#include <memory>
#include <string>

#include "config/CardData.h"
#include "engine/FrameCodec.h"
#include "engine/NakBudget.h"
#include "transport/ITransport.h"

class Logger;
namespace ri {
class Trace;
}

// The message link to the pinpad: the transport it runs on, the frames sent
// and the waits for the pinpad's frames with their NAKs. Each sent and
// received payload is written to the engine log and the trace, card data
// masked.
class PinpadLink {
public:
    using Clock = std::chrono::steady_clock;

    // How a wait treats the line.
    struct WaitRules {
        // How long the rest of a begun frame may take ("TIMEOUT").
        std::chrono::milliseconds frameTimeout{0};
        // Silence is waited through without NAKs ("MF_TIMEOUT", "SKIP_NAK").
        bool quietSilence = false;
    };

    PinpadLink(Logger& log, ri::Trace& trace) : log_(log), trace_(trace) {}

    // Puts a transport behind the link; the link takes ownership.
    void Attach(ITransport* transport) { transport_.reset(transport); }
    // Closes the transport and drops it.
    void Close();
    bool IsOpen() const { return transport_ != nullptr; }
    // Whether the link is open and its other side still there.
    bool Up() const { return transport_ && transport_->IsConnected(); }
    ITransport* Transport() { return transport_.get(); }

    // Frames and sends a payload; 0 sent, 1 not (no link, too long, line
    // failed). kind tells the logs where the payload holds card data.
    int Send(const std::string& payload, CardData::Payload kind);
    // Waits for one frame until deadline, answering silence and broken
    // frames with NAKs while the budget lasts; empty when none came.
    std::string WaitFrame(NakBudget budget, Clock::time_point deadline, const WaitRules& rules);

private:
    // What one read of the line brought: a whole frame; nothing, to be
    // waited through; something to answer with a NAK; a frame cut short,
    // which ends the wait.
    enum class Step { kFrame, kAgain, kNak, kGiveUp };

    Step ReadFrame(const WaitRules& rules, std::string* payload);
    // Reads the payload of a frame whose header is held; false when the
    // frame stays cut short past the frame time-out.
    bool ReadPayload(std::chrono::milliseconds frameTimeout, std::string* payload);
    // Purges the line and sends a NAK; false (nothing sent) when the budget
    // is spent.
    bool Nak(NakBudget& budget);

    Logger& log_;
    ri::Trace& trace_;
    std::unique_ptr<ITransport> transport_;
    FrameCodec codec_;
};

#endif
