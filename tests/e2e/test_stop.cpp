// A stop requested from another thread while DARirRun serves the pinpad,
// through the exported functions as a foreign caller uses them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include "Installation.h"
#include "api/velpad.h"
#include "support/TempDir.h"

namespace {

DARir* running = nullptr;

// The status entry of the caller's dialog table: showing "stop" makes the
// cashier press stop, from a thread of its own.
int Status(const char* text, int) {
    if (std::strcmp(text, "stop") == 0) std::thread([] { Stop(running); }).join();
    return 0;
}

TEST(StopTest, StopReachesThePinpadAsCancelAtItsNextPoll) {
    Installation install;
    std::string error;
    ASSERT_TRUE(install.StartPinpad("stop_on_ping.vps", {}, false, &error)) << error;

    void* dialogs[8] = {};
    dialogs[6] = reinterpret_cast<void*>(&Status);
    const std::string table = std::to_string(reinterpret_cast<std::uintptr_t>(dialogs));
    WorkingDir cwd(install.Path());
    running = CreateDARir();
    ASSERT_NE(running, nullptr);
    DARirSet(running, "amount", "1500", -1);
    DARirSet(running, "currency", "643", -1);
    DARirSet(running, "DialogsCBs", table.c_str(), -1);
    EXPECT_EQ(DARirRun(running, 1), 2);
    DeleteDARir(running);
    running = nullptr;

    const velrun_test::ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                         << install.Transcript();
}

}  // namespace
