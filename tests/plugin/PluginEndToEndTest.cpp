// poshost -> plug-in -> velrun -> libvelpad -> virtual pinpad: one approved
// payment whose slip reaches the answer.
#include "ProcessingFixture.h"

#if defined(VELRUN_FILE) && defined(VPINPAD_FILE)
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

namespace {

class PluginEndToEnd : public ProcessingFixture {
protected:
    // Starts the virtual pinpad on the scenario; it listens on a free loopback
    // port and writes that port into the given file once it accepts.
    bool startPinpad(const QString& scenario, const QString& portFile) {
        m_pinpad.start(VPINPAD_FILE, {"--scenario", QString(SCENARIO_DIR) + '/' + scenario,
                                      "--port-file", portFile});
        return m_pinpad.waitForStarted(10000);
    }

    void TearDown() override {
        if (m_pinpad.state() != QProcess::NotRunning) {
            m_pinpad.kill();
            m_pinpad.waitForFinished(10000);
        }
        ProcessingFixture::TearDown();
    }

    QProcess m_pinpad;
};

QString waitForPort(const QString& portFile) {
    for (int i = 0; i < 200; ++i) {
        QFile file(portFile);
        if (file.open(QIODevice::ReadOnly)) {
            const QString port = QString::fromUtf8(file.readAll()).trimmed();
            if (!port.isEmpty()) return port;
        }
        QThread::msleep(50);
    }
    return QString();
}

}  // namespace

TEST_F(PluginEndToEnd, ApprovedPaymentCarriesItsSlip) {
    const QString portFile = path("vpinpad.port");
    ASSERT_TRUE(startPinpad("approved_payment.scn", portFile));
    const QString port = waitForPort(portFile);
    ASSERT_FALSE(port.isEmpty()) << "virtual pinpad wrote no port";
    ASSERT_TRUE(QFile::copy(VELRUN_FILE, path("velrun")));
    writeFile("cashreg.ini",
              ("PORT=ETH\nADDR_IP=127.0.0.1\nPORT_IP=" + port + "\nCHEQ_FILE=cheq.out\n").toUtf8());
    QProcess host;
    host.start(POSHOST_FILE,
               {"--plugin", PLUGIN_FILE, "--dir", m_dir, "payment", "--amount", "10000"});
    ASSERT_TRUE(host.waitForFinished(90000)) << "poshost did not finish";
    const QString out = QString::fromUtf8(host.readAllStandardOutput());
    EXPECT_EQ(host.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("error=0\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("slip 1:\n")) << out.toStdString();
}

#else

TEST(PluginEndToEnd, ApprovedPaymentCarriesItsSlip) {
    GTEST_SKIP() << "velrun and vpinpad are not built in this tree";
}

#endif
