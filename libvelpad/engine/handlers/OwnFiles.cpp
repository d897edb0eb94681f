// The files of the installation itself, which the pinpad may neither read
// nor replace through "GETFILE:" and "PUTFILE:": the settings and code tables
// the engine reads, the files of a run, the logs, the runner and any program
// or shared library. The pinpad reaches exchange files only.
#include "engine/handlers/OwnFiles.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "engine/ledger/RunLedger.h"
#include "ri/File.h"
#include "ri/INI.h"
#include "ri/Trace.h"

namespace handlers {

namespace {

// Settings files named by a setting, found in the settings directory.
const char* const kSettingsFiles[] = {
    "OPERATION_INI_FILE", "RC_CONVERT_FILE",      "RC_RESOLVE_FILE", "OPS_CONV_INI_FILE",
    "TID_CONV_INI_FILE",  "OUTPUT_FILE_TEMPLATE", "TMS_SCRIPT_FILE"};
// Files of a run named by a setting: in the output and exchange path, and in
// the work path.
const char* const kExchangePathFiles[] = {"CHEQ_FILE", "RESULT_FILE", "OUTPUT_FILE",
                                          "CANCEL_RC_FILE", "CANCEL_CH_FILE"};
const char* const kWorkPathFiles[] = {"VAR_ENV_FILE", "TRACE_FILE"};

// A path with its folder resolved (links and "." or ".." parts gone), so
// that two names of one file compare equal; the path itself when its folder
// does not exist.
std::string Canonical(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    char real[PATH_MAX];
    if (realpath(folder.c_str(), real) == nullptr) return path;
    std::string resolved = real;
    if (resolved.back() != '/') resolved += '/';
    return resolved + (slash == std::string::npos ? path : path.substr(slash + 1));
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The runner and shared libraries go by their names: whatever folder they
// are in, a pinpad must not put a program where one may be loaded from.
bool IsProgramName(const std::string& name) {
    return name == "velrun" || EndsWith(name, ".so") || name.find(".so.") != std::string::npos;
}

// Whether canonical names a trace kept by rotation: the trace's own path,
// a dot and its number ("darir.log.3").
bool IsRotatedTrace(const std::string& canonical, const std::string& trace) {
    if (trace.empty()) return false;
    const std::string base = Canonical(trace) + ".";
    if (canonical.size() <= base.size() || canonical.compare(0, base.size(), base) != 0)
        return false;
    return canonical.find_first_not_of("0123456789", base.size()) == std::string::npos;
}

bool SameFile(const struct stat& one, const std::string& path) {
    struct stat other {};
    return stat(path.c_str(), &other) == 0 && other.st_dev == one.st_dev &&
           other.st_ino == one.st_ino;
}

}  // namespace

std::vector<std::string> OwnFiles(const Request& r) {
    const PinpadSession& session = r.session;
    const Registry& registry = session.config().registry;
    std::vector<std::string> files = {session.PathIn("cashreg.ini", ""),
                                      session.PathIn("darir.ini", ""),
                                      ri::INI::IniPath("darir.ini"),
                                      "/home/itsettings.ini",
                                      "darir.log",
                                      r.trace.GetPath(),
                                      registry.GetJournalPath()};
    for (const char* key : kSettingsFiles)
        files.push_back(session.PathIn(r.Setting(key), registry.GetIniPath()));
    for (const char* key : kExchangePathFiles)
        files.push_back(session.PathIn(r.Setting(key), registry.GetExchangePath()));
    for (const char* key : kWorkPathFiles)
        files.push_back(session.PathIn(r.Setting(key), registry.GetWorkPath()));
    const std::string status = session.PathIn(session.StatusFileName(), registry.GetWorkPath());
    files.push_back(status);
    files.push_back(status + ".lock");
    // The ledger of operations with its write-ahead log and shared index.
    const std::string ledger = RunLedger::PathFor(session);
    if (!ledger.empty())
        for (const char* part : {"", "-wal", "-shm", "-journal"}) files.push_back(ledger + part);
    // The operation table the run loaded, which may be one picked by terminal.
    files.push_back(session.config().operations.File());
    return files;
}

const char* ExchangeRefusal(const Request& r, const std::string& name, const std::string& path) {
    if (IsProgramName(name)) return "a program or shared library";
    struct stat status {};
    const bool exists = lstat(path.c_str(), &status) == 0;
    if (exists && S_ISLNK(status.st_mode)) return "a symbolic link";
    if (exists && !S_ISREG(status.st_mode)) return "not a regular file";
    if (exists && (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0)
        return "an executable file";
    const std::string canonical = Canonical(path);
    std::string logs = r.log.GetPath();
    while (!logs.empty() && logs.back() == '/') logs.pop_back();
    if (!logs.empty()) {
        logs = Canonical(logs);
        if (canonical == logs || canonical.compare(0, logs.size() + 1, logs + "/") == 0)
            return "in the log folder";
    }
    if (IsRotatedTrace(canonical, "darir.log") || IsRotatedTrace(canonical, r.trace.GetPath()))
        return "a file of the installation";
    for (const std::string& own : OwnFiles(r)) {
        if (own.empty()) continue;
        if (canonical == Canonical(own) || (exists && SameFile(status, own)))
            return "a file of the installation";
    }
    return nullptr;
}

}  // namespace handlers
