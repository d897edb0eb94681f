// Result codes, the status file, the cancellation of an unfinished
// transaction, the clock request and the journal.
#include <ctime>

#include "HandlerSupport.h"

namespace {

const std::string kOpen(1, '\x01');
const std::string kEnded(1, '\0');

class RecoveryTest : public EngineFixture {
protected:
    void SetUp() override {
        Ini("RESULT_FILE=result.txt\nCHEQ_FILE=cheq.out\nLOG_FOLDER_NAME=Logs\n");
        Write("rc_conv.ini", "5=0\n");
        Write("rc_res.ini", "0=APPROVED\n5=FIVE\n");
        Write("ops.ini", "1=1,4,PURCHASE\n2=3,5,CANCEL\n");
    }

    // The pinpad side of a cancellation that succeeds and prints a slip.
    static void QueueCancellation(FakeTransport* link) {
        for (const char* frame : {"BEGINTR:", "STORERC:0", "PRINT:CANCEL SLIP", "ENDTR"})
            link->IncomingFrame(frame);
    }
};

TEST_F(RecoveryTest, StoredCodeIsConvertedIntoTagsAndResultFile) {
    Engine().ProcessCommand("STORERC:5");
    EXPECT_EQ(Read("result.txt"), "000\n");
    EXPECT_EQ(tags.Get("response_code"), "000");
    EXPECT_EQ(tags.Get("text_message"), "APPROVED");
    Engine().Settings().MakePair("USEORIGINALRC", "1");
    Engine().ProcessCommand("STORERC:5");
    EXPECT_EQ(tags.Get("text_message"), "FIVE");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"OK", "OK"}));
}

// "ENDTR" leaves the status open: the run closes it only once the result
// and slip are kept (the end-to-end cases see it closed).
TEST_F(RecoveryTest, StatusFileMarksBeginAndStaysOpenAtTheEndRequest) {
    Engine().ProcessCommand("BEGINTR:");
    EXPECT_EQ(Read("lastop.stb"), kOpen);
    Engine().ProcessCommand("ENDTR");
    EXPECT_EQ(Read("lastop.stb"), kOpen);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"OK", "OK"}));
}

TEST_F(RecoveryTest, NoCheckLastOpLeavesTheStatusFileAlone) {
    Ini("NO_CHECK_LAST_OP=1\n");
    Engine().ProcessCommand("BEGINTR:");
    Engine().ProcessCommand("ENDTR");
    EXPECT_FALSE(Exists("lastop.stb"));
    Write("lastop.stb", kOpen);
    Engine().Settings().MakePair("CANCEL_LAST_OP_AUTO", "1");
    EXPECT_EQ(Engine().CheckLastStatus(), 0);
}

TEST_F(RecoveryTest, UnfinishedTransactionIsCancelledAutomaticallyOrWhenTheCashierAgrees) {
    DialogRecorder dialogs;
    Engine().Dialogs().SetDialogs(dialogs.table, nullptr);
    EXPECT_EQ(Engine().CheckLastStatus(), 0);
    for (const std::string& state : {kEnded, std::string(1, '\x80')}) {
        Write("lastop.stb", state);
        EXPECT_EQ(Engine().CheckLastStatus(), 0);
    }
    Write("lastop.stb", kOpen);
    EXPECT_EQ(Engine().CheckLastStatus(), 0);
    // "Предыдущая транзакция не была завершена!\r\nВыполнить отмену операции?|ДА/НЕТ?"
    EXPECT_EQ(DialogRecorder::question,
              "\xCF\xF0\xE5\xE4\xFB\xE4\xF3\xF9\xE0\xFF \xF2\xF0\xE0\xED\xE7\xE0\xEA\xF6\xE8\xFF "
              "\xED\xE5 \xE1\xFB\xEB\xE0 \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xE0!\r\n\xC2\xFB\xEF\xEE"
              "\xEB\xED\xE8\xF2\xFC \xEE\xF2\xEC\xE5\xED\xF3 \xEE\xEF\xE5\xF0\xE0\xF6\xE8\xE8?|"
              "\xC4\xC0/\xCD\xC5\xD2?");
    DialogRecorder::answer = 1;
    EXPECT_EQ(Engine().CheckLastStatus(), 1);
    DialogRecorder::question.clear();
    Engine().Settings().MakePair("CANCEL_LAST_OP_AUTO", "1");
    EXPECT_EQ(Engine().CheckLastStatus(), 1);
    EXPECT_EQ(DialogRecorder::question, "");
}

TEST_F(RecoveryTest, CancellationWritesItsOwnFilesAndLeavesTheCallersTags) {
    Ini("CANCEL_RC_FILE=cancel_rc.txt\nCANCEL_CH_FILE=cancel_ch.txt\n");
    OperationsEngine setup(&tags, Dir());
    PPAD& engine = setup.engine;
    auto* link = new FakeTransport;
    engine.AttachTransport(link);
    tags.Add("amount", "1500");
    QueueCancellation(link);
    engine.CancelLastOperation();
    EXPECT_EQ(link->SentPayloads().front(),
              "3\x1b"
              "5\x1b\x1b\x1b\x1b");
    EXPECT_EQ(Read("cancel_rc.txt"), "000\n");
    EXPECT_EQ(Read("cancel_ch.txt"), "CANCEL SLIP\n");
    EXPECT_EQ(Read("lastop.stb"), kEnded);
    EXPECT_EQ(Read("result.txt"), "");
    EXPECT_EQ(Read("cheq.out"), "");
    EXPECT_EQ(tags.Get("amount"), "1500");
    EXPECT_EQ(tags.Get("response_code"), "999");
    EXPECT_EQ(tags.Get("slip"), "");
    engine.StoreCode(5);
    EXPECT_EQ(Read("result.txt"), "000\n");
    EXPECT_EQ(Read("cheq.out"), "\xCA\xEE\xE4 \xEE\xF2\xE2\xE5\xF2\xE0:000 (005)\nAPPROVED\n");
    EXPECT_EQ(Read("cancel_ch.txt"), "CANCEL SLIP\n");
}

TEST_F(RecoveryTest, CancellationWithoutCancelFilesUsesTheRunsFiles) {
    OperationsEngine setup(&tags, Dir());
    PPAD& engine = setup.engine;
    auto* link = new FakeTransport;
    engine.AttachTransport(link);
    QueueCancellation(link);
    engine.CancelLastOperation();
    EXPECT_EQ(Read("result.txt"), "000\n");
    EXPECT_EQ(Read("cheq.out"), "CANCEL SLIP\n");
}

TEST_F(RecoveryTest, ClockRequestAnswersLocalDateAndTime) {
    Engine().ProcessCommand("TIMESYNC:");
    const std::string reply = Sent().back();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    ASSERT_EQ(reply.size(), 14u);
    EXPECT_EQ(reply.substr(4, 4), std::to_string(local.tm_year + 1900));
    EXPECT_EQ(reply[8], '\x1b');
    EXPECT_EQ(reply[11], ':');
    Engine().Settings().MakePair("NOTIMESYNC", "1");
    Engine().ProcessCommand("TIMESYNC:");
    EXPECT_EQ(Sent().back(), "ER");
}

TEST_F(RecoveryTest, JournalDigitSelectsTheTerminalIndex) {
    Ini("USEJL=1\n");
    Write("jl.txt", " 3\n");
    tags.Add("terminal_id", "12345678");
    Engine().CheckJL();
    EXPECT_EQ(tags.Get("terminal_idx"), "\x03");
    EXPECT_EQ(tags.Get("terminal_id"), "");
}

TEST_F(RecoveryTest, TerminalIndexIsPackedOnceAndDroppedForAFullTerminalId) {
    tags.Add("terminal_idx", "3");
    Engine().CheckJL();
    Engine().CheckJL();
    EXPECT_EQ(tags.Get("terminal_idx"), "\x03");
    tags.Add("terminal_id", "12345678");
    Engine().CheckJL();
    EXPECT_EQ(tags.Get("terminal_idx"), "");
    EXPECT_EQ(tags.Get("terminal_id"), "12345678");
}

TEST_F(RecoveryTest, MissingJournalLeavesTheTerminalId) {
    Ini("USEJL=1\n");
    tags.Add("terminal_id", "12345678");
    Engine().CheckJL();
    EXPECT_EQ(tags.Get("terminal_id"), "12345678");
}

}  // namespace
