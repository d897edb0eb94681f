#include "CaseRunner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "../velrun/ChildProcess.h"

using velrun_test::ChildOptions;
using velrun_test::ChildProcess;
using velrun_test::ChildResult;

namespace {

constexpr auto kPinpadLimit = std::chrono::seconds(90);
constexpr auto kRunLimit = std::chrono::seconds(90);
const char* const kInstallFiles[] = {"cashreg.ini", "ops.ini", "rc_conv.ini", "rc_res.ini",
                                     "darir.ini"};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

void Spit(const std::string& path, const std::string& data, std::ios::openmode mode) {
    std::ofstream(path, std::ios::binary | mode) << data;
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

// A scenario of the cases themselves, or else one of the emulator's ready ones.
std::string ScenarioPath(const std::string& name) {
    const std::string own = std::string(VELPAD_CASES_DIR) + "/" + name;
    return access(own.c_str(), R_OK) == 0 ? own : std::string(VPINPAD_SCENARIO_DIR) + "/" + name;
}

}  // namespace

CaseRunner::CaseRunner(const CaseFile& file) : case_(file) {}

void CaseRunner::Run() {
    Install();
    for (size_t i = 0; i < case_.stages.size(); ++i) {
        SCOPED_TRACE("stage " + std::to_string(i + 1) + " (" + case_.stages[i].scenario + ")");
        RunStage(case_.stages[i], static_cast<int>(i + 1));
    }
}

void CaseRunner::Install() {
    for (const char* name : kInstallFiles)
        Spit(dir_ / name, Slurp(std::string(VELPAD_INSTALL_DIR) + "/" + name), std::ios::trunc);
    std::string settings = "\n";
    for (const std::string& line : case_.settings) settings += line + "\n";
    Spit(dir_ / "cashreg.ini", settings, std::ios::app);
    for (const auto& [name, bytes] : case_.files) Spit(dir_ / name, bytes, std::ios::trunc);
}

void CaseRunner::RunStage(const CaseStage& stage, int number) {
    const std::string tag = std::to_string(number);
    const std::string portFile = dir_ / ("port" + tag);
    ChildOptions pinpad;
    pinpad.program = VPINPAD_PATH;
    pinpad.args = {"--scenario", ScenarioPath(stage.scenario), "--port-file", portFile,
                   "--transcript", dir_ / ("transcript" + tag), "--timeout", "80"};
    pinpad.workDir = dir_.Path();
    const std::string device = "/dev/ttyVPADE" + std::to_string(getpid()) + "_" + tag;
    if (case_.serial) pinpad.args.insert(pinpad.args.end(), {"--pty", device});
    for (const std::string& var : stage.vars) pinpad.args.insert(pinpad.args.end(), {"--var", var});
    ChildProcess emulator(pinpad);
    const std::string port = WaitForFile(portFile);
    ASSERT_FALSE(port.empty()) << "vpinpad did not start: " << emulator.finish(kPinpadLimit).err;
    Spit(dir_ / "cashreg.ini",
         case_.serial ? "\nPORT=" + port + "\n" : "\nPORT=ETH\nPORT_IP=" + port + "\n",
         std::ios::app);

    ChildOptions velrun;
    velrun.program = VELRUN_PATH;
    velrun.args = stage.args;
    velrun.workDir = dir_.Path();
    const ChildResult run = velrun_test::runChild(velrun);
    const ChildResult played = emulator.finish(kPinpadLimit);
    EXPECT_TRUE(run.exited && run.exitStatus == 0) << "velrun: " << run.err;
    EXPECT_TRUE(played.exited && played.exitStatus == 0)
        << "vpinpad: " << played.err << "\n" << Read("transcript" + tag);
    CheckStage(stage, run.out, run.err);
}

void CaseRunner::CheckStage(const CaseStage& stage, const std::string& out,
                            const std::string& err) {
    for (const std::string& line : stage.stdoutLines)
        EXPECT_NE(("\n" + out).find("\n" + line + "\n"), std::string::npos)
            << "missing line \"" << line << "\" in:\n" << out;
    for (const std::string& text : stage.stderrTexts)
        EXPECT_NE(err.find(text), std::string::npos) << "missing \"" << text << "\" in:\n" << err;
    for (const auto& [name, bytes] : stage.files)
        EXPECT_EQ(Read(name), bytes) << "file " << name;
    for (const auto& [name, bytes] : stage.fileParts)
        EXPECT_NE(Read(name).find(bytes), std::string::npos) << "file " << name << ":\n"
                                                              << Read(name);
    for (const std::string& name : stage.absentFiles)
        EXPECT_FALSE(Exists(name)) << "file " << name << " should not exist";
}

std::string CaseRunner::Read(const std::string& name) const { return Slurp(dir_ / name); }

bool CaseRunner::Exists(const std::string& name) const {
    return access((dir_ / name).c_str(), F_OK) == 0;
}
