// Faults met through the exported functions: a caller's dialog that throws
// while the engine serves a request, and a pinpad that stays silent for a
// caller that asked for no NAKs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "Installation.h"
#include "api/velpad.h"

namespace {

int ThrowingStatus(const char* text, int) {
    if (std::strcmp(text, "boom") == 0) throw std::runtime_error("cashier screen failed");
    return 0;
}

// Runs a payment of 15.00 in the installation with extra tags; returns the result.
int Pay(const Installation& install, const std::vector<std::pair<std::string, std::string>>& tags) {
    WorkingDir cwd(install.Path());
    DARir* session = CreateDARir();
    DARirSet(session, "amount", "1500", -1);
    DARirSet(session, "currency", "643", -1);
    for (const auto& [key, value] : tags) DARirSet(session, key.c_str(), value.c_str(), -1);
    const int result = DARirRun(session, 1);
    DeleteDARir(session);
    return result;
}

void ExpectScenarioPlayed(Installation& install) {
    const velrun_test::ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                         << install.Transcript();
}

TEST(FaultTest, FailingHandlerEndsTheRunAndKeepsItsFiles) {
    Installation install;
    std::string error;
    ASSERT_TRUE(install.StartPinpad("handler_fault.vps", {}, false, &error)) << error;
    void* dialogs[8] = {};
    dialogs[6] = reinterpret_cast<void*>(&ThrowingStatus);
    const std::string table = std::to_string(reinterpret_cast<std::uintptr_t>(dialogs));
    EXPECT_LT(Pay(install, {{"DialogsCBs", table}}), 0);
    ExpectScenarioPlayed(install);
    EXPECT_EQ(install.Read("cheq.out"), "SLIP LINE\n");
    EXPECT_EQ(install.Read("rc.out"), "000\n");
}

TEST(FaultTest, SkipNakWaitsQuietlyForASilentPinpad) {
    Installation install;
    std::string error;
    ASSERT_TRUE(install.StartPinpad("silent_pinpad.vps", {}, false, &error)) << error;
    EXPECT_EQ(Pay(install, {{"SKIP_NAK", "1"}}), 0);
    ExpectScenarioPlayed(install);
}

}  // namespace
