// The terminal index taken from the journal file at the start of a run, and
// the housekeeping of the engine's old logs at its end.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/PPAD.h"
#include "ri/Conv.h"
#include "ri/File.h"
#include "ri/Trace.h"

namespace {

constexpr long kMaxDays = 1825;
constexpr long kSecondsPerDay = 86400;
constexpr std::int64_t kMiB = 1 << 20;
constexpr long kMaxMebibytes = 1L << 20;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The journal's text trimmed; false when the file cannot be read.
bool ReadJournal(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return false;
    std::ostringstream content;
    content << in.rdbuf();
    *text = ri::Trim::BothSide(content.str());
    return true;
}

// A log of the engine's folder by its last change.
struct LogFile {
    std::string name;
    std::int64_t size = 0;
    std::int64_t time = 0;
};
using LogFiles = std::vector<LogFile>;

// A name the engine gives its logs (Logger: YYMMDDhhmmss.log). Only these are
// cleaned, so that other files kept in the folder, or a LOG_FOLDER_NAME that
// names the settings folder itself, are never deleted.
bool IsEngineLog(const std::string& name) {
    constexpr size_t kStampDigits = 12;
    const std::string extension = ".log";
    return name.size() == kStampDigits + extension.size() &&
           name.compare(kStampDigits, extension.size(), extension) == 0 &&
           std::all_of(name.begin(), name.begin() + kStampDigits, IsDigit);
}

// The engine's logs in the folder, oldest first (equal times in the order of
// their names, which are their start times), read with one status each. A
// file removed while the folder is read is left out, and so is anything but
// a regular file; a folder that cannot be read has none.
LogFiles ListLogs(const std::string& folder) {
    LogFiles files;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return files;
    while (const dirent* entry = readdir(dir)) {
        struct stat status {};
        if (IsEngineLog(entry->d_name) &&
            fstatat(dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode))
            files.push_back({entry->d_name, static_cast<std::int64_t>(status.st_size),
                             static_cast<std::int64_t>(status.st_mtime)});
    }
    closedir(dir);
    std::sort(files.begin(), files.end(), [](const LogFile& a, const LogFile& b) {
        return a.time != b.time ? a.time < b.time : a.name < b.name;
    });
    return files;
}

// How many of the files, oldest first, may be deleted: all but the newest,
// which is the log of the run now ending (or of a run still writing it).
size_t Deletable(const LogFiles& files) {
    return files.empty() ? 0 : files.size() - 1;
}

// Deletes the files not changed for days; returns how many, oldest first.
size_t RemoveLogsByAge(ri::Trace* trace, const std::string& folder, const LogFiles& files,
                       long days) {
    if (days < 1 || files.empty()) return 0;
    trace->Debug4("*** clear by days: %ld", days);
    const std::int64_t limit =
        static_cast<std::int64_t>(std::time(nullptr)) - days * kSecondsPerDay;
    size_t removed = 0;
    while (removed < Deletable(files) && files[removed].time <= limit)
        ri::File::Delete(folder + files[removed++].name);
    trace->Debug4("*** clear by days end");
    if (removed > 0) trace->Debug4("*** files removed by days: [%d]", static_cast<int>(removed));
    return removed;
}

// Deletes the oldest of the files left from index first on until at most
// count are left (count is at least 1, so the newest stays); returns the
// index of the oldest file left.
size_t RemoveLogsByCount(ri::Trace* trace, const std::string& folder, const LogFiles& files,
                         size_t first, long count) {
    if (count < 1 || files.size() - first <= static_cast<size_t>(count)) return first;
    trace->Debug4("*** clear by count: %ld", count);
    const size_t excess = files.size() - first - static_cast<size_t>(count);
    trace->Debug4("*** files removed by count: [%d]", static_cast<int>(excess));
    for (size_t i = 0; i < excess; ++i) ri::File::Delete(folder + files[first++].name);
    trace->Debug4("*** clear by count end");
    return first;
}

// Deletes the oldest of the files left from index first on until their total
// size is below the limit in MiB (at most a tebibyte), the newest always kept.
void RemoveLogsBySize(ri::Trace* trace, const std::string& folder, const LogFiles& files,
                      size_t first, long mebibytes) {
    if (mebibytes < 1) return;
    trace->Debug4("*** clear by size: %ld", mebibytes);
    const std::int64_t limit = std::min(mebibytes, kMaxMebibytes) * kMiB;
    std::int64_t total = 0;
    for (size_t i = first; i < files.size(); ++i) total += files[i].size;
    if (total > limit) {
        int removed = 0;
        for (size_t i = first; i < Deletable(files) && total >= limit; ++i, ++removed) {
            ri::File::Delete(folder + files[i].name);
            total -= files[i].size;
        }
        trace->Debug4("*** files removed by size: [%d]", removed);
    }
    trace->Debug4("*** clear by size end");
}

}  // namespace

void PPAD::CheckJL() {
    if (Has("USEJL")) {
        tags_->Add("use_jl", "1", 1, Tags::TAG_BCD);
        const std::string journal = config_.registry.GetJournalPath();
        log_.Write(journal);
        std::string terminal;
        if (ReadJournal(journal, &terminal)) {
            log_.Write("USEJL: [%s]", terminal.c_str());
            if (!terminal.empty()) tags_->Add("terminal_id", terminal);
        }
    }
    const std::string terminal = tags_->Get("terminal_id");
    if (terminal.size() == 1) {
        tags_->Add("terminal_idx", terminal, 1, Tags::TAG_BCD);
        tags_->Delete("terminal_id");
        log_.Write("CheckJL >> reindexed");
    } else if (terminal.empty()) {
        // A digit the caller set is packed; an index already packed by an
        // earlier run of the session stays as it is.
        const std::string index = tags_->Get("terminal_idx");
        if (index.size() == 1 && IsDigit(index[0]))
            tags_->Add("terminal_idx", index, 1, Tags::TAG_BCD);
    } else {
        tags_->Delete("terminal_idx");
    }
}

// Log housekeeping at the end of a run: by age (NDAYS, at most 1825 days),
// then by count (NFILES), then by size (NSIZE, in MiB), each step over the
// files the one before left; a limit below 1 skips its step.
void PPAD::LogsControl() {
    if (!Has("USEAPPLOG")) return;
    trace_->Debug4("*** start LogsControl");
    const std::string folder = config_.registry.GetWorkPath() +
                               ri::Conv::String::Replace(Setting("LOG_FOLDER_NAME"), "\\", "/") +
                               "/";
    const LogFiles files = ListLogs(folder);
    size_t oldest = RemoveLogsByAge(trace_, folder, files, std::min(Number("NDAYS"), kMaxDays));
    oldest = RemoveLogsByCount(trace_, folder, files, oldest, Number("NFILES"));
    RemoveLogsBySize(trace_, folder, files, oldest, Number("NSIZE"));
}
