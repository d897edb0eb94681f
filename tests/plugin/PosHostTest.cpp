// poshost loads the plug-in file, checks it, and prints the answer of one
// operation.
#include <QProcess>

#include "ProcessingFixture.h"

namespace {

struct HostRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class PosHost : public ProcessingFixture {
protected:
    HostRun runHost(const QStringList& arguments) {
        QProcess host;
        host.start(POSHOST_FILE, arguments);
        HostRun run;
        if (!host.waitForFinished(60000)) {
            host.kill();
            host.waitForFinished();
            ADD_FAILURE() << "poshost did not finish";
            return run;
        }
        run.exitCode = host.exitCode();
        run.out = QString::fromUtf8(host.readAllStandardOutput());
        run.err = QString::fromUtf8(host.readAllStandardError());
        return run;
    }
};

}  // namespace

TEST_F(PosHost, RunsOneOperationAndPrintsTheAnswerWithItsSlip) {
    writeVelrun(
        "printf 'authorizationCode=A7\\ncode=0\\nmessage=ОДОБРЕНО\\nrrn=R5\\nsuccess=1\\n"
        "terminalId=T2\\n'\nprintf 'ОПЛАТА\\n' > cheq.out");
    const HostRun run = runHost({"--plugin", PLUGIN_FILE, "--dir", m_dir, "payment", "--amount",
                                 "1500", "--terminal", "T2"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              "code=0\nerror=0\nmessageId=undefined\nmessage=ОДОБРЕНО\ncardType=\ncardNumber=\n"
              "authorizationCode=A7\nrrn=R5\nterminalId=T2\nslip 1:\nОПЛАТА\n\n");
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_EQ(calls()[0], (QStringList{"--command", "1", "--amount", "1500", "--currency", "643",
                                       "--terminal_id", "T2"}));
}

TEST_F(PosHost, FailedAnswerAndBadInputHaveTheirExitStatus) {
    writeVelrun("printf 'success=0\\ncode=5\\n'");
    const HostRun failed = runHost({"--plugin", PLUGIN_FILE, "--dir", m_dir, "shortreport"});
    EXPECT_EQ(failed.exitCode, 2);
    EXPECT_TRUE(failed.out.startsWith("code=5\nerror=1\n")) << failed.out.toStdString();

    const HostRun notPlugin = runHost({"--plugin", POSHOST_FILE, "--dir", m_dir, "report"});
    EXPECT_EQ(notPlugin.exitCode, 1);
    EXPECT_TRUE(notPlugin.err.contains("not a payment plug-in")) << notPlugin.err.toStdString();

    const HostRun unknown = runHost({"--plugin", PLUGIN_FILE, "--dir", m_dir, "dance"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(calls().size(), 1u);
}

// Every operation poshost names reaches the plug-in operation of that name:
// each starts velrun with its own command code (a refund, type 3, goes through
// the cancel-or-return pair), and the copy, which the plug-in does not
// support, starts none.
TEST_F(PosHost, EveryOperationOfThePlugInRuns) {
    writeVelrun("printf 'success=1\\ncode=0\\n'");
    const std::vector<std::pair<QStringList, QString>> operations{
        {{"payment"}, "1"},     {{"payment", "--type", "3", "--rrn", "R1"}, "4"},
        {{"cancel"}, "2"},      {{"cancel", "--terminal", "T1", "--rrn", "R1"}, "4"},
        {{"qrpayment"}, "102"}, {{"qrcancel", "--rrn", "R1"}, "103"},
        {{"totals"}, "12"},     {{"report"}, "7"},
        {{"shortreport"}, "8"}, {{"merchantreport", "--merchant", "M1"}, "7"},
    };
    for (const auto& [arguments, command] : operations) {
        const size_t before = calls().size();
        const HostRun run = runHost(QStringList{"--plugin", PLUGIN_FILE, "--dir", m_dir} +
                                    arguments + QStringList{"--amount", "100"});
        EXPECT_EQ(run.exitCode, 0) << arguments.join(' ').toStdString() << run.err.toStdString();
        ASSERT_EQ(calls().size(), before + 1) << arguments.join(' ').toStdString();
        EXPECT_EQ(calls().back().mid(0, 2), (QStringList{"--command", command}))
            << arguments.join(' ').toStdString();
    }
    const size_t before = calls().size();
    const HostRun copy = runHost({"--plugin", PLUGIN_FILE, "--dir", m_dir, "copy"});
    EXPECT_EQ(copy.exitCode, 2);
    EXPECT_TRUE(copy.out.contains("messageId=orvexMultimerchantNotSupported"))
        << copy.out.toStdString();
    EXPECT_EQ(calls().size(), before);
}
