#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files only the user may read, the settings and the draft: their folder is made the user's
// alone when it is created, and a file is replaced whole, mode 0600, so that a crash leaves
// either the old file or the new one.
namespace PrivateFile {
void ensureFolder(const QString& filePath);
// Logs and returns false when the file could not be written.
bool write(const QString& filePath, const QByteArray& contents);
// The copies write() leaves beside the file when it is killed part-way ("NAME.XXXXXX"), as
// names in the file's folder.
QStringList unfinishedWrites(const QString& filePath);
// Removes those copies; for the owner of the file to call when no write of its own can be under
// way.
void removeUnfinishedWrites(const QString& filePath);
} // namespace PrivateFile
