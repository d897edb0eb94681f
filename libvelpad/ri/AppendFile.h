#pragma once

#include <sys/stat.h>

#include <string>

namespace ri {

// A file kept open for appending. Every Append is handed to the system in one
// write, so a line given whole is never split by other writers of the file and
// nothing finished waits in a buffer of ours. The file is made as
// File::CreatePrivate makes it (0640, no rights for others) on first use.
class AppendFile {
public:
    explicit AppendFile(const std::string& path) : path_(path) {}
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Appends data, opening the file first when needed; false when it cannot
    // be opened or written (a failed descriptor is dropped and the next call
    // opens the path again).
    bool Append(const std::string& data);
    // Closes the descriptor when the path no longer names the open file (it
    // was removed, renamed away or the working directory changed), so the next
    // Append creates the file afresh where the path now points.
    void Refresh();
    // Refresh with what lstat told of the path just now (named: a file that
    // is not a link, so what stat would tell too).
    void Refresh(const struct stat& named);
    // Opens the file when it is not open yet; false when it cannot be.
    bool Open();
    bool IsOpen() const { return fd_ >= 0; }

private:
    void Close();

    const std::string path_;
    int fd_ = -1;
    // The open file's device and inode, which stay while it is open.
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

}  // namespace ri
