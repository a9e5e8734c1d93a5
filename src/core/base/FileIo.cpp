#include "base/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kavrel::fileio {

QString FileError::toString() const
{
    if (path.isEmpty())
        return reason;
    return path + QStringLiteral(": ") + reason;
}

namespace {
void setError(FileError *error, const QString &path, const QString &reason)
{
    if (error) {
        error->path = path;
        error->reason = reason;
    }
}
} // namespace

bool readAll(const QString &path, QByteArray *bytes, FileError *error, bool missingIsEmpty)
{
    bytes->clear();
    QFile file(path);
    if (!file.exists()) {
        if (missingIsEmpty)
            return true;
        setError(error, path, QStringLiteral("No such file or directory"));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, path, file.errorString());
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, path, file.errorString());
        return false;
    }
    return true;
}

bool writeAtomic(const QString &path, const QByteArray &bytes, FileError *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, path, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        setError(error, path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, path, file.errorString());
        return false;
    }
    return true;
}

bool writeAtomicWithBackup(
    const QString &path, const QByteArray &bytes, const QString &backupSuffix, FileError *error)
{
    if (QFileInfo::exists(path)) {
        QByteArray previous;
        if (!readAll(path, &previous, error))
            return false;
        if (!writeAtomic(path + backupSuffix, previous, error))
            return false;
    }
    return writeAtomic(path, bytes, error);
}

bool removeIfExists(const QString &path, FileError *error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.remove()) {
        setError(error, path, file.errorString());
        return false;
    }
    return true;
}

QString joinPath(const QString &directory, const QString &name)
{
    return directory + QLatin1Char('/') + name;
}

} // namespace kavrel::fileio
