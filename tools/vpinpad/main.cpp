// vpinpad: plays the pinpad's side of the link from a scenario file, so that the host side
// can be run end to end without a real pinpad. Exit status: 0 every step held, 1 a step
// failed, 2 bad command line, scenario or set-up, 3 time-out, 4 stopped by a signal.
// With --from-log it only turns an engine log into a scenario: 0 done, 2 the log could not be
// read or is no engine log (its line named), or the scenario could not be written.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "CommandLine.h"
#include "FakeBank.h"
#include "LogScenario.h"
#include "PtyLink.h"
#include "RelayListener.h"
#include "ScenarioParser.h"
#include "ScenarioRunner.h"
#include "Transcript.h"

namespace {

constexpr int kSetupError = 2;

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
    g_stop = 1;
}

// Without SA_RESTART a signal interrupts the poll, so the run ends at once and the
// destructors remove the serial link.
void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// Written under a temporary name and renamed, so a waiting test never reads half a file.
void WriteReadyFile(const std::string& path, const std::string& text) {
    if (path.empty()) return;
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << text << '\n';
        if (!out) throw std::runtime_error("cannot write " + temporary);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        throw std::runtime_error("cannot rename " + temporary + " to " + path);
    }
}

std::unique_ptr<vpinpad::Link> OpenLink(const vpinpad::CommandLine& options,
                                        vpinpad::Transcript& transcript) {
    if (!options.pty.empty()) {
        auto pty = std::make_unique<vpinpad::PtyLink>(transcript, options.pty);
        pty->Open();
        return pty;
    }
    auto relay = std::make_unique<vpinpad::RelayListener>(transcript, options.relayAnswer);
    relay->Listen(options.tcp);
    return relay;
}

int Play(const vpinpad::CommandLine& options) {
    vpinpad::Transcript transcript;
    if (!options.transcript.empty() && !transcript.Open(options.transcript)) {
        throw std::runtime_error("cannot write the transcript " + options.transcript);
    }
    vpinpad::FakeBank bank(transcript);
    bank.Listen();
    auto vars = options.vars;
    vars["BANK_PORT"] = std::to_string(bank.Port());
    vars["BANK_HOST"] = "127.0.0.1";
    auto steps = vpinpad::ScenarioParser(vars).ParseFile(options.scenario);
    WriteReadyFile(options.bankPortFile, std::to_string(bank.Port()));
    auto link = OpenLink(options, transcript);
    WriteReadyFile(options.portFile, link->Name());
    vpinpad::ScenarioRunner runner(*link, bank, transcript,
                                   std::chrono::seconds(options.timeoutSeconds), &g_stop);
    vpinpad::RunResult result = runner.Run(steps);
    std::cerr << "vpinpad: " << result.message << '\n';
    return result.exitCode;
}

// Writes the scenario made from the log to --out or to standard output.
int ConvertLog(const vpinpad::CommandLine& options) {
    std::ifstream in(options.fromLog, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in || std::filesystem::is_directory(options.fromLog)) {
        std::cerr << "vpinpad: cannot read the log " << options.fromLog << '\n';
        return kSetupError;
    }
    std::string scenario;
    try {
        scenario = vpinpad::LogScenario::Convert(text.str(), options.fromLog);
    } catch (const vpinpad::LogError& e) {
        std::cerr << "vpinpad: log " << options.fromLog << ": " << e.what() << '\n';
        return kSetupError;
    }
    if (options.out.empty()) {
        std::cout << scenario << std::flush;
        return std::cout ? 0 : kSetupError;
    }
    std::ofstream out(options.out, std::ios::binary | std::ios::trunc);
    out << scenario;
    out.close();
    if (!out) {
        std::cerr << "vpinpad: cannot write the scenario " << options.out << '\n';
        return kSetupError;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    vpinpad::CommandLine options;
    try {
        options = vpinpad::CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "vpinpad: " << e.what() << '\n' << vpinpad::CommandLine::Usage();
        return kSetupError;
    }
    if (options.help) {
        std::cout << vpinpad::CommandLine::Usage();
        return 0;
    }
    if (!options.fromLog.empty()) return ConvertLog(options);
    InstallSignals();
    try {
        return Play(options);
    } catch (const vpinpad::ScenarioError& e) {
        std::cerr << "vpinpad: scenario " << options.scenario << ": " << e.what() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "vpinpad: " << e.what() << '\n';
    }
    return kSetupError;
}
