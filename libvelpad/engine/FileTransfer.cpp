// The pinpad's file requests: "GETFILE:" reads a file of the exchange
// directory for reading and sends its bytes, "PUTFILE:" stores a file in the
// exchange directory for writing, "TMSID:" and "TMSSCRIPT:" answer the first
// and second word of the terminal-management script file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "engine/FrameCodec.h"
#include "engine/PPAD.h"
#include "engine/RequestFields.h"
#include "ri/ReplaceFile.h"
#include "ri/Trace.h"

namespace {

// Separates the file name from the contents in "PUTFILE:".
constexpr char kFileSeparator = 0x1C;
// The most one frame carries: a larger file cannot be sent.
constexpr std::size_t kMaxFileSize = 0xFFFF;

// A name the pinpad may use: a plain file name inside the exchange directory.
// Parent references, absolute paths and directory separators would reach
// files outside it, "." is the directory itself, and a zero byte would cut
// the name short.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name.find("..") == std::string::npos &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

// Reads at most limit + 1 bytes of a regular file, so that an oversized
// file shows itself without being read whole. False when the file cannot be
// opened or read, and for anything but a regular file: a directory has no
// contents to send, and a pipe or a device could hold the pinpad's request
// unanswered for ever (the open does not wait for a pipe's writer).
bool ReadPrefix(const std::string& path, std::size_t limit, std::string* data) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    struct stat status {};
    bool good = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    data->resize(limit + 1);
    std::size_t done = 0;
    while (good && done < data->size()) {
        const ssize_t got = read(fd, &(*data)[done], data->size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            good = got == 0;
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    close(fd);
    data->resize(done);
    return good;
}

// The index-th white-space-separated word of a file; false when it cannot
// be opened, an empty word when it holds fewer words.
bool ReadWord(const std::string& path, int index, std::string* word) {
    std::ifstream in(path);
    if (!in) return false;
    for (int i = 0; i <= index; ++i) {
        word->clear();
        if (!(in >> *word)) break;
    }
    return true;
}

// Whether a TMS word fits one reply frame. A longer one is answered ER:
// the link cannot send it, and the request would be left without a reply.
bool FitsFrame(const std::string& word, Logger& log) {
    if (word.size() <= FrameCodec::kMaxPayload) return true;
    log.Write("ERROR: TMS word of %zu bytes does not fit a frame", word.size());
    return false;
}

}  // namespace

std::string PPAD::ExchangeFile(const char* key, const std::string& name) {
    std::string directory = Setting(key);
    if (directory.empty()) directory = config_.registry.GetWorkPath();
    return GetPathFile(name, directory);
}

// A name the pinpad may not reach: "ER", and the name as the logs show
// pinpad text.
PPAD::Served PPAD::RefuseFile(const char* handler, const std::string& name, const char* reason) {
    log_.Write("ERROR: %s: file refused: [%s] is %s", handler, CardData::Message(name).c_str(),
               reason);
    trace_->Error("%s: file refused: %s", handler, reason);
    SendError();
    return kFileRefused;
}

PPAD::Served PPAD::SendFile(const std::string& name) {
    TraceShown("SendFile: ", name);
    log_.Write("SendFile: " + CardData::Message(name));
    if (!IsPlainName(name)) {
        log_.Write("ERROR: SendFile: file name refused: [%s]", CardData::Message(name).c_str());
        SendError();
        return kFileRefused;
    }
    const std::string path = ExchangeFile("GETFILEPATH", name);
    if (const char* refusal = ExchangeRefusal(name, path))
        return RefuseFile("SendFile", name, refusal);
    log_.Write("GetFile: opening ... " + CardData::Message(path));
    std::string contents;
    if (!ReadPrefix(path, kMaxFileSize, &contents)) {
        trace_->Error("SendFile: open file error.");
        log_.Write("SendFile: open file error");
        SendError();
        return kFileRefused;
    }
    if (contents.size() > kMaxFileSize) {
        log_.Write("ERROR: SendFile: file larger than %zu bytes: [%s]", kMaxFileSize,
                   CardData::Message(path).c_str());
        SendError();
        return kFileRefused;
    }
    log_.Write("SendFile: got %zu bytes", contents.size());
    return Answer(contents);
}

PPAD::Served PPAD::ReceiveFile(const std::string& payload) {
    std::string name = payload;
    std::string contents;
    const bool separated = SplitFirst(payload, kFileSeparator, &name, &contents);
    TraceShown("PutFile:", name);
    log_.Write("PutFile:" + CardData::Message(name));
    if (!separated) {
        log_.Write("PutFile: no delimetr :(");
        SendError();
        return kFileRefused;
    }
    if (!IsPlainName(name)) {
        log_.Write("ERROR: PutFile: file name refused: [%s]", CardData::Message(name).c_str());
        SendError();
        return kFileRefused;
    }
    const std::string path = ExchangeFile("PUTFILEPATH", name);
    if (const char* refusal = ExchangeRefusal(name, path))
        return RefuseFile("PutFile", name, refusal);
    log_.Write("PutFile: opening ... " + CardData::Message(path));
    std::string reason;
    if (!ri::ReplaceFile(path, contents, &reason)) {
        trace_->Error("GetFile: open file error.");
        log_.Write("ERROR: PutFile: %s: [%s]", reason.c_str(), CardData::Message(path).c_str());
        SendError();
        return kFileRefused;
    }
    log_.Write("PutFile: data put");
    return AnswerOk();
}

PPAD::Served PPAD::TMSIDRequest() {
    trace_->Debug4("TMSIDRequest");
    std::string word;
    if (!ReadWord(Setting("TMS_SCRIPT_FILE"), 0, &word) || !FitsFrame(word, log_))
        return AnswerError();
    return Answer(word);
}

PPAD::Served PPAD::TMSSCRIPTRequest() {
    trace_->Debug4("TMSSCRIPTRequest");
    std::string word;
    if (!ReadWord(Setting("TMS_SCRIPT_FILE"), 1, &word) || !FitsFrame(word, log_))
        return AnswerError();
    return Answer(word);
}
