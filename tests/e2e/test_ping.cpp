// The engine's link test against the virtual pinpad over loopback TCP.
#include <gtest/gtest.h>

#include "Installation.h"
#include "config/Tags.h"
#include "engine/PPAD.h"

namespace {

int PingIn(Installation& install, const std::string& scenario) {
    std::string error;
    EXPECT_TRUE(install.StartPinpad(scenario, {}, false, &error)) << error;
    Tags tags;
    PPAD engine(&tags, {}, install.Path());
    const int result = engine.Ping();
    EXPECT_FALSE(engine.Settings().IsExist("NODIALOGS"));
    return result;
}

TEST(PingTest, AnsweredTestMessageSucceeds) {
    Installation install;
    EXPECT_EQ(PingIn(install, "ping.vps"), 0);
    EXPECT_EQ(install.FinishPinpad().exitStatus, 0) << install.Transcript();
}

TEST(PingTest, UnansweredTestMessageFails) {
    Installation install;
    EXPECT_EQ(PingIn(install, "ping_unanswered.vps"), -2);
    install.FinishPinpad();
}

TEST(PingTest, UnknownPortNameFails) {
    Installation install({"PORT=LPT1"});
    Tags tags;
    PPAD engine(&tags, {}, install.Path());
    EXPECT_EQ(engine.Ping(), -3);
}

}  // namespace
