// Tags between the pinpad and the register: "GETTAGS:", "SETTAGS:",
// "SEND_CARD:", "SEND_TOTALS:", the unpacking of result tags, the start
// message, and the amount and card-number forms used for display and print.
#include <cstdint>
#include <ctime>

#include "engine/Texts.h"
#include "engine/handlers/CommandRow.h"
#include "engine/handlers/RunRecords.h"
#include "ri/Conv.h"
#include "ri/Format.h"
#include "ri/Trace.h"

namespace handlers {

namespace {

using texts::kEsc;

constexpr size_t kAuthCodeLength = 6;
constexpr size_t kAuthSourceAt = 7;

// A packed card number (or loyalty track) as text: hexadecimal digits, the
// nibble D shown as marker, the padding nibble F dropped.
std::string UnpackDigits(const std::string& packed, char marker) {
    std::string text;
    for (char digit : ri::HEX::ToString(packed)) {
        if (digit == 'F') continue;
        text += digit == 'D' ? marker : digit;
    }
    return text;
}

// The first four bytes, least significant first; missing high bytes are zero.
std::uint32_t LittleEndian32(const std::string& bytes) {
    std::uint32_t value = 0;
    for (size_t i = 0; i < bytes.size() && i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return value;
}

std::string LocalTime(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16] = {};
    std::strftime(text, sizeof text, format, &local);
    return text;
}

bool StartsWith(const std::string& text, const std::string& head) {
    return text.compare(0, head.size(), head) == 0;
}

// The cardholder name of a track 1: the text between the first two "^",
// without trailing blanks (possibly empty); false with fewer than two "^".
bool CardholderName(const std::string& track, std::string* name) {
    const size_t first = track.find('^');
    if (first == std::string::npos) return false;
    const size_t second = track.find('^', first + 1);
    if (second == std::string::npos) return false;
    const std::string field = track.substr(first + 1, second - first - 1);
    const size_t last = field.find_last_not_of(ri::Trim::kBlanks);
    *name = last == std::string::npos ? "" : field.substr(0, last + 1);
    return true;
}

}  // namespace

// A tag list cut short or malformed is refused whole: none of its values is
// stored, so a result is never made of half a list.
bool WholeTagList(Request& r, const char* handler, const std::string& data) {
    if (Tags::IsWhole(data)) return true;
    r.log.Write("ERROR: %s: tag list cut short or malformed (%zu bytes), nothing stored", handler,
                data.size());
    r.trace.Error("%s: tag list cut short or malformed", handler);
    return false;
}

// Date and time the pinpad left as zeros, the cardholder name and the merged
// authorisation code.
void CompleteResultTags(Request& r) {
    if (StartsWith(r.tags.Get("date"), "0000")) r.tags.Add("date", LocalTime("%y%m%d"));
    if (StartsWith(r.tags.Get("time"), "000000")) r.tags.Add("time", LocalTime("%H%M%S"));
    std::string name;
    if (CardholderName(r.tags.Get("track1_data"), &name)) r.tags.Add("received_text_message", name);
    const std::string auth = r.tags.Get("auth_code");
    const std::string source = r.tags.Get("auth_code_source");
    if (r.Setting("AUTH_CODE_FULL") != "0" && !auth.empty() && !source.empty())
        r.tags.Add("auth_code", auth.substr(0, kAuthCodeLength) + " " + source.substr(0, 1));
}

Served SendOWTags(Request& r, const std::string&) {
    r.trace.Debug4("SendOWTags");
    r.log.Write("SendOWTags");
    // The pinpad's forms travel in the list; the store keeps the forms the
    // caller reads, so a repeated request sends the same bytes.
    Tags outgoing = r.tags;
    const std::string auth = outgoing.Get("auth_code");
    if (auth.size() > kAuthCodeLength) {
        outgoing.Add("auth_code", auth.substr(0, kAuthCodeLength));
        if (auth.size() > kAuthSourceAt)
            outgoing.Add("auth_code_source", auth.substr(kAuthSourceAt, 1));
    }
    const std::string loyalty = outgoing.Get("loyalty_code");
    if (!loyalty.empty()) outgoing.Add("loyalty_code", loyalty, 0, Tags::TAG_INT32);
    PrintTags(r, &outgoing);
    return r.reply.Answer(outgoing.Make(), false, CardData::Payload::kTagList);
}

Served RecvOWTags(Request& r, const std::string& data) {
    if (r.trace.GetLogType() >= ri::Trace::LEVEL_DEBUG4)
        r.trace.Debug4("RecvOWTags: %s", CardData::TagList(data).c_str());
    r.log.Write("RecvOWTags");
    if (!WholeTagList(r, "RecvOWTags", data)) return r.reply.Error();
    // Only values that arrived in this list are unpacked: a value the store
    // already holds as text must not be converted a second time.
    r.tags.Parse(data);
    PrintTags(r, &r.tags);
    const std::string pan = Tags::ValueIn(data, "pan");
    if (!pan.empty()) r.tags.Add("pan", UnpackDigits(pan, '*'));
    const std::string track = Tags::ValueIn(data, "loyalty_track2");
    if (!track.empty()) r.tags.Add("loyalty_track2", UnpackDigits(track, '='));
    if (r.tags.Get("DISABLE_LOG") != "1") SaveOutputFile(r);
    CompleteResultTags(r);
    const std::string loyalty = Tags::ValueIn(data, "loyalty_code");
    if (!loyalty.empty()) r.tags.Add("loyalty_code", ri::Format("%u", LittleEndian32(loyalty)));
    SaveVarEnv(r);
    return r.reply.Ok();
}

Served SendCard(Request& r, const std::string& data) {
    r.log.Write("Save card data");
    if (!WholeTagList(r, "SendCard", data)) return r.reply.Error();
    r.tags.Parse(data);
    return r.reply.Ok();
}

Served SendTotals(Request& r, const std::string& data) {
    r.log.Write("Save totals in parameter \"day_totals\"");
    r.tags.Add("day_totals", data);
    return r.reply.Ok();
}

void PrintTags(Request& r, const Tags* tags) {
    if (r.Has("NOTAGSLOG") || !tags || !r.log.Active()) return;
    r.trace.Debug4("PrintTags");
    r.log.Dump(CardData::Redact(tags->Make(), CardData::Payload::kTagList));
}

const CommandRows& TagExchangeCommands() {
    static const CommandRows rows = {
        {"SETTAGS:", RecvOWTags, 1},
        {"GETTAGS:", SendOWTags, 1},
        {"SEND_CARD:", SendCard, 1},
        {"SEND_TOTALS:", SendTotals, 1},
    };
    return rows;
}

}  // namespace handlers
