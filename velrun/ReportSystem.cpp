// What velrun --report makes itself: the check's report, the versions, the
// ledger's newest records and the serial devices of the register.
#include <dlfcn.h>
#include <glob.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "BoundedCheck.h"
#include "LedgerListing.h"
#include "Report.h"
#include "api/velpad.h"

namespace velrun {

namespace {

// The longest the check with its link test may take in a report.
constexpr std::chrono::seconds kCheckBound{20};
constexpr int kLedgerRecordsInReport = 200;

const char kPlugin[] = "libProcessingOrvexMultimerchant.so";
const char kPluginPackage[] = "velpad-pos-plugin";
const char* const kSerialPatterns[] = {"/dev/ttyS*", "/dev/ttyUSB*", "/dev/ttyACM*",
                                       "/dev/serial/by-id/*"};

std::string realPath(const std::string& path) {
    char real[PATH_MAX];
    return realpath(path.c_str(), real) != nullptr ? std::string(real) : std::string();
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// Where velrun looks for the plug-in: the working directory (the processing
// directory from which the plug-in runs ./velrun), velrun's own folder and
// the plug-in package's folder beside velrun's.
std::vector<std::string> pluginPlaces() {
    const std::string own = folderOf(realPath("/proc/self/exe"));
    return {"./" + std::string(kPlugin), own + kPlugin, own + VELRUN_PLUGIN_DIR "/" + kPlugin};
}

// The version of the package that installed the file at `real`, from the
// package database; empty when the package does not list it.
std::string packageVersion(const std::string& real) {
    std::ifstream list(std::string("/var/lib/dpkg/info/") + kPluginPackage + ".list");
    std::string line;
    bool listed = false;
    while (!listed && std::getline(list, line)) listed = line == real;
    if (!listed) return "";
    std::ifstream status("/var/lib/dpkg/status");
    bool inPackage = false;
    while (std::getline(status, line)) {
        if (line.empty()) inPackage = false;
        if (line == std::string("Package: ") + kPluginPackage) inPackage = true;
        if (inPackage && line.rfind("Version: ", 0) == 0) return line.substr(9);
    }
    return "";
}

std::string pluginVersion() {
    for (const std::string& place : pluginPlaces()) {
        const std::string real = realPath(place);
        if (real.empty()) continue;
        const std::string version = packageVersion(real);
        std::ostringstream text;
        if (!version.empty()) {
            text << version << " (" << real << ", package " << kPluginPackage << ")";
            return text.str();
        }
        struct stat status {};
        stat(real.c_str(), &status);
        text << "unknown: " << real << " (" << status.st_size << " bytes) is not from the package "
             << kPluginPackage << ", and the plug-in carries no version of its own";
        return text.str();
    }
    return "not found";
}

// The file the library was loaded from.
std::string libraryFile() {
    Dl_info info{};
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dladdr takes any address.
    if (dladdr(reinterpret_cast<void*>(&CreateDARir), &info) == 0 || info.dli_fname == nullptr)
        return "not known";
    const std::string real = realPath(info.dli_fname);
    return real.empty() ? info.dli_fname : real;
}

std::string ownerOf(const struct stat& status) {
    const passwd* user = getpwuid(status.st_uid);
    const group* team = getgrgid(status.st_gid);
    return (user != nullptr ? user->pw_name : std::to_string(status.st_uid)) + ":" +
           (team != nullptr ? team->gr_name : std::to_string(status.st_gid));
}

// One line of devices.txt: the device, its numbers, owner and rights, and
// what this user may do with it; a link with its target.
std::string deviceLine(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) return path + ": gone";
    std::ostringstream line;
    line << path;
    if (S_ISLNK(status.st_mode)) {
        line << " -> " << realPath(path);
        if (stat(path.c_str(), &status) != 0) return line.str() + " (dangling)";
    }
    if (!S_ISCHR(status.st_mode)) return line.str() + " (not a character device)";
    char mode[8];
    std::snprintf(mode, sizeof(mode), "%04o", status.st_mode & 07777);
    const bool usable = access(path.c_str(), R_OK | W_OK) == 0;
    line << " char " << major(status.st_rdev) << ":" << minor(status.st_rdev) << " " << mode << " "
         << ownerOf(status) << (usable ? " read-write" : " not open to this user");
    return line.str();
}

}  // namespace

void Report::check() {
    const CheckOutcome outcome = runBoundedCheck(kCheckBound);
    std::string text = outcome.report;
    if (outcome.stopped)
        text += "\n(the check was stopped after " + std::to_string(kCheckBound.count()) +
                " s, in its link test or before it)\n";
    else
        text += "\n(exit status " + std::to_string(outcome.status) + ")\n";
    addText("check.txt", text);
}

void Report::versions() {
    std::ostringstream text;
    text << "runner: velrun " VELPAD_VERSION " (" << realPath("/proc/self/exe") << ")\n"
         << "library: libvelpad " VELPAD_VERSION " (" << libraryFile()
         << "; its C interface reports no version: the version the runner was built with)\n"
         << "plug-in: " << pluginVersion() << "\n";
    addText("versions.txt", text.str());
}

void Report::ledger() {
    std::ostringstream lines;
    std::ostringstream why;
    if (listLedger(kLedgerRecordsInReport, false, lines, why) != 0) {
        addText("ledger.txt", why.str());
        return;
    }
    addText("ledger.txt", lines.str());
    std::ostringstream json;
    listLedger(kLedgerRecordsInReport, true, json, why);
    addText("ledger.json", json.str() + why.str());
}

void Report::serialDevices() {
    std::string text = "PORT=" + setting("PORT") + "\n";
    for (const char* pattern : kSerialPatterns) {
        glob_t found{};
        if (glob(pattern, 0, nullptr, &found) == 0) {
            for (std::size_t i = 0; i < found.gl_pathc; ++i)
                text += deviceLine(found.gl_pathv[i]) + "\n";
        }
        globfree(&found);
    }
    addText("devices.txt", text);
}

}  // namespace velrun
