#include "ri/Sleep.h"

#include <cerrno>
#include <ctime>

namespace ri {

void Sleep(long milliseconds) {
    if (milliseconds <= 0) return;
    timespec wait{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    timespec left{};
    while (nanosleep(&wait, &left) != 0 && errno == EINTR) wait = left;
}

}  // namespace ri
