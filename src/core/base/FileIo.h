#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and atomic whole-file writes. Users keep years of logs and
// hand-kept up files: a write goes to a temporary file beside the target and is
// renamed over it, so a crash never leaves a file deleted and not yet written.
namespace kavrel::fileio {

struct FileError
{
    QString path;
    QString reason;

    bool isError() const { return !path.isEmpty() || !reason.isEmpty(); }
    // "path: reason", for messages and stderr.
    QString toString() const;
};

// Reads every byte of path. A missing file is an error unless missingIsEmpty.
bool readAll(const QString &path, QByteArray *bytes, FileError *error = nullptr, bool missingIsEmpty = false);

// Writes bytes as the whole new content of path, atomically.
bool writeAtomic(const QString &path, const QByteArray &bytes, FileError *error = nullptr);

// Like writeAtomic, but first keeps the current content (when there is one)
// as path + backupSuffix, so that the previous generation can be restored by hand.
bool writeAtomicWithBackup(
    const QString &path, const QByteArray &bytes, const QString &backupSuffix, FileError *error = nullptr);

// Deletes path when it exists; true when it is gone afterwards.
bool removeIfExists(const QString &path, FileError *error = nullptr);

// directory + "/" + name, the one way Kavrel forms paths.
QString joinPath(const QString &directory, const QString &name);

} // namespace kavrel::fileio
