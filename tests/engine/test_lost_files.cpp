// A file of the run that loses a write after the start message is never a
// success: the pinpad is asked to stop at its next poll, the status stays
// open where it can, and a status that cannot be kept refuses "BEGINTR:".
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include "EngineFixture.h"

namespace {

class LostFileTest : public EngineFixture {};

// The status file cannot take its byte (a link, which is never written
// through): the pinpad must not go on to authorise.
TEST_F(LostFileTest, StatusThatCannotBeKeptRefusesTheBeginAndStopsThePinpad) {
    ASSERT_EQ(symlink("/dev/full", Path("lastop.stb").c_str()), 0);
    EXPECT_EQ(Engine().ProcessCommand("BEGINTR:"), 0);
    EXPECT_EQ(Engine().ProcessCommand("PING:"), 0);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ER", "CANCEL"}));
}

// A slip line that no longer fits the disk (here: the file-size limit) is a
// lost slip: the next poll cancels, and the loss is reported once.
TEST_F(LostFileTest, SlipLineLostOnAFullDiskStopsThePinpad) {
    Ini("CHEQ_FILE=cheq.out\n");
    Engine();
    struct rlimit before {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Engine().ProcessCommand("PRINT:" + std::string(200, 'S'));
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    Engine().ProcessCommand("PING:");
    Engine().ProcessCommand("PING:");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"OK", "CANCEL", "OK"}));
}

}  // namespace
