#include "engine/PPAD.h"

#include <ctime>
#include <iomanip>
#include <sstream>

#include "ri/Conv.h"
#include "ri/File.h"
#include "ri/Trace.h"

namespace {

// Version reported in the application log at every engine start.
constexpr int kVersion[4] = {2, 1, 0, 28};

// Output files resolved against the output and exchange path, and those
// resolved against the work path.
const char* const kOutputFiles[] = {"CANCEL_RC_FILE",      "CANCEL_CH_FILE", "CHEQ_FILE",
                                    "RESULT_FILE",         "OUTPUT_FILE",    "TMS_SCRIPT_FILE",
                                    "OUTPUT_FILE_TEMPLATE"};
const char* const kWorkFiles[] = {"TRACE_FILE", "VAR_ENV_FILE"};

// The build time stamp as the engine log shows it: "Tue Feb  2 06:26:35 2021".
std::string BuildStamp() {
    std::tm when{};
    std::istringstream(__DATE__ " " __TIME__) >> std::get_time(&when, "%b %d %Y %H:%M:%S");
    when.tm_isdst = -1;
    std::mktime(&when);
    char text[32] = {};
    std::strftime(text, sizeof(text), "%a %b %e %H:%M:%S %Y", &when);
    return text;
}

}  // namespace

PPAD::PPAD(Tags* tags, const std::set<std::string>& hidden, const std::string& settingsDir)
    : session_(tags, hidden, settingsDir),
      tags_(tags),
      trace_(&session_.trace()),
      log_(session_.log()),
      link_(session_.link()),
      config_(session_.config()),
      dialog_(session_.dialog()),
      logging_(session_.Logging()) {
    state_.printerEscapes = Has("USE_PRINTER_ESC");
    if (!Has("NOFILELOG")) {
        outputs_.result.ShareLog(&log_);
        outputs_.cheque.ShareLog(&log_);
    }
    if (logging_) {
        log_.Write("Version: %d.%d.%d.%d", kVersion[0], kVersion[1], kVersion[2], kVersion[3]);
        log_.Write("Build date:");
        log_.Write(BuildStamp());
    }
    // Time-outs of 0, below 0 or beyond their bound fall back to their
    // defaults, with a warning in the logs.
    for (const SettingRules::Timeout& timeout : SettingRules::kStartTimeouts)
        session_.BoundTimeout(timeout, true);
    config_.rcResult.SetFile(
        GetPathFile(Setting("RC_RESOLVE_FILE"), config_.registry.GetIniPath()));
    config_.rcConv.SetFile(GetPathFile(Setting("RC_CONVERT_FILE"), config_.registry.GetIniPath()));
    for (const std::string& line : config_.rcConv.Skipped()) {
        log_.Write(
            "WARNING: result-code conversion [%s] skipped: it would report a failure of "
            "the register as success",
            line.c_str());
        trace_->Warning("PPAD: result-code conversion [%s] skipped", line.c_str());
    }
    if (logging_) ResolveResultFiles();
    if (Has("USE_UNIPAY")) tags_->SetDictionary("receipt_number", 0x1F26);
}

void PPAD::BeginRun() {
    session_.Lock();
    StoreCode(kNoResult);
    if (logging_) outputs_.Prepare(session_);
}

handlers::Request PPAD::RequestFor(handlers::Reply& reply, Tags& tags) {
    return {tags,  session_, dialog_, outputs_, state_,
            bank_, reply,    log_,    *trace_,  session_.pinpadTrace()};
}

void PPAD::StoreCode(int code, Tags* tags) {
    handlers::Reply reply(session_);
    handlers::Request request = RequestFor(reply, TagsOr(tags));
    handlers::StoreCode(request, code);
}

void PPAD::PrintTechCheck(int code, Tags* tags) {
    handlers::Reply reply(session_);
    handlers::Request request = RequestFor(reply, TagsOr(tags));
    handlers::PrintTechCheck(request, code);
}

// Resolves the output file names against their folders; nothing on disk
// changes.
void PPAD::ResolveResultFiles() {
    for (const char* key : kOutputFiles)
        config_.settings.MakePair(key,
                                  GetPathFile(Setting(key), config_.registry.GetExchangePath()));
    for (const char* key : kWorkFiles)
        config_.settings.MakePair(key, GetPathFile(Setting(key), config_.registry.GetWorkPath()));
    log_.Write("Ini path:");
    log_.Write(config_.registry.GetIniPath());
    log_.Write("Dialogs library path:");
    log_.Write(config_.registry.GetDlgLibPath());
    log_.Write("Work path:");
    log_.Write(config_.registry.GetWorkPath());
    log_.Write("Output & Exchange path:");
    log_.Write(config_.registry.GetExchangePath());
    log_.Write("DARir");
}

PPAD::~PPAD() {
    trace_->Debug4("~PPAD");
    link_.Close();
    bank_.Close();
    outputs_.result.Close();
    outputs_.cheque.Close();
}

int PPAD::Stop() {
    trace_->Debug4("Stop");
    state_.stopRequest = true;
    int answer = state_.cancelAnswer;
    if (answer == 0) return 0;
    return answer == 10 ? 1 : -1;
}

int PPAD::Connect(long comTimeoutMs) {
    bank_.Drop();
    return session_.Connect(comTimeoutMs);
}

int PPAD::ComConnect(long timeoutMs) {
    bank_.Drop();
    return session_.Connect(timeoutMs) == PinpadSession::kConnected ? 0 : -1;
}
