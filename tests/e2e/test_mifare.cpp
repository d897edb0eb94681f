// A contactless card read through the exported interface: the caller sets
// the read's parameters, the pinpad walks the steps from START to DATA (or
// to an error), and the caller finds the block and the result code.
#include <gtest/gtest.h>

#include <string>

#include "Installation.h"
#include "api/velpad.h"
#include "support/TempDir.h"

namespace {

struct Outcome {
    int result = 0;
    std::string data;
    std::string resultFile;
};

// One run of operation 1 against a Mifare scenario.
Outcome Read(const std::string& scenario, const std::vector<std::string>& args) {
    Installation install;
    std::string error;
    EXPECT_TRUE(install.StartPinpad(scenario, args, false, &error)) << error;
    WorkingDir cwd(install.Path());
    DARir* session = CreateDARir();
    const std::pair<const char*, const char*> settings[] = {
        {"amount", "1500"},   {"currency", "643"},   {"MF_TIMEOUT", "30"}, {"MF_SECTOR", "1"},
        {"MF_KEY_TYPE", "0"}, {"MF_KEY_INDEX", "2"}, {"MF_BLOCK", "4"}};
    for (const auto& [key, value] : settings) DARirSet(session, key, value, -1);
    Outcome outcome;
    outcome.result = DARirRun(session, 1);
    char buffer[128] = {};
    const int length = DARirGet(session, "MF_DATA", buffer, sizeof(buffer));
    if (length > 0) outcome.data.assign(buffer, static_cast<size_t>(length));
    DeleteDARir(session);
    outcome.resultFile = install.Read("rc.out");
    const velrun_test::ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                         << install.Transcript();
    return outcome;
}

TEST(MifareE2E, BlockIsReadFromStartToData) {
    const Outcome outcome = Read("mifare_read.vps", {});
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.data, "0011AABBCCDDEEFF0011223344556677");
    EXPECT_EQ(outcome.resultFile, "000\n");
}

TEST(MifareE2E, EachErrorStoresItsCode) {
    const std::pair<const char*, int> errors[] = {{"TIMEOUT", -6},      {"FORMAT_ERROR", -5},
                                                  {"NOCARD_ERROR", -6}, {"KEYTYPE_ERROR", -8},
                                                  {"KEYID_ERROR", -9},  {"CARD_ERROR", -1}};
    for (const auto& [text, code] : errors) {
        const Outcome outcome =
            Read("mifare_error.vps", {"--var", std::string("MF_ERROR=") + text});
        EXPECT_EQ(outcome.result, code) << text;
        EXPECT_EQ(outcome.data, "") << text;
    }
}

}  // namespace
