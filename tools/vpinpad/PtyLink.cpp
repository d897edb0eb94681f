#include "PtyLink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "SocketIo.h"

namespace vpinpad {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::string LinkTarget(const std::string& path) {
    char target[256];
    ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
    return n < 0 ? std::string() : std::string(target, static_cast<std::size_t>(n));
}

}  // namespace

PtyLink::~PtyLink() {
    Close();
}

void PtyLink::Open() {
    masterFd_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (masterFd_ < 0) Fail("posix_openpt");
    if (grantpt(masterFd_) != 0 || unlockpt(masterFd_) != 0)
        Fail("cannot unlock the pseudo-terminal");
    slavePath_ = ptsname(masterFd_);
    slaveFd_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd_ < 0) Fail("open " + slavePath_);
    termios raw{};
    tcgetattr(slaveFd_, &raw);
    cfmakeraw(&raw);
    tcsetattr(slaveFd_, TCSANOW, &raw);
    SocketIo::SetNonBlocking(masterFd_);
    CreateLink();
    transcript_.Note("serial line " + linkPath_ + " -> " + slavePath_);
}

void PtyLink::CreateLink() {
    struct stat info {};
    if (lstat(linkPath_.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode) || LinkTarget(linkPath_).rfind("/dev/pts/", 0) != 0) {
            throw std::runtime_error(linkPath_ + " exists and is not a pseudo-terminal link");
        }
        unlink(linkPath_.c_str());
    }
    if (symlink(slavePath_.c_str(), linkPath_.c_str()) != 0) Fail("cannot create " + linkPath_);
}

void PtyLink::RemoveLink() {
    if (!slavePath_.empty() && LinkTarget(linkPath_) == slavePath_) unlink(linkPath_.c_str());
}

bool PtyLink::OnReadable(std::string* inbound) {
    long n = SocketIo::ReadSome(masterFd_, inbound);
    return n != 0 && n != -1;
}

void PtyLink::Write(const std::string& bytes) {
    if (masterFd_ < 0) throw std::runtime_error("the serial line is closed");
    SocketIo::WriteAll(masterFd_, bytes);
}

void PtyLink::Close() {
    if (masterFd_ >= 0) transcript_.Note("pinpad closed the serial line");
    RemoveLink();
    SocketIo::CloseFd(&slaveFd_);
    SocketIo::CloseFd(&masterFd_);
    slavePath_.clear();
}

}  // namespace vpinpad
