#pragma once

#include <atomic>
#include <cstdarg>
#include <cstddef>
#include <mutex>
#include <string>

#include "ri/AppendFile.h"
#include "ri/TraceRotation.h"

namespace ri {

// The leveled diagnostic log. Traces live in a process-wide registry keyed by
// name (the name is the file path); they are created on first use and never
// freed while the library is loaded. The registry is guarded by a mutex and
// each trace serialises its own writes, so sessions on several threads may
// share a trace. The file stays open between lines; every line (or dump)
// reaches it in one write, so nothing finished is lost in a crash. With a
// rotation set, the file is moved to a numbered name before a write that would
// take it past its size (TraceRotation); a move that fails is reported once,
// on standard error and in the file, and the trace goes on writing there.
class Trace {
public:
    enum Level {
        LEVEL_FATAL = -1,
        LEVEL_ERROR = 0,
        LEVEL_WARNING = 1,
        LEVEL_INFO = 2,
        LEVEL_DEBUG = 3,
        LEVEL_DEBUG4 = 4,
        LEVEL_DEBUG5 = 5,
        LEVEL_DEBUG6 = 6,
    };

    // The trace registered under name, created with the given levels when
    // absent (a negative console level takes the level). An empty name acts
    // as Get(). A trace found again reopens its file when the name now points
    // elsewhere (the file was removed or the working directory changed).
    static Trace* Get(const std::string& name, int level, int consoleLevel = -1);
    // The registered trace whose name sorts first; registers "tmp.log" under
    // GetDllPath() at level 2 and console level 2 when the registry is empty.
    static Trace* Get();

    Trace(const std::string& path, int level, int consoleLevel);
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    // Output encoding; "UTF-8" (any case) converts CP1251 lines to UTF-8.
    void SetEncoding(const std::string& name);
    // The size bound of the file; none until set.
    void SetRotation(const TraceRotation& rotation);

    void Debug6(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Debug5(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Debug4(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Debug(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Info(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Warning(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Error(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Fatal(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Writes one line: time stamp, level prefix, text (control bytes as "\xNN").
    void WriteLogString(int level, const std::string& text);
    // Level = the number of "[" that begin format; line = time stamp, blank, text.
    void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // At level 4 or more: the bytes as hexadecimal lines of 16 bytes.
    void Dump(const std::string& bytes);
    void Dump(const void* data, std::size_t size);

    int GetLogType() const { return level_; }
    const std::string& GetPath() const { return path_; }

    // Line prefix of a message level (" [ERR] *** ", " [INF] ", ...).
    static const char* Prefix(int level);

private:
    void Emit(int level, const std::string& line, const char* fileTail = "");
    void Refresh();
    void RotateBefore(std::size_t bytes);
    void Log(int level, const char* format, va_list args);

    std::mutex mutex_;
    const std::string path_;
    AppendFile file_;
    std::string encoding_;
    TraceRotation rotation_;
    // A failed move was reported; cleared by the next move that succeeds.
    bool rotationFailed_ = false;
    std::atomic<int> level_;
    std::atomic<int> consoleLevel_;
};

}  // namespace ri
