// Engine logs turned into scenarios: the steps each kind of log line gives, that every
// scenario made reads back through the scenario parser, and the refusal of what is no
// engine log, by the converter and by the program.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LogScenario.h"
#include "ScenarioParser.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

using vpinpad::LogError;
using vpinpad::LogScenario;

namespace {

const char kStamp[] = "2026/01/15 12:00:00 ";
const char kStart[] = "SEND -> 1\\x1B1\\x1B643\\x1B15.00\\x1B\\x1B";
const char kStartStep[] = "expect-start 1 1 643 15.00 \"\" \"\"";
// The host's "no answer" after a frame cut short (CP1251).
const char kNoAnswer[] =
    "\xCE\xD8\xC8\xC1\xCA\xC0! \xCD\xE5\xF2 \xEE\xF2\xE2\xE5\xF2\xE0 \xEE\xF2 \xEF\xE8\xED-"
    "\xEF\xE0\xE4\xE0";

// A log of the lines; a line that does not begin with a digit gets the same time stamp.
std::string Log(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (line[0] >= '0' && line[0] <= '9' ? "" : kStamp) + line + "\n";
    return text;
}

// The steps of a scenario, without its comments.
std::vector<std::string> Steps(const std::string& scenario) {
    std::vector<std::string> steps;
    std::size_t from = 0;
    for (std::size_t end; (end = scenario.find('\n', from)) != std::string::npos; from = end + 1) {
        std::string line = scenario.substr(from, end - from);
        if (line.empty() || line[0] == '#') continue;
        steps.push_back(line.substr(0, line.rfind("  # log line ")));
    }
    return steps;
}

struct Conversion {
    const char* name;
    std::vector<std::string> log;
    std::vector<std::string> steps;
};

const std::vector<Conversion> kConversions = {
    {"start message with card data, replies whole and masked, data by its length",
     {"Connection OK", "External Command",
      "SEND -> 1\\x1B1\\x1B643\\x1B15.00\\x1B\\x1B<card: 37 bytes>",
      "RECV <- BEGINTR:", "SEND -> OK", "RECV <- TRACE:card 427612******1234",
      "SEND -> REF 427612******1234 x", "RECV <- PUTFILE:r.bin\\x1C<data: 5 bytes>",
      "SEND -> 7:<data: 2 bytes>", "RECV <- ENDTR", "SEND -> OK"},
     {"expect-start 1 1 643 15.00 \"\" *", "send BEGINTR:", "expect OK",
      "send \"TRACE:card 427612******1234\"", "expect-prefix \"REF \"",
      "send \"PUTFILE:r.bin\\x1C.....\"", "expect-prefix 7:", "send ENDTR", "expect OK"}},
    {"tag lists rebuilt: card number packed, length-only values as filler, cut items",
     {"External Command", kStart,
      "RECV <- SETTAGS:terminal_id=00012345 pan=427612******1234 application_label=DEBIT "
      "CARD track2_data=<track2_data: 3 bytes> 0x1F8888=A\\x00B",
      "SEND -> OK", "RECV <- GETTAGS:",
      "SEND -> rrn=412345678901 pan=427612******1234 cardholder_name=<cardholder_name: 4 "
      "bytes> card_type=DEBIT",
      "RECV <- SEND_CARD:expiry= aid=A0000000031010", "SEND -> OK",
      "RECV <- SETTAGS:rrn=41 <cut: 3 bytes>", "SEND -> ER",
      "RECV <- GETTAGS:", "SEND -> <cut: 2 bytes>", "RECV <- ENDTR", "SEND -> OK"},
     {kStartStep,
      "send-tags SETTAGS: \"9F1C=00012345\" \"5A=\\x42\\x76\\x12\\xDD\\xDD\\xDD\\x12\\x34\" "
      "\"50=DEBIT CARD\" \"57=...\" \"1F8888=\\x41\\x00\\x42\"",
      "expect OK", "send GETTAGS:", "expect-tags \"1F03=412345678901\" \"1F26=DEBIT\"",
      "send \"SEND_CARD:_\\$\\x00O\\x0EA0000000031010\"", "expect OK",
      "send \"SETTAGS:\\x1F\\x03\\x0241\\x1F\\x81\\x81\"", "expect ER",
      "send GETTAGS:", "expect-prefix \"\"", "send ENDTR", "expect OK"}},
    {"bank channel on the fake bank",
     {"External Command",
      kStart,
      "RECV <- DEVICEOPEN:SOCKET",
      "SEND -> OK:2",
      "RECV <- CONNECT:2:10.1.2.3:5000",
      "SEND -> ER",
      "RECV <- CONNECT:2:10.1.2.3:5001",
      "SEND -> OK",
      "RECV <- WRITE:2:<data: 4 bytes>",
      "SEND -> OK",
      "RECV <- READ:2:1024",
      "SEND -> 2:<data: 3 bytes>",
      "RECV <- READ:2:1024",
      "SEND -> 2:",
      "RECV <- DISCONNECT:2",
      "SEND -> OK",
      "RECV <- READ:2:16",
      "SEND -> 2:<data: 2 bytes>",
      "RECV <- ENDTR",
      "SEND -> OK"},
     {kStartStep,         "send DEVICEOPEN:SOCKET",
      "expect OK:2",      "send \"CONNECT:2:${BANK_HOST}:0\"",
      "expect ER",        "send \"CONNECT:2:${BANK_HOST}:${BANK_PORT}\"",
      "expect OK",        "send WRITE:2:....",
      "expect OK",        "bank-expect ....",
      "bank-send ...",    "send READ:2:1024",
      "expect 2:...",     "send READ:2:1024",
      "expect 2:",        "send DISCONNECT:2",
      "expect OK",        "send READ:2:16",
      "expect-prefix 2:", "send ENDTR",
      "expect OK"}},
    {"link faults played again, each NAK expected",
     {"External Command", kStart, "ERROR: recive message: first byte not 0x01: [0x02]",
      "SEND -> NAK", "RECV <- BEGINTR:", "SEND -> OK",
      "ERROR: recive message: invalid length, must be [2]: [1]", "SEND -> NAK",
      "ERROR: recive message: invalid length, must be [2]: [0]", "SEND -> NAK", "RECV <-",
      "ERROR: recive message: empty", "SEND -> NAK", "RECV <- PRIN", kNoAnswer,
      "ERROR: recive message: empty", "SEND -> NAK", "RECV <- ENDTR", "SEND -> OK"},
     {kStartStep, "raw \"\\x02\"", "expect NAK", "send BEGINTR:", "expect OK", "raw \"\\x01\\x00\"",
      "expect NAK", "raw \"\\x01\"", "expect NAK", "send \"\"", "expect NAK", "cut PRIN. 4",
      "expect NAK", "send ENDTR", "expect OK"}},
    {"a silent pinpad broken off: the NAKs it saw, then it hangs up",
     {"External Command", kStart, "RECV <- BEGINTR:", "SEND -> OK", "ERROR: recive message: empty",
      "SEND -> NAK", "ERROR: recive message: empty", "SEND -> NAK", "PPAD: Start: no pinpad"},
     {kStartStep, "send BEGINTR:", "expect OK", "expect NAK", "close"}},
    {"a frame cut by the dropped line",
     {"External Command", kStart, "RECV <- BEGINTR:", "SEND -> OK", "RECV <- PRINT:AB", kNoAnswer},
     {kStartStep, "send BEGINTR:", "expect OK", "cut PRINT:AB. 8", "close"}},
    {"runs in turn: one broken off, one ended, one more",
     {"Connection OK", "External Command", kStart, "RECV <- BEGINTR:", "SEND -> OK",
      "ERROR: recive message: empty", "SEND -> NAK", "Connection OK", "External Command", kStart,
      "RECV <- ENDTR", "SEND -> OK", "Connection OK", "External Command", kStart, "RECV <- ENDTR",
      "SEND -> OK"},
     {kStartStep, "send BEGINTR:", "expect OK", "close", "accept", kStartStep, "send ENDTR",
      "expect OK", "expect-close", "accept", kStartStep, "send ENDTR", "expect OK"}},
    {"a cancellation and then the payment on one line; the link test's message",
     {"External Command", "SEND -> 2\\x1B2\\x1B\\x1B\\x1B\\x1B", "RECV <- ENDTR", "SEND -> OK",
      "External Command", kStart, "RECV <- ENDTR", "SEND -> OK",
      "SEND -> 9\\x1B6\\x1B\\x1B\\x1B\\x1B", "RECV <- ENDTR", "SEND -> OK"},
     {"expect-start 2 2 \"\" \"\" \"\" \"\"", "send ENDTR", "expect OK", kStartStep, "send ENDTR",
      "expect OK", "expect \"9\\e6\\e\\e\\e\\e\"", "send ENDTR", "expect OK"}},
    {"bytes that need escapes in a scenario",
     {"External Command", kStart, "RECV <- PRINT:a$b \\x1B!\\x01 \"q\" \\x zz", "SEND -> OK",
      "RECV <- #hash", "SEND -> ER", "RECV <- ENDTR", "SEND -> OK"},
     {kStartStep, "send \"PRINT:a\\$b \\e!\\x01 \\\"q\\\" \\\\x zz\"", "expect OK",
      "send \"#hash\"", "expect ER", "send ENDTR", "expect OK"}},
    {"pauses from whole seconds: the shortest the stamps allow, at most 10 s",
     {"2026/01/15 12:00:00 External Command", "2026/01/15 12:00:00 " + std::string(kStart),
      "2026/01/15 12:00:01 RECV <- BEGINTR:", "2026/01/15 12:00:01 SEND -> OK",
      "2026/01/15 12:00:04 RECV <- STORERC:0", "2026/01/15 12:00:04 SEND -> OK",
      "2026/01/15 12:01:00 RECV <- ENDTR", "2026/01/15 12:01:00 SEND -> OK"},
     {kStartStep, "send BEGINTR:", "expect OK", "pause 2000", "send STORERC:0", "expect OK",
      "pause 10000", "send ENDTR", "expect OK"}},
    {"pauses from milliseconds, over midnight and since the epoch",
     {"20260115 235959.000 External Command", "20260115 235959.000 " + std::string(kStart),
      "20260115 235959.900 SEND -> OK", "20260116 000000.650 RECV <- BEGINTR:",
      "20260116 000000.670 SEND -> OK", "20260116 000000.700 RECV <- STORERC:0",
      "1768478400000 SEND -> OK", "1768478400250 RECV <- ENDTR", "1768478400251 SEND -> OK"},
     {kStartStep, "expect OK", "pause 750", "send BEGINTR:", "expect OK", "send STORERC:0",
      "expect OK", "pause 250", "send ENDTR", "expect OK"}},
};

struct Refusal {
    const char* name;
    std::string log;
    int line;
    const char* says;
};

const std::vector<Refusal> kRefusals = {
    {"text without time stamps", "hello\nworld\n", 1, "no time stamp"},
    {"a line without its stamp", Log({"External Command", kStart}) + "12:00 RECV <- X\n", 3,
     "no time stamp"},
    {"a month that is none", "2026/13/15 12:00:00 SEND -> OK\n", 1, "no time stamp"},
    {"a raw control byte", Log({kStart, "RECV <- A\tB"}), 2, "raw control byte 0x09"},
    {"binary bytes", std::string("\x7F\x45\x4C\x46\x02\x01\x01\x00", 8), 1, "raw control byte"},
    {"a stray byte shown otherwise",
     Log({kStart, "ERROR: recive message: first byte not 0x01: [0xZZ]"}), 2, "stray byte"},
    {"a header cut after 7 bytes",
     Log({kStart, "SEND -> OK", "ERROR: recive message: invalid length, must be [2]: [7]"}), 3,
     "header"},
    {"a tag name the host does not write", Log({kStart, "RECV <- SETTAGS:nonsense=1"}), 2,
     "cannot be read back"},
    {"a tag value longer than a list holds", Log({kStart, "RECV <- SETTAGS:pan=<pan: 500 bytes>"}),
     2, "more than a list holds"},
    {"data longer than a frame", Log({kStart, "SEND -> OK", "RECV <- WRITE:2:<data: 70000 bytes>"}),
     3, "more than a frame holds"},
    {"a frame longer than a frame", Log({kStart, "RECV <- " + std::string(70000, 'A')}), 2,
     "more than a frame holds"},
    {"no frame at all", Log({"Version: 2.1", "START", "Connection ERROR"}), 3, "no frame"},
    {"nothing", "", 0, "no frame"},
};

int RefusedLine(const std::string& log, std::string* message) {
    try {
        LogScenario::Convert(log, "test.log");
    } catch (const LogError& e) {
        *message = e.what();
        return e.Line();
    }
    return -1;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

velrun_test::ChildResult Vpinpad(const TempDir& dir, const std::vector<std::string>& args) {
    velrun_test::ChildOptions options;
    options.program = VPINPAD_BIN;
    options.args = args;
    options.workDir = dir.Path();
    return velrun_test::runChild(options);
}

}  // namespace

// Every conversion reads back through the scenario parser, as vpinpad plays it.
TEST(LogScenario, TurnsEachKindOfLogLineIntoSteps) {
    const vpinpad::ScenarioParser parser({{"BANK_PORT", "4242"}, {"BANK_HOST", "127.0.0.1"}});
    for (const Conversion& row : kConversions) {
        SCOPED_TRACE(row.name);
        std::string scenario;
        ASSERT_NO_THROW(scenario = LogScenario::Convert(Log(row.log), "shop.log"));
        EXPECT_EQ(Steps(scenario), row.steps) << scenario;
        std::vector<vpinpad::Step> steps;
        ASSERT_NO_THROW(steps = parser.Parse(scenario)) << scenario;
        EXPECT_EQ(steps.size(), row.steps.size());
    }
}

TEST(LogScenario, RefusesWhatIsNoEngineLogWithItsLine) {
    for (const Refusal& row : kRefusals) {
        SCOPED_TRACE(row.name);
        std::string message;
        EXPECT_EQ(RefusedLine(row.log, &message), row.line) << message;
        EXPECT_NE(message.find(row.says), std::string::npos) << message;
    }
}

TEST(LogScenario, ProgramConvertsToStandardOutputOrAFileAndRefusesWithExitTwo) {
    TempDir dir;
    const std::string good =
        dir.Write("good.log", Log({"External Command", kStart, "RECV <- ENDTR", "SEND -> OK"}));
    const std::string bad = dir.Write("bad.log", Log({kStart}) + "garbage\n");

    velrun_test::ChildResult printed = Vpinpad(dir, {"--from-log", good});
    EXPECT_EQ(printed.exitStatus, 0) << printed.err;
    EXPECT_NE(printed.out.find("send ENDTR"), std::string::npos) << printed.out;

    velrun_test::ChildResult written = Vpinpad(dir, {"--from-log", good, "--out", dir / "out.vps"});
    EXPECT_EQ(written.exitStatus, 0) << written.err;
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(Steps(ReadFile(dir / "out.vps")), Steps(printed.out));

    const struct {
        std::vector<std::string> args;
        const char* says;
    } refusals[] = {
        {{"--from-log", bad}, "line 2: no time stamp"},
        {{"--from-log", dir / "missing.log"}, "cannot read the log"},
        {{"--from-log", dir.Path()}, "cannot read the log"},
        {{"--from-log", good, "--out", dir / "no/such/dir.vps"}, "cannot write the scenario"},
        {{"--from-log", good, "--tcp", "127.0.0.1:0"}, "--from-log takes only --out"},
        {{"--out", dir / "x.vps"}, "--out goes with --from-log"},
    };
    for (const auto& row : refusals) {
        SCOPED_TRACE(row.says);
        velrun_test::ChildResult refused = Vpinpad(dir, row.args);
        EXPECT_TRUE(refused.exited);
        EXPECT_EQ(refused.exitStatus, 2);
        EXPECT_NE(refused.err.find(row.says), std::string::npos) << refused.err;
    }
}
