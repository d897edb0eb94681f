#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>

#include "AbstractPaymentProcessing.h"

// Readable failure output for Qt texts and host messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tr {
inline void PrintTo(const Tr& message, std::ostream* out) {
    *out << "(" << message.id().toStdString() << ", \"" << message.ru().toStdString() << "\")";
}
}  // namespace tr

// Lines the plug-in logged under "payment", as "I: text" or "E: text".
struct LogCapture {
    static void install();
    static QStringList& lines();
};

// A temporary directory under /tmp, removed with its content on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// A processing object from the plug-in, obtained the way the host obtains it,
// pointed at a fresh temporary processing directory.
class ProcessingFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A velrun that records its arguments in "calls.txt" and then runs body.
    void writeVelrun(const QString& body) const;
    void writeFile(const QString& name, const QByteArray& content) const;
    void writeConf(const QString& text) const {
        writeFile("orvexmultimerchant.conf", text.toUtf8());
    }
    // The argument lists of every velrun run, in order.
    std::vector<QStringList> calls() const;
    QString path(const QString& name) const { return m_dir + '/' + name; }
    // A new processing object directed at the temporary directory.
    void reload();

    std::unique_ptr<TempDir> m_temp;
    QString m_dir;
    std::unique_ptr<AbstractPaymentProcessing> m_processing;
};

PaymentProcessingRequest makeRequest(PaymentProcessingRequest::Type type, qint64 amount,
                                     const QString& terminal = QString(),
                                     const QString& rrn = QString(),
                                     const QString& receipt = QString());
