#include "Installation.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

using velrun_test::ChildOptions;
using velrun_test::ChildProcess;
using velrun_test::ChildResult;

namespace {

const char* const kInstallFiles[] = {"cashreg.ini", "ops.ini", "rc_conv.ini", "rc_res.ini",
                                     "darir.ini"};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// Waits for the emulator's port file: it appears whole once the line is up.
std::string WaitForFile(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (access(path.c_str(), R_OK) == 0) return Slurp(path);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

}  // namespace

std::string ScenarioPath(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    const std::string own = std::string(VELPAD_E2E_SCENARIO_DIR) + "/" + name;
    return access(own.c_str(), R_OK) == 0 ? own : std::string(VPINPAD_SCENARIO_DIR) + "/" + name;
}

Installation::Installation(const std::vector<std::string>& settings) {
    for (const char* name : kInstallFiles)
        Write(name, Slurp(std::string(VELPAD_INSTALL_DIR) + "/" + name));
    std::string lines = "\n";
    for (const std::string& line : settings) lines += line + "\n";
    Append("cashreg.ini", lines);
}

bool Installation::StartPinpad(const std::string& scenario, const std::vector<std::string>& args,
                               bool serial, std::string* error) {
    const std::string tag = std::to_string(++runs_);
    const std::string portFile = dir_ / ("port" + tag);
    ChildOptions options;
    options.program = VPINPAD_PATH;
    options.args = {"--scenario",   ScenarioPath(scenario),      "--port-file", portFile,
                    "--transcript", dir_ / ("transcript" + tag), "--timeout",   "80"};
    options.workDir = dir_.Path();
    if (serial)
        options.args.insert(options.args.end(),
                            {"--pty", "/dev/ttyVPADE" + std::to_string(getpid()) + "_" + tag});
    options.args.insert(options.args.end(), args.begin(), args.end());
    pinpad_ = std::make_unique<ChildProcess>(options);
    const std::string port = WaitForFile(portFile);
    if (port.empty()) {
        *error = "vpinpad did not start: " + FinishPinpad().err;
        return false;
    }
    Append("cashreg.ini", serial ? "\nPORT=" + port + "\n" : "\nPORT=ETH\nPORT_IP=" + port + "\n");
    return true;
}

ChildResult Installation::FinishPinpad() {
    ChildResult result = pinpad_->finish(std::chrono::seconds(90));
    pinpad_.reset();
    return result;
}

ChildOptions Installation::Payment() const {
    ChildOptions velrun;
    velrun.program = VELRUN_PATH;
    velrun.args = {"--command", "1", "--amount", "1500", "--currency", "643"};
    velrun.workDir = Path();
    return velrun;
}

ChildResult Installation::Velrun(const std::vector<std::string>& args) const {
    ChildOptions velrun;
    velrun.program = VELRUN_PATH;
    velrun.args = args;
    velrun.workDir = Path();
    return velrun_test::runChild(velrun);
}

ChildResult Installation::StopPinpad() {
    pinpad_->sendSignal(SIGTERM);
    return FinishPinpad();
}

std::string Installation::Read(const std::string& name) const {
    return Slurp(dir_ / name);
}

std::string Installation::Logs() const {
    std::string all;
    if (DIR* logs = opendir((dir_ / "Logs").c_str())) {
        while (dirent* entry = readdir(logs))
            if (entry->d_name[0] != '.') all += Read(std::string("Logs/") + entry->d_name);
        closedir(logs);
    }
    return all;
}

void Installation::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary | std::ios::trunc) << bytes;
}

void Installation::Append(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary | std::ios::app) << text;
}
