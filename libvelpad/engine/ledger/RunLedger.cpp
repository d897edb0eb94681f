#include "engine/ledger/RunLedger.h"

#include <syslog.h>

#include <ctime>

#include "config/CardData.h"
#include "config/SettingRules.h"
#include "config/Tags.h"
#include "engine/ledger/LedgerLine.h"
#include "engine/session/PinpadSession.h"
#include "ri/Encoding.h"
#include "ri/Format.h"
#include "ri/Trace.h"

namespace {

constexpr long kDefaultDays = 400;
constexpr long kDefaultMaxRecords = 100000;
constexpr int kNoResult = 999;

// Now in UTC with milliseconds: "2026-12-09T14:03:05.120Z".
std::string UtcNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%S", &utc);
    return ri::Format("%s.%03dZ", text, static_cast<int>(ms));
}

// A pinpad or caller text as the ledger keeps it: in UTF-8, with any run of
// digits as long as a card number masked.
std::string Text(const std::string& cp1251) {
    return ri::Encoding::win1251_utf(CardData::MaskDigitRuns(cp1251));
}

// A tag as a result file may show it (card numbers masked, other card data
// left out), in UTF-8.
std::string Field(const Tags& tags, const char* name) {
    return Text(CardData::ResultValue(name, tags.Get(name)));
}

const char* Outcome(bool recovery, bool ended, int result, bool open) {
    if (!ended) return open ? outcome::kInterrupted : outcome::kFailed;
    if (result == 0) return recovery ? outcome::kCancelledOnRecovery : outcome::kApproved;
    return recovery || result == kNoResult ? outcome::kFailed : outcome::kDeclined;
}

long OrDefault(const PinpadSession& session, const char* key, long fallback) {
    return session.Has(key) ? session.Number(key) : fallback;
}

}  // namespace

std::string RunLedger::PathFor(const PinpadSession& session) {
    if (session.Has("NO_LEDGER")) return "";
    return session.PathIn(session.Setting("LEDGER_FILE"), session.config().registry.GetWorkPath());
}

bool RunLedger::Failed(PinpadSession& session) {
    session.log().Write("ERROR: %s", ledger_.Error().c_str());
    session.trace().Error("RunLedger: %s", ledger_.Error().c_str());
    return false;
}

bool RunLedger::Begin(PinpadSession& session, const Tags& tags, int operation, bool recovery) {
    path_ = PathFor(session);
    if (path_.empty()) return true;
    if (!ledger_.IsOpen() &&
        !ledger_.Open(path_, true, session.Number(SettingRules::kLockTimeout.key)))
        return Failed(session);
    Open open;
    open.start = std::chrono::steady_clock::now();
    open.recovery = recovery;
    LedgerRecord& r = open.record;
    r.started = UtcNow();
    r.operation = operation;
    r.operationName = Text(session.config().operations.GetName(operation));
    r.amount = Field(tags, "amount");
    r.currency = Field(tags, "currency");
    r.terminalId = Field(tags, "terminal_id");
    r.outcome = outcome::kPending;
    // Records pending when the run stores its first one were left by a run
    // that died; the run's own stay pending while it serves them.
    std::vector<long long> interrupted;
    if (!ledger_.Begin(&r, open_.empty(), OrDefault(session, "LEDGER_DAYS", kDefaultDays),
                       OrDefault(session, "LEDGER_MAX_RECORDS", kDefaultMaxRecords), &interrupted))
        return Failed(session);
    for (long long id : interrupted)
        session.log().Write("WARNING: ledger record %lld was left pending, marked interrupted", id);
    open_.push_back(open);
    return true;
}

bool RunLedger::Complete(PinpadSession& session, const Tags& tags, int result, bool ended) {
    if (open_.empty()) return true;
    Open& open = open_.back();
    LedgerRecord& r = open.record;
    r.ended = UtcNow();
    r.durationMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - open.start)
                       .count();
    r.hasResult = true;
    r.resultCode = result;
    r.resultText = Field(tags, "text_message");
    r.terminalId = Field(tags, "terminal_id");
    r.cardNumber = CardData::MaskPan(CardData::PanText(tags.Get("pan")));
    r.cardType = Field(tags, "card_type");
    r.rrn = Field(tags, "rrn");
    r.authCode = Field(tags, "auth_code");
    r.receiptNumber = Field(tags, "receipt_number");
    r.outcome = Outcome(open.recovery, ended, result, session.StatusOpen());
    if (!ledger_.Complete(r)) return Failed(session);
    if (session.Number("LEDGER_SYSLOG") == 1)
        syslog(LOG_USER | LOG_INFO, "velpad ledger: %s", LedgerLine(r).c_str());
    return true;
}

void RunLedger::Close() {
    if (!open_.empty()) open_.pop_back();
}

void RunLedger::NoteRecovery(PinpadSession& session) {
    if (open_.empty()) return;
    const LedgerRecord& r = open_.back().record;
    const std::string note =
        r.outcome == outcome::kCancelledOnRecovery
            ? ri::Format("cancelled by run %lld", r.id)
            : ri::Format("cancellation by run %lld failed, code %d", r.id, r.resultCode);
    if (!ledger_.NoteRecovery(note)) Failed(session);
}
