#include "ApiFixture.h"

#include <unistd.h>

#include <filesystem>
#include <vector>

namespace api_test {

void ApiTest::SetUp() {
    char pattern[] = "/tmp/velpad-api-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    const std::string work = root_ + "/work";
    std::filesystem::create_directory(work);
    previousDir_ = std::filesystem::current_path();
    ASSERT_EQ(chdir(work.c_str()), 0);
    pos_ = CreateDARir();
    ASSERT_NE(pos_, nullptr);
}

void ApiTest::TearDown() {
    DeleteDARir(pos_);
    if (!previousDir_.empty()) {
        EXPECT_EQ(chdir(previousDir_.c_str()), 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string ApiTest::get(const char* key) {
    const int size = DARirGet(pos_, key, nullptr, -1);
    if (size <= 0) return "<size " + std::to_string(size) + ">";
    std::vector<char> buffer(size, '\0');
    const int copied = DARirGet(pos_, key, buffer.data(), size);
    if (copied < 0) return "<get " + std::to_string(copied) + ">";
    return std::string(buffer.data(), copied);
}

}  // namespace api_test
