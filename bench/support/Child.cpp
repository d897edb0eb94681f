#include "support/Child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace bench {

namespace {

[[noreturn]] void ExecChild(const std::vector<std::string>& argv, const std::string& workDir,
                            const std::string& outputPath) {
    const char* out = outputPath.empty() ? "/dev/null" : outputPath.c_str();
    const int fd = open(out, O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd >= 0) {
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        close(fd);
    }
    if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(126);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

}  // namespace

pid_t Spawn(const std::vector<std::string>& argv, const std::string& workDir,
            const std::string& outputPath) {
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) ExecChild(argv, workDir, outputPath);
    return pid;
}

// Waits on a process descriptor, so the exit is seen the moment it happens
// (the start-up figures time it) and a stuck child cannot hold the run.
int WaitExit(pid_t pid, std::chrono::seconds limit) {
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
        pollfd ready{fd, POLLIN, 0};
        const int timeoutMs = static_cast<int>(limit.count() * 1000);
        int count = 0;
        do {
            count = poll(&ready, 1, timeoutMs);
        } while (count < 0 && errno == EINTR);
        close(fd);
        if (count == 0) kill(pid, SIGKILL);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace bench
