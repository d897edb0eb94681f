#include "VpinpadProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

int Decode(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

VpinpadProcess::VpinpadProcess() {
    char pattern[] = "/tmp/vpinpad-test-XXXXXX";
    dir_ = mkdtemp(pattern);
}

VpinpadProcess::~VpinpadProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::filesystem::remove_all(dir_);
}

void VpinpadProcess::WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
}

std::string VpinpadProcess::ReadFile(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string VpinpadProcess::Start(const std::vector<std::string>& args) {
    std::vector<std::string> all = {VPINPAD_BIN, "--port-file", Path("port"), "--transcript",
                                    Path("transcript")};
    all.insert(all.end(), args.begin(), args.end());
    pid_ = fork();
    if (pid_ == 0) {
        int err = open(Path("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(err, 2);
        std::vector<char*> argv;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::filesystem::exists(Path("port"))) {
            std::string port = ReadFile("port");
            return port.substr(0, port.find('\n'));
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exitStatus_ = Decode(status);
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

int VpinpadProcess::Wait(int seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            exitStatus_ = Decode(status);
            return exitStatus_;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pid_ > 0 ? -1 : exitStatus_;
}

void VpinpadProcess::Signal(int signal) const {
    if (pid_ > 0) kill(pid_, signal);
}
