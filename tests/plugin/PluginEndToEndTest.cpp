// poshost -> plug-in -> velrun -> libvelpad -> virtual pinpad: an approved
// payment whose slip reaches the answer, a declined one, and a request made
// while a payment holds the pinpad.
#include "ProcessingFixture.h"

#if defined(VELRUN_FILE) && defined(VPINPAD_FILE)
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

namespace {

class PluginEndToEnd : public ProcessingFixture {
protected:
    void TearDown() override {
        if (m_pinpad.state() != QProcess::NotRunning) {
            m_pinpad.kill();
            m_pinpad.waitForFinished(10000);
        }
        ProcessingFixture::TearDown();
    }

    // The example installation in the processing directory, with velrun, the
    // pinpad link on the given relay port and the settings appended to
    // cashreg.ini.
    void install(const QString& port, const QStringList& settings = {}) {
        const QDir example(EXAMPLE_INSTALL_DIR);
        for (const QString& name : example.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(example.filePath(name), path(name))) << name.toStdString();
        QFile ini(path("cashreg.ini"));
        ASSERT_TRUE(ini.open(QIODevice::ReadWrite));
        QString text = QString::fromUtf8(ini.readAll());
        text.replace(QRegularExpression("^PORT_IP=.*$", QRegularExpression::MultilineOption),
                     "PORT_IP=" + port);
        for (const QString& setting : settings) text += '\n' + setting + '\n';
        ini.resize(0);
        ini.write(text.toUtf8());
        ini.close();
        // The terminal's texts and slip arrive in its single-byte encoding.
        writeConf("[OrvexMultiMerchant.Main]\ntimeout=60\nencoding=windows-1251\ncurrency=643\n");
        ASSERT_TRUE(QFile::link(VELRUN_FILE, path("velrun")));
    }

    // Starts the virtual pinpad on a free loopback port; returns that port
    // once the pinpad has written it.
    QString startPinpad(const QString& scenario, const QStringList& extra = {}) {
        const QString portFile = path("vpinpad.port");
        m_pinpad.start(VPINPAD_FILE,
                       QStringList{"--scenario", scenarioPath(scenario), "--port-file", portFile,
                                   "--transcript", path("transcript"), "--timeout", "60"} +
                           extra);
        if (!m_pinpad.waitForStarted(10000)) return QString();
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired() && m_pinpad.state() == QProcess::Running) {
            QFile file(portFile);
            if (file.open(QIODevice::ReadOnly)) return QString::fromUtf8(file.readAll()).trimmed();
            QThread::msleep(20);
        }
        return QString();
    }

    // A scenario of a test-only pinpad, or else a shipped one.
    static QString scenarioPath(const QString& name) {
        const QString testOnly = QString(TEST_SCENARIO_DIR) + '/' + name;
        return QFile::exists(testOnly) ? testOnly : QString(SCENARIO_DIR) + '/' + name;
    }

    // Starts a payment of 15.00 through poshost and the plug-in.
    void startPayment(QProcess& host) const {
        host.start(POSHOST_FILE,
                   {"--plugin", PLUGIN_FILE, "--dir", m_dir, "payment", "--amount", "1500"});
    }

    // poshost's output once it has finished; its exit code in m_hostExit.
    QString hostAnswer(QProcess& host) {
        EXPECT_TRUE(host.waitForFinished(90000)) << "poshost did not finish";
        m_hostExit = host.exitCode();
        return QString::fromUtf8(host.readAllStandardOutput());
    }

    // A payment of 15.00 through poshost and the plug-in; poshost's output.
    QString payThroughHost() {
        QProcess host;
        startPayment(host);
        return hostAnswer(host);
    }

    // Waits until the file in the processing directory holds exactly content,
    // while host runs.
    bool waitForFile(const QString& name, const QByteArray& content, const QProcess& host) const {
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired() && host.state() != QProcess::NotRunning) {
            QFile file(path(name));
            if (file.open(QIODevice::ReadOnly) && file.readAll() == content) return true;
            QThread::msleep(20);
        }
        return false;
    }

    // Waits for the pinpad to play its scenario to the end.
    void expectScenarioPlayed() {
        ASSERT_TRUE(m_pinpad.waitForFinished(60000));
        EXPECT_EQ(m_pinpad.exitCode(), 0) << m_pinpad.readAllStandardError().toStdString();
    }

    QProcess m_pinpad;
    int m_hostExit = -1;
};

}  // namespace

TEST_F(PluginEndToEnd, ApprovedPaymentCarriesItsSlip) {
    const QString port = startPinpad("approved_payment.vps");
    ASSERT_FALSE(port.isEmpty()) << "virtual pinpad wrote no port";
    install(port);

    const QString out = payThroughHost();
    EXPECT_EQ(m_hostExit, 0) << out.toStdString();
    EXPECT_TRUE(out.startsWith("code=0\nerror=0\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("terminalId=00012345\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("slip 1:\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("TERMINAL 00012345   MERCHANT 7700001\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("ОПЛАТА\n")) << out.toStdString();

    expectScenarioPlayed();
}

// A terminal number holding line breaks and key=value text reaches the host
// as one value: the declined payment stays declined.
TEST_F(PluginEndToEnd, LinesInjectedThroughAValueDoNotTurnADeclineIntoSuccess) {
    const QString port =
        startPinpad("declined_payment.vps", {"--var", "TERMINAL_ID=00012345\nsuccess=1\ncode=0"});
    ASSERT_FALSE(port.isEmpty()) << "virtual pinpad wrote no port";
    install(port);

    const QString out = payThroughHost();
    EXPECT_TRUE(out.startsWith("code=51\nerror=1\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("terminalId=00012345 success=1 code=0\n")) << out.toStdString();

    expectScenarioPlayed();
}

// A second request while a payment holds the pinpad is refused as busy, with
// the text that says so and without a slip; the payment's slip, written
// before the second request came, still reaches the payment's answer.
TEST_F(PluginEndToEnd, RequestWhileAPaymentHoldsThePinpadIsRefusedAsBusy) {
    const QString port = startPinpad("slip_then_pause.vps");
    ASSERT_FALSE(port.isEmpty()) << "virtual pinpad wrote no port";
    install(port, {"TIMEOUT=10000", "PPAD_LOCK_TO=300"});

    QProcess payment;
    startPayment(payment);
    // The result is stored after the slip; from then on the pinpad only pauses.
    ASSERT_TRUE(waitForFile("rc.out", "000\n", payment))
        << "the payment stored no result: " << payment.readAllStandardError().toStdString();
    QProcess second;
    startPayment(second);
    const QString refused = hostAnswer(second);
    EXPECT_EQ(m_hostExit, 2) << refused.toStdString();
    EXPECT_TRUE(
        refused.startsWith("code=-1\nerror=1\nmessageId=undefined\n"
                           "message=Пин-пад занят другой операцией\n"))
        << refused.toStdString();
    EXPECT_FALSE(refused.contains("slip")) << refused.toStdString();

    const QString paid = hostAnswer(payment);
    EXPECT_EQ(m_hostExit, 0) << paid.toStdString();
    EXPECT_TRUE(paid.startsWith("code=0\nerror=0\n")) << paid.toStdString();
    EXPECT_TRUE(paid.contains("slip 1:\nTERMINAL 00012345\nОПЛАТА\n")) << paid.toStdString();

    expectScenarioPlayed();
}

#else

TEST(PluginEndToEnd, ApprovedPaymentCarriesItsSlip) {
    GTEST_SKIP() << "velrun and vpinpad are not built in this tree";
}

#endif
