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
// The files a run writes for its caller.
const char* const kRunFiles[] = {"CHEQ_FILE",    "RESULT_FILE",    "OUTPUT_FILE",
                                 "VAR_ENV_FILE", "CANCEL_RC_FILE", "CANCEL_CH_FILE"};

// Files that carry the suffix of the port and of the relay identifier, so
// that several pinpads on one register keep separate results.
const char* const kSuffixedFiles[] = {"OUTPUT_FILE", "RESULT_FILE", "CHEQ_FILE"};

// The part of a port name from "COM" or "tty" on, trimmed.
std::string PortSuffix(const std::string& port) {
    size_t at = port.find("COM");
    if (at == std::string::npos) at = port.find("tty");
    if (at == std::string::npos) return "";
    return ri::Trim::BothSide(port.substr(at));
}

// A caller's value as part of a file name: a separator or a control byte
// would place the file elsewhere or cut its name, so each becomes "_".
std::string FileNamePart(std::string value) {
    for (char& c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) c = '_';
    }
    return value;
}

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

PPAD::PPAD(Tags* tags) : tags_(tags), trace_(ri::Trace::Get()), config_(trace_) {
    config_.settings.SetFile(GetPathFile("cashreg.ini", ""));
    logging_ = tags_->Get("DISABLE_LOG") != "1";
    if (!logging_ || Number("USEAPPLOG") == 0) log_.Stop();
    printer_esc_ = Has("USE_PRINTER_ESC");
    if (!Has("NOFILELOG")) {
        outputs_.result.ShareLog(&log_);
        outputs_.cheque.ShareLog(&log_);
    }
    log_.SetPath(config_.registry.GetWorkPath() + Setting("LOG_FOLDER_NAME") + "/",
                 static_cast<unsigned>(Number("LOG_FOLDER_MODE")),
                 static_cast<int>(Number("DATETIME_FORMAT")));
    CopyParams();
    // Nothing is written before the pinpad is ours: another run on it keeps
    // its logs, results and status file untouched.
    LockPinpad();
    if (logging_) {
        log_.Write("Version: %d.%d.%d.%d", kVersion[0], kVersion[1], kVersion[2], kVersion[3]);
        log_.Write("Build date:");
        log_.Write(BuildStamp());
    }
    CheckTimeouts();
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
    StoreCode(999);
    if (logging_) PrepareResultFiles();
    if (tags_->Get("NODIALOGS") == "1") config_.settings.MakePair("NODIALOGS", "");
    if (Has("USE_UNIPAY")) tags_->SetDictionary("receipt_number", 0x1F26);
}

// Resolves the output file names, removes the files of an earlier run and
// opens the result and cheque writers.
void PPAD::PrepareResultFiles() {
    for (const char* key : kOutputFiles)
        config_.settings.MakePair(key,
                                  GetPathFile(Setting(key), config_.registry.GetExchangePath()));
    for (const char* key : kWorkFiles)
        config_.settings.MakePair(key, GetPathFile(Setting(key), config_.registry.GetWorkPath()));
    // A name that cannot hold a file of the run is left exactly as it is (the
    // run is refused before its start message); only regular files of an
    // earlier run are removed, so that none is taken for this run's.
    for (const char* key : kRunFiles) Admitted(Setting(key));
    Remove(Setting("CHEQ_FILE"));
    Remove(Setting("RESULT_FILE"));
    for (const char* key : {"VAR_ENV_FILE", "CANCEL_RC_FILE", "CANCEL_CH_FILE"})
        if (ri::File::KindOf(Setting(key)) == ri::File::Kind::kRegular)
            ri::File::Delete(Setting(key));
    if (unwritable_.empty() && outputs_.result.Open(Setting("RESULT_FILE")) != 0)
        Unwritable(Setting("RESULT_FILE"));
    log_.Write("Ini path:");
    log_.Write(config_.registry.GetIniPath());
    log_.Write("Dialogs library path:");
    log_.Write(config_.registry.GetDlgLibPath());
    log_.Write("Work path:");
    log_.Write(config_.registry.GetWorkPath());
    log_.Write("Output & Exchange path:");
    log_.Write(config_.registry.GetExchangePath());
    if (unwritable_.empty() && outputs_.cheque.Open(Setting("CHEQ_FILE")) != 0)
        Unwritable(Setting("CHEQ_FILE"));
    if (Has("PPCHARSET") && Has("PRINTERCHARSET"))
        outputs_.cheque.useCharsetEncoder(Setting("PPCHARSET"), Setting("PRINTERCHARSET"));
    log_.Write("DARir");
}

PPAD::~PPAD() {
    trace_->Debug4("~PPAD");
    link_.Close();
    bank_.Close();
    outputs_.result.Close();
    outputs_.cheque.Close();
    trace_writer_.Close();
}

int PPAD::Stop() {
    trace_->Debug4("Stop");
    stop_request_ = true;
    int answer = cancel_answer_;
    if (answer == 0) return 0;
    return answer == 10 ? 1 : -1;
}

void PPAD::CopyParams() {
    for (const auto& [name, value] : tags_->GetParams()) {
        if (name.empty()) continue;
        config_.settings.MakePair(name, value);
        std::string suffix;
        if (name == "PORT") suffix = PortSuffix(value);
        // The pinpad behind a relay the caller picks for this run: its files
        // follow it, so two relays never share a status file or results.
        if (name == "ORVEX_ID" || name == "PORT_IP" || name == "ADDR_IP") suffix = value;
        suffix = FileNamePart(suffix);
        if (suffix.empty()) continue;
        for (const char* key : kSuffixedFiles)
            config_.settings.MakePair(key, Setting(key) + "-" + suffix);
        outputs_.statusFile += "-" + suffix;
    }
}

std::string PPAD::GetPathFile(const std::string& name, const std::string& directory) {
    TraceShown("GetPathFile: ", name);
    std::string path = PathIn(name, directory);
    // The second line shows a name placed into a given directory.
    if (!directory.empty() && path != name) TraceShown("GetPathFile: ", path);
    return path;
}

std::string PPAD::PathIn(const std::string& name, const std::string& directory) const {
    if (name.empty()) return "";
    if (name.find_first_of("\\/") != std::string::npos) return name;
    if (directory.empty()) return config_.registry.GetIniPath() + name;
    return directory + name;
}
