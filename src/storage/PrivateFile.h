#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files only the user may read, the settings and the draft: their folder is made the user's
// alone when it is created, and a file is replaced whole, mode 0600, so that a crash leaves
// either the old file or the new one. A path that is a symbolic link (a dotfiles repository
// keeps them) stays one: every call here acts on the file it leads to.
//
// Every file the client writes goes through write(). A write that fails for any reason (a full
// disk, a quota, a read-only folder, an I/O error) leaves the file as it was, byte for byte, and
// nothing of the attempt beside it. No library's word is taken for it: Qt 6.4's QSaveFile
// reports success after a buffered write failed for lack of space, and renames the empty copy
// over the good file. Each write is checked, the copy is flushed to the disk and read back
// before it replaces the file.
namespace PrivateFile {
// The path of a file of the client's state (the draft, the outbox): $XDG_STATE_HOME/quibbo/name.
QString statePath(const QString& name);
// 0, or the errno that kept the folder from being made.
int ensureFolder(const QString& filePath);
// 0, or the errno that kept the file from being written.
int write(const QString& filePath, const QByteArray& contents);
// Moves a file that cannot be read out of the way, for a person to look at, as
// "NAME.label-<UTC time>" (numbered when that name is taken, so that no earlier one is replaced):
// 0 with movedTo set, or the errno that kept it in place.
int moveAside(const QString& filePath, const QString& label, QString* movedTo);
// 0 (also when there was no file), or the errno that kept the file from being removed.
int remove(const QString& filePath);
// 0 when a file beside filePath could be written now, else why not: a byte written to a copy
// that is removed at once.
int probe(const QString& filePath);
// The copies write() leaves beside the file when it is killed part-way
// (".NAME.XXXXXX.quibbo-part"), as names in the file's folder.
QStringList unfinishedWrites(const QString& filePath);
// Removes those copies; for the owner of the file to call when no write of its own can be under
// way.
void removeUnfinishedWrites(const QString& filePath);
} // namespace PrivateFile
