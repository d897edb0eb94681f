// How the plug-in treats the velrun process: time-out and kill, refused
// command line, missing program, abnormal end.
#include <QElapsedTimer>
#include <QFile>
#include <cerrno>
#include <csignal>

#include "ProcessingFixture.h"

namespace {

class PluginProcess : public ProcessingFixture {
protected:
    PaymentProcessingAnswer pay() {
        return m_processing->payment(makeRequest(PaymentProcessingRequest::Payment, 100));
    }
    QString leftChequeLine() const {
        return "E: Операция не завершена, слип не передан; файл чека оставлен: " + path("cheq.out");
    }
};

pid_t readPid(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    return static_cast<pid_t>(f.readAll().trimmed().toInt());
}

}  // namespace

// velrun ignores SIGTERM, so only the uncatchable kill can stop it. The slip
// printed before the time-out is not handed to the host as if the operation had
// completed; the log says where the cheque file was left.
TEST_F(PluginProcess, TimeOutKillsVelrunAfterConfiguredSeconds) {
    writeConf("[OrvexMultiMerchant.Main]\ntimeout=1\n");
    reload();
    writeVelrun("trap '' TERM\necho $$ > pid\nprintf 'SLIP\\n' > cheq.out\nexec sleep 60");
    QElapsedTimer timer;
    timer.start();
    const PaymentProcessingAnswer answer = pay();
    const qint64 elapsed = timer.elapsed();
    EXPECT_GE(elapsed, 900);
    EXPECT_LT(elapsed, 30000);
    EXPECT_EQ(answer.error, 1);
    EXPECT_EQ(answer.code, 0);
    EXPECT_EQ(answer.message, tr::Tr(tr::undefined, "Истёк таймаут выполнения команды"));
    EXPECT_TRUE(answer.slips.isEmpty());
    EXPECT_EQ(LogCapture::lines(),
              (QStringList{"E: Истёк таймаут выполнения команды",
                           "E: Процесс принудительно завершен", leftChequeLine()}));
    EXPECT_TRUE(QFile::exists(path("cheq.out")));
    const pid_t pid = readPid(path("pid"));
    ASSERT_GT(pid, 0);
    EXPECT_EQ(kill(pid, 0), -1) << "velrun still exists after the time-out";
    EXPECT_EQ(errno, ESRCH);
}

TEST_F(PluginProcess, NonZeroExitGivesStandardErrorAsMessage) {
    writeVelrun("echo 'Некорректный параметр' >&2\necho 'success=1'\nexit 1");
    const PaymentProcessingAnswer answer = pay();
    EXPECT_EQ(answer.error, 1);
    EXPECT_EQ(answer.code, 0);
    EXPECT_EQ(answer.message, tr::Tr(tr::undefined, "Некорректный параметр\n"));
    EXPECT_TRUE(answer.slips.isEmpty());
    EXPECT_EQ(LogCapture::lines(), QStringList{"E: Команда завершена с кодом ошибки (1), stderror: "
                                               "'Некорректный параметр\n'"});
}

TEST_F(PluginProcess, MissingOrUnrunnableVelrunIsReported) {
    const tr::Tr notFound("orvexMultimerchantVelrunNotFound",
                          "Ошибка запуска velrun, программа не найдена");
    for (bool present : {false, true}) {
        LogCapture::lines().clear();
        if (present) writeFile("velrun", "not executable\n");
        const PaymentProcessingAnswer answer = pay();
        EXPECT_EQ(answer.error, 1) << present;
        EXPECT_EQ(answer.message, notFound) << present;
        EXPECT_EQ(LogCapture::lines(), QStringList{"E: " + notFound.ru()}) << present;
    }
}

// A velrun that dies by a signal, or exits non-zero, after the terminal
// printed: the failed answer carries a message even without standard error,
// but no "approved" slip; the cheque file stays and the log names it.
TEST_F(PluginProcess, FailedRunCarriesNoSlipAndLogsTheChequeLeftBehind) {
    for (const char* end : {"kill -9 $$", "exit 3"}) {
        LogCapture::lines().clear();
        writeVelrun(QString("printf 'success=1\\n'\nprintf 'APPROVED SLIP\\n' > cheq.out\n") + end);
        const PaymentProcessingAnswer answer = pay();
        EXPECT_EQ(answer.error, 1) << end;
        EXPECT_EQ(answer.message,
                  tr::Tr("orvexMultimerchantOperationError", "Ошибка выполнения операции"))
            << end;
        EXPECT_TRUE(answer.slips.isEmpty()) << end;
        EXPECT_EQ(LogCapture::lines().value(1), leftChequeLine()) << end;
        EXPECT_TRUE(QFile::exists(path("cheq.out"))) << end;
    }
}
