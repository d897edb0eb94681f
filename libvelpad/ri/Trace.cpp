#include "ri/Trace.h"

#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <memory>

#include "ri/Conv.h"
#include "ri/Encoding.h"
#include "ri/File.h"
#include "ri/Format.h"
#include "ri/HexDump.h"
#include "ri/LogText.h"
#include "ri/TimeFormat.h"

namespace ri {

namespace {

// The registry outlives every static object that may still log at exit, so
// it is allocated once and never destroyed.
struct Registry {
    std::mutex mutex;
    std::map<std::string, std::unique_ptr<Trace>> traces;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

constexpr int kMaxWriteLevel = 100;

}  // namespace

Trace* Trace::Get(const std::string& name, int level, int consoleLevel) {
    if (name.empty()) return Get();
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    std::unique_ptr<Trace>& trace = registry.traces[name];
    if (trace)
        trace->Refresh();
    else
        trace = std::make_unique<Trace>(name, level, consoleLevel);
    return trace.get();
}

Trace* Trace::Get() {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    if (registry.traces.empty()) {
        const std::string path = File::GetDllPath() + "/tmp.log";
        registry.traces["tmp.log"] = std::make_unique<Trace>(path, LEVEL_INFO, LEVEL_INFO);
    }
    return registry.traces.begin()->second.get();
}

Trace::Trace(const std::string& path, int level, int consoleLevel)
    : path_(path),
      file_(path),
      level_(level),
      consoleLevel_(consoleLevel < 0 ? level : consoleLevel) {}

void Trace::Refresh() {
    std::lock_guard<std::mutex> lock(mutex_);
    file_.Refresh();
}

void Trace::SetEncoding(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    encoding_ = name;
}

void Trace::SetRotation(const TraceRotation& rotation) {
    std::lock_guard<std::mutex> lock(mutex_);
    rotation_ = rotation;
}

const char* Trace::Prefix(int level) {
    switch (level) {
        case LEVEL_ERROR:
            return " [ERR] *** ";
        case LEVEL_WARNING:
            return " [WAR] * ";
        case LEVEL_INFO:
            return " [INF] ";
        case LEVEL_DEBUG:
        case LEVEL_DEBUG4:
        case LEVEL_DEBUG5:
        case LEVEL_DEBUG6:
            return " [DBG] ";
        default:
            return " [FATAL] ***** ";
    }
}

void Trace::WriteLogString(int level, const std::string& text) {
    if (level_ < level) return;
    Emit(level, TimeFormat::Get(3, '/', true, ':') + Prefix(level) + LogText(text) + "\n");
}

// Writes finished lines to the console (when their level is echoed) and, with
// fileTail after them, to the file in one write, holding the trace's lock so
// lines of several threads never mix.
void Trace::Emit(int level, const std::string& line, const char* fileTail) {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool utf8 = Conv::Upper(encoding_) == "UTF-8";
    const std::string out = utf8 ? Encoding::win1251_utf(line) : line;
    if (level <= consoleLevel_) {
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fflush(stdout);
    }
    const std::string written = *fileTail == '\0' ? out : out + fileTail;
    if (rotation_.Enabled()) RotateBefore(written.size());
    file_.Append(written);
}

// With the trace's lock held: first follows a move another process made, then
// moves the file when the write is due for it. The write itself always follows,
// into the new file or, when the move failed, into the old one.
void Trace::RotateBefore(std::size_t bytes) {
    // One lstat serves both questions unless the name is a link (which the
    // file follows and the rotation does not) or is gone.
    struct stat named {};
    const bool found = lstat(path_.c_str(), &named) == 0;
    if (found && !S_ISLNK(named.st_mode))
        file_.Refresh(named);
    else
        file_.Refresh();
    if (!found || !rotation_.Due(named, bytes)) return;
    const std::string failure = rotation_.Rotate(path_, bytes);
    if (failure.empty()) {
        rotationFailed_ = false;
        file_.Refresh();
        return;
    }
    if (rotationFailed_) return;
    rotationFailed_ = true;
    const std::string line = TimeFormat::Get(3, '/', true, ':') + Prefix(LEVEL_ERROR) +
                             "trace rotation failed, the file keeps growing: " + failure + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    file_.Append(line);
}

void Trace::Log(int level, const char* format, va_list args) {
    if (level_ < level) return;
    WriteLogString(level, Print(format, args));
}

#define RI_TRACE_LEVEL(Name, LevelValue)        \
    void Trace::Name(const char* format, ...) { \
        va_list args;                           \
        va_start(args, format);                 \
        Log(LevelValue, format, args);          \
        va_end(args);                           \
    }

RI_TRACE_LEVEL(Debug6, LEVEL_DEBUG6)
RI_TRACE_LEVEL(Debug5, LEVEL_DEBUG5)
RI_TRACE_LEVEL(Debug4, LEVEL_DEBUG4)
RI_TRACE_LEVEL(Debug, LEVEL_DEBUG)
RI_TRACE_LEVEL(Info, LEVEL_INFO)
RI_TRACE_LEVEL(Warning, LEVEL_WARNING)
RI_TRACE_LEVEL(Error, LEVEL_ERROR)
RI_TRACE_LEVEL(Fatal, LEVEL_FATAL)

#undef RI_TRACE_LEVEL

void Trace::Write(const char* format, ...) {
    int level = 0;
    while (format != nullptr && level < kMaxWriteLevel && format[level] == '[') ++level;
    if (level_ < level) return;
    va_list args;
    va_start(args, format);
    const std::string text = Print(format, args);
    va_end(args);
    Emit(level, TimeFormat::Get(3, '/', true, ':') + " " + LogText(text) + "\n");
}

// The rows share one time stamp and reach the file in one write, followed by
// an empty line that is not echoed to the console.
void Trace::Dump(const std::string& bytes) {
    if (level_ < LEVEL_DEBUG4 || bytes.empty()) return;
    const std::string prefix = TimeFormat::Get(3, '/', true, ':') + Prefix(LEVEL_DEBUG4);
    Emit(LEVEL_DEBUG4, HexDump(bytes, prefix, false), "\n");
}

void Trace::Dump(const void* data, std::size_t size) {
    if (data == nullptr) return;
    Dump(std::string(static_cast<const char*>(data), size));
}

}  // namespace ri
