#include "ri/FileFaults.h"

#include <cerrno>

namespace ri {
namespace FileFaults {

namespace {

long armedAt = 0;
long counted = 0;

}  // namespace

void Arm(long n) {
    armedAt = n;
    counted = 0;
}

long Counted() {
    return counted;
}

bool Strike(bool sync) {
    ++counted;
    if (armedAt == 0 || counted != armedAt) return false;
    errno = sync ? EIO : ENOSPC;
    return true;
}

}  // namespace FileFaults
}  // namespace ri
