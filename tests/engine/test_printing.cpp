// Slip lines, the print buffer sent to the pinpad, the technical check and
// the operation-details question.
#include "HandlerSupport.h"

namespace {

// "ОШИБКА"
const std::string kError = "\xCE\xD8\xC8\xC1\xCA\xC0";
// "Код ответа:"
const std::string kAnswerCode = "\xCA\xEE\xE4 \xEE\xF2\xE2\xE5\xF2\xE0:";
// "Код ошибки:"
const std::string kErrorCode = "\xCA\xEE\xE4 \xEE\xF8\xE8\xE1\xEA\xE8:";

class PrintingTest : public EngineFixture {
protected:
    void SetUp() override {
        Ini("RESULT_FILE=result.txt\nCHEQ_FILE=cheq.out\n");
        Write("rc_conv.ini", "5=0\n");
        Write("rc_res.ini", "0=APPROVED\n5=FIVE\n999=NO ANSWER\n");
    }
};

TEST_F(PrintingTest, SlipLinesGoToTheChequeFileAndTheSlipTag) {
    Engine().ProcessCommand("PRINT:A\x1b!B");
    Engine().ProcessCommand("PRINT:");
    Engine().ProcessCommand("PRINT:END\x1b");
    EXPECT_EQ(Read("cheq.out"), "A  B\n\nEND  \n");
    EXPECT_EQ(tags.Get("slip"), "A  B\r\n\r\nEND  ");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"OK", "OK", "OK"}));
}

TEST_F(PrintingTest, PrinterEscapesPassWhenThePrinterTakesThem) {
    Ini("USE_PRINTER_ESC=1\n");
    Engine().ProcessCommand("PRINT:A\x1b!B");
    EXPECT_EQ(Read("cheq.out"), "A\x1b!B\n");
}

TEST_F(PrintingTest, PrintBufferIsSentInBlocksOfAtMostOneKilobyte) {
    std::string buffer;
    std::string blocks[3];
    for (int line = 0; line < 30; ++line) {
        const std::string text(100, static_cast<char>('a' + line));
        buffer += (line ? "\r\n" : "") + text;
        blocks[line / 10] += text + "\n";
    }
    tags.Add("print_buffer", buffer);
    Engine().ProcessCommand("PRINTRQ:");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"PRINT:" + blocks[0], "PRINT:" + blocks[1],
                                                "PRINTFINAL:" + blocks[2]}));
}

TEST_F(PrintingTest, PrintBufferWithoutLineEndIsOneFinalMessage) {
    Engine().ProcessCommand("PRINTRQ:");
    tags.Add("print_buffer", "TEXT");
    Engine().ProcessCommand("PRINTRQ:");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ER", "PRINTFINAL:TEXT\n"}));
}

TEST_F(PrintingTest, TechnicalCheckStatesTheCodeAndItsMessage) {
    Engine().PrintTechCheck(5);
    EXPECT_EQ(Read("cheq.out"), kAnswerCode + "000 (005)\nAPPROVED\n");
    Engine().PrintTechCheck(999);
    EXPECT_EQ(Read("cheq.out"), kError + "\n" + kErrorCode + "999 (999)\nNO ANSWER\n");
    Engine().Settings().MakePair("USEORIGINALRC", "1");
    Engine().PrintTechCheck(5);
    EXPECT_EQ(Read("cheq.out"), kAnswerCode + "000 (005)\nFIVE\n");
}

TEST_F(PrintingTest, RunWithoutSlipKeepsTheTechnicalCheckOfItsLastCode) {
    Engine().ProcessCommand("STORERC:5");
    EXPECT_EQ(Read("cheq.out"), kAnswerCode + "000 (005)\nAPPROVED\n");
    Engine().ProcessCommand("PRINT:SLIP");
    Engine().ProcessCommand("STORERC:999");
    EXPECT_EQ(Read("cheq.out"), "SLIP\n");
}

TEST_F(PrintingTest, OperationDetailsAnswer) {
    Engine().ProcessCommand(
        "OPDET:a\x1b"
        "b\x1b"
        "c");
    Engine().ProcessCommand(
        "OPDET:a\x1b"
        "b\x1b"
        "c\x1b"
        "d");
    Engine().Settings().MakePair("DEF_OPDET_RESPONCE", "YES");
    Engine().ProcessCommand(
        "OPDET:a\x1b"
        "b\x1b"
        "c\x1b"
        "d");
    Engine().Settings().MakePair("DEF_OPDET_RESPONCE", "MAYBE");
    Engine().ProcessCommand(
        "OPDET:a\x1b"
        "b\x1b"
        "c\x1b"
        "d");
    Engine().Settings().MakePair("CANCEL_LAST_OP_AUTO", "1");
    Engine().ProcessCommand("OPDET:");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ER", "0", "1", "0", "1"}));
}

}  // namespace
