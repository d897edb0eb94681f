#pragma once

#include <QByteArray>
#include <QString>

// The host's file helpers.
namespace fileutils {

// Deletes the file; true when no file is left at the path (also when there was none).
bool removeFile(const QString& path);

// The whole content of the file; empty when it is missing or cannot be read.
QByteArray readFromFile(const QString& path, bool readOnly = true);

}  // namespace fileutils
