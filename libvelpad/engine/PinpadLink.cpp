#include "engine/PinpadLink.h"

#include "ri/Exception.h"
#include "ri/Logger.h"
#include "ri/Trace.h"

namespace {

// "ОШИБКА! Нет ответа от пин-пада"
const char kNoAnswer[] =
    "\xCE\xD8\xC8\xC1\xCA\xC0! \xCD\xE5\xF2 \xEE\xF2\xE2\xE5\xF2\xE0 \xEE\xF2 \xEF\xE8\xED-"
    "\xEF\xE0\xE4\xE0";

}  // namespace

void PinpadLink::Close() {
    if (!transport_) return;
    transport_->Close();
    transport_.reset();
}

// A frame's log renderings are built only where a log takes them: a large
// frame costs no rendering with logs off.
int PinpadLink::Send(const std::string& payload, CardData::Payload kind) {
    const bool traced = trace_.GetLogType() >= ri::Trace::LEVEL_DEBUG4;
    if (log_.Active() || traced) {
        const std::string shown = CardData::Message(payload, kind);
        log_.Write("SEND -> %s", shown.c_str());
        trace_.Debug4("SendMsg: %s", shown.c_str());
    }
    if (traced) trace_.Dump(CardData::Redact(payload, kind));
    const std::string frame = FrameCodec::Encode(payload);
    if (frame.empty()) {
        trace_.Error("SendMsg: payload of %zu bytes does not fit a frame", payload.size());
        return 1;
    }
    if (!transport_) return 1;
    return transport_->Send(frame) == 0 ? 0 : 1;
}

std::string PinpadLink::WaitFrame(NakBudget budget, Clock::time_point deadline,
                                  const WaitRules& rules) {
    if (transport_) transport_->SetWaitDeadline(deadline);
    try {
        while (Clock::now() < deadline && Up()) {
            std::string payload;
            const Step step = ReadFrame(rules, &payload);
            if (step == Step::kFrame) return payload;
            if (step == Step::kGiveUp) return "";
            if (step == Step::kNak && !Nak(budget)) {
                trace_.Error("PPAD: WaitMessage: no NAK left");
                return "";
            }
        }
        return "";
    } catch (const ri::Exception& e) {
        trace_.Error("PPAD: WaitMessage 1: %s", e.What());
    } catch (const std::exception& e) {
        trace_.Error("PPAD: WaitMessage 2: %s", e.what());
    }
    Nak(budget);
    return "";
}

PinpadLink::Step PinpadLink::ReadFrame(const WaitRules& rules, std::string* payload) {
    codec_.Discard();
    const std::string first = transport_->Recive(1);
    if (first.empty()) {
        trace_.Debug6("WaitMessage: recv empty");
        if (rules.quietSilence) return Step::kAgain;
        log_.Write("ERROR: recive message: empty");
        return Step::kNak;
    }
    codec_.Feed(first);
    char stray = 0;
    if (codec_.Take(payload, &stray) == FrameCodec::Status::kStray) {
        trace_.Debug6("WaitMessage: invalid first byte");
        log_.Write("ERROR: recive message: first byte not 0x01: [0x%02X]",
                   static_cast<unsigned char>(stray));
        return Step::kNak;
    }
    const std::string length = transport_->Recive(static_cast<int>(codec_.Missing()));
    if (length.size() != FrameCodec::kHeaderSize - 1) {
        trace_.Debug6("WaitMessage: invalid LEN length");
        log_.Write("ERROR: recive message: invalid length, must be [2]: [%d]",
                   static_cast<int>(length.size()));
        return Step::kNak;
    }
    codec_.Feed(length);
    return ReadPayload(rules.frameTimeout, payload) ? Step::kFrame : Step::kGiveUp;
}

bool PinpadLink::ReadPayload(std::chrono::milliseconds frameTimeout, std::string* payload) {
    // The rest of a frame cut by a dropped line never comes: the read ends
    // at the frame time-out or when the line goes, whichever is first. Each
    // receive waits for readability itself, bounded by the same time-out.
    const auto until = Clock::now() + frameTimeout;
    transport_->SetWaitDeadline(until);
    while (codec_.Missing() > 0) {
        codec_.Feed(transport_->Recive(static_cast<int>(codec_.Missing())));
        if (codec_.Missing() == 0 || Clock::now() >= until || !Up()) break;
    }
    char stray = 0;
    const bool whole = codec_.Take(payload, &stray) == FrameCodec::Status::kFrame;
    if (!whole) *payload = codec_.PartialPayload();
    if (log_.Active()) log_.Write("RECV <- %s", CardData::Message(*payload).c_str());
    if (trace_.GetLogType() >= ri::Trace::LEVEL_DEBUG4) trace_.Dump(CardData::Redact(*payload));
    if (whole) return true;
    codec_.Discard();
    log_.Write(kNoAnswer);
    return false;
}

bool PinpadLink::Nak(NakBudget& budget) {
    trace_.Debug4("SendNak");
    if (!budget.Spend()) return false;
    if (transport_) transport_->Purge();
    Send("NAK", CardData::Payload::kText);
    return true;
}
