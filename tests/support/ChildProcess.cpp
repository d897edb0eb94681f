#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

extern char** environ;

namespace velrun_test {

namespace {

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> list;
    for (auto& text : texts) list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}

std::string nameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

// The inherited environment with `extra` replacing entries of the same name.
std::vector<std::string> mergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        bool replaced = false;
        for (const auto& x : extra) replaced = replaced || nameOf(x) == nameOf(*e);
        if (!replaced) env.emplace_back(*e);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

// In the child: no core files, the pipes as standard output and error, exec.
[[noreturn]] void execChild(const ChildOptions& options, char** argv, char** envp, int outFd,
                            int errFd) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    if (chdir(options.workDir.c_str()) != 0) _exit(126);
    const int null = open("/dev/null", O_RDONLY);
    dup2(null, STDIN_FILENO);
    dup2(outFd, STDOUT_FILENO);
    dup2(errFd, STDERR_FILENO);
    execve(options.program.c_str(), argv, envp);
    _exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const ChildOptions& options) {
    std::vector<std::string> args{options.program};
    args.insert(args.end(), options.args.begin(), options.args.end());
    auto env = mergedEnvironment(options.env);
    auto argv = pointers(args);
    auto envp = pointers(env);
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    // A broken standard error has no reader from the child's first write on.
    if (options.breakStderr) {
        close(err[0]);
        err[0] = -1;
    }
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) execChild(options, argv.data(), envp.data(), out[1], err[1]);
    close(out[1]);
    close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) reap(std::chrono::steady_clock::now());
    if (outFd_ >= 0) close(outFd_);
    if (errFd_ >= 0) close(errFd_);
}

bool ChildProcess::readSome(std::chrono::steady_clock::time_point deadline) {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || (outFd_ < 0 && errFd_ < 0)) return false;
    if (poll(fds, 2, static_cast<int>(left.count())) <= 0) return false;
    int* owners[2] = {&outFd_, &errFd_};
    std::string* sinks[2] = {&result_.out, &result_.err};
    for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) continue;
        char chunk[4096];
        const ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
        if (n > 0) {
            sinks[i]->append(chunk, static_cast<size_t>(n));
        } else {
            close(*owners[i]);
            *owners[i] = -1;
        }
    }
    return true;
}

bool ChildProcess::waitForStderr(const std::string& text, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (result_.err.find(text) == std::string::npos) {
        if (!readSome(deadline)) return false;
    }
    return true;
}

void ChildProcess::sendSignal(int signum) {
    if (pid_ > 0) kill(pid_, signum);
}

void ChildProcess::reap(std::chrono::steady_clock::time_point deadline) {
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            result_.timedOut = true;
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    result_.exited = WIFEXITED(status);
    result_.exitStatus = result_.exited ? WEXITSTATUS(status) : -1;
    result_.termSignal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

ChildResult ChildProcess::finish(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (outFd_ >= 0 || errFd_ >= 0) {
        if (!readSome(deadline)) break;
    }
    result_.timedOut = outFd_ >= 0 || errFd_ >= 0;
    reap(result_.timedOut ? std::chrono::steady_clock::now() : deadline);
    return result_;
}

ChildResult runChild(const ChildOptions& options) {
    ChildProcess child(options);
    return child.finish(std::chrono::seconds(60));
}

}  // namespace velrun_test
