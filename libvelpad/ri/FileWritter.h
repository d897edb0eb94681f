#pragma once

#include <memory>
#include <string>

#include "ri/CharsetEncoder.h"

class Logger;

// Writes result, exchange and journal files line by line, with an optional
// time stamp (Logger::TimeMode) and an optional charset conversion.
class FileWritter {
public:
    FileWritter() = default;
    ~FileWritter();
    FileWritter(const FileWritter&) = delete;
    FileWritter& operator=(const FileWritter&) = delete;

    // Starts path afresh (ri::File::OpenForContent: never through a link, a
    // device or a pipe as a stream); 0 when open, -1 when a file is already
    // open, the path is empty or the open fails.
    int Open(const std::string& path, int timeMode = 0);
    // 0, or -1 when no file was open.
    int Close();
    // key + "=" + value; a closed writer reopens (truncating) its path.
    int Write(const std::string& key, const std::string& value);
    // Keep a literal value from binding to the (text, withTime) form; null is "".
    int Write(const std::string& key, const char* value);
    int Write(const char* key, const char* value);
    // Optional time stamp and blank, then text; -1 for an empty text.
    int Write(const std::string& text, bool withTime);
    // One character, unconverted.
    int WriteChar(char c);
    // Replaces the encoder; returns its open result (0 on success).
    int useCharsetEncoder(const std::string& from, const std::string& to);
    // Reports open/close/write results to logger (not owned).
    void ShareLog(Logger* logger) { logger_ = logger; }
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& GetPath() const { return path_; }
    // What the file holds: the bytes written since it was last opened.
    const std::string& Content() const { return content_; }
    // Whether a write to the file (or its open) failed since the writer was
    // put on it: the file lost a line.
    bool Failed() const { return failed_; }

private:
    int EnsureOpen();
    int WriteBytes(const std::string& bytes);
    int WriteLine(const std::string& line);
    void Report(const char* what, int result);
    void TraceFailure();

    int fd_ = -1;
    std::string path_;
    std::string content_;
    bool failed_ = false;
    int timeMode_ = 0;
    Logger* logger_ = nullptr;
    std::unique_ptr<ri::Encoding::CharsetEncoder> encoder_;
};
