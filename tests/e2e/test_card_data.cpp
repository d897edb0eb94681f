// Card data never in the clear: a pinpad sends a full card number, both
// tracks, discretionary data, the cardholder name and a loyalty track; the
// caller sets card inputs too. After the run no file in the installation
// (logs included) and nothing velrun printed holds any of them, at the
// default trace level, at the most verbose one and with "NO_PA_DSS".
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Installation.h"
#include "api/velpad.h"

namespace {

using velrun_test::ChildOptions;
using velrun_test::ChildResult;

const char kPan[] = "4276123456781234";
const char kMaskedPan[] = "427612******1234";

// Everything that must not be found, with what it is.
const std::vector<std::pair<std::string, std::string>> kSecrets = {
    {"card number", kPan},
    {"card number, packed", "\x42\x76\x12\x34\x56\x78\x12\x34"},
    {"card number, spaced hex", "42 76 12 34 56 78 12 34"},
    {"card number text, spaced hex", "34 32 37 36 31 32 33 34 35 36 37 38 31 32 33 34"},
    {"card number text, hex", "34323736313233343536373831323334"},
    {"track 2 discretionary data", "8642097531"},
    {"track 2 discretionary data, packed", "\x86\x42\x09\x75\x31"},
    {"track 2 discretionary data, spaced hex", "86 42 09 75 31"},
    {"cardholder name", "IVANOV/IVAN"},
    {"cardholder name, spaced hex", "49 56 41 4E 4F 56 2F 49 56 41 4E"},
    {"loyalty card number", "6393001234567890"},
    {"loyalty track, packed", "\x63\x93\x00\x12\x34\x56\x78\x90"},
    {"loyalty track, spaced hex", "63 93 00 12 34 56 78 90"},
    {"encrypted card data", "ENC0123456789ABCDEF"},
};

// What the caller sets: the card's track 2, a cardholder name, encrypted card
// data and the full card number.
const std::vector<std::pair<std::string, std::string>> kCallerCardInputs = {
    {"amount", "1500"},
    {"currency", "643"},
    {"pan", kPan},
    {"rfu", ";4276123456781234=25121018642097531?"},
    {"cardholder_name", "IVANOV/IVAN"},
    {"enc_data", "ENC0123456789ABCDEF"},
};

// The hexadecimal rows of every dump in a text, joined without blanks, so a
// value split over two rows is found as well.
std::string JoinedDumpRows(const std::string& text) {
    static const std::regex row("(?:[0-9A-F]{2} )+[0-9A-F]{2}");
    std::string joined;
    for (std::sregex_iterator it(text.begin(), text.end(), row), end; it != end; ++it)
        for (char c : it->str())
            if (c != ' ') joined += c;
    return joined;
}

// Every file under dir except the emulator's own (its transcript and port
// files), by path relative to dir.
void CollectFiles(const std::string& dir, const std::string& relative,
                  std::vector<std::string>* files) {
    DIR* listing = opendir(dir.c_str());
    if (!listing) return;
    while (dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (relative.empty() && (name.rfind("transcript", 0) == 0 || name.rfind("port", 0) == 0))
            continue;
        struct stat status {};
        if (stat((dir + "/" + name).c_str(), &status) != 0) continue;
        if (S_ISDIR(status.st_mode))
            CollectFiles(dir + "/" + name, relative + name + "/", files);
        else
            files->push_back(relative + name);
    }
    closedir(listing);
}

void ExpectNoCardData(const std::string& where, const std::string& text) {
    const std::string rows = JoinedDumpRows(text);
    for (const auto& [what, secret] : kSecrets) {
        EXPECT_EQ(text.find(secret), std::string::npos) << what << " in " << where;
        std::string bare;
        for (char c : secret)
            if (c != ' ') bare += c;
        EXPECT_EQ(rows.find(bare), std::string::npos) << what << " across dump rows in " << where;
    }
}

// Searches the whole installation; returns every file's content joined.
std::string ExpectNoCardDataInFiles(const Installation& install) {
    std::vector<std::string> files;
    CollectFiles(install.Path(), "", &files);
    std::string all;
    for (const std::string& file : files) {
        const std::string content = install.Read(file);
        ExpectNoCardData(file, content);
        all += content;
        // The settings files are the installer's; everything else the run made.
        struct stat status {};
        const bool found = stat((install / file).c_str(), &status) == 0;
        EXPECT_TRUE(found) << file;
        if (found && file.find(".ini") == std::string::npos) {
            EXPECT_EQ(status.st_mode & S_IRWXO, 0u) << file << " is readable by others";
        }
    }
    return all;
}

// darir.ini of the example installation at a trace level.
std::string SessionSettings(int logType) {
    return "[Settings]\nLogType=" + std::to_string(logType) + "\nConsole=0\nEncoding=UTF-8\n";
}

void StartPinpad(Installation& install) {
    std::string error;
    ASSERT_TRUE(install.StartPinpad("card_data.vps", {}, false, &error)) << error;
}

void ExpectScenarioPlayed(Installation& install) {
    const ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err;
}

// Runs a payment as a foreign caller in a child process of its own (the trace
// level is fixed per process when the first session is made): sets the card
// inputs, runs, and checks that DARirGet returns the card number as the
// pinpad sent it. The child's exit status is 0 for result 0 and a matching
// card number; the wait is bounded and the child killed when it runs out.
int PayAsCaller(const Installation& install) {
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(install.Path().c_str()) != 0) _exit(2);
        DARir* session = CreateDARir();
        for (const auto& [key, value] : kCallerCardInputs)
            DARirSet(session, key.c_str(), value.c_str(), -1);
        const int result = DARirRun(session, 1);
        char pan[64] = {};
        const int size = DARirGet(session, "pan", pan, sizeof pan - 1);
        DeleteDARir(session);
        _exit(result == 0 && size == 16 && std::string(pan) == kPan ? 0 : 1);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ChildResult PayWithVelrun(const Installation& install) {
    return velrun_test::runChild(install.Payment());
}

class CardDataTest : public testing::TestWithParam<int> {};

TEST_P(CardDataTest, CallerInputsAndPinpadCardDataStayOutOfEveryFile) {
    Installation install({"USEPPADTRACE=1", "TRACE_FILE=ppad_trace.txt"});
    install.Write("darir.ini", SessionSettings(GetParam()));
    StartPinpad(install);
    EXPECT_EQ(PayAsCaller(install), 0);
    ExpectScenarioPlayed(install);
    const std::string all = ExpectNoCardDataInFiles(install);
    EXPECT_NE(all.find(kMaskedPan), std::string::npos);
    EXPECT_EQ(install.Read("output.out").substr(0, 4 + sizeof kMaskedPan),
              std::string("000\n") + kMaskedPan + "\n");
}

TEST_P(CardDataTest, TrackInTheStartMessageStaysOutOfEveryFile) {
    Installation install({"NO_PA_DSS"});
    install.Write("darir.ini", SessionSettings(GetParam()));
    StartPinpad(install);
    EXPECT_EQ(PayAsCaller(install), 0);
    ExpectScenarioPlayed(install);
    const std::string transcript = install.Transcript();
    // The track did go to the pinpad; only the register's files must not keep it.
    EXPECT_NE(transcript.find(";4276123456781234=25121018642097531\""), std::string::npos);
    ExpectNoCardDataInFiles(install);
    // The most verbose trace names each printed form it made, redacted.
    if (GetParam() == 6) {
        const std::string trace = install.Read("darir.log");
        for (const char* line : {"GetAmountStr: ", "GetPanExpDate: ", "FormatPAN: "})
            EXPECT_NE(trace.find(line), std::string::npos) << line;
    }
}

TEST_P(CardDataTest, VelrunPrintsTheMaskedCardNumberOnly) {
    Installation install;
    install.Write("darir.ini", SessionSettings(GetParam()));
    StartPinpad(install);
    const ChildResult run = PayWithVelrun(install);
    ExpectScenarioPlayed(install);
    EXPECT_TRUE(run.exited && run.exitStatus == 0) << run.err;
    EXPECT_NE(run.out.find(std::string("cardNumber=") + kMaskedPan + "\n"), std::string::npos)
        << run.out;
    ExpectNoCardData("velrun's output", run.out + run.err);
    ExpectNoCardDataInFiles(install);
}

// The default trace level of the example installation and the most verbose one.
INSTANTIATE_TEST_SUITE_P(TraceLevels, CardDataTest, testing::Values(2, 6));

}  // namespace
