#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and atomic whole-file writes. Users keep years of logs and
// hand-kept up files: a write goes to a temporary file beside the target and is
// renamed over it only when every byte of it reached the disk, so a full disk or
// a crash never leaves a file cut short, deleted or not yet written.
namespace kavrel::fileio {

struct FileError
{
    QString path;
    QString reason;

    bool isError() const { return !path.isEmpty() || !reason.isEmpty(); }
    // "path: reason", for messages and stderr.
    QString toString() const;
};

// What was being done to a file when it failed.
enum class FileAccess { Read, Write, Remove };

// Reads every byte of path. A missing file is an error unless missingIsEmpty;
// a file that exists and cannot be read (a directory, no permission, an I/O
// error) is always an error.
bool readAll(const QString &path, QByteArray *bytes, FileError *error = nullptr, bool missingIsEmpty = false);

// Writes bytes as the whole new content of path, atomically: every write, the
// flush to disk and the close are checked before the temporary file is renamed
// over path. On failure path keeps its old content byte for byte and no
// temporary file is left. A new file gets the usual permissions (umask
// applied); a replaced one keeps its own.
bool writeAtomic(const QString &path, const QByteArray &bytes, FileError *error = nullptr);

// Like writeAtomic, but first keeps the current content (when there is one)
// as path + backupSuffix, so that the previous generation can be restored by hand.
bool writeAtomicWithBackup(
    const QString &path, const QByteArray &bytes, const QString &backupSuffix, FileError *error = nullptr);

// Deletes path when it exists; true when it is gone afterwards.
bool removeIfExists(const QString &path, FileError *error = nullptr);

// directory + "/" + name, the one way Kavrel forms paths.
QString joinPath(const QString &directory, const QString &name);

// The call that flushes a written temporary file to the disk, fsync unless a
// test puts in one that fails as a dying disk does (nothing else sets it).
using SyncFile = int (*)(int fd);
extern SyncFile syncFile;

} // namespace kavrel::fileio
