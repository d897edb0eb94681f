#include "Config.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

template <>
Config* Singleton<Config>::s_instance = nullptr;

namespace {

QString valueText(const QVariant& value) {
    // An unquoted value with commas reads back as a list; keep it as written.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(", ");
    return value.toString();
}

// Key "Section/key" of the file becomes "Section:key"; an ungrouped key
// becomes "<name>:key".
QMap<QString, QString> readIni(const QString& path, const QString& name) {
    QMap<QString, QString> values;
    QSettings settings(path, QSettings::IniFormat);
    for (const QString& key : settings.allKeys()) {
        const qsizetype slash = key.lastIndexOf('/');
        const QString section = slash < 0 ? name : key.left(slash);
        values.insert(section + ':' + key.mid(slash + 1), valueText(settings.value(key)));
    }
    return values;
}

}  // namespace

void Config::replace(const QString& prefix, const QMap<QString, QString>& values) {
    for (auto it = m_values.begin(); it != m_values.end();)
        it = it.key().startsWith(prefix) ? m_values.erase(it) : std::next(it);
    for (auto it = values.begin(); it != values.end(); ++it)
        if (it.key().startsWith(prefix)) m_values.insert(it.key(), it.value());
}

bool Config::loadFile(const QString& path, const QString& name) {
    const QMap<QString, QString> values = readIni(path, name);
    replace(name + '.', values);
    replace(name + ':', values);
    return QFileInfo::exists(path);
}

bool Config::loadSection(const QString& path, const QString& section) {
    replace(section + ':', readIni(path, section));
    return QFileInfo::exists(path);
}

int Config::getInt(const QString& key, int defaultValue) const {
    bool ok = false;
    const int value = m_values.value(key).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

QString Config::getString(const QString& key, const QString& defaultValue) const {
    auto it = m_values.find(key);
    return it == m_values.end() ? defaultValue : it.value();
}
