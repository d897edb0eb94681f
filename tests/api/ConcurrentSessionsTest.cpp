// Sessions on several threads at once: engines that re-number the shared tag
// dictionary ("USE_UNIPAY") while other sessions look names up, and runs
// that take turns on one pinpad. The thread-sanitizer build runs these.
#include <atomic>
#include <thread>
#include <vector>

#include "ApiFixture.h"

namespace api_test {
namespace {

TEST_F(ApiTest, SessionsOnSeveralThreadsShareTheDictionarySafely) {
    std::atomic<bool> done{false};
    std::thread reader([&done] {
        DARir* own = CreateDARir();
        char buffer[8] = {};
        while (!done) {
            DARirSet(own, "receipt_number", "12", -1);
            DARirGet(own, "card_type", buffer, sizeof(buffer));
        }
        DeleteDARir(own);
    });
    std::vector<std::thread> runners;
    for (int t = 0; t < 2; ++t) {
        runners.emplace_back([] {
            DARir* own = CreateDARir();
            DARirSet(own, "USE_UNIPAY", "1", -1);
            DARirSet(own, "receipt_number", "34", -1);
            // Without settings each run fails quickly at the link.
            for (int i = 0; i < 10; ++i) EXPECT_EQ(DARirRun(own, 1), -1);
            DeleteDARir(own);
        });
    }
    for (std::thread& runner : runners) runner.join();
    done = true;
    reader.join();
}

}  // namespace
}  // namespace api_test
