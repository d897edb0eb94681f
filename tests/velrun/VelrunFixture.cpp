#include "VelrunFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace velrun_test {

void VelrunTest::SetUp() {
    char pattern[] = "/tmp/velrun-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    // Working one level down keeps "../ini" inside the temporary directory,
    // so the library finds no settings of its own.
    workDir_ = root_ + "/work";
    std::filesystem::create_directory(workDir_);
    log_ = root_ + "/calls.log";
}

void VelrunTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

ChildOptions VelrunTest::plain(std::vector<std::string> args) const {
    return ChildOptions{VELRUN_PATH, std::move(args), workDir_, {}, false};
}

ChildOptions VelrunTest::withShim(std::vector<std::string> args,
                                  std::vector<std::string> env) const {
    ChildOptions options = plain(std::move(args));
    const char* asan = std::getenv("ASAN_OPTIONS");
    // A preloaded library comes before the sanitizer runtime in load order.
    env.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0");
    env.push_back(std::string("LD_PRELOAD=") + VELPAD_SHIM_PATH);
    env.push_back("VELRUN_SHIM_LOG=" + log_);
    options.env = std::move(env);
    return options;
}

std::vector<std::string> VelrunTest::calls() const {
    std::vector<std::string> lines;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> VelrunTest::callsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& line : calls()) {
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    }
    return found;
}

std::string resultLines(const std::string& authorizationCode, const std::string& cardNumber,
                        const std::string& cardType, int code, const std::string& message,
                        const std::string& rrn, const std::string& terminalId) {
    return "authorizationCode=" + authorizationCode + "\ncardNumber=" + cardNumber +
           "\ncardType=" + cardType + "\ncode=" + std::to_string(code) + "\nmessage=" + message +
           "\nrrn=" + rrn + "\nsuccess=" + (code == 0 ? "1" : "0") + "\nterminalId=" + terminalId +
           "\n";
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

}  // namespace velrun_test
