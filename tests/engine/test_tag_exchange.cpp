// Tags between the pinpad and the register, the result files and the start
// message.
#include <algorithm>
#include <ctime>

#include "HandlerSupport.h"
#include "engine/handlers/TextForms.h"

namespace {

const std::string kPan = "\x5A";
const std::string kAuthCode = Bytes({0x89});
const std::string kAuthSource = "\x1F\x2D";
const std::string kLoyaltyCode = "\x1F\x80\x0A";
const std::string kLoyaltyTrack = "\x1F\x75";
const std::string kDate = "\x1F\x09";
const std::string kTrack1 = "\x1F\x70";
const std::string kRrn = "\x1F\x03";
const std::string kDateTimeHost = "\x1F\x1D";

class TagExchangeTest : public EngineFixture {
protected:
    void SetUp() override {
        Ini("RESULT_FILE=result.txt\nCHEQ_FILE=cheq.out\nOUTPUT_FILE=out.txt\n"
            "VAR_ENV_FILE=env.txt\n");
        Write("ops.ini", "1=1,4,PURCHASE\n2=3,5,CANCEL\n99=7,9,TOTALS\n");
    }

    // The reply to "GETTAGS:" read back as a store.
    Tags TagsSent() {
        Engine().ProcessCommand("GETTAGS:");
        Tags sent;
        sent.Parse(Sent().back());
        return sent;
    }
};

TEST_F(TagExchangeTest, AmountAndCardNumberForms) {
    EXPECT_EQ(GetAmountStr("7"), "00.07");
    EXPECT_EQ(GetAmountStr("50"), "00.50");
    EXPECT_EQ(GetAmountStr("1500"), "15.00");
    std::string padded;
    formatAmount("1500", padded);
    EXPECT_EQ(padded, "000000001500");
    formatAmount("1234567890123", padded);
    EXPECT_EQ(padded, "000000000000");
    EXPECT_EQ(FormatPAN("4276123456781234"), "4276 1234 5678 1234 ");
    EXPECT_EQ(FormatPAN("4276****1234"), "4276 1234 ");
    std::string pan = "old";
    std::string expiry = "old";
    GetPanExpDate(";4276123456781234=2512101?", &pan, &expiry);
    EXPECT_EQ(pan + "|" + expiry, "4276123456781234|25/12");
    GetPanExpDate("4276=25", &pan, &expiry);
    EXPECT_EQ(pan + "|" + expiry, "4276|");
    GetPanExpDate("4276", &pan, &expiry);
    EXPECT_EQ(pan + "|" + expiry, "|");
}

TEST_F(TagExchangeTest, StartMessageFieldsAndCardData) {
    OperationsEngine setup(&tags, Dir());
    PPAD& engine = setup.engine;
    tags.Add("amount", "1500");
    tags.Add("currency", "643");
    EXPECT_EQ(engine.InitParamOperation(1),
              "1\x1b"
              "4\x1b"
              "643\x1b"
              "15.00\x1b\x1b");
    tags.Add("pan", "D12345");
    EXPECT_EQ(engine.InitParamOperation(1),
              "1\x1b"
              "4\x1b"
              "643\x1b"
              "15.00\x1b\x1b"
              "D12345");
    tags.Delete("pan");
    tags.Add("rfu", "4276123456781234=2512101?");
    engine.Settings().MakePair("NO_PA_DSS", "1");
    EXPECT_EQ(engine.InitParamOperation(1),
              "1\x1b"
              "4\x1b"
              "643\x1b"
              "15.00\x1b\x1b;4276123456781234=2512101");
    // With "NO_PA_DSS" the track is the card data even when it is empty; the
    // encrypted card data goes out only without it.
    tags.Add("enc_data", "XYZ");
    EXPECT_EQ(engine.InitParamOperation(99),
              "7\x1b"
              "9\x1b"
              "643\x1b\x1b\x1b");
    EXPECT_EQ(tags.Get("amount"), "");
    engine.Settings().Delete("NO_PA_DSS");
    EXPECT_EQ(engine.InitParamOperation(99),
              "7\x1b"
              "9\x1b"
              "643\x1b\x1b\x1bnXYZ");
    EXPECT_EQ(engine.InitParamOperation(0), "");
}

TEST_F(TagExchangeTest, StartInformationIsShownExceptForTheCancellation) {
    OperationsEngine setup(&tags, Dir());
    PPAD& engine = setup.engine;
    DialogRecorder dialogs;
    engine.Dialogs().SetDialogs(dialogs.table, nullptr);
    engine.Settings().MakePair("NO_PA_DSS", "1");
    tags.Add("amount", "1500");
    tags.Add("rfu", ";4276123456781234=2512101?");
    engine.InitParamOperation(1);
    // "ОПЕРАЦИЯ: ", "СУММА: ", "№ КАРТЫ: ", "СРОК ГОДНОСТИ: " in CP1251.
    EXPECT_EQ(DialogRecorder::info,
              "\xCE\xCF\xC5\xD0\xC0\xD6\xC8\xDF: PURCHASE\r\n\xD1\xD3\xCC\xCC\xC0: 15.00\r\n"
              "\xB9 \xCA\xC0\xD0\xD2\xDB: 4276 12** **** 1234 \r\n"
              "\xD1\xD0\xCE\xCA \xC3\xCE\xC4\xCD\xCE\xD1\xD2\xC8: 25/12");
    engine.InitParamOperation(2);
    EXPECT_EQ(DialogRecorder::infoCalls, 1);
}

TEST_F(TagExchangeTest, SetTagsUnpacksCardNumberAndLoyaltyTrackOnce) {
    Engine().ProcessCommand(
        "SETTAGS:" + Item(kPan, Bytes({0x42, 0x76, 0xDD, 0xDD, 0xDD, 0xDD, 0x12, 0x34})) +
        Item(kLoyaltyTrack, Bytes({0x12, 0x34, 0xD5, 0x6F})));
    EXPECT_EQ(tags.Get("pan"), "4276********1234");
    EXPECT_EQ(tags.Get("loyalty_track2"), "1234=56");
    Engine().ProcessCommand("SETTAGS:" + Item(kRrn, "123456789012"));
    EXPECT_EQ(tags.Get("pan"), "4276********1234");
    EXPECT_EQ(tags.Get("loyalty_track2"), "1234=56");
    Engine().ProcessCommand("SETTAGS:" + Item(kPan, Bytes({0x12, 0x34, 0x5F})));
    EXPECT_EQ(tags.Get("pan"), "12345");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"OK", "OK", "OK"}));
}

// A list cut short is refused whole, in both requests that carry one: no
// result is made of half a list.
TEST_F(TagExchangeTest, TruncatedListIsRefusedWhole) {
    const std::string cut = Item(kRrn, "RRN1") + kDate +
                            "\x06"
                            "24";
    EXPECT_EQ(Engine().ProcessCommand("SETTAGS:" + cut), 0);
    EXPECT_EQ(Engine().ProcessCommand("SEND_CARD:" + cut), 0);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ER", "ER"}));
    EXPECT_EQ(tags.Get("rrn"), "");
    EXPECT_EQ(tags.Get("date"), "");
}

TEST_F(TagExchangeTest, DateTimeAndCardholderNameAreCompleted) {
    char today[8] = {};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(today, sizeof today, "%y%m%d", &local);
    Engine().ProcessCommand("SETTAGS:" + Item(kDate, "000000") +
                            Item(kTrack1, "B4276123456781234^IVANOV/IVAN ^2512101"));
    EXPECT_EQ(tags.Get("date"), today);
    EXPECT_EQ(tags.Get("received_text_message"), "IVANOV/IVAN");
    tags.Delete("received_text_message");
    Engine().ProcessCommand("SETTAGS:" + Item(kDate, "240101") + Item(kTrack1, "B4276^NAME"));
    EXPECT_EQ(tags.Get("date"), "240101");
    EXPECT_EQ(tags.Get("received_text_message"), "");
    // Two "^" around blanks give an empty name, which replaces an older one.
    tags.Add("received_text_message", "OLD");
    Engine().ProcessCommand("SETTAGS:" + Item(kTrack1, "B4276^NAME"));
    EXPECT_EQ(tags.Get("received_text_message"), "OLD");
    Engine().ProcessCommand("SETTAGS:" + Item(kTrack1, "B4276^  ^2512"));
    EXPECT_EQ(tags.Get("received_text_message"), "");
}

TEST_F(TagExchangeTest, AuthCodeAndLoyaltyCodeGoBackAsTheyCame) {
    Engine().ProcessCommand("SETTAGS:" + Item(kAuthCode, "123456") + Item(kAuthSource, "1") +
                            Item(kLoyaltyCode, Bytes({0xE8, 0x03, 0x00, 0x00})));
    EXPECT_EQ(tags.Get("auth_code"), "123456 1");
    EXPECT_EQ(tags.Get("loyalty_code"), "1000");
    for (int request = 0; request < 2; ++request) {
        Tags sent = TagsSent();
        EXPECT_EQ(sent.Get("auth_code"), "123456");
        EXPECT_EQ(sent.Get("auth_code_source"), "1");
        EXPECT_EQ(sent.Get("loyalty_code"), Bytes({0xE8, 0x03, 0x00, 0x00}));
    }
    EXPECT_EQ(tags.Get("auth_code"), "123456 1");
    EXPECT_EQ(tags.Get("loyalty_code"), "1000");
}

TEST_F(TagExchangeTest, LoyaltyCodeReadsMissingHighBytesAsZero) {
    Engine().ProcessCommand("SETTAGS:" + Item(kLoyaltyCode, Bytes({0xE8, 0x03})));
    EXPECT_EQ(tags.Get("loyalty_code"), "1000");
    Engine().ProcessCommand("SETTAGS:" + Item(kLoyaltyCode, Bytes({0xFF, 0xFF, 0xFF, 0xFF})));
    EXPECT_EQ(tags.Get("loyalty_code"), "4294967295");
}

TEST_F(TagExchangeTest, AuthCodeStaysWholeWhenFullCodeIsOff) {
    Ini("AUTH_CODE_FULL=0\n");
    Engine().ProcessCommand("SETTAGS:" + Item(kAuthCode, "123456") + Item(kAuthSource, "1"));
    EXPECT_EQ(tags.Get("auth_code"), "123456");
}

TEST_F(TagExchangeTest, GetTagsSendsOnlyTagsThatTravel) {
    Engine();
    EXPECT_EQ(TagsSent().Get("pan"), "");
    EXPECT_EQ(Sent().back(), "OK");
    tags.Add("pan", "4276");
    tags.Add("qr_payload", std::string(200, 'Q'));
    Engine().ProcessCommand("GETTAGS:");
    EXPECT_EQ(Sent().back(), Item(kPan, "4276"));
}

TEST_F(TagExchangeTest, OutputFileFollowsItsTemplate) {
    Write("tmpl.txt", "PAN RESULTCODE\nNOSUCHKEY PAN\n");
    Ini("OUTPUT_FILE_TEMPLATE=tmpl.txt\n");
    Engine().ProcessCommand("SETTAGS:" + Item(kPan, Bytes({0x42, 0x76, 0x12, 0x34})));
    EXPECT_EQ(Read("out.txt"), "****1234\n999\n****1234\n");
}

// A value holding line breaks neither shifts the output file's lines nor
// adds a line to the variable-environment file.
TEST_F(TagExchangeTest, LineBreaksInValuesStayInsideTheirLine) {
    Engine().ProcessCommand("SETTAGS:" + Item(kRrn, "R1\nRESPONSE_CODE=0") +
                            Item(Bytes({0x9F, 0x1C}), "T1\r\nT2"));
    const std::string out = Read("out.txt");
    EXPECT_EQ(out.substr(0, 12), "999\n\nT1  T2\n");
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 11);
    const std::string env = Read("env.txt");
    EXPECT_NE(env.find("\nORVEX_RRN=R1 RESPONSE_CODE=0\n"), std::string::npos) << env;
    EXPECT_EQ(std::count(env.begin(), env.end(), '\n'), 8);
}

TEST_F(TagExchangeTest, FullCardNumberIsMaskedInTheOutputFileButKeptInTheStore) {
    Engine().ProcessCommand("SETTAGS:" +
                            Item(kPan, Bytes({0x42, 0x76, 0x12, 0x34, 0x56, 0x78, 0x12, 0x34})));
    EXPECT_EQ(Read("out.txt").substr(0, 21), "999\n427612******1234\n");
    EXPECT_EQ(tags.Get("pan"), "4276123456781234");
}

TEST_F(TagExchangeTest, OutputFileWithoutTemplateHoldsElevenLines) {
    tags.Add("amount", "1500");
    Engine().ProcessCommand("SETTAGS:" + Item(kRrn, "R1"));
    EXPECT_EQ(Read("out.txt"), "999\n\n\n\n\n" + tags.Get("text_message") + "\n1500\nR1\n\n\n\n");
}

TEST_F(TagExchangeTest, VariableEnvironmentFileLines) {
    tags.Add("amount", "1500");
    Engine().ProcessCommand(
        "SETTAGS:" + Item(kDateTimeHost, Bytes({0x20, 0x26, 0x12, 0x06, 0x22, 0x35, 0x09})) +
        Item(kAuthCode, "A1B2C3") + Item(kRrn, "R1"));
    const std::string message = tags.Get("text_message");
    EXPECT_EQ(Read("env.txt"),
              "TRANSACTION_DATE=26.12.06\nTRANSACTION_TIME=22:35:09\n"
              "AUTHORIZATION_CODE=A1B2C3\nMERCHAND_ID=\nRESPONSE_CODE=999\n"
              "RESPONSE_MESSAGE=" +
                  message +
                  "\nORVEX_RRN=R1\n"
                  "ORVEX_AUTH_AMT=000000001500\n");
}

TEST_F(TagExchangeTest, CardAndTotalsAreStoredAsTheyCame) {
    Engine().ProcessCommand("SEND_CARD:" + Item(kPan, Bytes({0x42, 0x76})));
    Engine().ProcessCommand("SEND_TOTALS:" + Bytes({0x00, 0x01, 0x1B}));
    EXPECT_EQ(tags.Get("pan"), Bytes({0x42, 0x76}));
    EXPECT_EQ(tags.Get("day_totals"), Bytes({0x00, 0x01, 0x1B}));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"OK", "OK"}));
}

}  // namespace
