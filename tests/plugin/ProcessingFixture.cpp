#include "ProcessingFixture.h"

#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QPluginLoader>
#include <cstdlib>

namespace {

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (QByteArray(context.category) != "payment") return;
    LogCapture::lines() << (type == QtInfoMsg ? "I: " : "E: ") + message;
}

AbstractPaymentProcessing* newProcessing() {
    static QPluginLoader loader(PLUGIN_FILE);
    QObject* factory = loader.instance();
    if (!factory) return nullptr;
    AbstractPaymentProcessing* object = nullptr;
    QMetaObject::invokeMethod(factory, "getObject", Qt::DirectConnection,
                              Q_RETURN_ARG(AbstractPaymentProcessing*, object));
    return object;
}

}  // namespace

void LogCapture::install() {
    qInstallMessageHandler(collect);
}

QStringList& LogCapture::lines() {
    static QStringList lines;
    return lines;
}

TempDir::TempDir() {
    char pattern[] = "/tmp/plugin-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    m_path = made ? QString::fromLocal8Bit(made) : QString();
}

TempDir::~TempDir() {
    if (!m_path.isEmpty()) QDir(m_path).removeRecursively();
}

void ProcessingFixture::SetUp() {
    m_temp = std::make_unique<TempDir>();
    m_dir = m_temp->path();
    ASSERT_FALSE(m_dir.isEmpty());
    reload();
}

void ProcessingFixture::TearDown() {
    m_processing.reset();
    m_temp.reset();
    LogCapture::lines().clear();
}

void ProcessingFixture::reload() {
    m_processing.reset(newProcessing());
    ASSERT_TRUE(m_processing) << "plug-in " << PLUGIN_FILE << " gave no processing object";
    m_processing->setProcessingDirectory(m_dir);
    LogCapture::lines().clear();
}

void ProcessingFixture::writeVelrun(const QString& body) const {
    const QString script =
        "#!/bin/sh\n"
        "{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; echo '--end'; } >> calls.txt\n" +
        body + "\n";
    writeFile("velrun", script.toUtf8());
    QFile(path("velrun")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void ProcessingFixture::writeFile(const QString& name, const QByteArray& content) const {
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

std::vector<QStringList> ProcessingFixture::calls() const {
    QFile file(path("calls.txt"));
    std::vector<QStringList> result;
    if (!file.open(QIODevice::ReadOnly)) return result;
    QStringList current;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line == "--end") {
            result.push_back(current);
            current.clear();
        } else if (!line.isEmpty()) {
            current << line;
        }
    }
    return result;
}

PaymentProcessingRequest makeRequest(PaymentProcessingRequest::Type type, qint64 amount,
                                     const QString& terminal, const QString& rrn,
                                     const QString& receipt) {
    PaymentProcessingRequest request;
    request.type = type;
    request.amount = amount;
    request.terminalId = terminal;
    request.rrn = rrn;
    request.receiptNumber = receipt;
    return request;
}
