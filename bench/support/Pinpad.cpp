#include "support/Pinpad.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/Child.h"
#include "support/Paths.h"

namespace bench {

namespace {

constexpr auto kScenarioLimit = std::chrono::seconds(240);

// The port file appears whole (the pinpad renames it into place). Empty when
// the pinpad exited first or did not start within 20 s.
std::string AwaitFile(const std::string& path, pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (access(path.c_str(), R_OK) == 0) return ReadFile(path);
        if (waitpid(pid, nullptr, WNOHANG) != 0) return "";
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return "";
}

}  // namespace

std::string LoadScenario(const std::string& name) {
    return ReadFile(std::string(kScenarioDir) + "/" + name);
}

std::string RepeatScenario(const std::string& body, int copies, bool serial) {
    const std::string between = serial ? "" : "close\naccept\n";
    std::string scenario;
    for (int i = 0; i < copies; ++i) scenario += (i ? between : "") + body;
    return scenario;
}

VirtualPinpad::VirtualPinpad(const Install& install, const std::string& scenario,
                             const std::string& ptyPath)
    : install_(install) {
    const std::string file = install.Path("bench.vps");
    WriteFile(file, scenario);
    std::vector<std::string> argv = {kVpinpad,
                                     "--scenario",
                                     file,
                                     "--port-file",
                                     install.Path("port"),
                                     "--timeout",
                                     std::to_string(kScenarioLimit.count())};
    if (!ptyPath.empty()) argv.insert(argv.end(), {"--pty", ptyPath});
    unlink(install.Path("port").c_str());
    pid_ = Spawn(argv, install.Dir(), install.Path("vpinpad.out"));
    line_ = AwaitFile(install.Path("port"), pid_);
    if (line_.empty()) {
        kill(pid_, SIGKILL);
        WaitExit(pid_, std::chrono::seconds(10));
        pid_ = -1;
        throw std::runtime_error("vpinpad did not start: " + ReadFile(install.Path("vpinpad.out")));
    }
    while (!line_.empty() && (line_.back() == '\n' || line_.back() == '\r')) line_.pop_back();
}

VirtualPinpad::~VirtualPinpad() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        WaitExit(pid_, std::chrono::seconds(10));
    }
}

void VirtualPinpad::Finish() {
    const int status = WaitExit(pid_, kScenarioLimit);
    pid_ = -1;
    if (status != 0)
        throw std::runtime_error("vpinpad failed (" + std::to_string(status) +
                                 "): " + ReadFile(install_.Path("vpinpad.out")));
}

}  // namespace bench
