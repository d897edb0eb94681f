// Keys and values at their 500-byte bound: a buffer without its terminating
// zero right before an unreadable page is read no further than the bound,
// and an over-long value is refused with its reason instead of stored empty.
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "ApiFixture.h"
#include "api/DARir.h"

namespace api_test {
namespace {

// Two pages, the second unreadable: Tail(n) gives n readable bytes that run
// into the guard page, so reading one byte past them faults.
class GuardedBuffer {
public:
    GuardedBuffer() : page_(static_cast<size_t>(sysconf(_SC_PAGESIZE))) {
        void* pages =
            mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (pages == MAP_FAILED) return;
        base_ = static_cast<char*>(pages);
        mprotect(base_ + page_, page_, PROT_NONE);
    }
    ~GuardedBuffer() {
        if (base_) munmap(base_, 2 * page_);
    }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    char* Tail(size_t n, char fill) {
        if (!base_) return nullptr;
        char* start = base_ + page_ - n;
        std::memset(start, fill, n);
        return start;
    }

private:
    size_t page_;
    char* base_ = nullptr;
};

TEST_F(ApiTest, UnterminatedKeyAgainstAGuardPageIsRefused) {
    GuardedBuffer guarded;
    const char* key = guarded.Tail(500, 'k');
    ASSERT_NE(key, nullptr);
    char buffer[16] = {};
    EXPECT_EQ(DARirSet(pos_, key, "1", -1), -1);
    EXPECT_EQ(DARirGet(pos_, key, buffer, sizeof(buffer)), -1);
    EXPECT_EQ(DARirGet(pos_, key, nullptr, -1), -1);
}

TEST_F(ApiTest, UnterminatedValueAgainstAGuardPageIsRefusedWithItsReason) {
    GuardedBuffer guarded;
    const char* value = guarded.Tail(500, 'v');
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(DARirSet(pos_, "amount", value, -1), -1);
    EXPECT_NE(std::string(pos_->GetLastError()).find("500 bytes or longer"), std::string::npos);
    EXPECT_EQ(get("amount"), "");
}

TEST_F(ApiTest, ValuesBelowTheBoundAreStoredAndLongerOnesRefused) {
    const std::string longest(499, '7');
    EXPECT_EQ(DARirSet(pos_, "OPTION", longest.c_str(), -1), 0);
    EXPECT_EQ(get("OPTION"), longest);
    const std::string tooLong(500, '8');
    EXPECT_EQ(DARirSet(pos_, "OPTION", tooLong.c_str(), -1), -1);
    EXPECT_EQ(std::string(pos_->GetLastError()), "Value of KEY [OPTION] is 500 bytes or longer");
    EXPECT_EQ(get("OPTION"), longest);
    // A value with its size given is taken as it is.
    EXPECT_EQ(DARirSet(pos_, "OPTION", tooLong.c_str(), 500), 0);
    EXPECT_EQ(get("OPTION"), tooLong);
}

}  // namespace
}  // namespace api_test
