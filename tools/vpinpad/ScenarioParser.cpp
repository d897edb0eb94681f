#include "ScenarioParser.h"

#include <fstream>
#include <functional>
#include <sstream>

#include "Framing.h"

namespace vpinpad {

namespace {

using Args = std::vector<std::string>;
using Builder = std::function<void(const Args&, Step*)>;

struct Keyword {
    const char* word;
    StepKind kind;
    std::size_t minArgs;
    std::size_t maxArgs;
    Builder build;
};

long Number(const std::string& text, const char* what, long max) {
    std::size_t used = 0;
    long value = -1;
    try {
        value = std::stol(text, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || value < 0 || value > max) {
        throw std::invalid_argument(std::string(what) + " must be a number from 0 to " +
                                    std::to_string(max) + ", got \"" + text + "\"");
    }
    return value;
}

const std::string& Payload(const std::string& bytes) {
    Framing::Header(bytes.size());  // throws std::length_error for an oversized payload
    return bytes;
}

void Bytes(const Args& a, Step* s) {
    s->bytes = a[0];
}
void FrameBytes(const Args& a, Step* s) {
    s->bytes = Payload(a[0]);
}
void Fields(const Args& a, Step* s) {
    s->fields = a;
}
void Millis(const Args& a, Step* s) {
    s->millis = Number(a[0], "milliseconds", 3600000);
}
void Nothing(const Args&, Step*) {}

void Tags(const Args& a, Step* s) {
    for (const auto& text : a) s->tags.push_back(TagList::ParseAssignment(text));
}

void SendTags(const Args& a, Step* s) {
    Tags(Args(a.begin() + 1, a.end()), s);
    s->bytes = Payload(a[0] + TagList::Build(s->tags));
    s->tags.clear();
}

void Cut(const Args& a, Step* s) {
    s->bytes = Payload(a[0]);
    s->count = Number(a[1], "bytes kept", static_cast<long>(s->bytes.size()));
}

void BadFirstByte(const Args& a, Step* s) {
    s->count = Number(a[0], "first byte", 255);
    s->bytes = Payload(a[1]);
}

// The file is read when the step is played, so that a test can write it
// after the scenario is checked.
void SendFile(const Args& a, Step* s) {
    s->bytes = a[0];
    s->fields = {a[1]};
}

void Split(const Args& a, Step* s) {
    s->bytes = Payload(a[0]);
    s->count = Number(a[1], "piece size", Framing::kMaxPayload + 3);
    if (s->count == 0) throw std::invalid_argument("piece size must be at least 1");
    s->millis = Number(a[2], "milliseconds", 3600000);
}

const std::vector<Keyword>& Keywords() {
    static const std::vector<Keyword> table = {
        {"expect-start", StepKind::kExpectStart, 6, 6, Fields},
        {"expect-start-prefix", StepKind::kExpectStartPrefix, 1, 6, Fields},
        {"expect", StepKind::kExpect, 1, 1, Bytes},
        {"expect-prefix", StepKind::kExpectPrefix, 1, 1, Bytes},
        {"expect-file", StepKind::kExpectFile, 1, 1, Fields},
        {"expect-tags", StepKind::kExpectTags, 1, 64, Tags},
        {"expect-nothing", StepKind::kExpectNothing, 1, 1, Millis},
        {"expect-relay-id", StepKind::kExpectRelayId, 1, 1, Bytes},
        {"expect-close", StepKind::kExpectClose, 0, 0, Nothing},
        {"send", StepKind::kSend, 1, 1, FrameBytes},
        {"send-file", StepKind::kSendFile, 2, 2, SendFile},
        {"send-tags", StepKind::kSend, 2, 64, SendTags},
        {"raw", StepKind::kRaw, 1, 1, Bytes},
        {"cut", StepKind::kCut, 2, 2, Cut},
        {"bad-first-byte", StepKind::kBadFirstByte, 2, 2, BadFirstByte},
        {"split", StepKind::kSplit, 3, 3, Split},
        {"pause", StepKind::kPause, 1, 1, Millis},
        {"silence", StepKind::kPause, 1, 1, Millis},
        {"close", StepKind::kClose, 0, 0, Nothing},
        {"accept", StepKind::kAccept, 0, 0, Nothing},
        {"bank-expect", StepKind::kBankExpect, 1, 1, Bytes},
        {"bank-expect-prefix", StepKind::kBankExpectPrefix, 1, 1, Bytes},
        {"bank-send", StepKind::kBankSend, 1, 1, Bytes},
        {"bank-close", StepKind::kBankClose, 0, 0, Nothing},
    };
    return table;
}

std::string ArgumentCount(const Keyword& k) {
    if (k.minArgs == k.maxArgs) return std::to_string(k.minArgs);
    return std::to_string(k.minArgs) + " to " + std::to_string(k.maxArgs);
}

}  // namespace

Step ScenarioParser::ParseLine(const std::vector<std::string>& args) const {
    for (const auto& keyword : Keywords()) {
        if (args[0] != keyword.word) continue;
        Args rest(args.begin() + 1, args.end());
        if (rest.size() < keyword.minArgs || rest.size() > keyword.maxArgs) {
            throw std::invalid_argument("\"" + args[0] + "\" takes " + ArgumentCount(keyword) +
                                        " argument(s), got " + std::to_string(rest.size()));
        }
        Step step;
        step.kind = keyword.kind;
        keyword.build(rest, &step);
        return step;
    }
    throw std::invalid_argument("unknown step \"" + args[0] + "\"");
}

std::vector<Step> ScenarioParser::Parse(const std::string& text) const {
    std::vector<Step> steps;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        try {
            auto args = tokenizer_.Split(line);
            if (args.empty()) continue;
            Step step = ParseLine(args);
            step.line = number;
            step.source = line;
            steps.push_back(std::move(step));
        } catch (const std::exception& e) {
            throw ScenarioError(number, e.what());
        }
    }
    return steps;
}

std::vector<Step> ScenarioParser::ParseFile(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ScenarioError(0, "cannot read scenario file \"" + path + "\"");
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

}  // namespace vpinpad
