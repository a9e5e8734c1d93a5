#pragma once

#include "settings/NetContext.h"
#include "settings/SettingsRecords.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace kavrel::settings {

// What the net definition editor shows and takes: the texts of a record's
// fields without padding or terminator, and the serial header check box.
struct NetEntry
{
    QString Net_Name;
    QString Header;
    QString Main_Prompt;
    QString Read_End;
    QString Subcommand;
    QString Delete;
    QString Up_File_Name;
    QString Board_list_File_Name;
    QString Log_File_Name;
    QString ID_LIST_FILE_NAME;
    bool Sirial_Flg = false;
    QString SirialHeader;
    QString Xchat;
    QString Sign_Path;

    // A new net: the name typed on the net selection screen, every other
    // field at the value a new net starts with.
    static NetEntry defaults(const QString &name);
    // The fields of a stored record as the editor shows them: plain fields
    // without their blank padding, terminated fields up to their NUL.
    static NetEntry fromRecord(const NetRecord &record);
};

// DATA.DEF in AppDir: consecutive 1280-byte net records, record n at byte
// (n - 1) * 1280, no header. A field is 80 bytes of Shift-JIS, blank padded.
//
// In memory a field is the decoded text of its 80 bytes, padded with blanks to
// 80 characters. A double-byte character takes two bytes and decodes to one
// character, so a field with k such characters decodes to 80 - k characters
// and gets k blanks more; these fall off again when the field is encoded,
// which cuts at 80 bytes. A field read from disk therefore writes back byte for
// byte (bytes that are not Shift-JIS read as replacement characters).
//
// Slot i of NetTable is record i + 1. The table holds as many nets as the file
// does; it is not limited to 51.
class NetDefinitionsFile
{
public:
    static constexpr int kFieldBytes = NetRecord::kFieldWidth;
    static constexpr int kRecordBytes = NetRecord::kRecordBytes;
    static inline const QString kFileName = QStringLiteral("DATA.DEF");

    explicit NetDefinitionsFile(NetContext &session)
        : m_session(session)
    {
    }

    QString path() const;

    // Loads every complete record into NetTable (a missing file is an empty
    // one; a cut-off last record is not a net) and answers each Net_Name, all
    // 80 characters, in slot order.
    QStringList LoadAll();
    // Reads record index + 1 into slot index. False when the file does not
    // hold that record; the slot is then left as it was.
    bool ReadOne(int index);
    // Writes slot index as record index + 1, nothing else changes. Slots the
    // file does not reach yet are written as blank records.
    bool StoreOne(int index);
    // Rereads DATA.DEF, blanks the Net_Name of record index + 1 and writes
    // back every record whose Net_Name is not blank, numbered without gaps.
    // NetTable is compacted the same way; answers the new names by slot.
    bool DeleteOne(int index, QStringList *names);

    static NetRecord decodeRecord(const QByteArray &bytes);
    static QByteArray encodeRecord(const NetRecord &record);
    // The record as the editor's save stores it: plain fields as entered;
    // terminated fields with one NUL after the text (the text is cut to 79
    // bytes so that the NUL always fits); Reserved1 and Reserved2 one blank;
    // Sirial_Flg "1" or "0"; the first "\H" of SirialHeader becomes the
    // backspace character 0x08.
    static NetRecord recordFromEntry(const NetEntry &entry);
    // SirialHeader as stored: its first "\H" replaced by 0x08.
    static QString serialHeaderAsStored(const QString &typed);
    static bool isTerminated(NetRecord::Field field);

private:
    // The records DATA.DEF holds completely, as bytes. False on a read error
    // (already reported).
    bool readRecords(QVector<QByteArray> *records);

    NetContext &m_session;
};

} // namespace kavrel::settings
