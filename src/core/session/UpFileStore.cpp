#include "session/UpFileStore.h"

#include "base/Cp932.h"

#include <QFileInfo>

namespace kavrel {

void UpFileStore::load(const QString &text)
{
    m_text = text;
    m_saved = text;
}

void UpFileStore::append(const QString &commands)
{
    m_text += commands;
}

void UpFileStore::cut(qsizetype start, qsizetype length)
{
    m_text.remove(start, length);
}

void UpFileStore::replace(const QString &text)
{
    m_text = text;
}

bool UpFileStore::save(
    const QString &path, WhenEmpty whenEmpty, fileio::FileError *error, fileio::FileAccess *failed)
{
    if (!changedSinceSaved())
        return true;
    std::optional<QByteArray> bytes;
    if (!m_text.isEmpty() || whenEmpty == WhenEmpty::WriteEmptyFile)
        bytes = cp932::encode(m_text);
    if (!replaceFile(path, bytes, error, failed))
        return false;
    m_saved = m_text;
    return true;
}

bool UpFileStore::discard(const QString &path, fileio::FileError *error, fileio::FileAccess *failed)
{
    if (!replaceFile(path, std::nullopt, error, failed))
        return false;
    load(QString());
    return true;
}

bool UpFileStore::replaceFile(const QString &path, const std::optional<QByteArray> &newBytes,
    fileio::FileError *error, fileio::FileAccess *failed)
{
    const auto fail = [failed](fileio::FileAccess access) {
        if (failed)
            *failed = access;
        return false;
    };
    std::optional<QByteArray> previous;
    if (QFileInfo::exists(path)) {
        previous.emplace();
        if (!fileio::readAll(path, &*previous, error))
            return fail(fileio::FileAccess::Read);
        if (!fileio::writeAtomic(path + kBackupSuffix, *previous, error))
            return fail(fileio::FileAccess::Write);
    }
    if (newBytes) {
        if (!fileio::writeAtomic(path, *newBytes, error))
            return fail(fileio::FileAccess::Write);
    } else if (previous && !fileio::removeIfExists(path, error)) {
        return fail(fileio::FileAccess::Remove);
    }
    return true;
}

} // namespace kavrel
