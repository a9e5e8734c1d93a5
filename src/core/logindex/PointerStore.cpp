#include "logindex/PointerStore.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace kavrel::logindex {

namespace {

const QByteArray kHashPrefix = QByteArrayLiteral("*SHA1*");

QByteArray emptyRecord()
{
    return QByteArray(PointerStore::kNameBytes, ' ') + QByteArray(4, '\0');
}

QByteArray nameHash(const QString &fileName)
{
    return QCryptographicHash::hash(fileName.toUtf8(), QCryptographicHash::Sha1).toHex();
}

// The bytes of text when Shift-JIS can hold it in 80 bytes.
bool fitsField(const QString &text, QByteArray *bytes)
{
    if (!cp932::unencodable(text).isEmpty())
        return false;
    *bytes = cp932::encode(text);
    return bytes->size() <= PointerStore::kNameBytes;
}

QDateTime modificationTime(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return info.lastModified();
}

} // namespace

PointerStore::PointerStore(QString filePath, QString logDir)
    : m_filePath(std::move(filePath))
    , m_logDir(std::move(logDir))
{
}

bool PointerStore::exists() const
{
    return QFileInfo::exists(m_filePath);
}

bool PointerStore::create(fileio::FileError *error) const
{
    return fileio::writeAtomic(m_filePath, emptyRecord().repeated(kNewFileRecords), error);
}

PtrRecord PointerStore::read(int recordNumber, fileio::FileError *error) const
{
    PtrRecord record;
    QByteArray bytes;
    if (recordNumber < 1 || !fileio::readAll(m_filePath, &bytes, error, true))
        return record;
    const qint64 offset = qint64(recordNumber - 1) * kRecordBytes;
    if (offset >= bytes.size())
        return record;
    record.LogName = logNameField(resolveName(bytes.mid(offset, kNameBytes)));
    if (offset + kRecordBytes <= bytes.size())
        record.Pointer = qFromLittleEndian<qint32>(bytes.constData() + offset + kNameBytes);
    return record;
}

bool PointerStore::write(int recordNumber, const PtrRecord &record, fileio::FileError *error) const
{
    if (recordNumber < 1)
        return false;
    QByteArray name;
    if (!encodeName(logNamePath(record), &name))
        return false;
    QByteArray bytes;
    if (!fileio::readAll(m_filePath, &bytes, error, true))
        return false;
    // Missing records (and the missing tail of a cut-off one) become empty records.
    const qint64 end = qint64(recordNumber) * kRecordBytes;
    for (qint64 p = bytes.size(); p < end; ++p)
        bytes.append(p % kRecordBytes < kNameBytes ? ' ' : '\0');

    const qint32 pointer = qint32(std::clamp<qint64>(record.Pointer, 0, INT32_MAX));
    char pointerBytes[4];
    qToLittleEndian<qint32>(pointer, pointerBytes);
    const qint64 offset = end - kRecordBytes;
    bytes.replace(offset, kNameBytes, name);
    bytes.replace(offset + kNameBytes, 4, pointerBytes, 4);
    return fileio::writeAtomic(m_filePath, bytes, error);
}

bool PointerStore::keepRecords(const QVector<int> &keptRecordNumbers, fileio::FileError *error) const
{
    if (!exists())
        return true;
    QByteArray bytes;
    if (!fileio::readAll(m_filePath, &bytes, error))
        return false;
    const qsizetype records = (bytes.size() + kRecordBytes - 1) / kRecordBytes;
    QByteArray kept;
    kept.reserve(records * kRecordBytes);
    for (int number : keptRecordNumbers) {
        QByteArray record = bytes.mid(qsizetype(number - 1) * kRecordBytes, kRecordBytes);
        if (record.size() < kRecordBytes)
            record = emptyRecord(); // never written, or cut off: nothing to keep
        kept += record;
    }
    while (kept.size() < records * kRecordBytes)
        kept += emptyRecord();
    return fileio::writeAtomic(m_filePath, kept, error);
}

bool PointerStore::encodeName(const QString &path, QByteArray *field) const
{
    QByteArray bytes;
    if (fitsField(path, &bytes)) {
        *field = bytes.leftJustified(kNameBytes, ' ');
        return true;
    }
    const QString dirPrefix = fileio::joinPath(m_logDir, QString());
    if (m_logDir.isEmpty() || !path.startsWith(dirPrefix))
        return false;
    const QString relative = path.mid(dirPrefix.size());
    if (relative.isEmpty())
        return false;
    if (!fitsField(relative, &bytes))
        bytes = kHashPrefix + nameHash(relative);
    *field = bytes.leftJustified(kNameBytes, ' ');
    return true;
}

QString PointerStore::resolveName(const QByteArray &field) const
{
    QByteArray bytes = field.left(kNameBytes);
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul); // a name that begins with NUL is no name
    QString name = text::trimTrailingBlanks(cp932::decode(bytes));
    // A name stored whole is used as it is (also a relative LOG_Dir's path);
    // only a name too long for the field was stored relative to LOG_Dir.
    if (name.isEmpty() || name.startsWith(u'/') || QFileInfo::exists(name))
        return name;
    if (bytes.startsWith(kHashPrefix)) {
        const QByteArray hash = bytes.mid(kHashPrefix.size()).trimmed();
        const QStringList files = QDir(m_logDir).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &file : files) {
            if (nameHash(file) == hash)
                return fileio::joinPath(m_logDir, file);
        }
    }
    return fileio::joinPath(m_logDir, name);
}

QString logNameField(const QString &path)
{
    return path.size() < PointerStore::kNameBytes ? text::fixedWidth(path, PointerStore::kNameBytes) : path;
}

QString logNamePath(const PtrRecord &record)
{
    return text::trimTrailingBlanks(record.LogName);
}

bool LogDates::pointerLogIsNewer() const
{
    return PtrLogDate.isValid() && LogDate.isValid() && PtrLogDate > LogDate;
}

bool LogDates::pointerLogIsOlder() const
{
    return PtrLogDate.isValid() && LogDate.isValid() && PtrLogDate < LogDate;
}

QString LogDates::text(const QDateTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("yy/MM/dd HH:mm:ss")) : QString();
}

LogDates RefreshDateTexts(const Session &session)
{
    LogDates dates;
    dates.LogDate = modificationTime(session.log.LogPath);
    dates.PrevDate = modificationTime(session.log.PrevLogPath);
    dates.PtrLogDate = modificationTime(logNamePath(session.unread.PtrRec));
    return dates;
}

namespace {

PointerStore storeOf(const Session &session)
{
    return PointerStore(
        session.appFile(PointerStore::kFileName), session.directory(settings::DirRecord::LOG_Dir));
}

// LOGPTR.dat as the open uses it: a file that cannot be read or written is
// told once and the open goes on with what it holds in memory.
class ReportingStore
{
public:
    explicit ReportingStore(Session &session)
        : m_session(session)
        , m_store(storeOf(session))
    {
    }

    bool exists() const { return m_store.exists(); }
    void create() { check(m_store.create(&m_error), fileio::FileAccess::Write); }
    PtrRecord read(int recordNumber)
    {
        m_error = {};
        PtrRecord record = m_store.read(recordNumber, &m_error);
        check(!m_error.isError(), fileio::FileAccess::Read);
        return record;
    }
    void write(int recordNumber, const PtrRecord &record)
    {
        m_error = {};
        if (!m_store.write(recordNumber, record, &m_error))
            check(!m_error.isError(), fileio::FileAccess::Write);
    }

private:
    void check(bool ok, fileio::FileAccess access)
    {
        if (!ok)
            m_session.reportFileError(access, m_error);
        m_error = {};
    }

    Session &m_session;
    PointerStore m_store;
    fileio::FileError m_error;
};

// Both logs exist and are the same file by their modification time, the way
// the pointer's log is recognised among the logs of a net.
bool sameLog(const QDateTime &a, const QDateTime &b)
{
    return a.isValid() && b.isValid() && a == b;
}

} // namespace

void LoadPointerForLog(Session &session)
{
    if (session.log.MultiSelectMode == 1) {
        KeepReadingOfLeftLog(session);
        return;
    }
    if (session.NetIndex < 0)
        return;
    ReportingStore store(session);
    const int slot = session.NetIndex + 1;

    // A missing file is created and the open goes on as with an empty slot, so
    // that the pointer of the log being left is still kept.
    if (!store.exists())
        store.create();

    // A pointer changed by a command belongs to the net of the log it was set in.
    if (session.unread.PtrSavePending == 1) {
        store.write(
            session.unread.PtrNetIndex >= 0 ? session.unread.PtrNetIndex + 1 : slot, session.unread.PtrRec);
        session.unread.PtrSavePending = 0;
    }

    if (session.unread.PtrRec.isEmpty())
        session.unread.PtrRec = store.read(slot);

    LogDates dates = RefreshDateTexts(session);

    // Leaving the previous log of this net: raise its pointer to the furthest
    // position read, never lower it.
    if (!session.log.PrevLogPath.isEmpty() && sameLog(dates.PrevDate, dates.PtrLogDate)
        && session.unread.PtrRec.Pointer < session.unread.ReadPointer) {
        session.unread.PtrRec.Pointer = session.unread.ReadPointer;
        store.write(slot, session.unread.PtrRec);
    }

    // Leaving another net: the same rule for that net's slot. ReadPointer
    // counts in the log that was open, so it only applies when that log was
    // the pointer's log (not a merge, not an older log).
    if (session.unread.PtrNetIndex != -1 && session.unread.PtrNetIndex != session.NetIndex
        && sameLog(modificationTime(session.log.LeftLogPath), dates.PtrLogDate)
        && session.unread.PtrRec.Pointer < session.unread.ReadPointer) {
        session.unread.PtrRec.Pointer = session.unread.ReadPointer;
        store.write(session.unread.PtrNetIndex + 1, session.unread.PtrRec);
    }

    session.unread.PtrRec = store.read(slot);
    dates = RefreshDateTexts(session);

    // Take over or keep: a newer log, or a pointer whose log is gone, starts
    // from nothing read.
    const QString pointerLog = logNamePath(session.unread.PtrRec);
    if (pointerLog.isEmpty() || !QFileInfo::exists(pointerLog) || dates.pointerLogIsOlder()) {
        session.unread.PtrRec.LogName = logNameField(session.log.LogPath);
        session.unread.PtrRec.Pointer = 0;
        store.write(slot, session.unread.PtrRec);
        dates.PtrLogDate = dates.LogDate;
    }

    // An older log than the pointer's counts as read to its end.
    session.unread.ReadPointer = 0;
    if (dates.pointerLogIsNewer()) {
        const qint64 bytes = QFileInfo(session.log.LogPath).size();
        session.unread.ReadPointer = std::max<qint64>({ bytes - 1, session.log.LogText.size() - 1, 0 });
    }
}

void KeepReadingOfLeftLog(Session &session)
{
    // ReadPointer counts in the log being left only when that log is the
    // pointer's log; after the merge it counts in Temp.log and no later rule
    // can apply it any more.
    if (session.unread.PtrRec.isEmpty() || session.unread.PtrNetIndex < 0
        || !sameLog(
            modificationTime(session.log.LeftLogPath), modificationTime(logNamePath(session.unread.PtrRec)))
        || session.unread.PtrRec.Pointer >= session.unread.ReadPointer)
        return;
    const PointerStore store = storeOf(session);
    if (!store.exists())
        store.create();
    session.unread.PtrRec.Pointer = session.unread.ReadPointer;
    store.write(session.unread.PtrNetIndex + 1, session.unread.PtrRec);
}

void SavePointerAtExit(Session &session)
{
    if (session.unread.PtrRec.isEmpty() || session.log.MultiSelectMode == 1 || session.unread.PtrNetIndex < 0)
        return;
    const LogDates dates = RefreshDateTexts(session);
    if (dates.pointerLogIsNewer())
        return; // an older log is open: the newer log's pointer stays
    if (session.unread.PtrRec.Pointer < session.unread.ReadPointer)
        session.unread.PtrRec.Pointer = session.unread.ReadPointer;
    session.unread.PtrRec.LogName = logNameField(session.log.LogPath);
    ReportingStore(session).write(session.unread.PtrNetIndex + 1, session.unread.PtrRec);
}

} // namespace kavrel::logindex
