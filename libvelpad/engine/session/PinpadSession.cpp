#include "engine/session/PinpadSession.h"

#include "ri/Conv.h"
#include "ri/File.h"
#include "ri/Trace.h"

namespace {

// Files that carry the suffix of the port and of the relay identifier, so
// that several pinpads on one register keep separate results.
const char* const kSuffixedFiles[] = {"OUTPUT_FILE", "RESULT_FILE", "CHEQ_FILE", "LEDGER_FILE"};

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

}  // namespace

PinpadSession::PinpadSession(Tags* tags, const std::set<std::string>& hidden,
                             const std::string& settingsDir)
    : tags_(tags), trace_(ri::Trace::Get()), config_(trace_, settingsDir) {
    config_.settings.SetFile(GetPathFile("cashreg.ini", ""));
    logging_ = tags_->Get("DISABLE_LOG") != "1";
    if (!logging_ || Number("USEAPPLOG") == 0) log_.Stop();
    log_.SetPath(config_.registry.GetWorkPath() + Setting("LOG_FOLDER_NAME") + "/",
                 static_cast<unsigned>(Number("LOG_FOLDER_MODE")),
                 static_cast<int>(Number("DATETIME_FORMAT")));
    CopyParams(hidden);
    TakeCallerSwitches();
}

// What the caller may give as a tag instead of a setting is taken into the
// settings here, once, so that every later reader asks the settings alone:
// "NODIALOGS" of "1", and the relay's address and port ("addr_ip",
// "port_ip") where the settings leave them empty. A bad lock wait falls
// back to its default, reported in the trace alone: the engine log belongs
// to the run that holds the pinpad.
void PinpadSession::TakeCallerSwitches() {
    if (tags_->Get("NODIALOGS") == "1") config_.settings.MakePair("NODIALOGS", "");
    if (Setting("ADDR_IP").empty() && !tags_->Get("addr_ip").empty())
        config_.settings.MakePair("ADDR_IP", tags_->Get("addr_ip"));
    if (Setting("PORT_IP").empty() && !tags_->Get("port_ip").empty())
        config_.settings.MakePair("PORT_IP", tags_->Get("port_ip"));
    BoundTimeout(SettingRules::kLockTimeout, false);
}

PinpadSession::~PinpadSession() {
    link_.Close();
    trace_writer_.Close();
}

void PinpadSession::CopyParams(const std::set<std::string>& hidden) {
    for (const auto& [name, value] : tags_->GetParams()) {
        if (name.empty() || hidden.count(name) != 0) continue;
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
        status_file_ += "-" + suffix;
    }
}

std::string PinpadSession::GetPathFile(const std::string& name,
                                       const std::string& directory) const {
    TraceShown("GetPathFile: ", name);
    std::string path = PathIn(name, directory);
    // The second line shows a name placed into a given directory.
    if (!directory.empty() && path != name) TraceShown("GetPathFile: ", path);
    return path;
}

bool PinpadSession::StatusOpen() const {
    const std::string status = ri::File::ReadFile(StatusFilePath());
    if (status.empty()) return false;
    const auto state = static_cast<unsigned char>(status[0]);
    return state != 0x00 && state < 0x80;
}

std::string PinpadSession::PathIn(const std::string& name, const std::string& directory) const {
    if (name.empty()) return "";
    const Registry& registry = config_.registry;
    if (name.find_first_of("\\/") != std::string::npos) return registry.Resolve(name);
    if (directory.empty()) return registry.GetIniPath() + name;
    return registry.Resolve(directory + name);
}

std::string PinpadSession::StatusFilePath() const {
    return GetPathFile(status_file_, config_.registry.GetWorkPath());
}

long PinpadSession::BoundTimeout(const SettingRules::Timeout& timeout, bool toLog) {
    const std::string text = Setting(timeout.key);
    if (SettingRules::Accepts(timeout, text)) return SettingRules::Number(text);
    const std::string replaced = SettingRules::Replaced(timeout, text);
    trace_->Warning("PPAD: %s", replaced.c_str());
    if (toLog) log_.Write("WARNING: %s", replaced.c_str());
    config_.settings.MakePair(timeout.key, std::to_string(timeout.fallback));
    return timeout.fallback;
}
