// velrun --check against what a run does, one row per installation, each
// broken or borderline in one way. --check runs first (its link test talks to
// a virtual pinpad), then a real payment, "--command 1 --amount 1500
// --currency 643", against a fresh pinpad: "ready" must hold exactly when
// that pinpad receives the run's start message, and what the check names
// must be what the run logs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "ClosedPort.h"
#include "e2e/Installation.h"
#include "support/ChildProcess.h"

namespace velrun_test {
namespace {

// What the run does with the installation.
enum class Run {
    kStarts,   // the pinpad receives its start message: --check says ready
    kRefused,  // it stops before its start message: --check names why
    // It sends a start message, but one no pinpad can act on (no type or
    // pinpad index), or with a conversion table that means a lost line to
    // read as an approval (which the run skips): --check names it as a
    // problem, the run is left as it is.
    kStartsBroken,
};

// The pinpad's side of the line.
enum class Pinpad {
    kRelay,          // the TCP relay, answering the link test
    kSerial,         // a pseudo-terminal, answering the link test
    kUnreached,      // the TCP relay, which a bad "PORT" keeps everyone from
    kRefusingRelay,  // a relay that refuses the register's identifier
    kNobodyListens,  // "PORT_IP" names a port that refuses connections
};

struct Row {
    const char* name;
    std::vector<std::string> settings;     // cashreg.ini lines, after the pinpad's port
    const char* operations;                // ops.ini in place of the example's; null: kept
    void (*prepare)(const Installation&);  // files changed; may be null
    Pinpad pinpad;
    Run run;
    // In --check's report: the first problem when not ready, else a note;
    // null for a report without either.
    const char* reported;
    // In what the run logs (engine log and darir.log), and, unless the run
    // is at fault, in the report's line; null when the logs are what fails.
    const char* logged;
    // The type and pinpad index of the start message the run sends.
    const char* type = "1";
    const char* index = "1";
};

// Rows are shown by their names in test names and failures.
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

void RemoveOperations(const Installation& install) {
    unlink((install / "ops.ini").c_str());
}

void OperationsAsFolder(const Installation& install) {
    RemoveOperations(install);
    mkdir((install / "ops.ini").c_str(), 0755);
}

void RemoveTexts(const Installation& install) {
    unlink((install / "rc_res.ini").c_str());
}

void ResultsFolder(const Installation& install) {
    mkdir((install / "results").c_str(), 0755);
}

void StatusAsFolder(const Installation& install) {
    mkdir((install / "lastop.stb").c_str(), 0755);
}

void LedgerAsFolder(const Installation& install) {
    mkdir((install / "ledger.db").c_str(), 0755);
}

void LogsAsFile(const Installation& install) {
    install.Write("Logs", "not a folder\n");
}

void HidingConversion(const Installation& install) {
    install.Write("rc_conv.ini", "1=0\n999=0\n");
}

const Row kRows[] = {
    {"ExampleInstallation", {}, nullptr, nullptr, Pinpad::kRelay, Run::kStarts, nullptr, nullptr},
    {"SerialLine", {}, nullptr, nullptr, Pinpad::kSerial, Run::kStarts, nullptr, nullptr},
    {"LinkTimeoutAtItsBound",
     {"TIMEOUT=60000"},
     nullptr,
     nullptr,
     Pinpad::kRelay,
     Run::kStarts,
     nullptr,
     nullptr},
    {"LinkTimeoutBeyondItsBound",
     {"TIMEOUT=90000"},
     nullptr,
     nullptr,
     Pinpad::kRelay,
     Run::kStarts,
     "TIMEOUT=[90000] is not in 1..60000 ms, 1000 is used",
     "TIMEOUT=[90000] is not in 1..60000 ms, 1000 is used"},
    {"LinkTimeoutOfZero",
     {"TIMEOUT=0"},
     nullptr,
     nullptr,
     Pinpad::kRelay,
     Run::kStarts,
     "TIMEOUT=[0] is not in 1..60000 ms, 1000 is used",
     "TIMEOUT=[0] is not in 1..60000 ms, 1000 is used"},
    {"IdleTimeoutNotANumber",
     {"PPAD_IDLE_TO=two minutes"},
     nullptr,
     nullptr,
     Pinpad::kRelay,
     Run::kStarts,
     "PPAD_IDLE_TO=[two minutes] is not in 1..3600000 ms, 120000 is used",
     "PPAD_IDLE_TO=[two minutes] is not in 1..3600000 ms, 120000 is used"},
    {"LockWaitBeyondItsBound",
     {"PPAD_LOCK_TO=700000"},
     nullptr,
     nullptr,
     Pinpad::kRelay,
     Run::kStarts,
     "PPAD_LOCK_TO=[700000] is not in 1..600000 ms, 5000 is used",
     "PPAD_LOCK_TO=[700000] is not in 1..600000 ms, 5000 is used"},
    {"OperationWithEmptyFields",
     {},
     "1=,,\n2=2,2,Cancel\n",
     nullptr,
     Pinpad::kRelay,
     Run::kStartsBroken,
     "ops.ini line 1: operation 1 has no pinpad type and index",
     "SEND -> \\x1B\\x1B643\\x1B15.00",
     "",
     ""},
    {"OperationWithoutComma",
     {},
     "1=1\n2=2,2,Cancel\n",
     nullptr,
     Pinpad::kRelay,
     Run::kStartsBroken,
     "ops.ini line 1: operation 1 has no pinpad type and index",
     "SEND -> \\x1B\\x1B643\\x1B15.00",
     "",
     ""},
    {"OperationWithoutIndex",
     {},
     "2=2,2,Cancel\n1=1,,Pay\n",
     nullptr,
     Pinpad::kRelay,
     Run::kStartsBroken,
     "ops.ini line 2: operation 1 has no pinpad index",
     "SEND -> 1\\x1B\\x1B643\\x1B15.00",
     "1",
     ""},
    {"OperationWithoutName",
     {},
     "1=1,1\n2=2,2,Cancel\n",
     nullptr,
     Pinpad::kRelay,
     Run::kStarts,
     nullptr,
     nullptr},
    {"OperationTableMissing",
     {},
     nullptr,
     RemoveOperations,
     Pinpad::kRelay,
     Run::kRefused,
     "operation table ./ops.ini (OPERATION_INI_FILE) cannot be read",
     "file not exist: [./ops.ini]"},
    {"OperationTableUnreadable",
     {},
     nullptr,
     OperationsAsFolder,
     Pinpad::kRelay,
     Run::kRefused,
     "operation table ./ops.ini (OPERATION_INI_FILE) cannot be read",
     "file not exist: [./ops.ini]"},
    {"ResultTextsMissing",
     {},
     nullptr,
     RemoveTexts,
     Pinpad::kRelay,
     Run::kStarts,
     "result-code texts ./rc_res.ini (RC_RESOLVE_FILE) cannot be read",
     "file not exist: [./rc_res.ini]"},
    {"ConversionThatWouldHideAFailure",
     {},
     nullptr,
     HidingConversion,
     Pinpad::kRelay,
     Run::kStartsBroken,
     "rc_conv.ini line 2: code 999 means no result from the pinpad",
     "result-code conversion [999=0] skipped"},
    {"ResultFileInAMissingFolder",
     {"RESULT_FILE=missing/rc.out"},
     nullptr,
     nullptr,
     Pinpad::kRelay,
     Run::kRefused,
     "file [missing/rc.out] cannot be written, no transaction is started",
     "file [missing/rc.out] cannot be written, no transaction is started"},
    {"ResultFileIsAFolder",
     {"RESULT_FILE=results"},
     nullptr,
     ResultsFolder,
     Pinpad::kRelay,
     Run::kRefused,
     "file [./results] is not a regular file, no transaction is started",
     "file [./results] is not a regular file, no transaction is started"},
    {"OutputFileInAMissingFolder",
     {"OUTPUT_FILE=missing/output.out"},
     nullptr,
     nullptr,
     Pinpad::kRelay,
     Run::kRefused,
     "file [missing/output.out] cannot be written, no transaction is started",
     "file [missing/output.out] cannot be written, no transaction is started"},
    {"StatusFileIsAFolder",
     {},
     nullptr,
     StatusAsFolder,
     Pinpad::kRelay,
     Run::kRefused,
     "file [./lastop.stb] is not a regular file, no transaction is started",
     "file [./lastop.stb] is not a regular file, no transaction is started"},
    {"LedgerIsAFolder",
     {},
     nullptr,
     LedgerAsFolder,
     Pinpad::kRelay,
     Run::kRefused,
     "ledger [./ledger.db]: cannot open: Is a directory, no transaction is started",
     "ledger [./ledger.db]: cannot open: Is a directory"},
    {"EngineLogFolderIsAFile",
     {},
     nullptr,
     LogsAsFile,
     Pinpad::kRelay,
     Run::kStarts,
     "engine log folder ./Logs/ cannot be written: it is not a folder; a run goes on without "
     "its log",
     nullptr},
    {"PortNameNotSerial",
     {"PORT=ttyS0"},
     nullptr,
     nullptr,
     Pinpad::kUnreached,
     Run::kRefused,
     "PORT=ttyS0 is neither ETH nor a serial device name",
     "Connection ERROR"},
    {"SerialNameWithoutADevice",
     {"PORT=COM1"},
     nullptr,
     nullptr,
     Pinpad::kUnreached,
     Run::kRefused,
     "PORT names a serial device that does not exist: COM1",
     "Connection ERROR"},
    {"RelayNobodyListensOn",
     {},
     nullptr,
     nullptr,
     Pinpad::kNobodyListens,
     Run::kRefused,
     "link test (TEST_PING) failed (-1): no TCP relay at 127.0.0.1:",
     "Connection ERROR"},
    {"RelayRefusingTheRegister",
     {"ORVEX_ID=T7"},
     nullptr,
     nullptr,
     Pinpad::kRefusingRelay,
     Run::kRefused,
     "link test (TEST_PING) failed (-1): no TCP relay at 127.0.0.1:",
     "Connection ERROR"},
};

class CheckMatrix : public ::testing::TestWithParam<Row> {
protected:
    // Plays one phase: a pinpad with the scenario, the row's settings after
    // its port, then velrun with args. The pinpad must have met its scenario.
    ChildResult Phase(const std::string& scenario, std::vector<std::string> pinpadArgs,
                      std::vector<std::string> args) {
        const Row& row = GetParam();
        if (row.pinpad == Pinpad::kRefusingRelay)
            pinpadArgs.insert(pinpadArgs.end(), {"--relay-answer", "0x06"});
        // A phase that velrun does not play as the row says fails within
        // this, not the installation's longer limit.
        pinpadArgs.insert(pinpadArgs.end(), {"--timeout", "20"});
        std::string error;
        EXPECT_TRUE(
            install_.StartPinpad(scenario, pinpadArgs, row.pinpad == Pinpad::kSerial, &error))
            << error;
        std::string settings = install_.Read("cashreg.ini") + "\n";
        for (const std::string& line : row.settings) settings += line + "\n";
        if (row.pinpad == Pinpad::kNobodyListens) settings += "PORT_IP=" + closed_.Text() + "\n";
        install_.Write("cashreg.ini", settings);
        ChildOptions velrun;
        velrun.program = VELRUN_PATH;
        velrun.args = std::move(args);
        velrun.workDir = install_.Path();
        const ChildResult result = runChild(velrun);
        const ChildResult played = install_.FinishPinpad();
        EXPECT_TRUE(played.exited && played.exitStatus == 0)
            << "the pinpad (" << scenario << ") saw otherwise:\n"
            << played.err << install_.Transcript() << "\nvelrun said:\n"
            << result.out << result.err;
        return result;
    }

    // The check's phase: the pinpad expects the link test wherever "PORT"
    // lets a run reach it.
    ChildResult Check() {
        switch (GetParam().pinpad) {
            case Pinpad::kRelay:
            case Pinpad::kSerial:
                return Phase("link_test.vps", {}, {"--check"});
            case Pinpad::kRefusingRelay:
                return Phase("refused_relay.vps", {}, {"--check"});
            case Pinpad::kUnreached:
            case Pinpad::kNobodyListens:
                break;
        }
        return Phase("nothing_sent.vps", {}, {"--check"});
    }

    // The run's phase: the pinpad expects the start message the row says
    // the run sends, or nothing.
    ChildResult Payment() {
        const Row& row = GetParam();
        const std::vector<std::string> args = {"--command", "1",          "--amount",
                                               "1500",      "--currency", "643"};
        if (row.run == Run::kRefused) return Phase("nothing_sent.vps", {}, args);
        return Phase(std::string(VELRUN_SCENARIO_DIR) + "/transaction_started.vps",
                     {"--var", std::string("OP_TYPE=") + row.type, "--var",
                      std::string("OP_INDEX=") + row.index},
                     args);
    }

    Installation install_;
    ClosedPort closed_;
};

TEST_P(CheckMatrix, ReadyExactlyWhenTheRunStartsItsTransaction) {
    const Row& row = GetParam();
    if (row.operations != nullptr) install_.Write("ops.ini", row.operations);
    if (row.prepare != nullptr) row.prepare(install_);
    const ChildResult check = Check();
    const bool ready = row.run == Run::kStarts;
    EXPECT_EQ(check.exitStatus, ready ? 0 : 2) << check.out;
    const std::string verdict = ready ? "\nResult: ready\n" : "\nResult: not ready: ";
    EXPECT_NE(check.out.find(verdict + (!ready && row.reported ? row.reported : "")),
              std::string::npos)
        << check.out;
    if (ready && row.reported != nullptr) {
        EXPECT_NE(check.out.find(std::string("  note     ") + row.reported), std::string::npos)
            << check.out;
    }
    if (row.logged != nullptr && row.run != Run::kStartsBroken) {
        EXPECT_NE(check.out.find(row.logged), std::string::npos) << check.out;
    }
    // The check's link test writes no engine log, only trace lines; the
    // run's are looked for alone.
    EXPECT_EQ(install_.Logs(), "");
    unlink((install_ / "darir.log").c_str());
    const ChildResult payment = Payment();
    EXPECT_TRUE(payment.exited && payment.exitStatus == 0) << payment.err;
    if (row.logged != nullptr) {
        const std::string logs = install_.Logs() + install_.Read("darir.log");
        EXPECT_NE(logs.find(row.logged), std::string::npos) << logs;
    }
}

INSTANTIATE_TEST_SUITE_P(Installations, CheckMatrix, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace velrun_test
