#pragma once

#include <sys/stat.h>

#include <string>

namespace ri {

// A file rewritten whole, many times in a run (the output and exchange files
// after every tag list the pinpad sends). Writing the very content it last
// wrote is skipped while the file is still the one it wrote: same file, same
// size, same modification time. Anything else writes as File::WriteFile.
class KnownFile {
public:
    // False when the file cannot be written.
    bool Write(const std::string& path, const std::string& data);
    // The last path and content given to Write (empty path before any).
    const std::string& LastPath() const { return last_path_; }
    const std::string& LastData() const { return last_data_; }

private:
    bool Unchanged(const std::string& path, const std::string& data) const;

    std::string path_;
    std::string data_;
    struct stat written_ {};
    std::string last_path_;
    std::string last_data_;
};

}  // namespace ri
