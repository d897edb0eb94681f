#include "BoundedCheck.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ext/stdio_filebuf.h>
#include <iostream>
#include <ostream>

#include "Check.h"

namespace velrun {

namespace {

using Clock = std::chrono::steady_clock;

// The child: the check into the pipe, then out without running the parent's
// exit handlers or flushing its buffers a second time. The lines the library
// echoes during the link test are in its trace, which the bundle holds: the
// child's own standard output and error go nowhere.
[[noreturn]] void runChild(int fd) {
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere >= 0) {
        dup2(nowhere, STDOUT_FILENO);
        dup2(nowhere, STDERR_FILENO);
        close(nowhere);
    }
    // The check flushes its report before the link test, so what it found
    // until then reaches the parent even when the link test is stopped.
    __gnu_cxx::stdio_filebuf<char> buffer(fd, std::ios::out);
    std::ostream report(&buffer);
    const int status = Check(report).run();
    report.flush();
    _exit(status);
}

// Reads the child's report until it closes the pipe; false at the deadline
// or when the pipe fails.
bool readUntil(int fd, Clock::time_point deadline, std::string* report) {
    char buffer[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd waiting{fd, POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        const ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got == 0;
        report->append(buffer, static_cast<std::size_t>(got));
    }
}

int reap(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

CheckOutcome runBoundedCheck(std::chrono::seconds bound) {
    CheckOutcome outcome;
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        outcome.report = std::string("the check could not be started: ") + std::strerror(errno);
        return outcome;
    }
    std::cout.flush();
    std::cerr.flush();
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        runChild(pipeEnds[1]);
    }
    close(pipeEnds[1]);
    if (child < 0) {
        outcome.report = std::string("the check could not be started: ") + std::strerror(errno);
        close(pipeEnds[0]);
        return outcome;
    }
    const bool ended = readUntil(pipeEnds[0], Clock::now() + bound, &outcome.report);
    close(pipeEnds[0]);
    if (!ended) {
        kill(child, SIGKILL);
        outcome.stopped = true;
    }
    const int status = reap(child);
    if (!outcome.stopped) outcome.status = status;
    return outcome;
}

}  // namespace velrun
