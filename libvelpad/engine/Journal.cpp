// The terminal index taken from the journal file at the start of a run, and
// the housekeeping of old log files at its end.
#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/PPAD.h"
#include "ri/Conv.h"
#include "ri/Exception.h"
#include "ri/File.h"
#include "ri/Trace.h"

namespace {

const char kJournalFile[] = "./jl.txt";
constexpr long kMaxDays = 1825;
constexpr long kSecondsPerDay = 86400;
constexpr std::int64_t kMiB = 1 << 20;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The journal's text trimmed; false when the file cannot be read.
bool ReadJournal(std::string* text) {
    std::ifstream in(kJournalFile, std::ios::binary);
    if (!in.is_open()) return false;
    std::ostringstream content;
    content << in.rdbuf();
    *text = ri::Trim::BothSide(content.str());
    return true;
}

using Files = std::vector<ri::File::Property>;

// Deletes the files not changed for days; returns how many, oldest first.
size_t RemoveLogsByAge(ri::Trace* trace, const std::string& folder, const Files& files, long days) {
    if (days < 1 || files.empty()) return 0;
    trace->Debug4("*** clear by days: %ld", days);
    const std::int64_t limit =
        static_cast<std::int64_t>(std::time(nullptr)) - days * kSecondsPerDay;
    size_t removed = 0;
    while (removed < files.size() && files[removed].time <= limit)
        ri::File::Delete(folder + files[removed++].name);
    trace->Debug4("*** clear by days end");
    if (removed > 0) trace->Debug4("*** files removed by days: [%d]", static_cast<int>(removed));
    return removed;
}

// Deletes the oldest of the files left from index first on until their total
// size is below the limit in MiB.
void RemoveLogsBySize(ri::Trace* trace, const std::string& folder, const Files& files, size_t first,
                      long mebibytes) {
    if (mebibytes < 1) return;
    trace->Debug4("*** clear by size: %ld", mebibytes);
    const std::int64_t limit = mebibytes * kMiB;
    std::int64_t total = 0;
    for (size_t i = first; i < files.size(); ++i) total += files[i].size;
    if (total > limit) {
        int removed = 0;
        for (size_t i = first; i < files.size() && total >= limit; ++i, ++removed) {
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
        log_.Write(kJournalFile);
        std::string terminal;
        if (ReadJournal(&terminal)) {
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

void PPAD::LogsControl() {
    if (!Has("USEAPPLOG")) return;
    trace_->Debug4("*** start LogsControl");
    const std::string folder = config_.registry.GetWorkPath() +
                               ri::Conv::String::Replace(Setting("LOG_FOLDER_NAME"), "\\", "/") +
                               "/";
    Files files;
    try {
        for (const auto& entry : ri::File::GetFilesPropertyByTime(folder))
            files.push_back(entry.second);
    } catch (const ri::Exception& e) {
        trace_->Error("LogsControl: %s", e.What());
        return;
    }
    size_t removed = RemoveLogsByAge(trace_, folder, files, std::min(Number("NDAYS"), kMaxDays));
    const long count = Number("NFILES");
    if (count >= 1 && files.size() - removed > static_cast<size_t>(count)) {
        trace_->Debug4("*** clear by count: %ld", count);
        const size_t excess = files.size() - removed - static_cast<size_t>(count);
        trace_->Debug4("*** files removed by count: [%d]", static_cast<int>(excess));
        for (size_t i = 0; i < excess; ++i) ri::File::Delete(folder + files[removed++].name);
        trace_->Debug4("*** clear by count end");
    }
    RemoveLogsBySize(trace_, folder, files, removed, Number("NSIZE"));
}
