#include "settings/NetDefinitionsFile.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/FileLookup.h"
#include "base/Text.h"
#include "settings/NetMarkers.h"
#include "settings/RecordFile.h"

namespace kavrel::settings {

namespace {

constexpr int kFieldBytes = NetRecord::kFieldWidth;

// The bytes of text cut at maxBytes, never inside a double-byte character.
QByteArray cutToBytes(const QString &text, int maxBytes)
{
    QByteArray bytes = cp932::encode(text);
    if (bytes.size() <= maxBytes)
        return bytes;
    // encodeField stops one byte short exactly when a double-byte character
    // would straddle the edge.
    const bool whole = cp932::encodeField(text, maxBytes) == bytes.left(maxBytes);
    bytes.truncate(whole ? maxBytes : maxBytes - 1);
    return bytes;
}

QByteArray plainField(const QString &text)
{
    return cp932::encodeField(text, kFieldBytes);
}

// Text, one NUL, blanks. The text gives up its last bytes rather than the NUL:
// without it the markers would take the padding, or lose a character.
QByteArray terminatedField(const QString &text)
{
    QByteArray bytes = cutToBytes(text, kFieldBytes - 1);
    bytes.append('\0');
    bytes.append(QByteArray(kFieldBytes - bytes.size(), ' '));
    return bytes;
}

QString decodeField(const QByteArray &bytes)
{
    return text::fixedWidth(cp932::decode(bytes), kFieldBytes);
}

bool isBlankName(const QByteArray &record)
{
    for (int i = 0; i < kFieldBytes; ++i) {
        if (record.at(i) != ' ')
            return false;
    }
    return true;
}

} // namespace

NetEntry NetEntry::defaults(const QString &name)
{
    NetEntry e;
    e.Net_Name = name;
    e.Header = QStringLiteral("-,-,-,-,-,-,-,-,- ");
    e.Main_Prompt = QStringLiteral("Main Command(?:Help)>");
    e.Read_End = QStringLiteral("読み終わりました。");
    e.Subcommand = QStringLiteral("command (?:説明):");
    e.Delete = QStringLiteral("本当にメッセージを削除するんですか？ (y/n):");
    e.Up_File_Name = QStringLiteral("DAV.up");
    e.Board_list_File_Name = QStringLiteral("DAV.bl");
    e.Log_File_Name = QStringLiteral("DAV*.LOG");
    e.ID_LIST_FILE_NAME = QStringLiteral("DAV.id");
    e.Sirial_Flg = false;
    e.Xchat = QStringLiteral("何番に入りますか？ ([RET]:終了):");
    return e;
}

NetEntry NetEntry::fromRecord(const NetRecord &r)
{
    const auto plain = [&r](NetRecord::Field f) { return text::trimTrailingBlanks(r[f]); };
    // A terminated field without its NUL shows its text without the padding.
    const auto terminated = [&r](NetRecord::Field f) {
        const QString &field = r[f];
        return field.contains(QChar(u'\0')) ? beforeNul(field) : text::trimTrailingBlanks(field);
    };
    NetEntry e;
    e.Net_Name = plain(NetRecord::Net_Name);
    e.Header = plain(NetRecord::Header);
    e.Main_Prompt = terminated(NetRecord::Main_Prompt);
    e.Read_End = terminated(NetRecord::Read_End);
    e.Subcommand = terminated(NetRecord::Subcommand);
    e.Delete = terminated(NetRecord::Delete);
    e.Up_File_Name = plain(NetRecord::Up_File_Name);
    e.Board_list_File_Name = plain(NetRecord::Board_list_File_Name);
    e.Log_File_Name = plain(NetRecord::Log_File_Name);
    e.ID_LIST_FILE_NAME = plain(NetRecord::ID_LIST_FILE_NAME);
    e.Sirial_Flg = serialFlag(r) != 0;
    e.SirialHeader = plain(NetRecord::SirialHeader);
    e.Xchat = terminated(NetRecord::Xchat);
    e.Sign_Path = plain(NetRecord::Sign_Path);
    return e;
}

QString NetDefinitionsFile::path() const
{
    return fileio::pathIgnoringCase(m_session.AppDir, kFileName);
}

bool NetDefinitionsFile::isTerminated(NetRecord::Field field)
{
    switch (field) {
    case NetRecord::Main_Prompt:
    case NetRecord::Read_End:
    case NetRecord::Subcommand:
    case NetRecord::Delete:
    case NetRecord::Xchat:
        return true;
    default:
        return false;
    }
}

NetRecord NetDefinitionsFile::decodeRecord(const QByteArray &bytes)
{
    NetRecord record;
    for (int f = 0; f < NetRecord::FieldCount; ++f)
        record.fields[f] = decodeField(bytes.mid(qsizetype(f) * kFieldBytes, kFieldBytes));
    return record;
}

QByteArray NetDefinitionsFile::encodeRecord(const NetRecord &record)
{
    QByteArray out;
    out.reserve(kRecordBytes);
    for (const QString &field : record.fields)
        out.append(cp932::encodeField(field, kFieldBytes));
    return out;
}

QString NetDefinitionsFile::serialHeaderAsStored(const QString &typed)
{
    QString stored = typed;
    const qsizetype at = text::findFrom(stored, QStringLiteral("\\H"));
    if (at > 0)
        stored = text::left(stored, at - 1) + QChar(0x08) + text::mid(stored, at + 2);
    return stored;
}

NetRecord NetDefinitionsFile::recordFromEntry(const NetEntry &e)
{
    QByteArray bytes;
    bytes.reserve(kRecordBytes);
    bytes += plainField(e.Net_Name);
    bytes += plainField(e.Header);
    bytes += terminatedField(e.Main_Prompt);
    bytes += terminatedField(e.Read_End);
    bytes += terminatedField(e.Subcommand);
    bytes += terminatedField(e.Delete);
    bytes += plainField(e.Up_File_Name);
    bytes += plainField(e.Board_list_File_Name);
    bytes += plainField(e.Log_File_Name);
    bytes += plainField(e.ID_LIST_FILE_NAME);
    bytes += plainField(QStringLiteral(" "));
    bytes += plainField(e.Sirial_Flg ? QStringLiteral("1") : QStringLiteral("0"));
    bytes += plainField(serialHeaderAsStored(e.SirialHeader));
    bytes += terminatedField(e.Xchat);
    bytes += plainField(e.Sign_Path);
    bytes += plainField(QStringLiteral(" "));
    return decodeRecord(bytes);
}

bool NetDefinitionsFile::readRecords(QVector<QByteArray> *records)
{
    records->clear();
    QByteArray bytes;
    fileio::FileError error;
    if (!fileio::readAll(path(), &bytes, &error, true)) {
        m_session.reportFileError(fileio::FileAccess::Read, error);
        return false;
    }
    const qsizetype count = bytes.size() / kRecordBytes;
    records->reserve(count);
    for (qsizetype n = 0; n < count; ++n)
        records->append(bytes.mid(n * kRecordBytes, kRecordBytes));
    return true;
}

QStringList NetDefinitionsFile::LoadAll()
{
    QVector<QByteArray> records;
    m_session.NetTable.clear();
    QStringList names;
    if (!readRecords(&records))
        return names;
    for (const QByteArray &bytes : records) {
        m_session.NetTable.append(decodeRecord(bytes));
        names << m_session.NetTable.last()[NetRecord::Net_Name];
    }
    return names;
}

bool NetDefinitionsFile::ReadOne(int index)
{
    QVector<QByteArray> records;
    if (index < 0 || !readRecords(&records) || index >= records.size())
        return false;
    if (m_session.NetTable.size() <= index)
        m_session.NetTable.resize(index + 1);
    m_session.NetTable[index] = decodeRecord(records.at(index));
    return true;
}

bool NetDefinitionsFile::StoreOne(int index)
{
    if (index < 0 || index >= m_session.NetTable.size())
        return false;
    fileio::FileError error;
    if (!writeRecord(path(), qsizetype(index) * kRecordBytes, encodeRecord(m_session.NetTable.at(index)), ' ',
            &error)) {
        m_session.reportFileError(fileio::FileAccess::Write, error);
        return false;
    }
    return true;
}

bool NetDefinitionsFile::DeleteOne(int index, QStringList *names)
{
    QVector<QByteArray> records;
    if (!readRecords(&records))
        return false;
    if (index >= 0 && index < records.size())
        records[index].replace(0, kFieldBytes, QByteArray(kFieldBytes, ' '));

    // Kept records go back byte for byte, as they were read.
    QByteArray content;
    QVector<NetRecord> table;
    for (const QByteArray &bytes : std::as_const(records)) {
        if (isBlankName(bytes))
            continue;
        content += bytes;
        table.append(decodeRecord(bytes));
    }
    fileio::FileError error;
    if (!fileio::writeAtomic(path(), content, &error)) {
        m_session.reportFileError(fileio::FileAccess::Write, error);
        return false;
    }
    m_session.NetTable = table;
    if (names) {
        names->clear();
        for (const NetRecord &r : std::as_const(table))
            *names << r[NetRecord::Net_Name];
    }
    return true;
}

} // namespace kavrel::settings
