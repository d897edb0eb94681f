// The pinpad's file requests: "GETFILE:" reads a file of the exchange
// directory for reading and sends its bytes, "PUTFILE:" stores a file in the
// exchange directory for writing, "TMSID:" and "TMSSCRIPT:" answer the first
// and second word of the terminal-management script file. The pinpad reaches
// exchange files only: every file of the installation is refused
// (ExchangeRefusal, OwnFiles.cpp).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "engine/FrameCodec.h"
#include "engine/RequestFields.h"
#include "engine/handlers/CommandRow.h"
#include "engine/handlers/OwnFiles.h"
#include "ri/ReplaceFile.h"
#include "ri/Trace.h"

namespace handlers {

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

// The path of a file the pinpad names in the exchange directory of a setting
// ("GETFILEPATH", "PUTFILEPATH"; the work path without it).
std::string ExchangeFile(const Request& r, const char* key, const std::string& name) {
    std::string directory = r.Setting(key);
    if (directory.empty()) directory = r.session.config().registry.GetWorkPath();
    return r.session.GetPathFile(name, directory);
}

// A name the pinpad may not reach: "ER", and the name as the logs show
// pinpad text.
Served RefuseFile(Request& r, const char* handler, const std::string& name, const char* reason) {
    r.log.Write("ERROR: %s: file refused: [%s] is %s", handler, CardData::Message(name).c_str(),
                reason);
    r.trace.Error("%s: file refused: %s", handler, reason);
    r.reply.Error();
    return kFileRefused;
}

// "ER" to a file request, and the loop goes on.
Served Refused(Request& r) {
    r.reply.Error();
    return kFileRefused;
}

}  // namespace

Served SendFile(Request& r, const std::string& name) {
    r.TraceShown("SendFile: ", name);
    r.log.Write("SendFile: " + CardData::Message(name));
    if (!IsPlainName(name)) {
        r.log.Write("ERROR: SendFile: file name refused: [%s]", CardData::Message(name).c_str());
        return Refused(r);
    }
    const std::string path = ExchangeFile(r, "GETFILEPATH", name);
    if (const char* refusal = ExchangeRefusal(r, name, path))
        return RefuseFile(r, "SendFile", name, refusal);
    r.log.Write("GetFile: opening ... " + CardData::Message(path));
    std::string contents;
    if (!ReadPrefix(path, kMaxFileSize, &contents)) {
        r.trace.Error("SendFile: open file error.");
        r.log.Write("SendFile: open file error");
        return Refused(r);
    }
    if (contents.size() > kMaxFileSize) {
        r.log.Write("ERROR: SendFile: file larger than %zu bytes: [%s]", kMaxFileSize,
                    CardData::Message(path).c_str());
        return Refused(r);
    }
    r.log.Write("SendFile: got %zu bytes", contents.size());
    return r.reply.Answer(contents);
}

Served ReceiveFile(Request& r, const std::string& payload) {
    std::string name = payload;
    std::string contents;
    const bool separated = SplitFirst(payload, kFileSeparator, &name, &contents);
    r.TraceShown("PutFile:", name);
    r.log.Write("PutFile:" + CardData::Message(name));
    if (!separated) {
        r.log.Write("PutFile: no delimetr :(");
        return Refused(r);
    }
    if (!IsPlainName(name)) {
        r.log.Write("ERROR: PutFile: file name refused: [%s]", CardData::Message(name).c_str());
        return Refused(r);
    }
    const std::string path = ExchangeFile(r, "PUTFILEPATH", name);
    if (const char* refusal = ExchangeRefusal(r, name, path))
        return RefuseFile(r, "PutFile", name, refusal);
    r.log.Write("PutFile: opening ... " + CardData::Message(path));
    std::string reason;
    if (!ri::ReplaceFile(path, contents, &reason)) {
        r.trace.Error("GetFile: open file error.");
        r.log.Write("ERROR: PutFile: %s: [%s]", reason.c_str(), CardData::Message(path).c_str());
        return Refused(r);
    }
    r.log.Write("PutFile: data put");
    return r.reply.Ok();
}

Served TMSIDRequest(Request& r, const std::string&) {
    r.trace.Debug4("TMSIDRequest");
    std::string word;
    if (!ReadWord(r.Setting("TMS_SCRIPT_FILE"), 0, &word) || !FitsFrame(word, r.log))
        return r.reply.Error();
    return r.reply.Answer(word);
}

Served TMSSCRIPTRequest(Request& r, const std::string&) {
    r.trace.Debug4("TMSSCRIPTRequest");
    std::string word;
    if (!ReadWord(r.Setting("TMS_SCRIPT_FILE"), 1, &word) || !FitsFrame(word, r.log))
        return r.reply.Error();
    return r.reply.Answer(word);
}

const CommandRows& FileTransferCommands() {
    static const CommandRows rows = {
        {"GETFILE:", SendFile, 1},
        {"PUTFILE:", ReceiveFile, 1},
        {"TMSID:", TMSIDRequest, 1},
        {"TMSSCRIPT:", TMSSCRIPTRequest, 1},
    };
    return rows;
}

}  // namespace handlers
