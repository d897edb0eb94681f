// The Mifare read driven by the pinpad's "MF:" reports, its result codes and
// the block's data kept out of the trace.
#include "EngineFixture.h"
#include "support/TestTrace.h"

namespace {

class MifareTest : public EngineFixture {
protected:
    // The replies to one report.
    std::vector<std::string> Report(const std::string& text) {
        PPAD& engine = Engine();
        const size_t before = Sent().size();
        engine.ProcessCommand("MF:" + text);
        const auto sent = Sent();
        return std::vector<std::string>(sent.begin() + before, sent.end());
    }
    using Replies = std::vector<std::string>;
};

TEST_F(MifareTest, ReadGoesFromStartToData) {
    tags.Add("MF_TIMEOUT", "30");
    tags.Add("MF_SECTOR", "1");
    tags.Add("MF_KEY_TYPE", "0");
    tags.Add("MF_KEY_INDEX", "2");
    tags.Add("MF_BLOCK", "4");
    EXPECT_EQ(Report("START"), (Replies{"OK", "MF:DETECT:30"}));
    EXPECT_EQ(Report("DETECTED"), (Replies{"OK", "MF:AUTH:1,0,2"}));
    EXPECT_EQ(Report("OK"), (Replies{"OK", "MF:READ:1,4"}));
    // The block is card data: the handler traces only its length.
    const size_t tracedBefore = TestTraceText().size();
    EXPECT_EQ(Engine().ProcessCommand("MF:DATA:0011AABB"), 0);
    EXPECT_EQ(Sent().back(), "MF:END:");
    const std::string traced = TestTraceText().substr(tracedBefore);
    EXPECT_NE(traced.find("MifareProcess: DATA: [8 bytes]"), std::string::npos);
    EXPECT_EQ(traced.find("0011AABB"), std::string::npos);
    EXPECT_EQ(tags.Get("MF_DATA"), "0011AABB");
    EXPECT_EQ(tags.Get("response_code"), "000");
    // With the data read, a later authentication is only acknowledged.
    EXPECT_EQ(Report("OK"), (Replies{"OK"}));
}

TEST_F(MifareTest, StartWithoutTimeoutEndsAtOnce) {
    EXPECT_EQ(Report("START"), (Replies{"OK", "MF:END:"}));
    tags.Add("MF_TIMEOUT", "0");
    EXPECT_EQ(Report("START"), (Replies{"OK", "MF:END:"}));
    EXPECT_EQ(tags.Get("response_code"), "999");
}

TEST_F(MifareTest, ErrorsStoreTheirCodesAndEnd) {
    const std::pair<const char*, const char*> cases[] = {
        {"TIMEOUT", "-06"},       {"FORMAT_ERROR", "-05"}, {"NOCARD_ERROR", "-06"},
        {"KEYTYPE_ERROR", "-08"}, {"KEYID_ERROR", "-09"},  {"CARD_ERROR", "-01"},
        {"DATA:ERROR", "-01"}};
    for (const auto& [text, code] : cases) {
        EXPECT_EQ(Report(text), (Replies{"OK", "MF:END:"})) << text;
        EXPECT_EQ(tags.Get("response_code"), code) << text;
    }
    EXPECT_EQ(tags.Get("MF_DATA"), "");
}

TEST_F(MifareTest, UnknownReportIsEndedWithoutAcknowledgement) {
    EXPECT_EQ(Report("BUSY"), (Replies{"MF:END:"}));
    EXPECT_EQ(Report("DATA"), (Replies{"MF:END:"}));
    EXPECT_EQ(Report("DATA:"), (Replies{"MF:END:"}));
    EXPECT_FALSE(tags.IsExistParams("MF_DATA"));
    EXPECT_EQ(tags.Get("response_code"), "999");
}

}  // namespace
