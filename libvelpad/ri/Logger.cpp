#include "ri/Logger.h"

#include <cstdarg>
#include <cstring>

#include "ri/Conv.h"
#include "ri/File.h"
#include "ri/Format.h"
#include "ri/HexDump.h"
#include "ri/LogText.h"
#include "ri/TimeFormat.h"
#include "ri/Trace.h"

namespace {

std::string Without(const std::string& text, const std::string& drop) {
    return ri::Conv::String::Replace(text, drop, "");
}

std::tm LocalTime(std::int64_t epochMs) {
    const std::time_t seconds = static_cast<std::time_t>(epochMs / 1000);
    std::tm t{};
    localtime_r(&seconds, &t);
    return t;
}

}  // namespace

Logger::Logger() : trace_(ri::Trace::Get()) {}

Logger::Logger(ri::Trace* trace) : trace_(trace != nullptr ? trace : ri::Trace::Get()) {}

void Logger::SetPath(const std::string& directory, unsigned folderMode, int timeMode) {
    directory_ = ri::Conv::String::Replace(directory, "\\", "/");
    if (!directory_.empty() && directory_.back() != '/') directory_ += '/';
    folderMode_ = folderMode;
    timeMode_ = timeMode;
}

void Logger::Write(const char* format, ...) {
    if (stopped_) return;
    va_list args;
    va_start(args, format);
    const std::string message = ri::Print(format, args);
    va_end(args);
    Write(message);
}

void Logger::Write(const std::string& text) {
    if (stopped_) return;
    trace_->Debug6("LogMessage: %s", text.c_str());
    static const char kError[] = "ERROR: ";
    if (text.compare(0, sizeof(kError) - 1, kError) == 0) {
        trace_->Error("%s", text.c_str() + sizeof(kError) - 1);
    }
    if (!file_ || !file_->IsOpen()) OpenFile();
    if (!file_->IsOpen()) return;
    const std::string message = ri::LogText(text.substr(0, strnlen(text.c_str(), text.size())));
    std::string line = Stamp(timeMode_);
    line.reserve(line.size() + message.size() + 2);
    line.append(1, ' ').append(message).append(1, '\n');
    file_->Append(line);
}

void Logger::Dump(const std::string& bytes) {
    if (stopped_ || bytes.empty()) return;
    if (trace_->GetLogType() >= ri::Trace::LEVEL_DEBUG6) {
        const std::string rows = ri::HexDump(bytes, "", true);
        for (std::size_t at = 0, end; at < rows.size(); at = end + 1) {
            end = rows.find('\n', at);
            trace_->Debug6("LogMessage: %s", rows.substr(at, end - at).c_str());
        }
    }
    if (!file_ || !file_->IsOpen()) OpenFile();
    if (!file_->IsOpen()) return;
    file_->Append(ri::HexDump(bytes, Stamp(timeMode_) + ' ', true));
}

void Logger::OpenFile() {
    trace_->Debug6("LOG Path: %s", directory_.c_str());
    if (ri::File::MakeFolders(directory_, folderMode_) != 0) {
        trace_->Error("can't create folder for logs: [%s]", directory_.c_str());
    }
    // Two engines started in the same second share the name: each appends,
    // neither truncates the other's lines. A file that failed a write is
    // reopened under the name it was given.
    if (!file_)
        file_ = std::make_unique<ri::AppendFile>(directory_ + GetCurrentDateTime() + ".log");
    file_->Open();
}

void Logger::Stop() {
    stopped_ = true;
    file_.reset();
}

std::string Logger::GetCurrentDateTime() {
    return Without(ri::TimeFormat::Get(8, '_', true, '_'), "_");
}

std::string Logger::Stamp(int timeMode) {
    if (timeMode == TIME_EPOCH_MS) return ri::TimeFormat::Get(2);
    if (timeMode != TIME_COMPACT_MS) return ri::TimeFormat::Get(7, '/', true, ':');
    const std::int64_t ms = ri::TimeFormat::NowMs();
    const std::string stamp = ri::TimeFormat::Make(LocalTime(ms), ms, 7, '*', true, '*');
    return Without(stamp, "*") + ri::Format(".%03d", static_cast<int>(ms % 1000));
}
