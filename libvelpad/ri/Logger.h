#pragma once

#include <memory>
#include <string>

#include "ri/AppendFile.h"

namespace ri {
class Trace;
}

// The engine's own time-stamped log: one file per engine start, named after
// the start time (YYMMDDhhmmss.log) in the log directory, created on the
// first write and kept open; every line (or dump) reaches it in one write.
// Messages are also copied to the default trace.
class Logger {
public:
    // Time-stamp modes of the log lines (and of FileWritter lines).
    enum TimeMode { TIME_DEFAULT = 0, TIME_COMPACT_MS = 1, TIME_EPOCH_MS = 2 };

    // Copies messages to the default trace (ri::Trace::Get()).
    Logger();
    // Copies messages to the given trace (not owned; traces live for the process).
    explicit Logger(ri::Trace* trace);
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // directory: "\\" becomes "/"; a missing trailing "/" is added.
    void SetPath(const std::string& directory, unsigned folderMode, int timeMode);
    // One time-stamped line; control bytes in the message are written as "\xNN".
    void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Write(const std::string& text);
    // The bytes as rows of 16 (hexadecimal, then as characters) under one time
    // stamp, written and flushed at once.
    void Dump(const std::string& bytes);
    // Stops logging for good; later writes are ignored.
    void Stop();
    // Whether lines are still taken (false once stopped).
    bool Active() const { return !stopped_; }
    // Start time stamp used as the file name: YYMMDDhhmmss.
    static std::string GetCurrentDateTime();
    // Line time stamp of a time-stamp mode.
    static std::string Stamp(int timeMode);
    const std::string& GetPath() const { return directory_; }

private:
    void OpenFile();

    std::unique_ptr<ri::AppendFile> file_;
    bool stopped_ = false;
    ri::Trace* trace_;
    std::string directory_;
    unsigned folderMode_ = 770;
    int timeMode_ = TIME_DEFAULT;
};
