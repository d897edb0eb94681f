// A tar archive built in memory (POSIX ustar; a name that does not fit the
// header gets a pax extended header before it), so that velrun --report can
// scan and compress a bundle before anything reaches the disk.
#pragma once

#include <ctime>
#include <string>

namespace velrun {

class TarArchive {
public:
    // Appends a regular file of mode 0644 owned by uid and gid 0.
    void Add(const std::string& name, const std::string& content, std::time_t modified);
    // The archive with its two closing zero blocks.
    std::string Finish() const;

private:
    void Header(const std::string& name, std::size_t size, std::time_t modified, char type);
    void Pad();

    std::string bytes_;
};

}  // namespace velrun
