#include <gtest/gtest.h>

#include <filesystem>

#include "ScenarioParser.h"

using vpinpad::ScenarioError;
using vpinpad::ScenarioParser;
using vpinpad::StepKind;

namespace {

const vpinpad::LineTokenizer::Vars kVars = {{"BANK_PORT", "4242"}, {"BANK_HOST", "127.0.0.1"}};

std::vector<vpinpad::Step> Parse(const std::string& text) {
    return ScenarioParser(kVars).Parse(text);
}

int ErrorLine(const std::string& text, std::string* message) {
    try {
        Parse(text);
    } catch (const ScenarioError& e) {
        *message = e.what();
        return e.Line();
    }
    return -1;
}

}  // namespace

TEST(ScenarioParser, DecodesEscapesQuotesAndVariables) {
    auto steps = Parse(
        "# comment line\n"
        "\n"
        "expect-start 1 1 643 15.00 \"\" *   # trailing comment\n"
        "send \"CONNECT:2:${BANK_HOST}:${BANK_PORT}\"\n"
        "send PRINT:\\e!\\x01a\\\\b\\0\n"
        "expect-prefix \"2:${MISSING:-none} x\"\r\n");
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].kind, StepKind::kExpectStart);
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[0].fields, (std::vector<std::string>{"1", "1", "643", "15.00", "", "*"}));
    EXPECT_EQ(steps[1].bytes, "CONNECT:2:127.0.0.1:4242");
    EXPECT_EQ(steps[2].bytes, std::string("PRINT:\x1b!\x01"
                                          "a\\b\0",
                                          13));
    EXPECT_EQ(steps[3].kind, StepKind::kExpectPrefix);
    EXPECT_EQ(steps[3].bytes, "2:none x");
}

TEST(ScenarioParser, BuildsTagListsAndFaultSteps) {
    auto steps = Parse(
        "send-tags SETTAGS: 9F1C=1234 5A=\\x42\\x76\n"
        "expect-tags 1F03=99\n"
        "cut PRINT:abc 2\n"
        "bad-first-byte 0x02 X\n"
        "split PRINT:abcdef 4 150\n"
        "silence 20\n");
    EXPECT_EQ(steps[0].kind, StepKind::kSend);
    EXPECT_EQ(steps[0].bytes, std::string("SETTAGS:\x9F\x1C\x04"
                                          "1234\x5A\x02\x42\x76",
                                          19));
    EXPECT_EQ(steps[1].tags.at(0), (vpinpad::TagList::Item{0x1F03, "99"}));
    EXPECT_EQ(steps[2].count, 2);
    EXPECT_EQ(steps[3].count, 2);
    EXPECT_EQ(steps[4].count, 4);
    EXPECT_EQ(steps[4].millis, 150);
    EXPECT_EQ(steps[5].kind, StepKind::kPause);
}

TEST(ScenarioParser, NamesTheLineOfEveryMistake) {
    std::string message;
    EXPECT_EQ(ErrorLine("send OK\nfrobnicate\n", &message), 2);
    EXPECT_NE(message.find("unknown step \"frobnicate\""), std::string::npos);
    EXPECT_EQ(ErrorLine("send \"\\q\"\n", &message), 1);
    EXPECT_EQ(ErrorLine("send \\x4\n", &message), 1);
    EXPECT_EQ(ErrorLine("\nsend \"open\n", &message), 2);
    EXPECT_NE(message.find("unterminated"), std::string::npos);
    EXPECT_EQ(ErrorLine("send ${NOPE}\n", &message), 1);
    EXPECT_NE(message.find("${NOPE}"), std::string::npos);
    EXPECT_EQ(ErrorLine("expect-start 1 2 3\n", &message), 1);
    EXPECT_NE(message.find("takes 6 argument(s), got 3"), std::string::npos);
    EXPECT_EQ(ErrorLine("cut ABC 4\n", &message), 1);
    EXPECT_EQ(ErrorLine("pause soon\n", &message), 1);
    EXPECT_EQ(ErrorLine("send-tags SETTAGS: 5A=\n", &message), 1);
}

TEST(ScenarioParser, RefusesOversizedFrames) {
    vpinpad::LineTokenizer::Vars vars = {{"BIG", std::string(65530, 'x')}};
    EXPECT_NO_THROW(ScenarioParser(vars).Parse("send ${BIG}\n"));
    try {
        ScenarioParser(vars).Parse("\n\nsend PRINT:${BIG}\n");
        FAIL() << "an oversized payload was accepted";
    } catch (const ScenarioError& e) {
        EXPECT_EQ(e.Line(), 3);
        EXPECT_NE(std::string(e.what()).find("65536 bytes"), std::string::npos);
    }
}

TEST(ScenarioParser, FileStepsKeepThePathForThePlay) {
    auto steps = Parse("send-file \"PUTFILE:r.bin\\x1c\" ${BANK_PORT}.bin\nexpect-file out.bin\n");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].kind, StepKind::kSendFile);
    EXPECT_EQ(steps[0].bytes, "PUTFILE:r.bin\x1c");
    EXPECT_EQ(steps[0].fields, std::vector<std::string>{"4242.bin"});
    EXPECT_EQ(steps[1].kind, StepKind::kExpectFile);
    EXPECT_EQ(steps[1].fields, std::vector<std::string>{"out.bin"});
}

TEST(ScenarioParser, ReadyScenariosParse) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VPINPAD_SCENARIOS)) {
        if (entry.path().extension() != ".vps") continue;
        SCOPED_TRACE(entry.path().string());
        auto steps = ScenarioParser(kVars).ParseFile(entry.path().string());
        EXPECT_GE(steps.size(), 3u);
        ++count;
    }
    EXPECT_GE(count, 7);
}
