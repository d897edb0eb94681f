// The files velrun --report reads: the settings files, the newest engine
// logs, the traces and the files of the last run, each by the name and in
// the folder the library gives it. Only regular files are read (a device or
// a pipe at one of the names is listed, not read), and a long file only by
// its last part, from the first line that begins in it.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "Report.h"
#include "SecretKeys.h"

namespace velrun {

namespace {

constexpr std::size_t kMiB = std::size_t{1024} * 1024;
constexpr std::size_t kSettingsLimit = kMiB;
constexpr std::size_t kRunFileLimit = kMiB;
constexpr std::size_t kLogLimit = 2 * kMiB;
constexpr std::size_t kTraceLimit = 4 * kMiB;
constexpr std::size_t kEngineLogs = 5;
constexpr std::size_t kVariants = 16;

// Settings files named by a setting of cashreg.ini, in the settings
// directory, with the library's names when the setting is absent.
const char* const kNamedSettingsFiles[][2] = {
    {"OPERATION_INI_FILE", ""},    {"RC_CONVERT_FILE", ""},   {"RC_RESOLVE_FILE", ""},
    {"OPS_CONV_INI_FILE", ""},     {"TID_CONV_INI_FILE", ""}, {"OUTPUT_FILE_TEMPLATE", ""},
    {"TMS_SCRIPT_FILE", "tms.ini"}};
// The files a run leaves for its caller, and those of the cancellation of a
// transaction left open.
const char* const kRunFileKeys[] = {"RESULT_FILE",  "CHEQ_FILE",      "OUTPUT_FILE",
                                    "VAR_ENV_FILE", "CANCEL_RC_FILE", "CANCEL_CH_FILE"};

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string canonical(const std::string& path) {
    char real[PATH_MAX];
    return realpath(path.c_str(), real) != nullptr ? std::string(real) : path;
}

bool readAll(int fd, std::size_t limit, std::string* content) {
    char buffer[65536];
    while (content->size() < limit) {
        const ssize_t got = read(fd, buffer, std::min(sizeof(buffer), limit - content->size()));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        content->append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

// The last `limit` bytes of the regular file at path, from its first whole
// line; empty with the reason when it cannot be read.
std::string readTail(const std::string& path, std::size_t limit, BundleEntry* entry,
                     long long* size) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? "absent" : std::strerror(errno);
    struct stat status {};
    std::string why;
    if (fstat(fd, &status) != 0) why = std::strerror(errno);
    if (why.empty() && !S_ISREG(status.st_mode)) why = "not a regular file: not read";
    const long long start = status.st_size > static_cast<long long>(limit)
                                ? status.st_size - static_cast<long long>(limit)
                                : 0;
    if (why.empty() && start > 0 && lseek(fd, start, SEEK_SET) != start) why = std::strerror(errno);
    if (why.empty() && !readAll(fd, limit, &entry->content)) why = std::strerror(errno);
    close(fd);
    if (!why.empty()) return why;
    entry->offset = start;
    entry->modified = status.st_mtime;
    *size = status.st_size;
    const std::size_t line = start > 0 ? entry->content.find('\n') : std::string::npos;
    if (line != std::string::npos) {
        entry->content.erase(0, line + 1);
        entry->offset += static_cast<long long>(line + 1);
    }
    return "";
}

struct FolderFile {
    std::string name;
    std::time_t modified;
};

// The regular files of a folder, newest first.
std::vector<FolderFile> newestFiles(const std::string& folder) {
    std::vector<FolderFile> files;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return files;
    while (const dirent* item = readdir(dir)) {
        struct stat status {};
        if (fstatat(dirfd(dir), item->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode))
            files.push_back({item->d_name, status.st_mtime});
    }
    closedir(dir);
    std::sort(files.begin(), files.end(), [](const FolderFile& a, const FolderFile& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.name > b.name;
    });
    return files;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool Report::addFile(const std::string& folder, const std::string& path, std::size_t limit,
                     bool blankSecrets) {
    // The bundle's own earlier copy at the target is never bundled.
    const std::string real = canonical(path);
    if (path.empty() || real == canonical(target_) || !bundled_.insert(real).second) return false;
    BundleEntry entry;
    long long size = 0;
    const std::string why = readTail(path, limit, &entry, &size);
    if (!why.empty()) {
        contents_.push_back(folder + "/" + baseName(path) + ": " + path + ": " + why);
        return false;
    }
    if (blankSecrets) entry.content = blankSecretValues(entry.content);
    entry.name = uniqueName(folder, baseName(path));
    entry.source = path;
    std::string line = entry.name + ": " + path + ", " + std::to_string(size) + " bytes";
    if (entry.offset > 0) line += ", from byte " + std::to_string(entry.offset) + " on";
    if (blankSecrets) line += ", secret values blanked";
    contents_.push_back(line);
    entries_.push_back(std::move(entry));
    return true;
}

void Report::settingsFiles() {
    const std::string directory = cashreg_.directory;
    if (!cashreg_.found) contents_.push_back("settings/cashreg.ini: not found");
    if (cashreg_.found) addFile("settings", cashreg_.path, kSettingsLimit, true);
    const Location darir = locateSettingsFile("darir.ini");
    if (darir.found) addFile("settings", darir.path, kSettingsLimit, true);
    struct stat status {};
    if (stat("/home/itsettings.ini", &status) == 0)
        addFile("settings", "/home/itsettings.ini", kSettingsLimit, true);
    addFile("settings", "orvexmultimerchant.conf", kSettingsLimit, true);
    for (const auto& named : kNamedSettingsFiles)
        addFile("settings", settingsPath(setting(named[0], named[1]), directory), kSettingsLimit,
                true);
}

void Report::engineLogs() {
    std::string name = setting("LOG_FOLDER_NAME", "Logs");
    std::replace(name.begin(), name.end(), '\\', '/');
    const std::string folder = cashreg_.directory + name + "/";
    const std::vector<FolderFile> files = newestFiles(folder);
    if (files.empty()) contents_.push_back("logs: no engine log in " + folder);
    for (std::size_t i = 0; i < files.size() && i < kEngineLogs; ++i)
        addFile("logs", folder + files[i].name, kLogLimit, false);
}

void Report::traces() {
    addFile("trace", "darir.log", kTraceLimit, false);
    // Just after the session trace was rotated, its recent lines are in the
    // newest rotated file.
    struct stat status {};
    if (lstat("darir.log.1", &status) == 0) addFile("trace", "darir.log.1", kTraceLimit, false);
    addFile("trace", settingsPath(setting("TRACE_FILE", "trace.txt"), cashreg_.directory),
            kTraceLimit, false);
}

void Report::runFiles() {
    runFileVariants(settingsPath("lastop.stb", cashreg_.directory));
    for (const char* key : kRunFileKeys) {
        const std::string name = setting(key);
        if (!name.empty()) runFileVariants(settingsPath(name, cashreg_.directory));
    }
}

void Report::runFileVariants(const std::string& path) {
    addFile("run", path, kRunFileLimit, false);
    const std::string folder = folderOf(path);
    const std::string variant = baseName(path) + "-";
    std::size_t added = 0;
    for (const FolderFile& file : newestFiles(folder)) {
        if (added == kVariants) break;
        if (file.name.compare(0, variant.size(), variant) != 0 || endsWith(file.name, ".lock"))
            continue;
        if (addFile("run", folder + file.name, kRunFileLimit, false)) ++added;
    }
}

}  // namespace velrun
