// Stop from another thread while runs start and end on the session: the
// engine a Stop reaches must never be one that is being destroyed (the
// sanitizer build turns such a call into a failure).
#include <atomic>
#include <thread>

#include "ApiFixture.h"

namespace api_test {
namespace {

TEST_F(ApiTest, StopFromAnotherThreadDuringRunsIsSafe) {
    std::atomic<bool> done{false};
    std::thread stopper([&] {
        while (!done) Stop(pos_);
    });
    // Without settings every run fails quickly at the link: constructed,
    // published, withdrawn and destroyed many times over.
    for (int i = 0; i < 50; ++i) EXPECT_EQ(DARirRun(pos_, 1), -1);
    done = true;
    stopper.join();
}

}  // namespace
}  // namespace api_test
