// Every case in cases/ as one test: the real velrun, the real libvelpad and
// the virtual pinpad as separate processes over loopback TCP or a pty.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "CaseFile.h"
#include "CaseRunner.h"

namespace {

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    if (DIR* dir = opendir(VELPAD_CASES_DIR)) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > 5 && name.compare(name.size() - 5, 5, ".case") == 0)
                names.push_back(name.substr(0, name.size() - 5));
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class EndToEnd : public ::testing::TestWithParam<std::string> {};

TEST_P(EndToEnd, Case) {
    const CaseFile file =
        CaseFile::Read(std::string(VELPAD_CASES_DIR) + "/" + GetParam() + ".case");
    if (file.serial && geteuid() != 0) GTEST_SKIP() << "a /dev/tty link needs root";
    CaseRunner(file).Run();
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd, ::testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
