#include "ri/FileWritter.h"

#include <unistd.h>

#include "ri/File.h"
#include "ri/Logger.h"
#include "ri/Trace.h"

FileWritter::~FileWritter() {
    if (fd_ >= 0) close(fd_);
}

int FileWritter::Open(const std::string& path, int timeMode) {
    int result = -1;
    if (fd_ < 0 && !path.empty()) {
        path_ = path;
        timeMode_ = timeMode;
        failed_ = false;
        content_.clear();
        fd_ = ri::File::OpenForContent(path_, 0);
        result = fd_ >= 0 ? 0 : -1;
        failed_ = result != 0;
    }
    Report("open", result);
    return result;
}

int FileWritter::Close() {
    int result = -1;
    if (fd_ >= 0) result = close(fd_) == 0 ? 0 : -1;
    fd_ = -1;
    Report("close", result);
    return result;
}

int FileWritter::Write(const std::string& key, const std::string& value) {
    return WriteLine(key + "=" + value);
}

int FileWritter::Write(const std::string& key, const char* value) {
    return Write(key, std::string(value != nullptr ? value : ""));
}

int FileWritter::Write(const char* key, const char* value) {
    return Write(std::string(key != nullptr ? key : ""), value);
}

int FileWritter::Write(const std::string& text, bool withTime) {
    if (text.empty()) {
        Report("write", -1);
        return -1;
    }
    return WriteLine(withTime ? Logger::Stamp(timeMode_) + " " + text : text);
}

int FileWritter::WriteChar(char c) {
    return WriteBytes(std::string(1, c));
}

int FileWritter::useCharsetEncoder(const std::string& from, const std::string& to) {
    encoder_ = std::make_unique<ri::Encoding::CharsetEncoder>(from, to);
    const int result = encoder_->open();
    if (result != 0) encoder_.reset();
    Report("encoder open", result);
    return result;
}

// A writer whose file was closed reopens its path, creating it afresh.
int FileWritter::EnsureOpen() {
    if (path_.empty()) return -1;
    if (fd_ < 0) {
        content_.clear();
        fd_ = ri::File::OpenForContent(path_, 0);
    }
    return fd_ >= 0 ? 0 : -1;
}

// One write per line: what reached the file stays whole after a crash.
int FileWritter::WriteBytes(const std::string& bytes) {
    int result = EnsureOpen();
    if (result == 0) result = ri::File::WriteAll(fd_, bytes) ? 0 : -1;
    if (result == 0) content_ += bytes;
    if (result != 0) TraceFailure();
    Report("write", result);
    return result;
}

int FileWritter::WriteLine(const std::string& line) {
    return WriteBytes((encoder_ ? encoder_->encode(line) : line) + '\n');
}

// A lost line of a result, slip or journal is an error of the run, whatever
// the engine log says. A writer given no file has nothing to lose.
void FileWritter::TraceFailure() {
    if (path_.empty()) return;
    failed_ = true;
    ri::Trace::Get()->Error("FileWritter: write to [%s] failed", path_.c_str());
}

// "[name] what result: [code]", one line per open, write and close.
void FileWritter::Report(const char* what, int result) {
    if (logger_ == nullptr || !logger_->Active()) return;
    std::string line = "[" + ri::File::GetFileName(path_) + "] ";
    line.append(what).append(" result: [").append(std::to_string(result)).append(1, ']');
    logger_->Write(line);
}
