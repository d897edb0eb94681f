// A line dropped in the middle of a frame: the rest of the frame never
// comes, so the link gives the frame up at once instead of waiting out the
// frame time-out.
#include <chrono>

#include "EngineFixture.h"

namespace {

class DroppedLinkTest : public EngineFixture {
protected:
    void SetUp() override { Ini("TIMEOUT=20000\n"); }
};

TEST_F(DroppedLinkTest, FrameCutByADroppedLineIsNotWaitedFor) {
    Engine();
    link->Incoming(
        std::string("\x01\x00\x0A"
                    "ABC",
                    6));
    link->hangUp = true;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Engine().Session().WaitMessage(2, 60), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_TRUE(link->sent.empty());
}

}  // namespace
