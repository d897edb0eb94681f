#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace ri {

// Keeps a trace file to a size. Once a write would take the file past the
// limit, the file moves to NAME.1, NAME.1 to NAME.2 and so on up to NAME.keep
// (the oldest is replaced), and the write starts a new NAME. The decision is
// taken before a write of whole lines, so no line is ever split across two
// files; a file outgrows the limit only by a single line longer than it.
// Several processes may append to one trace: the move is made under a lock on
// the file, and a process that finds the file already moved by another only
// reopens the name. No I/O but the status, lock and renames of the files.
class TraceRotation {
public:
    // darir.ini: "LogRotateMiB" (0 switches rotation off) and "LogRotateKeep".
    static constexpr long kDefaultMiB = 4;
    static constexpr long kMostMiB = 1024;
    static constexpr long kDefaultKeep = 5;
    static constexpr long kMostKeep = 99;

    // Off: the file grows without bound.
    TraceRotation() = default;
    // A limit in bytes (0 is off) and the number of numbered files kept (at least 1).
    TraceRotation(std::int64_t limitBytes, int keep);

    // The rotation the texts of the settings ask for; an empty text takes the
    // default. A text that is not a whole number in range takes the default
    // too, and *problem (when given) says which and why.
    static TraceRotation FromSettings(const std::string& mebibytes, const std::string& keep,
                                      std::string* problem = nullptr);

    bool Enabled() const { return limit_ > 0; }
    std::int64_t Limit() const { return limit_; }
    int Keep() const { return keep_; }

    // Whether a write of bytes to the file at a path is to wait for a
    // rotation, from what lstat told of the path (named): a regular file that
    // holds something and that the write would take past the limit.
    bool Due(const struct stat& named, std::size_t bytes) const;
    // Moves path to path.1 after moving each numbered file one place on,
    // oldest first, while path still names a file that Due holds
    // for (another process may have moved it in the meantime). Files that are
    // missing are skipped; the first rename that fails stops the
    // moves, so the chain keeps every file it had. Returns "" when done or
    // when there was nothing to do, otherwise the failed step and its reason.
    std::string Rotate(const std::string& path, std::size_t bytes) const;

private:
    std::string MoveChain(const std::string& path) const;

    std::int64_t limit_ = 0;
    int keep_ = 1;
};

}  // namespace ri
