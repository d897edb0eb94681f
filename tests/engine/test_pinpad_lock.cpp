// One run per pinpad: the run of a second engine on the same status file
// waits for the first within its bound or is refused before it writes
// anything; engines on other pinpads go their own way.
#include <chrono>
#include <thread>

#include "EngineFixture.h"
#include "ri/Exception.h"
#include "support/TestTrace.h"

namespace {

class PinpadLockTest : public EngineFixture {
protected:
    void SetUp() override { Ini("RESULT_FILE=rc.out\nCHEQ_FILE=cheq.out\n"); }
};

TEST_F(PinpadLockTest, SecondEngineIsRefusedAndLeavesTheFirstRunsFilesAlone) {
    Ini("PPAD_LOCK_TO=100\n");
    Engine().ProcessCommand("STORERC:0");
    Engine().ProcessCommand("PRINT:SLIP LINE");
    Tags other;
    EXPECT_THROW(PPAD(&other, {}, Dir()).BeginRun(), ri::Exception);
    EXPECT_EQ(Read("rc.out"), "000\n");
    EXPECT_EQ(Read("cheq.out"), "SLIP LINE\n");
    EXPECT_NE(TestTraceText().find("the pinpad is busy with another run"), std::string::npos);
}

TEST_F(PinpadLockTest, EnginesOnOtherPinpadsDoNotWait) {
    Ini("PPAD_LOCK_TO=100\n");
    tags.Add("PORT", "/dev/ttyS1");
    Engine();
    Tags other;
    other.Add("PORT", "/dev/ttyS2");
    EXPECT_NO_THROW(PPAD(&other, {}, Dir()).BeginRun());
}

TEST_F(PinpadLockTest, WaitingEngineTakesThePinpadOnceTheFirstIsGone) {
    Ini("PPAD_LOCK_TO=20000\n");
    auto first = std::make_unique<PPAD>(&tags, std::set<std::string>{}, Dir());
    first->BeginRun();
    std::thread release([&first] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        first.reset();
    });
    Tags other;
    EXPECT_NO_THROW(PPAD(&other, {}, Dir()).BeginRun());
    release.join();
}

class TimeoutBoundsTest : public EngineFixture {};

TEST_F(TimeoutBoundsTest, ZeroNegativeAndHugeTimeoutsFallBackToDefaults) {
    Ini("TIMEOUT=0\nPPAD_IDLE_TO=99999999999999\nPPAD_LOCK_TO=-1\n");
    PPAD& engine = Engine();
    EXPECT_EQ(engine.Settings().Find("TIMEOUT"), "1000");
    EXPECT_EQ(engine.Settings().Find("PPAD_IDLE_TO"), "120000");
    EXPECT_EQ(engine.Settings().Find("PPAD_LOCK_TO"), "5000");
    const std::string trace = TestTraceText();
    EXPECT_NE(trace.find("TIMEOUT=[0] is not in 1..60000 ms, 1000 is used"), std::string::npos);
    EXPECT_NE(trace.find("PPAD_IDLE_TO=[99999999999999] is not in"), std::string::npos);
    EXPECT_NE(trace.find("PPAD_LOCK_TO=[-1] is not in"), std::string::npos);
}

TEST_F(TimeoutBoundsTest, CallersNegativeTimeoutFallsBackAndValidOnesStay) {
    Ini("PPAD_IDLE_TO=1500\n");
    tags.Add("TIMEOUT", "-5");
    PPAD& engine = Engine();
    EXPECT_EQ(engine.Settings().Find("TIMEOUT"), "1000");
    EXPECT_EQ(engine.Settings().Find("PPAD_IDLE_TO"), "1500");
    EXPECT_NE(TestTraceText().find("TIMEOUT=[-5] is not in"), std::string::npos);
}

}  // namespace
