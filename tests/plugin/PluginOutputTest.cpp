// Turning velrun's output lines and the cheque file into the answer.
#include <QFile>

#include "ProcessingFixture.h"

namespace {

class PluginOutput : public ProcessingFixture {
protected:
    // velrun printing exactly these bytes on standard output.
    PaymentProcessingAnswer runWithOutput(const QByteArray& output) {
        writeFile("out.txt", output);
        writeVelrun("cat out.txt");
        return m_processing->payment(makeRequest(PaymentProcessingRequest::Payment, 100));
    }
};

const tr::Tr kOperationError("orvexMultimerchantOperationError", "Ошибка выполнения операции");

}  // namespace

TEST_F(PluginOutput, SuccessLineDecidesTheErrorFlag) {
    const std::vector<std::pair<QByteArray, int>> cases{
        {"success=1\n", 0},     {"success=true\n", 0}, {"success=yes\n", 0},
        {"success=2\n", 0},     {"success=0\n", 1},    {"success=false\n", 1},
        {"success=FaLsE\n", 1}, {"success=\n", 1},     {"code=0\n", 1},
    };
    for (const auto& [output, error] : cases) {
        const PaymentProcessingAnswer answer = runWithOutput(output);
        EXPECT_EQ(answer.error, error) << output.toStdString();
        EXPECT_EQ(answer.code, 0) << output.toStdString();
        EXPECT_EQ(answer.message, error ? kOperationError : tr::Tr(tr::undefined, ""))
            << output.toStdString();
    }
}

TEST_F(PluginOutput, AllFieldsAreTakenFromTheirLines) {
    const PaymentProcessingAnswer answer = runWithOutput(
        "authorizationCode=A1\ncardNumber=4000****0002\ncardType=DEBIT\ncode=-17\n"
        "message=Отказ\nrrn=123456\nsuccess=0\nterminalId=T1\n");
    EXPECT_EQ(answer.error, 1);
    EXPECT_EQ(answer.code, -17);
    EXPECT_EQ(answer.message, tr::Tr(tr::undefined, "Отказ"));
    EXPECT_EQ(answer.authorizationCode, "A1");
    EXPECT_EQ(answer.cardNumber, "4000****0002");
    EXPECT_EQ(answer.cardType, "DEBIT");
    EXPECT_EQ(answer.rrn, "123456");
    EXPECT_EQ(answer.terminalId, "T1");
    EXPECT_EQ(LogCapture::lines().value(0),
              "I: Ответ от процессинга: authorizationCode=A1\ncardNumber=4000****0002\n"
              "cardType=DEBIT\ncode=-17\nmessage=Отказ\nrrn=123456\nsuccess=0\nterminalId=T1\n");
}

TEST_F(PluginOutput, LinesAreSplitAtTheFirstEqualsOnlyAndNotTrimmed) {
    const PaymentProcessingAnswer answer = runWithOutput(
        "garbage line\nmessage=a=b==c\nrrn= 12 \ncode=abc\ncardType=first\ncardType=last\n"
        "=orphan\nsuccess=1");
    EXPECT_EQ(answer.message.ru(), "a=b==c");
    EXPECT_EQ(answer.rrn, " 12 ");
    EXPECT_EQ(answer.code, 0);
    EXPECT_EQ(answer.cardType, "last");
    EXPECT_EQ(answer.error, 0);
}

TEST_F(PluginOutput, ValuesAreDecodedWithTheConfiguredEncoding) {
    const QByteArray cp1251Message = "message=\xCE\xE4\xEE\xE1\xF0\xE5\xED\xEE\n";  // Одобрено
    writeConf("[OrvexMultiMerchant.Main]\nencoding=windows-1251\n");
    reload();
    EXPECT_EQ(runWithOutput(cp1251Message).message.ru(), "Одобрено");

    writeConf("[OrvexMultiMerchant.Main]\nencoding=no-such-encoding\n");
    reload();
    EXPECT_EQ(runWithOutput("message=Одобрено\n").message.ru(), "Одобрено");
}

// The cheque file is the slip only when this run wrote it: it exists and
// changed while velrun ran, and the run was not refused because another run
// holds the pinpad (which may be writing the file meanwhile). The plug-in
// never deletes it.
TEST_F(PluginOutput, ChequeFileIsTheSlipOnlyWhenThisRunWroteIt) {
    const QString busy =
        "printf 'code=-1\\nmessage=Пин-пад занят другой операцией\\nsuccess=0\\n'\n";
    const struct {
        const char* what;
        QString velrun;
        QStringList slips;
    } cases[] = {
        {"written",
         "printf 'success=1\\n'\nprintf 'ЧЕК\\nИТОГ 1.00\\n' > cheq.out",
         {"ЧЕК\nИТОГ 1.00\n"}},
        {"emptied", "printf 'success=1\\n'\n: > cheq.out", {}},
        {"left as it was", "printf 'success=1\\n'", {}},
        {"failed run's slip",
         "printf 'code=-1\\nsuccess=0\\n'\nprintf 'ОТКАЗ\\n' > cheq.out",
         {"ОТКАЗ\n"}},
        {"refused as busy", busy + "printf 'ЧУЖОЙ\\n' >> cheq.out", {}},
        {"removed", "printf 'success=1\\n'\nrm cheq.out", {}},
    };
    for (const auto& run : cases) {
        LogCapture::lines().clear();
        writeFile("cheq.out", "OLD SLIP\n");
        writeVelrun(run.velrun);
        const PaymentProcessingAnswer answer = m_processing->printReport();
        EXPECT_EQ(answer.slips, run.slips) << run.what;
        EXPECT_EQ(LogCapture::lines().filter("I: Слип: ").size(), run.slips.size()) << run.what;
    }
    writeFile("cheq.out", "OLD SLIP\n");
    writeVelrun("printf 'success=1\\n'");
    m_processing->printReport();
    QFile left(path("cheq.out"));
    ASSERT_TRUE(left.open(QIODevice::ReadOnly)) << "the cheque file was deleted";
    EXPECT_EQ(left.readAll(), "OLD SLIP\n");
}

// A cheque file left in the terminal's single-byte encoding is read with the
// configured encoding rather than garbled as UTF-8.
TEST_F(PluginOutput, SingleByteSlipIsReadWithConfiguredEncoding) {
    writeConf("[OrvexMultiMerchant.Main]\nencoding=windows-1251\n");
    reload();
    writeFile("slip.bin", "\xD7\xC5\xCA\n");  // ЧЕК
    writeVelrun("printf 'success=1\\n'\ncp slip.bin cheq.out");
    EXPECT_EQ(m_processing->printReport().slips, QStringList{"ЧЕК\n"});
}
