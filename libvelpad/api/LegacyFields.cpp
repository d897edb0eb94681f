#include "api/LegacyFields.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "api/DARir.h"
#include "api/velpad.h"
#include "config/Tags.h"
#include "ri/Exception.h"
#include "ri/Format.h"

static_assert(offsetof(UserAuthInt, operation) == 8, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, rfu) == 12, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, pan) == 72, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, expiry) == 92, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, settings) == 117, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, amount) == 197, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, original_amount) == 210, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, currency) == 223, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, terminal_id) == 227, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, rrn) == 236, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, auth_code) == 249, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, response_code) == 258, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, card_type) == 262, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, date) == 342, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, time) == 349, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, received_text_message) == 506, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, text_message) == 586, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, aid) == 666, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, application_label) == 746, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, tvr) == 826, "UserAuthInt layout");
static_assert(offsetof(UserAuthInt, enc_data) == 912, "UserAuthInt layout");
static_assert(sizeof(UserAuthInt) == 976, "UserAuthInt layout");

static_assert(offsetof(UserAuthIntFull, operation) == 8, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, rfu) == 12, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, pan) == 72, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, expiry) == 92, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, amount) == 197, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, original_amount) == 210, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, currency) == 223, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, terminal_id) == 227, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, rrn) == 236, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, auth_code) == 249, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, response_code) == 258, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, card_type) == 262, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, date) == 342, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, time) == 349, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, received_text_message) == 506, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, text_message) == 586, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, aid) == 666, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, application_label) == 746, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, tvr) == 826, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, receipt_number) == 910, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, enc_data) == 1171, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, trace_id) == 1474, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, original_date_time) == 1535, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, transaction_id) == 1806, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, loyalty_code) == 2981, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, cash_amount) == 2985, "UserAuthIntFull layout");
static_assert(offsetof(UserAuthIntFull, bank_id) == 2999, "UserAuthIntFull layout");
static_assert(sizeof(UserAuthIntFull) == 3284, "UserAuthIntFull layout");

namespace legacy_fields {

namespace {

constexpr int kLongestValue = 1024;

// A field read whole, and a field written up to a width of its own.
#define LEGACY_IN(S, member, form) \
    { #member, offsetof(S, member), sizeof(S::member), form }
#define LEGACY_OUT(S, tag, member, width, form) \
    { tag, offsetof(S, member), width, form }

constexpr Form T = Form::Text;
constexpr Form D = Form::Digits;

// The whole text of a decimal number no larger than limit, else false.
bool ParseUnsigned(const std::string& text, unsigned long limit, unsigned long* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    const unsigned long parsed = std::strtoul(text.c_str(), nullptr, 10);
    if (errno != 0 || parsed > limit) return false;
    *value = parsed;
    return true;
}

void Set(DARir& session, const char* tag, const std::string& value, int type) {
    if (session.Set(tag, value.data(), static_cast<int>(value.size()), type) != 0)
        throw ri::Exception("cannot set %s", tag);
}

}  // namespace

const std::vector<Field> kShortInputs = {
    LEGACY_IN(UserAuthInt, rfu, T),
    LEGACY_IN(UserAuthInt, pan, T),
    LEGACY_IN(UserAuthInt, amount, T),
    LEGACY_IN(UserAuthInt, currency, T),
    LEGACY_IN(UserAuthInt, terminal_id, T),
    LEGACY_IN(UserAuthInt, rrn, T),
    LEGACY_IN(UserAuthInt, auth_code, T),
    LEGACY_IN(UserAuthInt, response_code, T),
    LEGACY_IN(UserAuthInt, date, T),
    LEGACY_IN(UserAuthInt, time, T),
    LEGACY_IN(UserAuthInt, received_text_message, T),
    LEGACY_IN(UserAuthInt, enc_data, T),
    LEGACY_IN(UserAuthInt, expiry, D),
    LEGACY_IN(UserAuthInt, original_amount, D),
};

const std::vector<Field> kShortOutputs = {
    LEGACY_OUT(UserAuthInt, "response_code", response_code, 3, T),
    LEGACY_OUT(UserAuthInt, "pan", pan, 20, T),
    LEGACY_OUT(UserAuthInt, "rfu", rfu, 60, T),
    LEGACY_OUT(UserAuthInt, "expiry", expiry, 5, D),
    LEGACY_OUT(UserAuthInt, "original_amount", original_amount, 13, D),
    LEGACY_OUT(UserAuthInt, "terminal_id", terminal_id, 9, T),
    LEGACY_OUT(UserAuthInt, "auth_code", auth_code, 9, T),
    LEGACY_OUT(UserAuthInt, "received_text_message", received_text_message, 80, T),
    LEGACY_OUT(UserAuthInt, "result_enc_data", enc_data, 64, T),
    LEGACY_OUT(UserAuthInt, "application_label", application_label, 80, T),
    LEGACY_OUT(UserAuthInt, "text_message", text_message, 80, T),
    LEGACY_OUT(UserAuthInt, "card_type", card_type, 80, T),
    LEGACY_OUT(UserAuthInt, "rrn", rrn, 13, T),
    LEGACY_OUT(UserAuthInt, "result_amount", amount, 12, D),
    LEGACY_OUT(UserAuthInt, "aid", aid, 79, D),
    LEGACY_OUT(UserAuthInt, "tvr", tvr, 79, D),
};

const std::vector<Field> kFullInputs = {
    LEGACY_IN(UserAuthIntFull, rfu, T),
    LEGACY_IN(UserAuthIntFull, pan, T),
    LEGACY_IN(UserAuthIntFull, amount, T),
    LEGACY_IN(UserAuthIntFull, currency, T),
    LEGACY_IN(UserAuthIntFull, terminal_id, T),
    LEGACY_IN(UserAuthIntFull, rrn, T),
    LEGACY_IN(UserAuthIntFull, auth_code, T),
    LEGACY_IN(UserAuthIntFull, response_code, T),
    LEGACY_IN(UserAuthIntFull, date, T),
    LEGACY_IN(UserAuthIntFull, time, T),
    LEGACY_IN(UserAuthIntFull, received_text_message, T),
    LEGACY_IN(UserAuthIntFull, enc_data, T),
    LEGACY_IN(UserAuthIntFull, trace_id, T),
    LEGACY_IN(UserAuthIntFull, transaction_id, T),
    LEGACY_IN(UserAuthIntFull, cash_amount, T),
    LEGACY_IN(UserAuthIntFull, original_date_time, D),
    LEGACY_IN(UserAuthIntFull, expiry, D),
    LEGACY_IN(UserAuthIntFull, original_amount, D),
};

const std::vector<Field> kFullOutputs = {
    LEGACY_OUT(UserAuthIntFull, "response_code", response_code, 4, T),
    LEGACY_OUT(UserAuthIntFull, "result_amount", amount, 12, D),
    LEGACY_OUT(UserAuthIntFull, "result_enc_data", enc_data, 64, T),
    LEGACY_OUT(UserAuthIntFull, "pan", pan, 19, T),
    LEGACY_OUT(UserAuthIntFull, "expiry", expiry, 4, D),
    LEGACY_OUT(UserAuthIntFull, "original_amount", original_amount, 12, D),
    LEGACY_OUT(UserAuthIntFull, "terminal_id", terminal_id, 8, T),
    LEGACY_OUT(UserAuthIntFull, "rrn", rrn, 12, T),
    LEGACY_OUT(UserAuthIntFull, "auth_code", auth_code, 8, T),
    LEGACY_OUT(UserAuthIntFull, "card_type", card_type, 79, T),
    LEGACY_OUT(UserAuthIntFull, "date", date, 6, D),
    LEGACY_OUT(UserAuthIntFull, "time", time, 6, D),
    LEGACY_OUT(UserAuthIntFull, "received_text_message", received_text_message, 79, T),
    LEGACY_OUT(UserAuthIntFull, "aid", aid, 79, D),
    LEGACY_OUT(UserAuthIntFull, "application_label", application_label, 79, T),
    LEGACY_OUT(UserAuthIntFull, "tvr", tvr, 79, D),
    LEGACY_OUT(UserAuthIntFull, "trace_id", trace_id, 60, T),
    LEGACY_OUT(UserAuthIntFull, "original_date_time", original_date_time, 12, D),
    LEGACY_OUT(UserAuthIntFull, "response_code", response_code, 3, T),
    LEGACY_OUT(UserAuthIntFull, "currency", currency, 3, T),
    LEGACY_OUT(UserAuthIntFull, "text_message", text_message, 79, T),
    LEGACY_OUT(UserAuthIntFull, "rfu", rfu, 59, T),
    LEGACY_OUT(UserAuthIntFull, "transaction_id", transaction_id, 19, T),
    LEGACY_OUT(UserAuthIntFull, "cash_amount", cash_amount, 13, T),
    LEGACY_OUT(UserAuthIntFull, "bank_id", bank_id, 19, T),
};

#undef LEGACY_IN
#undef LEGACY_OUT

// Digit fields go in as their text (digits up to the first zero byte): the
// zero bytes that pad a field are no digits and would shift the packing.
void CopyIn(DARir& session, const LegacyRecord& record, const std::vector<Field>& fields,
            Form form) {
    for (const Field& field : fields) {
        if (field.form != form) continue;
        const std::string text = record.Text(field.offset, field.width);
        if (text.empty()) continue;
        Set(session, field.tag, text, form == Form::Digits ? Tags::TAG_BCD : -1);
    }
}

void CopyOut(DARir& session, LegacyRecord& record, const std::vector<Field>& fields) {
    for (const Field& field : fields) {
        const int type = field.form == Form::Digits ? Tags::TAG_BCD : Tags::TAG_TEXT;
        record.Put(field.offset, field.width, Value(session, field.tag, type));
    }
}

// The receipt number is kept as a 16-bit number, as every other writer of the
// session keeps it; the loyalty code as its decimal text, which is what the
// pinpad's own loyalty code becomes when it arrives.
void CopyNumbersIn(DARir& session, const LegacyRecord& record) {
    std::uint16_t receipt = 0;
    if (record.Read(offsetof(UserAuthIntFull, receipt_number), &receipt) && receipt != 0)
        Set(session, "receipt_number", ri::Format("%d", receipt), Tags::TAG_INT16);
    std::uint32_t loyalty = 0;
    if (record.Read(offsetof(UserAuthIntFull, loyalty_code), &loyalty) && loyalty != 0)
        Set(session, "loyalty_code", ri::Format("%u", loyalty), -1);
}

void CopyNumbersOut(DARir& session, LegacyRecord& record) {
    unsigned long value = 0;
    if (ParseUnsigned(Value(session, "receipt_number", Tags::TAG_INT16),
                      std::numeric_limits<std::uint16_t>::max(), &value))
        record.Write(offsetof(UserAuthIntFull, receipt_number), static_cast<std::uint16_t>(value));
    if (ParseUnsigned(Value(session, "loyalty_code", Tags::TAG_TEXT),
                      std::numeric_limits<std::uint32_t>::max(), &value))
        record.Write(offsetof(UserAuthIntFull, loyalty_code), static_cast<std::uint32_t>(value));
}

std::string Value(DARir& session, const std::string& tag, int type) {
    char buffer[kLongestValue] = {};
    const int length = session.Get(tag.c_str(), buffer, kLongestValue, type);
    return length > 0 ? std::string(buffer, length) : std::string();
}

}  // namespace legacy_fields
