#include "engine/RunOutputs.h"

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
