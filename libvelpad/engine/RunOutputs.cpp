#include "engine/RunOutputs.h"

#include "ri/File.h"
#include "ri/Logger.h"
#include "ri/ReplaceFile.h"

namespace {

// Puts a writer on another file; an empty path leaves it closed.
void Reopen(FileWritter& writer, const std::string& path) {
    writer.Close();
    if (!path.empty()) writer.Open(path);
}

}  // namespace

RunOutputs::Mark RunOutputs::Divert(const std::string& resultPath, const std::string& chequePath) {
    Mark mark{result.GetPath(), cheque.GetPath(), printed};
    printed = false;
    if (!resultPath.empty()) Reopen(result, resultPath);
    if (!chequePath.empty()) Reopen(cheque, chequePath);
    return mark;
}

void RunOutputs::Restore(const Mark& mark) {
    printed = mark.printed;
    if (result.GetPath() != mark.resultPath) Reopen(result, mark.resultPath);
    if (cheque.GetPath() != mark.chequePath) Reopen(cheque, mark.chequePath);
}

void RunOutputs::Lost(const std::string& path) {
    if (lost_.empty()) lost_ = path;
}

std::string RunOutputs::LostFile() const {
    if (!lost_.empty()) return lost_;
    if (result.Failed()) return result.GetPath();
    if (cheque.Failed()) return cheque.GetPath();
    return std::string();
}

// Only a regular file (or one that is gone though it has content) is
// replaced: a device or a pipe is no file to keep.
bool RunOutputs::Replace(const std::string& path, const std::string& content, Logger& log) {
    const ri::File::Kind kind = ri::File::KindOf(path);
    if (path.empty() || (kind != ri::File::Kind::kRegular &&
                         !(kind == ri::File::Kind::kMissing && !content.empty())))
        return true;
    std::string reason;
    if (ri::ReplaceFile(path, content, &reason)) return true;
    log.Write("ERROR: file [%s] cannot be kept: %s", path.c_str(), reason.c_str());
    Lost(path);
    return false;
}

bool RunOutputs::Commit(Logger& log) {
    bool kept = Replace(result.GetPath(), result.Content(), log);
    kept = Replace(cheque.GetPath(), cheque.Content(), log) && kept;
    kept = Replace(outputFile.LastPath(), outputFile.LastData(), log) && kept;
    return Replace(exchangeFile.LastPath(), exchangeFile.LastData(), log) && kept;
}
