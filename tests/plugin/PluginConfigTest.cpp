// Reading "orvexmultimerchant.conf" when the processing directory changes.
#include <QFile>

#include "BasicPaymentProcessing.h"
#include "ProcessingFixture.h"

namespace {

class PluginConfig : public ProcessingFixture {
protected:
    QString currencyOfPayment() {
        QFile::remove(path("calls.txt"));
        m_processing->payment(makeRequest(PaymentProcessingRequest::Payment, 100));
        const auto runs = calls();
        const int at = runs.empty() ? -1 : runs.back().indexOf("--currency");
        return at < 0 ? QString() : runs.back().value(at + 1);
    }
};

}  // namespace

TEST_F(PluginConfig, ConfigurationIsReadOnlyWhenTheDirectoryChanges) {
    writeVelrun("printf 'success=1\\n'");
    EXPECT_EQ(currencyOfPayment(), "643");

    writeConf("[OrvexMultiMerchant.Main]\ncurrency=978\n");
    m_processing->setProcessingDirectory(m_dir);
    EXPECT_EQ(currencyOfPayment(), "643") << "same directory read again";

    TempDir other;
    m_processing->setProcessingDirectory(other.path());
    m_processing->setProcessingDirectory(m_dir);
    EXPECT_EQ(currencyOfPayment(), "978");
}

TEST_F(PluginConfig, EmptyDirectorySelectsTheDefault) {
    auto* basic = dynamic_cast<BasicPaymentProcessing*>(m_processing.get());
    ASSERT_NE(basic, nullptr);
    EXPECT_EQ(basic->processingDirectory(), m_dir);
    m_processing->setProcessingDirectory(QString());
    EXPECT_EQ(basic->processingDirectory(), "/posroot/cash/paysystems/orvexmultimerchant");
}

// A time-out of zero would kill every run at once; it is taken as the default.
TEST_F(PluginConfig, NonPositiveTimeOutFallsBackToDefault) {
    writeVelrun("printf 'success=1\\n'");
    for (const char* value : {"0", "-5"}) {
        writeConf(QString("[OrvexMultiMerchant.Main]\ntimeout=%1\n").arg(value));
        reload();
        EXPECT_EQ(m_processing->printReport().error, 0) << value;
    }
}
