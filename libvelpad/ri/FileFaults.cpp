#include "ri/FileFaults.h"

#include <cerrno>

namespace ri {
namespace FileFaults {

namespace {

long armedAt = 0;
long counted = 0;
bool struckSync = false;

}  // namespace

void Arm(long n) {
    armedAt = n;
    counted = 0;
    struckSync = false;
}

long Counted() {
    return counted;
}

bool StruckSync() {
    return struckSync;
}

bool Strike(bool sync) {
    ++counted;
    if (armedAt == 0 || counted != armedAt) return false;
    errno = sync ? EIO : ENOSPC;
    struckSync = sync;
    return true;
}

}  // namespace FileFaults
}  // namespace ri
