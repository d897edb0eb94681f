#pragma once

#include <QString>

namespace tr {

// Identifier of messages that have no translation entry of their own.
inline constexpr char undefined[] = "undefined";

// A translatable message: an identifier for the host's translation tables
// and the Russian text shown when no translation exists.
class Tr {
public:
    Tr() = default;
    Tr(const QString& id, const QString& ru);

    bool isEmpty() const { return m_ru.isEmpty(); }
    const QString& id() const { return m_id; }
    const QString& ru() const { return m_ru; }

    bool operator==(const Tr& other) const;

private:
    QString m_id;
    QString m_ru;
};

}  // namespace tr
