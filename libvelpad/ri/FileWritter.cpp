#include "ri/FileWritter.h"

#include "ri/File.h"
#include "ri/Logger.h"
#include "ri/Trace.h"

int FileWritter::Open(const std::string& path, int timeMode) {
    int result = -1;
    if (!out_.is_open() && !path.empty()) {
        path_ = path;
        timeMode_ = timeMode;
        if (ri::File::OpenAnew(out_, path_)) {
            result = 0;
        } else {
            out_.clear();
        }
    }
    Report("open", result);
    return result;
}

int FileWritter::Close() {
    const int result = out_.is_open() ? 0 : -1;
    if (result == 0) out_.close();
    out_.clear();
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
    int result = EnsureOpen();
    if (result == 0) {
        out_.put(c);
        result = out_.flush() ? 0 : -1;
    }
    if (result != 0) TraceFailure();
    Report("write", result);
    return result;
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
    if (out_.is_open()) return 0;
    out_.clear();
    if (ri::File::OpenAnew(out_, path_)) return 0;
    out_.clear();
    return -1;
}

int FileWritter::WriteLine(const std::string& line) {
    int result = EnsureOpen();
    if (result == 0) {
        out_ << (encoder_ ? encoder_->encode(line) : line) << '\n';
        result = out_.flush() ? 0 : -1;
    }
    if (result != 0) TraceFailure();
    Report("write", result);
    return result;
}

// A lost line of a result, slip or journal is an error of the run, whatever
// the engine log says. A writer given no file has nothing to lose.
void FileWritter::TraceFailure() {
    if (path_.empty()) return;
    ri::Trace::Get()->Error("FileWritter: write to [%s] failed", path_.c_str());
}

// "[name] what result: [code]", one line per open, write and close.
void FileWritter::Report(const char* what, int result) {
    if (logger_ == nullptr || !logger_->Active()) return;
    std::string line = "[" + ri::File::GetFileName(path_) + "] ";
    line.append(what).append(" result: [").append(std::to_string(result)).append(1, ']');
    logger_->Write(line);
}
