// The velrun command line of every host operation, and the 202 retry of a
// cancellation as a refund.
#include <QFile>
#include <functional>

#include "BasicPaymentProcessing.h"
#include "ProcessingFixture.h"

namespace {

using Type = PaymentProcessingRequest::Type;

class PluginArguments : public ProcessingFixture {
protected:
    void SetUp() override {
        ProcessingFixture::SetUp();
        writeVelrun("printf 'success=1\\ncode=0\\n'");
    }
};

struct OperationCase {
    const char* name;
    std::function<PaymentProcessingAnswer(AbstractPaymentProcessing&)> run;
    QStringList arguments;
};

const QStringList kRefund{"--command",        "4",  "--amount", "500", "--currency",    "643",
                          "--receipt_number", "77", "--rrn",    "R1",  "--terminal_id", "T9",
                          "--transaction_id", "R1"};

}  // namespace

TEST_F(PluginArguments, EachHostOperationStartsVelrunWithItsOptions) {
    const auto refund = makeRequest(Type::Return, 500, "T9", "R1", "77");
    const std::vector<OperationCase> cases{
        {"payment without terminal",
         [](auto& p) { return p.payment(makeRequest(Type::Payment, 100)); },
         {"--command", "1", "--amount", "100", "--currency", "643"}},
        {"payment with terminal",
         [](auto& p) { return p.payment(makeRequest(Type::Payment, 100, "T1")); },
         {"--command", "1", "--amount", "100", "--currency", "643", "--terminal_id", "T1"}},
        {"refund", [&](auto& p) { return p.payment(refund); }, kRefund},
        {"cancel with terminal", [&](auto& p) { return p.cancel(refund); }, kRefund},
        {"cancel without terminal",
         [](auto& p) { return p.cancel(makeRequest(Type::Payment, 100, "", "R1")); },
         {"--command", "2"}},
        {"totals", [](auto& p) { return p.checkTotals(5); }, {"--command", "12"}},
        {"full report", [](auto& p) { return p.printReport(); }, {"--command", "7"}},
        {"merchant report",
         [](auto& p) { return p.printReportByMerchantId("M 1"); },
         {"--command", "7", "--terminal_id", "M 1"}},
        {"short report", [](auto& p) { return p.printShortReport(); }, {"--command", "8"}},
        {"QR payment",
         [](auto& p) { return p.paymentByQRCodeOnPinPad(makeRequest(Type::Payment, 250)); },
         {"--command", "102", "--amount", "250"}},
        {"QR refund",
         [&](auto& p) { return p.paymentByQRCodeOnPinPad(refund); },
         {"--command", "103", "--amount", "500", "--rrn", "R1", "--transaction_id", "R1"}},
        {"QR cancel",
         [&](auto& p) { return p.cancelByQRCodeOnPinPad(refund); },
         {"--command", "103", "--amount", "500", "--rrn", "R1", "--transaction_id", "R1"}},
    };
    for (const auto& c : cases) {
        QFile::remove(path("calls.txt"));
        const PaymentProcessingAnswer answer = c.run(*m_processing);
        EXPECT_EQ(answer.error, 0) << c.name;
        const auto runs = calls();
        ASSERT_EQ(runs.size(), 1u) << c.name;
        EXPECT_EQ(runs[0], c.arguments) << c.name << ": " << runs[0].join(' ').toStdString();
    }
}

TEST_F(PluginArguments, OperationsWithoutVelrunAnswerAtOnce) {
    const PaymentProcessingAnswer copy = m_processing->printCopy(1);
    EXPECT_EQ(copy.error, 1);
    EXPECT_EQ(copy.message, tr::Tr("orvexMultimerchantNotSupported", "Не поддерживается"));
    EXPECT_EQ(LogCapture::lines(), QStringList{"I: Печать копии чека не поддерживается"});

    for (Type type : {Type::Undefined, Type::Cancel}) {
        for (const auto& answer : {m_processing->payment(makeRequest(type, 1)),
                                   m_processing->paymentByQRCodeOnPinPad(makeRequest(type, 1))}) {
            EXPECT_EQ(answer.error, 1);
            EXPECT_EQ(answer.code, 0);
            EXPECT_TRUE(answer.message.isEmpty());
            EXPECT_TRUE(answer.slips.isEmpty());
        }
    }
    EXPECT_TRUE(calls().empty());

    EXPECT_TRUE(m_processing->isPaymentEnable(Type::Payment));
    EXPECT_TRUE(m_processing->isPaymentEnable(Type::Return));
    EXPECT_FALSE(m_processing->isPaymentEnable(Type::Cancel));
    EXPECT_TRUE(m_processing->isCancelEnable(Type::Payment));
    EXPECT_FALSE(m_processing->isCancelEnable(Type::Return));
    for (auto option :
         {EPaymentProcessingOption::ReportByMerchantId, EPaymentProcessingOption::SlipInAnswer,
          EPaymentProcessingOption::QRCodeOnPinPad})
        EXPECT_TRUE(m_processing->checkOption(option));
}

// The host finds the processing object by these names; no other name casts.
TEST_F(PluginArguments, InterfaceCastAnswersItsThreeNames) {
    auto* object = dynamic_cast<QObject*>(m_processing.get());
    ASSERT_NE(object, nullptr);
    auto* basic = dynamic_cast<BasicPaymentProcessing*>(m_processing.get());
    EXPECT_EQ(object->qt_metacast("OrvexMultimerchantPaymentProcessing"), object);
    EXPECT_EQ(object->qt_metacast("BasicPaymentProcessing"), basic);
    EXPECT_EQ(object->qt_metacast("BrivanePaymentProcessing/1.0"), m_processing.get());
    EXPECT_EQ(qobject_cast<AbstractPaymentProcessing*>(object), m_processing.get());
    EXPECT_EQ(object->qt_metacast("AbstractPaymentProcessing"), nullptr);
    EXPECT_EQ(object->qt_metacast("OrvexMultimerchantPaymentProcessingFactory"), nullptr);
}

TEST_F(PluginArguments, CancellationAnswered202IsRunAgainAsRefund) {
    writeVelrun(
        "if [ \"$2\" = 4 ]; then printf 'success=0\\ncode=202\\nmessage=first\\n';"
        " else printf 'success=1\\ncode=0\\nrrn=SECOND\\n'; fi");
    const PaymentProcessingAnswer answer =
        m_processing->payment(makeRequest(Type::Return, 500, "T9", "R1", "77"));
    const auto runs = calls();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], kRefund);
    QStringList second = kRefund;
    second[1] = "3";
    EXPECT_EQ(runs[1], second);
    EXPECT_EQ(answer.error, 0);
    EXPECT_EQ(answer.rrn, "SECOND");
    EXPECT_TRUE(answer.message.isEmpty());
}

TEST_F(PluginArguments, CancellationWithOtherCodeIsNotRepeated) {
    writeVelrun("printf 'success=0\\ncode=203\\nmessage=declined\\n'");
    const PaymentProcessingAnswer answer =
        m_processing->cancel(makeRequest(Type::Payment, 500, "T9", "R1", "77"));
    EXPECT_EQ(calls().size(), 1u);
    EXPECT_EQ(answer.code, 203);
    EXPECT_EQ(answer.message.ru(), "declined");
}
