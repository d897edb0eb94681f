// The order of an approved payment's writes, read from the system calls of
// the real velrun (strace): the status "open" is on the disk before the
// "OK" that answers "BEGINTR:" leaves; after the "OK" that answers "ENDTR"
// the result and the slip are synced and renamed into place, and only then
// is the status "closed" written and synced.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "Installation.h"
#include "support/ChildProcess.h"

namespace {

using velrun_test::ChildOptions;
using velrun_test::ChildResult;

const char kStrace[] = "/usr/bin/strace";
const char kOkFrame[] = "\"\\1\\0\\2OK\"";

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool Has(const std::string& line, const std::string& part) {
    return line.find(part) != std::string::npos;
}

// The first line from on that holds every part; the end when none does.
size_t Find(const std::vector<std::string>& lines, size_t from,
            const std::vector<std::string>& parts) {
    for (size_t i = from; i < lines.size(); ++i) {
        bool all = true;
        for (const std::string& part : parts) all = all && Has(lines[i], part);
        if (all) return i;
    }
    return lines.size();
}

TEST(WriteOrder, ApprovedPaymentKeepsStatusAndResultsInTheirOrder) {
    if (access(kStrace, X_OK) != 0) GTEST_SKIP() << "strace is not installed";
    Installation install;
    std::string error;
    ASSERT_TRUE(install.StartPinpad("approved_payment.vps", {}, false, &error)) << error;
    ChildOptions traced;
    traced.program = kStrace;
    traced.args = {"-f",
                   "-y",
                   "-qq",
                   "-s",
                   "80",
                   "-o",
                   install / "calls.txt",
                   "-e",
                   "trace=read,write,recvfrom,sendto,fsync,fdatasync,rename,openat",
                   VELRUN_PATH,
                   "--command",
                   "1",
                   "--amount",
                   "1500",
                   "--currency",
                   "643"};
    traced.workDir = install.Path();
    const ChildResult run = velrun_test::runChild(traced);
    const ChildResult played = install.FinishPinpad();
    ASSERT_TRUE(played.exited && played.exitStatus == 0) << played.err << install.Transcript();
    ASSERT_NE(run.out.find("success=1"), std::string::npos) << run.out << run.err;

    const std::vector<std::string> calls = Lines(install / "calls.txt");
    const size_t end = calls.size();
    const size_t begin = Find(calls, 0, {"BEGINTR:", "recvfrom("});
    ASSERT_LT(begin, end) << "no BEGINTR: read";
    const size_t opened = Find(calls, begin, {"fdatasync(", "lastop.stb>"});
    const size_t beginOk = Find(calls, begin, {"sendto(", kOkFrame});
    EXPECT_LT(opened, beginOk) << "the OK to BEGINTR: left before the status was synced";

    const size_t ended = Find(calls, beginOk, {"\\5ENDTR\"", "recvfrom("});
    ASSERT_LT(ended, end) << "no ENDTR read";
    const size_t endOk = Find(calls, ended, {"sendto(", kOkFrame});
    EXPECT_EQ(Find(calls, beginOk, {"write(", "lastop.stb>", "\"\\0\""}),
              Find(calls, endOk, {"write(", "lastop.stb>", "\"\\0\""}))
        << "the status was closed before the OK to ENDTR";
    size_t kept = endOk;
    for (const char* file : {"rc.out\")", "cheq.out\")"}) {
        const size_t renamed = Find(calls, endOk, {"rename(", file});
        ASSERT_LT(renamed, end) << file << " was not replaced";
        EXPECT_LT(Find(calls, endOk, {"fsync(", std::string(file).substr(0, 6), ".tmp>"}), renamed)
            << file << " was renamed before it was synced";
        kept = std::max(kept, renamed);
    }
    const size_t closed = Find(calls, endOk, {"write(", "lastop.stb>", "\"\\0\""});
    EXPECT_LT(kept, closed) << "the status was closed before the results were kept";
    EXPECT_LT(Find(calls, closed, {"fdatasync(", "lastop.stb>"}), end)
        << "the closed status was not synced";
}

}  // namespace
