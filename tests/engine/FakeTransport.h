#ifndef VELPAD_TESTS_ENGINE_FAKETRANSPORT_H
#define VELPAD_TESTS_ENGINE_FAKETRANSPORT_H

#include <deque>
#include <string>
#include <vector>

#include "engine/FrameCodec.h"
#include "transport/ITransport.h"

// An in-memory pinpad link for driving the engine byte by byte. Incoming
// chunks are handed out one per receive (at most the requested length; the
// rest stays for the next receive); an empty queue reads as silence. Every
// frame the engine sends is recorded, and its payload decoded.
class FakeTransport : public ITransport {
public:
    // Queues raw bytes as they would arrive on the line.
    void Incoming(const std::string& bytes) { incoming_.push_back(bytes); }
    // Queues a framed payload: 0x01, 16-bit big-endian length, payload.
    void IncomingFrame(const std::string& payload) { Incoming(Frame(payload)); }

    static std::string Frame(const std::string& payload) { return FrameCodec::Encode(payload); }

    // Payloads of the frames sent so far, in order.
    std::vector<std::string> SentPayloads() const {
        std::vector<std::string> payloads;
        for (const std::string& frame : sent)
            payloads.push_back(frame.size() >= FrameCodec::kHeaderSize
                                   ? frame.substr(FrameCodec::kHeaderSize)
                                   : std::string());
        return payloads;
    }

    int Connect() override { return 0; }
    int Close() override {
        closed = true;
        return 0;
    }
    int Send(const std::string& data) override {
        sent.push_back(data);
        return 0;
    }
    std::string Recive(int length) override {
        if (incoming_.empty()) return "";
        std::string& front = incoming_.front();
        std::string chunk = front.substr(0, static_cast<size_t>(length));
        front.erase(0, chunk.size());
        if (front.empty()) incoming_.pop_front();
        return chunk;
    }
    void SetTimeouts(unsigned int, unsigned int) override {}
    int Purge() override {
        ++purges;
        return 0;
    }
    void* GetParams() override { return nullptr; }
    // With hangUp set, the line counts as dropped once its queue is empty.
    bool IsConnected() const override { return !(hangUp && incoming_.empty()); }

    std::vector<std::string> sent;
    int purges = 0;
    bool closed = false;
    bool hangUp = false;

private:
    std::deque<std::string> incoming_;
};

#endif
