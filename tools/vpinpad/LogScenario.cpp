#include "LogScenario.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "ByteText.h"
#include "LogTagNames.h"
#include "LoggedTagList.h"
#include "ShownData.h"

namespace vpinpad {

namespace {

using Kind = LogEvent::Kind;

constexpr char kEsc = '\x1b';
constexpr std::size_t kMostPayload = 0xFFFF;
constexpr std::uint64_t kMostShortTag = 0xFFFFFF;
constexpr std::size_t kMostExpectTags = 64;
constexpr std::size_t kStartFields = 6;
// Gaps shorter than this are the time the two sides took to read and answer.
constexpr std::int64_t kLeastPauseMs = 50;
// "WRITE:2:": the host relays what follows the channel digit and its separator.
constexpr std::size_t kWriteHead = 8;

const char* const kTagListWords[] = {"SETTAGS:", "SEND_CARD:"};

bool StartsWith(const std::string& text, const std::string& head) {
    return text.compare(0, head.size(), head) == 0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string HexTag(std::uint64_t tag) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(tag));
    return text;
}

// A scenario argument that reads back as the same bytes: as it is when it is plain text,
// else in double quotes with escapes.
std::string Quoted(const std::string& bytes) {
    bool plain = !bytes.empty() && bytes[0] != '#';
    for (char c : bytes) plain = plain && c > ' ' && c < 0x7F && c != '"' && c != '\\' && c != '$';
    if (plain) return bytes;
    std::string out = "\"";
    for (char c : ByteText::Printable(bytes)) {
        if (c == '$') out += '\\';
        out += c;
    }
    return out + "\"";
}

// A tag value: binary values (packed digits, numbers) as \xNN throughout.
std::string TagValue(const std::string& value) {
    bool text = true;
    for (char c : value) text = text && c >= ' ' && c < 0x7F;
    if (text) return ByteText::Printable(value);
    std::string out;
    char hex[8];
    for (char c : value) {
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
        out += hex;
    }
    return out;
}

// "TAG=VALUE" as "send-tags" and "expect-tags" take it.
std::string Assignment(const LoggedTagList::Item& item) {
    std::string out = "\"";
    for (char c : HexTag(item.tag) + "=" + TagValue(item.value)) {
        if (c == '$') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Where the log masked a card number in a text: six digits, three or more "*", four digits.
std::size_t MaskedNumber(const std::string& text) {
    for (std::size_t at = 0; at + 13 <= text.size(); ++at) {
        if (at > 0 && (IsDigit(text[at - 1]) || text[at - 1] == '*')) continue;
        std::size_t pos = at;
        while (pos < at + 6 && IsDigit(text[pos])) ++pos;
        if (pos != at + 6) continue;
        std::size_t stars = pos;
        while (stars < text.size() && text[stars] == '*') ++stars;
        std::size_t tail = stars;
        while (tail < text.size() && IsDigit(text[tail])) ++tail;
        if (stars - pos >= 3 && tail - stars == 4 && (tail == text.size() || text[tail] != '*'))
            return at;
    }
    return std::string::npos;
}

// Where the log stops showing a text's bytes as they were.
std::size_t FirstHidden(const std::string& text) {
    return std::min(ShownData::Find(text), MaskedNumber(text));
}

std::vector<std::string> Fields(const std::string& text, char separator) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
        fields.push_back(text.substr(from, at - from));
    fields.push_back(text.substr(from));
    return fields;
}

const char* TagListWord(const std::string& text) {
    for (const char* word : kTagListWords)
        if (StartsWith(text, word)) return word;
    return nullptr;
}

LoggedTagList ReadTagList(const LogEvent& event, const std::string& word) {
    try {
        return LoggedTagList::Parse(event.text.substr(word.size()));
    } catch (const std::invalid_argument& e) {
        throw LogError(event.line, "the tag list of " + word + " cannot be read back: " + e.what());
    }
}

// The bytes the pinpad sent, as far as the log shows them: a tag list rebuilt, data shown by
// its length at the end of a request as filler.
std::string RequestBytes(const LogEvent& event) {
    if (const char* word = TagListWord(event.text)) return word + ReadTagList(event, word).Bytes();
    const std::size_t at = event.text.rfind("<data: ");
    std::string label;
    std::size_t bytes = 0;
    if (at == std::string::npos || !ShownData::Read(event.text.substr(at), &label, &bytes))
        return event.text;
    if (bytes > kMostPayload)
        throw LogError(event.line,
                       "data of " + std::to_string(bytes) + " bytes, more than a frame holds");
    return event.text.substr(0, at) + ShownData::Filler(bytes);
}

void CheckFits(const LogEvent& event, std::size_t size) {
    if (size > kMostPayload) {
        throw LogError(event.line,
                       "a frame of " + std::to_string(size) + " bytes, more than a frame holds");
    }
}

}  // namespace

std::string LogScenario::Convert(const std::string& logText, const std::string& source) {
    LogScenario scenario(EngineLog::Read(logText));
    for (std::size_t at = 0; at < scenario.events_.size(); ++at) scenario.Take(at);
    if (scenario.frames_ == 0) {
        throw LogError(EngineLog::CountLines(logText),
                       "no frame of the pinpad link: the log has no \"SEND ->\" or \"RECV <-\" "
                       "line");
    }
    scenario.EndSession(true, scenario.events_.back().line);
    return scenario.Heading(source) + scenario.steps_;
}

void LogScenario::Take(std::size_t at) {
    const LogEvent& event = events_[at];
    switch (event.kind) {
        case Kind::kConnected:
            if (connections_++ == 0) return;
            EndSession(false, event.line);
            NewSession();
            Step("accept", event.line, "the host connects for its next run");
            return;
        case Kind::kStartNext:
            startNext_ = true;
            return;
        case Kind::kHostFrame:
            HostFrame(event);
            return;
        default:
            PinpadEvent(event, ReplyTo(at));
    }
}

const LogEvent* LogScenario::ReplyTo(std::size_t at) const {
    for (std::size_t next = at + 1; next < events_.size(); ++next) {
        const LogEvent& event = events_[next];
        if (event.kind == Kind::kStartNext) continue;
        if (event.kind != Kind::kHostFrame || event.text == "NAK") return nullptr;
        return &event;
    }
    return nullptr;
}

void LogScenario::HostFrame(const LogEvent& event) {
    ++frames_;
    sessionFrames_ = true;
    lastHost_ = &event;
    // A NAK answers a fault on the line; whether the pinpad still saw it shows only later.
    if (event.text == "NAK") {
        pendingNaks_.push_back(event.line);
        return;
    }
    FlushNaks();
    Expect(event);
    const std::string answered = request_;
    request_.clear();
    ended_ = answered == "ENDTR";
    if (StartsWith(answered, "WRITE:") && event.text == "OK" && bankConnected_ &&
        !written_.empty()) {
        Step("bank-expect " + Quoted(written_), event.line, "what the host relayed");
    }
    written_.clear();
}

void LogScenario::Expect(const LogEvent& event) {
    if (startNext_) {
        startNext_ = false;
        ExpectStart(event);
    } else if (event.line == bankReplyLine_) {
        Step("expect " + Quoted(bankReply_), event.line, "the fake bank's answer");
    } else if (StartsWith(request_, "GETTAGS:")) {
        ExpectTags(event);
    } else {
        ExpectText(event);
    }
}

void LogScenario::ExpectStart(const LogEvent& event) {
    const std::vector<std::string> fields = Fields(event.text, kEsc);
    if (fields.size() != kStartFields) {
        ExpectText(event);
        return;
    }
    std::string step = "expect-start";
    std::string label;
    std::size_t bytes = 0;
    for (const std::string& field : fields)
        step += " " + (ShownData::Read(field, &label, &bytes) ? std::string("*") : Quoted(field));
    Step(step, event.line, "the start message");
}

void LogScenario::ExpectText(const LogEvent& event) {
    const std::size_t hidden = FirstHidden(event.text);
    if (hidden == std::string::npos) {
        Step("expect " + Quoted(event.text), event.line);
    } else {
        Step("expect-prefix " + Quoted(event.text.substr(0, hidden)), event.line,
             "the log hides the rest");
    }
}

// Items whose values the log shows whole are expected; the pinpad's own reader takes
// values of 1 to 127 bytes only, so a list with an empty value is taken as it comes.
void LogScenario::ExpectTags(const LogEvent& event) {
    std::string step = "expect-tags";
    std::size_t expected = 0;
    bool readable = true;
    try {
        for (const LoggedTagList::Item& item : LoggedTagList::Parse(event.text).items) {
            readable = readable && !item.value.empty();
            if (item.cardData || LogTagNames::IsCardNumber(item.name) || item.value.empty() ||
                item.tag > kMostShortTag || expected == kMostExpectTags) {
                continue;
            }
            step += " " + Assignment(item);
            ++expected;
        }
    } catch (const std::invalid_argument&) {
        readable = false;
    }
    if (readable && expected > 0) {
        Step(step, event.line, "the host's tags");
    } else {
        Step("expect-prefix \"\"", event.line, "a tag list the log does not show whole");
    }
}

void LogScenario::PinpadEvent(const LogEvent& event, const LogEvent* reply) {
    ++frames_;
    sessionFrames_ = true;
    ended_ = false;
    FlushNaks();
    // A cut frame or header is logged when the host stopped waiting for its rest.
    if (event.kind == Kind::kPinpadFrame || event.kind == Kind::kStrayByte) Pause(event);
    lastHost_ = nullptr;
    request_.clear();
    if (event.kind == Kind::kStrayByte) {
        Step("raw " + Quoted(std::string(1, static_cast<char>(event.value))), event.line,
             "a byte outside a frame");
    } else if (event.kind == Kind::kShortHeader) {
        Step("raw " + Quoted(std::string("\x01\x00", event.value + 1)), event.line,
             "a frame header cut short");
    } else if (event.kind == Kind::kPinpadCut) {
        const std::string bytes = RequestBytes(event);
        CheckFits(event, bytes.size() + 1);
        Step("cut " + Quoted(bytes + ".") + " " + std::to_string(bytes.size()), event.line,
             "a frame whose rest never came");
    } else {
        request_ = event.text;
        PinpadFrame(event, reply);
    }
}

void LogScenario::PinpadFrame(const LogEvent& event, const LogEvent* reply) {
    const std::string& text = event.text;
    if (const char* word = TagListWord(text)) {
        SendTagList(event, word);
        return;
    }
    if (StartsWith(text, "CONNECT:")) {
        Connect(event, reply);
        return;
    }
    if (StartsWith(text, "READ:")) {
        Read(event, reply);
        return;
    }
    if (StartsWith(text, "DISCONNECT:") || StartsWith(text, "DEVICECLOSE:")) bankConnected_ = false;
    const std::string bytes = RequestBytes(event);
    if (StartsWith(text, "WRITE:") && bytes.size() > kWriteHead)
        written_ = bytes.substr(kWriteHead);
    Send(event, bytes);
}

void LogScenario::SendTagList(const LogEvent& event, const std::string& word) {
    const LoggedTagList list = ReadTagList(event, word);
    if (!list.FitsSendTags()) {
        Send(event, word + list.Bytes());
        return;
    }
    CheckFits(event, word.size() + list.Bytes().size());
    std::string step = "send-tags " + Quoted(word);
    for (const LoggedTagList::Item& item : list.items) step += " " + Assignment(item);
    Step(step, event.line);
}

// Only the socket channel (2) is connected by the host.
void LogScenario::Connect(const LogEvent& event, const LogEvent* reply) {
    const std::vector<std::string> fields = Fields(event.text.substr(8), ':');
    if (fields.size() != 3 || fields[0] != "2") {
        Send(event, event.text);
        return;
    }
    const bool refused = reply != nullptr && reply->text != "OK";
    const std::string bank = fields[1] + ":" + fields[2];
    if (refused) {
        Comment("The host could not reach the shop's bank " + bank +
                ": port 0, which the host refuses without dialling.");
        Step("send \"CONNECT:2:${BANK_HOST}:0\"", event.line);
    } else {
        Comment("The shop's bank " + bank + " is the fake bank here.");
        Step("send \"CONNECT:2:${BANK_HOST}:${BANK_PORT}\"", event.line);
    }
    bankConnected_ = !refused;
}

// Data the host read from the bank is answered by the fake bank before the pinpad asks.
void LogScenario::Read(const LogEvent& event, const LogEvent* reply) {
    const std::size_t colon = reply != nullptr ? reply->text.find(':') : std::string::npos;
    std::string label;
    std::size_t bytes = 0;
    if (bankConnected_ && colon != std::string::npos &&
        ShownData::Read(reply->text.substr(colon + 1), &label, &bytes) && label == "data") {
        CheckFits(*reply, colon + 1 + bytes);
        const std::string data = ShownData::Filler(bytes);
        Step("bank-send " + Quoted(data), event.line, "the bank's answer, by its length");
        bankReplyLine_ = reply->line;
        bankReply_ = reply->text.substr(0, colon + 1) + data;
    }
    Send(event, event.text);
}

void LogScenario::Send(const LogEvent& event, const std::string& payload) {
    CheckFits(event, payload.size());
    Step("send " + Quoted(payload), event.line);
}

// The pinpad's time between the host's frame and its own next one: the shortest the time
// stamps allow (a stamp of whole seconds may be up to a second late), at most kMostPauseMs.
void LogScenario::Pause(const LogEvent& event) {
    if (lastHost_ == nullptr) return;
    std::int64_t gap = event.millis - lastHost_->millis;
    if (event.wholeSeconds || lastHost_->wholeSeconds) gap -= 1000;
    if (gap < kLeastPauseMs) return;
    gap = std::min(gap, kMostPauseMs);
    pausedMs_ += gap;
    Step("pause " + std::to_string(gap), event.line,
         "the pinpad's pause after log line " + std::to_string(lastHost_->line));
}

void LogScenario::FlushNaks() {
    for (int line : pendingNaks_) Step("expect NAK", line);
    pendingNaks_.clear();
}

// A session that ended is closed by the host. One that broke off is dropped by the pinpad;
// the host's last NAK then went to a line that was gone.
void LogScenario::EndSession(bool atEnd, int logLine) {
    if (ended_ || !sessionFrames_) {
        pendingNaks_.clear();
        if (!atEnd) Step("expect-close", logLine, "the host hangs up after its run");
        return;
    }
    if (!pendingNaks_.empty()) pendingNaks_.pop_back();
    FlushNaks();
    Comment(
        "The run broke off here, before the end of its transaction: the pinpad drops the line.");
    Step("close", logLine);
}

void LogScenario::NewSession() {
    sessionFrames_ = false;
    startNext_ = false;
    ended_ = false;
    bankConnected_ = false;
    request_.clear();
    written_.clear();
    lastHost_ = nullptr;
    pendingNaks_.clear();
}

void LogScenario::Step(const std::string& step, int logLine, const std::string& note) {
    steps_ += step + "  # log line " + std::to_string(logLine);
    if (!note.empty()) steps_ += ": " + note;
    steps_ += '\n';
}

void LogScenario::Comment(const std::string& text) {
    steps_ += "# " + ByteText::Printable(text) + '\n';
}

std::string LogScenario::Heading(const std::string& source) const {
    char paused[32];
    std::snprintf(paused, sizeof paused, "%.1f", static_cast<double>(pausedMs_) / 1000);
    return "# The pinpad's side of the exchange in the engine log " + ByteText::Quoted(source) +
           ",\n"
           "# made by vpinpad --from-log: what the pinpad sent is sent, what the host sent is\n"
           "# expected. Card data stays as the log shows it; data shown by its length only is\n"
           "# sent as filler bytes (\".\"); the bank is the emulator's fake bank. The pauses\n"
           "# take " +
           std::string(paused) + " s in all.\n";
}

}  // namespace vpinpad
