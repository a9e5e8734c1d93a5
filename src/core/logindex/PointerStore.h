#pragma once

#include "base/FileIo.h"
#include "session/Session.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

namespace kavrel::logindex {

// LOGPTR.dat: one 84-byte record per net-table slot (record n for slot n - 1),
// the log's name as 80 bytes of blank-padded Shift-JIS and the unread position
// as a little-endian 32-bit integer. Every write reads the whole file, patches
// one record and replaces the file atomically.
//
// A log's name is stored as its full path when that fits in 80 bytes; else as
// its name relative to the log directory; else (a file name longer than 80
// bytes, or one Shift-JIS cannot spell) as "*SHA1*" and the SHA-1 of the file
// name in hex, found again by hashing the names in the log directory. A path
// outside the log directory that does not fit is not written at all: the
// record keeps its previous content rather than a cut name that could never
// be found again.
class PointerStore
{
public:
    static constexpr int kRecordBytes = 84;
    static constexpr int kNameBytes = 80;
    static constexpr int kNewFileRecords = 51;
    static inline const QString kFileName = QStringLiteral("LOGPTR.dat");

    PointerStore(QString filePath, QString logDir);

    bool exists() const;
    // A new file of 51 empty records.
    bool create(fileio::FileError *error = nullptr) const;

    // Record n (1-based). A record beyond the end of the file, or of zero
    // bytes, reads as empty; a cut-off record gives what can be read (its
    // pointer only when all four bytes are there).
    // A file that exists and cannot be read gives an empty record and error.
    PtrRecord read(int recordNumber, fileio::FileError *error = nullptr) const;
    // Writes record n, extending the file with empty records when needed.
    // False when the file cannot be read or written (error says why; the
    // file is then left as it was) or the name cannot be stored.
    bool write(int recordNumber, const PtrRecord &record, fileio::FileError *error = nullptr) const;

    // After nets were deleted from the net table: the records of the kept
    // nets (old record numbers, in their new order) move up to records 1, 2 …
    // so that each net finds its own pointer again; the file keeps its size
    // with empty records at the end. A missing file stays missing.
    bool keepRecords(const QVector<int> &keptRecordNumbers, fileio::FileError *error = nullptr) const;

    // The 80 name bytes for a path; false when it cannot be stored.
    bool encodeName(const QString &path, QByteArray *field) const;
    // The full path named by 80 name bytes ("" for an empty name).
    QString resolveName(const QByteArray &field) const;

private:
    QString m_filePath;
    QString m_logDir;
};

// A path held in PtrRec.LogName: blank padded to 80 characters like the
// field, longer paths kept whole.
QString logNameField(const QString &path);
// The path in PtrRec.LogName without its padding.
QString logNamePath(const PtrRecord &record);

// Modification times of the open log (LogDateText), of the previous log
// (PrevDateText) and of the log named by the pointer (PtrLogDateText).
// A time is invalid when its path is empty or the file does not exist.
// Times are compared whole, so that logs of different centuries order right.
struct LogDates
{
    QDateTime LogDate;
    QDateTime PrevDate;
    QDateTime PtrLogDate;

    // The pointer's log is newer than the open log: the open log counts as read.
    bool pointerLogIsNewer() const;
    // The open log is newer than the pointer's log.
    bool pointerLogIsOlder() const;

    // "yy/MM/dd HH:mm:ss" for display.
    static QString text(const QDateTime &time);
};

LogDates RefreshDateTexts(const Session &session);

// Settles the current net's unread pointer for a log just loaded by a
// single-file open; does nothing for a multi-select merge.
void LoadPointerForLog(Session &session);

// Before a multi-select merge replaces the open log: the furthest position
// read in it is written to its net's slot, so that the reading stays kept
// whatever is opened after the merge.
void KeepReadingOfLeftLog(Session &session);

// Keeps the furthest position read in the open log when the program ends.
void SavePointerAtExit(Session &session);

} // namespace kavrel::logindex
