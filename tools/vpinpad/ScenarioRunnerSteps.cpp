// The step handlers of ScenarioRunner: what each scenario keyword does on the line.
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "ByteText.h"
#include "ScenarioRunner.h"
#include "StepFailure.h"

namespace vpinpad {

namespace {

constexpr char kEsc = '\x1b';

std::vector<std::string> StartFields(const std::string& payload) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t esc; (esc = payload.find(kEsc, from)) != std::string::npos; from = esc + 1) {
        fields.push_back(payload.substr(from, esc - from));
    }
    fields.push_back(payload.substr(from));
    return fields;
}

std::string ShowFields(const std::vector<std::string>& fields) {
    std::string out = "[";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out += (i ? " | " : "") + ByteText::Quoted(fields[i]);
    }
    return out + "]";
}

bool FieldsMatch(const std::vector<std::string>& want, const std::vector<std::string>& got,
                 bool exact) {
    if (exact ? got.size() != want.size() : got.size() < want.size()) return false;
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (want[i] != "*" && want[i] != got[i]) return false;
    }
    return true;
}

std::string HexTag(std::uint32_t tag) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", tag);
    return text;
}

// The whole content of a file named by the scenario (relative to the
// emulator's working directory).
std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw StepFailure(ScenarioRunner::kFailed, "cannot read file " + ByteText::Quoted(path));
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace

void ScenarioRunner::ExpectStart(const Step& step) {
    std::string payload = ExpectFrame();
    auto got = StartFields(payload);
    if (!FieldsMatch(step.fields, got, step.kind == StepKind::kExpectStart)) {
        throw StepFailure(kFailed, "start message differs: expected " + ShowFields(step.fields) +
                                       ", got " + ShowFields(got) + " [" + ByteText::Hex(payload) +
                                       "]");
    }
}

void ScenarioRunner::ExpectReply(const Step& step) {
    std::string payload = ExpectFrame();
    bool ok = step.kind == StepKind::kExpect
                  ? payload == step.bytes
                  : payload.compare(0, step.bytes.size(), step.bytes) == 0;
    if (!ok) {
        throw StepFailure(kFailed,
                          std::string("expected ") +
                              (step.kind == StepKind::kExpect ? "" : "a reply starting with ") +
                              ByteText::Quoted(step.bytes) + ", got " + ByteText::Quoted(payload) +
                              " [" + ByteText::Hex(payload) + "]");
    }
}

// A file's contents can fill a whole frame: a mismatch is told by the sizes
// and the first differing byte rather than by both payloads.
void ScenarioRunner::ExpectFile(const Step& step) {
    const std::string expected = FileBytes(step.fields[0]);
    std::string payload = ExpectFrame();
    if (payload == expected) return;
    std::size_t at = 0;
    while (at < payload.size() && at < expected.size() && payload[at] == expected[at]) ++at;
    throw StepFailure(kFailed, "expected the file's " + std::to_string(expected.size()) +
                                   " bytes, got " + std::to_string(payload.size()) +
                                   " bytes differing from offset " + std::to_string(at) + ": " +
                                   ByteText::Quoted(payload.substr(at, 16)));
}

void ScenarioRunner::ExpectTags(const Step& step) {
    std::string payload = ExpectFrame();
    std::map<std::uint32_t, std::string> got;
    if (!TagList::Parse(payload, &got)) {
        throw StepFailure(kFailed,
                          "the reply is not a whole tag list: [" + ByteText::Hex(payload) + "]");
    }
    for (const auto& [tag, value] : step.tags) {
        auto found = got.find(tag);
        if (found == got.end() || found->second != value) {
            throw StepFailure(kFailed, "tag " + HexTag(tag) + " should hold " +
                                           ByteText::Quoted(value) + ", the tag list is [" +
                                           ByteText::Hex(payload) + "]");
        }
    }
}

void ScenarioRunner::ExpectNothing(const Step& step) {
    PumpFor(step.millis);
    if (!inbound_.empty()) {
        throw StepFailure(kFailed, "the host sent " + ByteText::Quoted(inbound_.front().bytes) +
                                       " where silence was expected");
    }
}

void ScenarioRunner::ExpectRelayId(const Step& step) {
    EnsureConnected();
    WaitUntil(
        [this] {
            return !link_.RelayId().empty() || !inbound_.empty() || framing_.Pending() > 0 ||
                   hostClosed_;
        },
        "the relay identifier");
    if (link_.RelayId() != step.bytes) {
        throw StepFailure(kFailed, "expected the relay identifier " + ByteText::Quoted(step.bytes) +
                                       ", got " + ByteText::Quoted(link_.RelayId()));
    }
}

void ScenarioRunner::ExpectClose(const Step&) {
    if (!link_.SeesHostClose()) {
        throw StepFailure(kFailed, "the host closing a serial line cannot be seen; use a pause");
    }
    WaitUntil([this] { return hostClosed_; }, "the host to close the connection");
}

void ScenarioRunner::Send(const Step& step) {
    SendBytes(Framing::Encode(step.bytes), "frame", step.bytes);
}

void ScenarioRunner::SendFile(const Step& step) {
    const std::string payload = step.bytes + FileBytes(step.fields[0]);
    if (payload.size() > Framing::kMaxPayload)
        throw StepFailure(kFailed, "the payload of " + std::to_string(payload.size()) +
                                       " bytes does not fit a frame");
    SendBytes(Framing::Encode(payload), "frame", payload);
}

void ScenarioRunner::Raw(const Step& step) {
    SendBytes(step.bytes, "raw bytes", step.bytes);
}

void ScenarioRunner::Cut(const Step& step) {
    std::string wire = Framing::Header(step.bytes.size()) + step.bytes.substr(0, step.count);
    SendBytes(wire,
              "frame cut short after " + std::to_string(step.count) + " of " +
                  std::to_string(step.bytes.size()) + " payload bytes",
              wire);
}

void ScenarioRunner::BadFirstByte(const Step& step) {
    std::string wire = Framing::Encode(step.bytes, static_cast<unsigned char>(step.count));
    SendBytes(wire, "frame with a wrong first byte", wire);
}

void ScenarioRunner::Split(const Step& step) {
    std::string wire = Framing::Encode(step.bytes);
    std::size_t size = static_cast<std::size_t>(step.count);
    std::size_t pieces = (wire.size() + size - 1) / size;
    for (std::size_t i = 0; i < pieces; ++i) {
        if (i > 0) PumpFor(step.millis);
        SendBytes(wire.substr(i * size, size),
                  "frame piece " + std::to_string(i + 1) + " of " + std::to_string(pieces),
                  wire.substr(i * size, size));
    }
}

void ScenarioRunner::Pause(const Step& step) {
    PumpFor(step.millis);
}

void ScenarioRunner::Close(const Step&) {
    link_.Close();
    framing_.Reset();
    inbound_.clear();
    raw_.clear();
    hostClosed_ = false;
}

void ScenarioRunner::Accept(const Step&) {
    try {
        if (!link_.Connected()) link_.Reopen();
    } catch (const std::exception& e) {
        throw StepFailure(kFailed, std::string("cannot reopen the line: ") + e.what());
    }
    hostClosed_ = false;
    WaitUntil([this] { return link_.Connected(); }, "the host to connect again");
}

void ScenarioRunner::BankExpect(const Step& step) {
    std::string& got = bank_.Received();
    const std::string& want = step.bytes;
    WaitUntil([&] { return got.size() >= want.size() || want.compare(0, got.size(), got) != 0; },
              "the host to relay " + std::to_string(want.size()) + " bytes to the bank (" +
                  std::to_string(got.size()) + " arrived)");
    bool exact = step.kind == StepKind::kBankExpect;
    bool ok = got.compare(0, want.size(), want) == 0 && (!exact || got.size() == want.size());
    std::string received = got;
    got.clear();
    if (!ok) {
        throw StepFailure(kFailed, "the bank expected " + ByteText::Quoted(want) + ", got " +
                                       ByteText::Quoted(received));
    }
}

void ScenarioRunner::BankSend(const Step& step) {
    WaitUntil([this] { return bank_.Connected(); }, "the host to connect to the bank");
    bank_.Send(step.bytes);
}

void ScenarioRunner::BankClose(const Step&) {
    bank_.CloseConnection();
}

}  // namespace vpinpad
