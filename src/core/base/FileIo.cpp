#include "base/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavrel::fileio {

SyncFile syncFile = ::fsync;

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

void setErrno(FileError *error, const QString &path, int code)
{
    setError(error, path, qt_error_string(code));
}

// Writes all of bytes to fd, going on after short writes; false with errno set.
bool writeFully(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

// A new file beside target, opened for writing; -1 with errno set.
int createTemporary(const QByteArray &target, QByteArray *tempName)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *tempName = target + ".tmp" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(tempName->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

bool readAll(const QString &path, QByteArray *bytes, FileError *error, bool missingIsEmpty)
{
    bytes->clear();
    QFile file(path);
    if (!QFileInfo(path).exists()) {
        if (missingIsEmpty)
            return true;
        setError(error, path, qt_error_string(ENOENT));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, path, file.errorString());
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, path, file.errorString());
        bytes->clear();
        return false;
    }
    return true;
}

bool writeAtomic(const QString &path, const QByteArray &bytes, FileError *error)
{
    // A link is followed, so that the file it names is replaced and the link stays.
    QString targetPath = path;
    const QFileInfo info(path);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        targetPath = info.canonicalFilePath();
    const QByteArray target = QFile::encodeName(targetPath);

    struct stat old
    {
    };
    const bool replacing = ::stat(target.constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) {
        setErrno(error, path, EISDIR);
        return false;
    }

    QByteArray tempName;
    const int fd = createTemporary(target, &tempName);
    if (fd < 0) {
        setErrno(error, path, errno);
        return false;
    }
    bool ok = writeFully(fd, bytes);
    if (ok && replacing)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (ok)
        ok = syncFile(fd) == 0;
    int code = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (ok && ::rename(tempName.constData(), target.constData()) != 0) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        ::unlink(tempName.constData());
        setErrno(error, path, code);
    }
    return ok;
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
    if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink())
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
