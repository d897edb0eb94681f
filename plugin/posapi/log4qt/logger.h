#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

namespace Log4Qt {

// A named logger. Messages go to Qt's logging under a category of the
// logger's name; "%1" and "%2" in a message take the arguments given.
class Logger {
public:
    explicit Logger(const QString& name);
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    QString name() const { return QString::fromUtf8(m_name); }

    void info(const QString& message) const;
    void error(const QString& message) const;

    template <typename A>
    void info(const QString& message, const A& a) const {
        info(message.arg(text(a)));
    }
    template <typename A, typename B>
    void info(const QString& message, const A& a, const B& b) const {
        info(message.arg(text(a), text(b)));
    }
    template <typename A>
    void error(const QString& message, const A& a) const {
        error(message.arg(text(a)));
    }
    template <typename A, typename B>
    void error(const QString& message, const A& a, const B& b) const {
        error(message.arg(text(a), text(b)));
    }

private:
    static QString text(const QString& value) { return value; }
    static QString text(const char* value) { return QString::fromUtf8(value); }
    template <typename N>
    static QString text(N number) {
        return QString::number(number);
    }

    const QByteArray m_name;  // must outlive m_category, which keeps a pointer to it
    const QLoggingCategory m_category;
};

}  // namespace Log4Qt
