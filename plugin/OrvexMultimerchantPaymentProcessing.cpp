#include "OrvexMultimerchantPaymentProcessing.h"

#include <log4qt/logger.h>
#include <log4qt/logmanager.h>
#include <sys/stat.h>

#include <QFile>
#include <QProcess>
#include <QStringDecoder>
#include <QTextCodec>
#include <limits>
#include <tuple>

#include "Config.h"
#include "FileUtils.h"

namespace {

const char kDefaultDirectory[] = "/posroot/cash/paysystems/orvexmultimerchant";
const char kChequeFile[] = "/cheq.out";
const int kDefaultTimeout = 300;
// How long to wait for the child to be reaped after the uncatchable kill.
const int kKillWaitMs = 5000;

// velrun's code and message of a run refused because another run holds the
// pinpad: that run, not this one, is writing the cheque file.
const int kPinpadBusyCode = -1;
const char kPinpadBusy[] = "Пин-пад занят другой операцией";

// What tells one cheque file from another. The library replaces the file with
// a new one when its run begins and writes every slip line to it, so a run
// that wrote a slip leaves a file whose identity changed.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    time_t modifiedSeconds = 0;
    long modifiedNanoseconds = 0;

    bool operator!=(const FileIdentity& other) const {
        return std::tie(exists, device, inode, size, modifiedSeconds, modifiedNanoseconds) !=
               std::tie(other.exists, other.device, other.inode, other.size, other.modifiedSeconds,
                        other.modifiedNanoseconds);
    }
};

FileIdentity identityOf(const QString& path) {
    struct stat status {};
    FileIdentity identity;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) return identity;
    identity.exists = true;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    identity.size = status.st_size;
    identity.modifiedSeconds = status.st_mtim.tv_sec;
    identity.modifiedNanoseconds = status.st_mtim.tv_nsec;
    return identity;
}

bool refusedAsBusy(const OrvexMultimerchantPaymentProcessing::Parameters& result) {
    return !result.value("success").toBool() && result.value("code").toInt() == kPinpadBusyCode &&
           result.value("message").toString() == QString(kPinpadBusy);
}

QStringList velrunArguments(const OrvexMultimerchantPaymentProcessing::Parameters& parameters,
                            int command) {
    QStringList arguments{"--command", QString::number(command)};
    for (auto it = parameters.begin(); it != parameters.end(); ++it)
        arguments << "--" + it.key() << it.value().toString();
    return arguments;
}

}  // namespace

OrvexMultimerchantPaymentProcessing::OrvexMultimerchantPaymentProcessing()
    : logger(Log4Qt::LogManager::logger("payment")), timeout(kDefaultTimeout), codec(nullptr) {
    setOption(EPaymentProcessingOption::ReportByMerchantId, true);
    setOption(EPaymentProcessingOption::SlipInAnswer, true);
    setOption(EPaymentProcessingOption::QRCodeOnPinPad, true);
    setProcessingDirectory(QString());
}

bool OrvexMultimerchantPaymentProcessing::isPaymentEnable(
    PaymentProcessingRequest::Type type) const {
    return type == PaymentProcessingRequest::Payment || type == PaymentProcessingRequest::Return;
}

bool OrvexMultimerchantPaymentProcessing::isCancelEnable(
    PaymentProcessingRequest::Type type) const {
    return type == PaymentProcessingRequest::Payment;
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::payment(
    const PaymentProcessingRequest& request) {
    if (request.type == PaymentProcessingRequest::Return)
        return cancelOrReturn(refundParameters(request));
    if (request.type != PaymentProcessingRequest::Payment) return PaymentProcessingAnswer();
    Parameters parameters{{"amount", QString::number(request.amount)}, {"currency", currency}};
    if (!request.terminalId.isEmpty()) parameters.insert("terminal_id", request.terminalId);
    return execute(parameters, 1);
}

OrvexMultimerchantPaymentProcessing::Parameters
OrvexMultimerchantPaymentProcessing::refundParameters(
    const PaymentProcessingRequest& request) const {
    Parameters parameters{{"amount", QString::number(request.amount)},
                          {"currency", currency},
                          {"rrn", request.rrn},
                          {"transaction_id", request.rrn},
                          {"receipt_number", request.receiptNumber}};
    if (!request.terminalId.isEmpty()) parameters.insert("terminal_id", request.terminalId);
    return parameters;
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::cancel(
    const PaymentProcessingRequest& request) {
    if (request.terminalId.isEmpty()) return execute(Parameters(), 2);
    return cancelOrReturn(refundParameters(request));
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::checkTotals(int) {
    return execute(Parameters(), 12);
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::printCopy(int) {
    logger->info("Печать копии чека не поддерживается");
    return PaymentProcessingAnswer::failure(
        tr::Tr("orvexMultimerchantNotSupported", "Не поддерживается"));
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::printReport() {
    return execute(Parameters(), 7);
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::printReportByMerchantId(
    const QString& merchantId) {
    logger->info("Печать полного отчета для юр. лица(merchantId = %1)", merchantId);
    return execute({{"terminal_id", merchantId}}, 7);
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::printShortReport() {
    return execute(Parameters(), 8);
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::paymentByQRCodeOnPinPad(
    const PaymentProcessingRequest& request) {
    if (request.type == PaymentProcessingRequest::Return) return cancelByQRCodeOnPinPad(request);
    if (request.type != PaymentProcessingRequest::Payment) return PaymentProcessingAnswer();
    return execute({{"amount", QString::number(request.amount)}}, 102);
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::cancelByQRCodeOnPinPad(
    const PaymentProcessingRequest& request) {
    return execute({{"amount", QString::number(request.amount)},
                    {"transaction_id", request.rrn},
                    {"rrn", request.rrn}},
                   103);
}

void OrvexMultimerchantPaymentProcessing::setProcessingDirectory(const QString& directory) {
    const QString effective = directory.isEmpty() ? QString(kDefaultDirectory) : directory;
    if (effective == m_processingDirectory) return;
    m_processingDirectory = effective;
    readConfiguration();
}

void OrvexMultimerchantPaymentProcessing::readConfiguration() {
    Config* config = Singleton<Config>::instance();
    if (!config) {
        config = new Config();
        Singleton<Config>::setInstance(config);
    }
    const QString path = m_processingDirectory + "/orvexmultimerchant.conf";
    config->loadFile(path, "OrvexMultiMerchant");
    timeout = config->getInt("OrvexMultiMerchant.Main:timeout", kDefaultTimeout);
    const QString encoding = config->getString("OrvexMultiMerchant.Main:encoding", "UTF-8");
    codec = QTextCodec::codecForName(encoding.toLatin1());
    currency = config->getString("OrvexMultiMerchant.Main:currency", "643");
    config->loadSection(path, "OrvexMultiMerchant.Main");
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::cancelOrReturn(
    const Parameters& parameters) const {
    PaymentProcessingAnswer answer = execute(parameters, 4);
    if (answer.code == 202) return execute(parameters, 3);
    return answer;
}

// The cheque file is never deleted here: while another run is in progress it
// holds that run's slip. The library replaces it itself once it holds the
// pinpad, so the file is this run's only when it changed while velrun ran.
PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::execute(const Parameters& parameters,
                                                                     int command) const {
    const FileIdentity before = identityOf(chequePath());
    QProcess process;
    process.setWorkingDirectory(m_processingDirectory);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start("./velrun", velrunArguments(parameters, command), QIODevice::ReadWrite);
    if (!process.waitForFinished(waitMilliseconds()) && process.state() != QProcess::NotRunning)
        return timedOut(process);
    // Checked before the exit code: Qt gives a process that never started a
    // non-zero exit code, which would otherwise read as a refused command line.
    if (process.error() == QProcess::FailedToStart) return notStarted();
    if (process.exitStatus() == QProcess::CrashExit || process.exitCode() != 0)
        return refused(process);
    const FileIdentity after = identityOf(chequePath());
    return completed(process, after.exists && after != before);
}

QString OrvexMultimerchantPaymentProcessing::chequePath() const {
    return m_processingDirectory + kChequeFile;
}

// A time-out of zero or less would mean "kill at once" or "wait for ever";
// both are treated as the default. Seconds beyond what fits are capped.
int OrvexMultimerchantPaymentProcessing::waitMilliseconds() const {
    const qint64 seconds = timeout > 0 ? timeout : kDefaultTimeout;
    return static_cast<int>(qMin<qint64>(seconds * 1000, std::numeric_limits<int>::max()));
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::timedOut(QProcess& process) const {
    const QString text = "Истёк таймаут выполнения команды";
    logger->error(text);
    process.kill();
    process.waitForFinished(kKillWaitMs);
    logger->error("Процесс принудительно завершен");
    reportLeftCheque();
    return PaymentProcessingAnswer::failure(tr::Tr(tr::undefined, text));
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::refused(QProcess& process) const {
    const QString text = QString::fromUtf8(process.readAllStandardError());
    logger->error("Команда завершена с кодом ошибки (%1), stderror: '%2'", process.exitCode(),
                  text);
    reportLeftCheque();
    return PaymentProcessingAnswer::failure(
        text.isEmpty() ? tr::Tr("orvexMultimerchantOperationError", "Ошибка выполнения операции")
                       : tr::Tr(tr::undefined, text));
}

PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::notStarted() const {
    const tr::Tr message("orvexMultimerchantVelrunNotFound",
                         "Ошибка запуска velrun, программа не найдена");
    logger->error(message.ru());
    return PaymentProcessingAnswer::failure(message);
}

// The slip is taken only from a cheque file this run wrote; a run refused
// because the pinpad was busy wrote none, whatever the other run did to the
// file meanwhile.
PaymentProcessingAnswer OrvexMultimerchantPaymentProcessing::completed(QProcess& process,
                                                                       bool chequeWritten) const {
    PaymentProcessingAnswer answer;
    const QByteArray output = process.readAllStandardOutput();
    logger->info("Ответ от процессинга: %1", QString::fromUtf8(output));
    const Parameters result = parseOutput(output);
    if (chequeWritten && !refusedAsBusy(result)) answer.slips = readSlip();
    answer.error = result.value("success").toBool() ? 0 : 1;
    answer.code = result.value("code").toInt();
    answer.message = tr::Tr(tr::undefined, result.value("message").toString());
    answer.cardNumber = result.value("cardNumber").toString();
    answer.cardType = result.value("cardType").toString();
    answer.authorizationCode = result.value("authorizationCode").toString();
    answer.rrn = result.value("rrn").toString();
    answer.terminalId = result.value("terminalId").toString();
    if (answer.error == 1 && answer.message.isEmpty())
        answer.message = tr::Tr("orvexMultimerchantOperationError", "Ошибка выполнения операции");
    return answer;
}

// One "key=value" per line; the value is everything after the first "=",
// untrimmed. Lines without "=" are skipped; a repeated key keeps its last value.
OrvexMultimerchantPaymentProcessing::Parameters OrvexMultimerchantPaymentProcessing::parseOutput(
    const QByteArray& output) const {
    Parameters result;
    for (const QByteArray& line : output.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) continue;
        result.insert(QString::fromUtf8(line.left(equals)), decodeValue(line.mid(equals + 1)));
    }
    return result;
}

QString OrvexMultimerchantPaymentProcessing::decodeValue(const QByteArray& value) const {
    return codec ? codec->toUnicode(value) : QString::fromUtf8(value);
}

// A run that did not complete carries no slip: the host would print a cheque
// (perhaps an approval) for an operation it records as failed. The file stays
// where the terminal wrote it, and the log says where, so the cashier's
// support can still find it.
void OrvexMultimerchantPaymentProcessing::reportLeftCheque() const {
    const QString path = chequePath();
    if (fileutils::readFromFile(path, true).isEmpty()) return;
    logger->error("Операция не завершена, слип не передан; файл чека оставлен: %1", path);
}

// The cheque file as one slip. It is read as UTF-8; a file that is not valid
// UTF-8 (a slip left in the terminal's single-byte encoding) is read with the
// configured encoding instead of being garbled.
QStringList OrvexMultimerchantPaymentProcessing::readSlip() const {
    const QByteArray bytes = fileutils::readFromFile(chequePath(), true);
    if (bytes.isEmpty()) return QStringList();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString slip = utf8.decode(bytes);
    if (utf8.hasError() && codec) slip = codec->toUnicode(bytes);
    logger->info("Слип: %1", slip);
    return QStringList{slip};
}
