// Runs a program as a child process in a given directory, with its standard
// output and standard error captured and every wait bounded in time.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace velrun_test {

struct ChildOptions {
    std::string program;
    std::vector<std::string> args;  // without the program name
    std::string workDir;
    std::vector<std::string> env;  // "NAME=value", replacing inherited ones
    bool breakStderr = false;      // close the reading end of standard error
};

struct ChildResult {
    bool timedOut = false;
    bool exited = false;
    int exitStatus = -1;
    int termSignal = 0;
    std::string out;
    std::string err;
};

class ChildProcess {
public:
    explicit ChildProcess(const ChildOptions& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads until standard error holds `text`; false when the time runs out
    // or both streams end first.
    bool waitForStderr(const std::string& text, std::chrono::milliseconds limit);
    void sendSignal(int signum);
    // Reads both streams to their end and reaps the child; kills it when the
    // time runs out.
    ChildResult finish(std::chrono::milliseconds limit);

private:
    bool readSome(std::chrono::steady_clock::time_point deadline);
    void reap(std::chrono::steady_clock::time_point deadline);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    ChildResult result_;
};

// Runs the program to its end (time limit 60 s).
ChildResult runChild(const ChildOptions& options);

}  // namespace velrun_test
