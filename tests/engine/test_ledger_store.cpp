// The ledger's store on its own: records stored pending and completed, the
// records a dead run left pending settled by the next run's first record,
// pruning, what stands at the file's name, the connection kept between runs,
// and the lines it is shown as.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/ledger/KeptLedgers.h"
#include "engine/ledger/Ledger.h"
#include "engine/ledger/LedgerLine.h"
#include "support/TempDir.h"

namespace {

LedgerRecord Pending(int operation, const std::string& started = "2026-12-09T10:00:00.000Z") {
    LedgerRecord r;
    r.started = started;
    r.operation = operation;
    r.outcome = outcome::kPending;
    return r;
}

std::vector<std::string> Outcomes(Ledger& ledger) {
    std::vector<LedgerRecord> records;
    EXPECT_TRUE(ledger.Last(100, &records)) << ledger.Error();
    std::vector<std::string> outcomes;
    for (const LedgerRecord& r : records)
        outcomes.push_back(std::to_string(r.id) + ":" + r.outcome + ":" + r.recovery);
    return outcomes;
}

TEST(LedgerStore, RecordsLiveFromPendingToCompleteAndDeadRunsAreSettled) {
    TempDir dir;
    const std::string path = dir / "ledger.db";
    std::vector<long long> interrupted;
    {
        Ledger dead;
        ASSERT_TRUE(dead.Open(path, true, 1000)) << dead.Error();
        LedgerRecord left = Pending(1);
        ASSERT_TRUE(dead.Begin(&left, true, 0, 0, &interrupted));
        EXPECT_EQ(left.id, 1);
    }
    Ledger ledger;
    ASSERT_TRUE(ledger.Open(path, true, 1000)) << ledger.Error();
    LedgerRecord payment = Pending(1);
    ASSERT_TRUE(ledger.Begin(&payment, true, 0, 0, &interrupted));
    EXPECT_EQ(interrupted, std::vector<long long>{1});
    // A second record of the same run leaves the first one pending.
    LedgerRecord cancel = Pending(2);
    interrupted.clear();
    ASSERT_TRUE(ledger.Begin(&cancel, false, 0, 0, &interrupted));
    EXPECT_TRUE(interrupted.empty());
    cancel.outcome = outcome::kCancelledOnRecovery;
    cancel.hasResult = true;
    ASSERT_TRUE(ledger.Complete(cancel));
    ASSERT_TRUE(ledger.NoteRecovery("cancelled by run 3"));
    EXPECT_EQ(Outcomes(ledger),
              (std::vector<std::string>{"1:interrupted:cancelled by run 3",
                                        "2:pending:", "3:cancelled on recovery:"}));
    payment.outcome = outcome::kApproved;
    payment.cardNumber = "411111******1111";
    payment.durationMs = 1234;
    ASSERT_TRUE(ledger.Complete(payment));
    std::vector<LedgerRecord> last;
    ASSERT_TRUE(ledger.Last(1, &last));
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].id, 3);
    // A record that is gone cannot be completed.
    LedgerRecord ghost = Pending(1);
    ghost.id = 99;
    EXPECT_FALSE(ledger.Complete(ghost));
    EXPECT_NE(ledger.Error().find("record 99 is gone"), std::string::npos);
}

TEST(LedgerStore, PrunesByAgeAndCountButNeverAPendingRecord) {
    TempDir dir;
    Ledger ledger;
    ASSERT_TRUE(ledger.Open(dir / "ledger.db", true, 1000)) << ledger.Error();
    std::vector<long long> interrupted;
    struct Step {
        const char* started;
        const char* outcome;
    };
    const Step steps[] = {{"2001-01-01T00:00:00.000Z", outcome::kApproved},
                          {"2001-01-02T00:00:00.000Z", outcome::kPending},
                          {"2099-01-01T00:00:00.000Z", outcome::kDeclined}};
    for (const Step& step : steps) {
        LedgerRecord r = Pending(1, step.started);
        ASSERT_TRUE(ledger.Begin(&r, false, 0, 0, &interrupted));
        r.outcome = step.outcome;
        ASSERT_TRUE(ledger.Complete(r));
    }
    // Older than 30 days: the first goes, the pending second stays.
    LedgerRecord next = Pending(1, "2099-01-02T00:00:00.000Z");
    ASSERT_TRUE(ledger.Begin(&next, false, 30, 0, &interrupted));
    EXPECT_EQ(Outcomes(ledger),
              (std::vector<std::string>{"2:pending:", "3:declined:", "4:pending:"}));
    // At most two kept with the new one, pending ones besides.
    LedgerRecord last = Pending(1, "2099-01-03T00:00:00.000Z");
    ASSERT_TRUE(ledger.Begin(&last, false, 0, 2, &interrupted));
    EXPECT_EQ(Outcomes(ledger),
              (std::vector<std::string>{"2:pending:", "4:pending:", "5:pending:"}));
}

TEST(LedgerStore, OnlyARegularFileIsOpenedAndItKeepsItsRightsToItsOwner) {
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "folder.db").c_str(), 0750), 0);
    ASSERT_EQ(symlink("target.db", (dir / "link.db").c_str()), 0);
    for (const char* name : {"folder.db", "link.db", "missing/ledger.db"}) {
        Ledger ledger;
        EXPECT_FALSE(ledger.Open(dir / name, true, 1000)) << name;
        EXPECT_NE(ledger.Error().find(dir / name), std::string::npos) << ledger.Error();
    }
    struct stat status {};
    EXPECT_NE(lstat((dir / "target.db").c_str(), &status), 0);
    Ledger ledger;
    ASSERT_TRUE(ledger.Open(dir / "ledger.db", true, 1000));
    ASSERT_EQ(stat((dir / "ledger.db").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    // Read only, a missing ledger is not made.
    Ledger reader;
    EXPECT_FALSE(reader.Open(dir / "none.db", false, 1000));
    EXPECT_NE(lstat((dir / "none.db").c_str(), &status), 0);
}

// A ledger closed after its changes keeps its connection for the next run,
// which takes it back only while the files are those it was opened on: a
// connection to a file removed or replaced would write where no run reads.
TEST(LedgerStore, AKeptConnectionServesOnlyTheFilesItWasOpenedOn) {
    struct Case {
        const char* change;
        std::function<void(const std::string&)> make;
        bool kept;
    };
    const Case cases[] = {
        {"none", [](const std::string&) {}, true},
        {"database replaced",
         [](const std::string& path) {
             ASSERT_EQ(std::rename(path.c_str(), (path + ".old").c_str()), 0);
             const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0640);
             ASSERT_GE(fd, 0);
             close(fd);
         },
         false},
        {"write-ahead log removed",
         [](const std::string& path) { ASSERT_EQ(unlink((path + "-wal").c_str()), 0); }, false},
        {"rights changed", [](const std::string& path) { ASSERT_EQ(chmod(path.c_str(), 0600), 0); },
         false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir / "ledger.db";
        {
            Ledger ledger;
            ASSERT_TRUE(ledger.Open(path, true, 1000)) << ledger.Error();
            std::vector<long long> interrupted;
            LedgerRecord r = Pending(1);
            ASSERT_TRUE(ledger.Begin(&r, true, 0, 0, &interrupted)) << ledger.Error();
        }
        c.make(path);
        KeptLedgers::Files files;
        EXPECT_EQ(KeptLedgers::Take(path, &files) != nullptr, c.kept) << c.change;
    }
}

TEST(LedgerStore, LinesQuoteAndEscapeWhatTheyShow) {
    LedgerRecord r = Pending(1);
    r.id = 7;
    r.operationName = "Оплата картой";
    r.outcome = outcome::kDeclined;
    r.hasResult = true;
    r.resultCode = 51;
    r.resultText = "a \"quoted\"\ttext";
    r.durationMs = 0;
    EXPECT_EQ(LedgerLine(r),
              "run=7 started=2026-12-09T10:00:00.000Z operation=1 name=\"Оплата картой\" "
              "outcome=declined code=51 text=\"a \\\"quoted\\\"\\x09text\" duration_ms=0");
    const std::string json = LedgerJson({r});
    EXPECT_NE(json.find("\"text\":\"a \\\"quoted\\\"\\u0009text\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"ended\":\"\",\"operation\":1,"), std::string::npos) << json;
    EXPECT_EQ(LedgerJson({}), "[]\n");
}

}  // namespace
