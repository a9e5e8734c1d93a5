#include "session/UpFileStore.h"

#include "base/Cp932.h"
#include "session/UpFileChange.h"
#include "session/UpFileHistory.h"

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
    if (!replaceFile(path, bytes, { describeUpFileChange(m_saved, m_text) }, error, failed))
        return false;
    m_saved = m_text;
    return true;
}

bool UpFileStore::discard(const QString &path, fileio::FileError *error, fileio::FileAccess *failed)
{
    if (!replaceFile(path, std::nullopt, { QStringLiteral("アップファイルの削除") }, error, failed))
        return false;
    load(QString());
    return true;
}

bool UpFileStore::restore(
    const QString &path, qint64 number, fileio::FileError *error, fileio::FileAccess *failed)
{
    const auto fail = [failed](fileio::FileAccess access) {
        if (failed)
            *failed = access;
        return false;
    };
    // The file as it stands is kept first, so that the restore can be undone.
    if (!keepFound(path, error))
        return fail(fileio::FileAccess::Write);
    UpFileHistory history(path);
    if (!history.read(error))
        return fail(fileio::FileAccess::Read);
    const UpFileGeneration *g = history.find(number);
    if (!g || g->damaged) {
        if (error)
            *error = { history.folder(), QStringLiteral("世代 %1 は読めません").arg(number) };
        return fail(fileio::FileAccess::Read);
    }
    const std::optional<QByteArray> bytes = g->bytes;
    if (!replaceFile(path, bytes, { QString(), number }, error, failed))
        return false;
    load(bytes ? textOf(*bytes) : QString());
    return true;
}

bool UpFileStore::keepFound(const QString &path, fileio::FileError *error) const
{
    std::optional<QByteArray> found;
    if (QFileInfo::exists(path)) {
        found.emplace();
        if (!fileio::readAll(path, &*found, error))
            return false;
    }
    UpFileHistory history(path);
    if (!history.read(error))
        return false;
    // No file and no history: nothing to keep yet.
    return (!found && history.generations().isEmpty()) || history.keepFound(found, now(), error);
}

QString UpFileStore::textOf(const QByteArray &bytes)
{
    QString text = cp932::decode(bytes);
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

QDateTime UpFileStore::now() const
{
    return clock ? clock() : QDateTime::currentDateTime();
}

bool UpFileStore::replaceFile(const QString &path, const std::optional<QByteArray> &newBytes,
    const HistoryChange &step, fileio::FileError *error, fileio::FileAccess *failed)
{
    const auto fail = [failed](fileio::FileAccess access) {
        if (failed)
            *failed = access;
        return false;
    };
    m_historyError.reset();
    std::optional<QByteArray> previous;
    if (QFileInfo::exists(path)) {
        previous.emplace();
        if (!fileio::readAll(path, &*previous, error))
            return fail(fileio::FileAccess::Read);
    }
    // The generation before the change is kept first: the file as found,
    // when another program changed it since.
    UpFileHistory history(path);
    fileio::FileError historyError;
    bool kept = history.read(&historyError) && history.keepFound(previous, now(), &historyError);
    if (step.restoring != 0 && !kept) {
        // A restore would lose the file as it stands.
        if (error)
            *error = historyError;
        return fail(fileio::FileAccess::Write);
    }
    if (previous && !fileio::writeAtomic(path + kBackupSuffix, *previous, error))
        return fail(fileio::FileAccess::Write);
    if (newBytes) {
        if (!fileio::writeAtomic(path, *newBytes, error))
            return fail(fileio::FileAccess::Write);
    } else if (previous && !fileio::removeIfExists(path, error)) {
        return fail(fileio::FileAccess::Remove);
    }
    if (kept) {
        kept = step.restoring != 0 ? history.setCurrent(step.restoring, &historyError)
                                   : history.add(newBytes, step.change, now(), &historyError);
    }
    if (!kept)
        m_historyError = historyError;
    return true;
}

} // namespace kavrel
