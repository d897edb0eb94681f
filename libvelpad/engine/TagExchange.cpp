// Tags between the pinpad and the register: "GETTAGS:", "SETTAGS:",
// "SEND_CARD:", "SEND_TOTALS:", the unpacking of result tags, the start
// message, and the amount and card-number forms used for display and print.
#include <cstdint>
#include <ctime>

#include "engine/PPAD.h"
#include "engine/Texts.h"
#include "ri/Conv.h"
#include "ri/Format.h"
#include "ri/Trace.h"

namespace {

using texts::kEsc;

constexpr size_t kAuthCodeLength = 6;
constexpr size_t kAuthSourceAt = 7;
constexpr int kCloseDayOperation = 99;

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

PPAD::Served PPAD::SendOWTags() {
    trace_->Debug4("SendOWTags");
    log_.Write("SendOWTags");
    if (!tags_) return AnswerError();
    // The pinpad's forms travel in the list; the store keeps the forms the
    // caller reads, so a repeated request sends the same bytes.
    Tags outgoing = *tags_;
    const std::string auth = outgoing.Get("auth_code");
    if (auth.size() > kAuthCodeLength) {
        outgoing.Add("auth_code", auth.substr(0, kAuthCodeLength));
        if (auth.size() > kAuthSourceAt)
            outgoing.Add("auth_code_source", auth.substr(kAuthSourceAt, 1));
    }
    const std::string loyalty = outgoing.Get("loyalty_code");
    if (!loyalty.empty()) outgoing.Add("loyalty_code", loyalty, 0, Tags::TAG_INT32);
    PrintTags(&outgoing);
    return Answer(outgoing.Make(), false, CardData::Payload::kTagList);
}

PPAD::Served PPAD::RecvOWTags(const std::string& data) {
    if (trace_->GetLogType() >= ri::Trace::LEVEL_DEBUG4)
        trace_->Debug4("RecvOWTags: %s", CardData::TagList(data).c_str());
    log_.Write("RecvOWTags");
    if (!tags_ || !WholeTagList("RecvOWTags", data)) return AnswerError();
    // Only values that arrived in this list are unpacked: a value the store
    // already holds as text must not be converted a second time.
    tags_->Parse(data);
    PrintTags(tags_);
    const std::string pan = Tags::ValueIn(data, "pan");
    if (!pan.empty()) tags_->Add("pan", UnpackDigits(pan, '*'));
    const std::string track = Tags::ValueIn(data, "loyalty_track2");
    if (!track.empty()) tags_->Add("loyalty_track2", UnpackDigits(track, '='));
    if (tags_->Get("DISABLE_LOG") != "1") SaveOutputFile();
    CompleteResultTags();
    const std::string loyalty = Tags::ValueIn(data, "loyalty_code");
    if (!loyalty.empty()) tags_->Add("loyalty_code", ri::Format("%u", LittleEndian32(loyalty)));
    SaveVarEnv();
    return AnswerOk();
}

// A tag list cut short or malformed is refused whole: none of its values is
// stored, so a result is never made of half a list.
bool PPAD::WholeTagList(const char* handler, const std::string& data) {
    if (Tags::IsWhole(data)) return true;
    log_.Write("ERROR: %s: tag list cut short or malformed (%zu bytes), nothing stored", handler,
               data.size());
    trace_->Error("%s: tag list cut short or malformed", handler);
    return false;
}

// Date and time the pinpad left as zeros, the cardholder name and the merged
// authorisation code.
void PPAD::CompleteResultTags() {
    if (StartsWith(tags_->Get("date"), "0000")) tags_->Add("date", LocalTime("%y%m%d"));
    if (StartsWith(tags_->Get("time"), "000000")) tags_->Add("time", LocalTime("%H%M%S"));
    std::string name;
    if (CardholderName(tags_->Get("track1_data"), &name)) tags_->Add("received_text_message", name);
    const std::string auth = tags_->Get("auth_code");
    const std::string source = tags_->Get("auth_code_source");
    if (Setting("AUTH_CODE_FULL") != "0" && !auth.empty() && !source.empty())
        tags_->Add("auth_code", auth.substr(0, kAuthCodeLength) + " " + source.substr(0, 1));
}

PPAD::Served PPAD::SendCard(const std::string& data) {
    log_.Write("Save card data");
    if (!WholeTagList("SendCard", data)) return AnswerError();
    tags_->Parse(data);
    return AnswerOk();
}

PPAD::Served PPAD::SendTotals(const std::string& data) {
    log_.Write("Save totals in parameter \"day_totals\"");
    tags_->Add("day_totals", data);
    return AnswerOk();
}

std::string PPAD::InitParamOperation(int operation) {
    trace_->Debug4("InitParamOperation: %d", operation);
    if (operation < 1 || !tags_) return "";
    if (operation == kCloseDayOperation) {
        tags_->Add("amount", "");
        tags_->Add("rfu", "");
    }
    const std::string amount = tags_->Get("amount");
    std::string message = config_.operations.GetType(operation) + kEsc +
                          config_.operations.GetOwInd(operation) + kEsc + tags_->Get("currency") +
                          kEsc + (amount.empty() ? "" : GetAmountStr(amount)) + kEsc + kEsc +
                          StartCardData();
    if (operation != kCancelOperation) PrintInitInfo(operation);
    return message;
}

// The card field of the start message: a short masked "pan" (D and up to six
// characters), or with "NO_PA_DSS" the track in "rfu" (empty when there is
// no track), or else "n" and the encrypted card data.
std::string PPAD::StartCardData() {
    std::string card;
    const std::string pan = tags_->Get("pan");
    if (pan.size() >= 5 && pan.size() <= 7 && pan[0] == 'D') {
        card = pan;
    } else if (Has("NO_PA_DSS")) {
        card = tags_->Get("rfu");
    } else {
        const std::string encrypted = tags_->Get("enc_data");
        return encrypted.empty() ? "" : "n" + encrypted;
    }
    if (card.empty()) return "";
    if (card[0] != ';' && card[0] != 'D' && card[0] != 'M') card.insert(0, 1, ';');
    if (card.back() == '?') card.pop_back();
    return card;
}

void PPAD::PrintTags(Tags* tags) {
    if (Has("NOTAGSLOG") || !tags || !log_.Active()) return;
    trace_->Debug4("PrintTags");
    log_.Dump(CardData::Redact(tags->Make(), CardData::Payload::kTagList));
}

std::string PPAD::GetAmountStr(const std::string& amount) {
    trace_->Debug4("GetAmountStr: %s", amount.c_str());
    if (amount.empty()) return "";
    if (amount.size() == 1) return "00.0" + amount;
    if (amount.size() == 2) return "00." + amount;
    return amount.substr(0, amount.size() - 2) + "." + amount.substr(amount.size() - 2);
}

std::string PPAD::FormatPAN(const std::string& pan) {
    trace_->Debug4("FormatPAN: %s", CardData::Value("pan", pan).c_str());
    std::string grouped;
    int digits = 0;
    for (char c : pan) {
        if (c < '0' || c > '9') continue;
        grouped += c;
        if (++digits % 4 == 0) grouped += ' ';
    }
    return grouped;
}

void PPAD::GetPanExpDate(const std::string& track, std::string* pan, std::string* expiry) {
    trace_->Debug4("GetPanExpDate: %s", CardData::Value("track2_data", track).c_str());
    std::string number;
    std::string date;
    const std::string body = !track.empty() && track[0] == ';' ? track.substr(1) : track;
    const size_t separator = body.find('=');
    if (separator != std::string::npos) {
        number = body.substr(0, separator);
        const std::string rest = body.substr(separator + 1);
        if (rest.size() >= 4) date = rest.substr(0, 2) + "/" + rest.substr(2, 2);
    }
    if (pan) *pan = number;
    if (expiry) *expiry = date;
}

void formatAmount(const std::string& amount, std::string& out) {
    out.assign(12, '0');
    if (amount.size() <= out.size()) out.replace(out.size() - amount.size(), amount.size(), amount);
}
