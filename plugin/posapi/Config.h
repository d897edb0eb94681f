#pragma once

#include <QMap>
#include <QString>

#include "Singleton.h"

// The host's configuration service. Configuration files are INI files read with
// Qt's settings reader; a key "key" in the section "[Name.Section]" reads as
// "Name.Section:key", a key before the first section of a file handed over
// under the name "Name" as "Name:key".
class Config {
public:
    Config() = default;
    virtual ~Config() = default;

    // Reads the sections "Name" and "Name.*" of the file, replacing what an
    // earlier file of that name provided. False when the file does not exist.
    virtual bool loadFile(const QString& path, const QString& name);
    virtual int getInt(const QString& key, int defaultValue) const;
    virtual QString getString(const QString& key, const QString& defaultValue) const;
    // Re-reads one section of the file, replacing its values.
    virtual bool loadSection(const QString& path, const QString& section);

private:
    void replace(const QString& prefix, const QMap<QString, QString>& values);

    QMap<QString, QString> m_values;
};

template <>
Config* Singleton<Config>::s_instance;
