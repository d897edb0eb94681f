#include "FileUtils.h"

#include <QFile>

namespace fileutils {

bool removeFile(const QString& path) {
    return QFile::remove(path) || !QFile::exists(path);
}

QByteArray readFromFile(const QString& path, bool readOnly) {
    QFile file(path);
    if (!file.open(readOnly ? QIODevice::ReadOnly : QIODevice::ReadWrite)) return QByteArray();
    return file.readAll();
}

}  // namespace fileutils
