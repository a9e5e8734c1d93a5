#pragma once

#include "settings/NetContext.h"
#include "settings/SettingsRecords.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace kavrel::settings {

// DIR.DEF and SET.def in AppDir.
//
// DIR.DEF holds one record in a 300-byte slot: the eleven directory values in
// order, each a 2-byte little-endian byte length followed by that many bytes
// of Shift-JIS. SET.def holds one record in a 100-byte slot: the nine option
// flags, one byte each. Bytes after a record carry no meaning and are kept.
//
// A damaged file is read as far as it goes: a value whose length word or bytes
// are cut off, or that would reach past the slot, ends the reading, and it and
// the values after it keep what they held. Bytes that are not Shift-JIS read
// as replacement characters.
class SettingsStore
{
public:
    static constexpr qsizetype kDirSlotBytes = 300;
    static constexpr qsizetype kFlagsSlotBytes = 100;
    static inline const QString kDirFileName = QStringLiteral("DIR.DEF");
    static inline const QString kFlagsFileName = QStringLiteral("SET.def");

    // The paths of the two files, found in AppDir whatever their case.
    static QString dirFilePath(const NetContext &session);
    static QString flagsFilePath(const NetContext &session);

    // The directory record's bytes; longer than the slot when it cannot be stored.
    static QByteArray encodeDirRecord(const DirRecord &record);
    // Reads the values that the bytes hold completely into record; answers
    // how many were read.
    static int decodeDirRecord(const QByteArray &bytes, DirRecord *record);

    // Each flag byte is held as the character of the same code (0 to 255), so
    // that a reserved byte goes back to the file exactly as it was read.
    static QByteArray encodeFlags(const OptionFlags &flags);
    // Reads the flags the bytes hold (a short file sets only the first ones).
    static int decodeFlags(const QByteArray &bytes, OptionFlags *flags);

    // The message that refuses a directory record, or empty when it can be
    // stored: too long for its slot, or holding characters Shift-JIS lacks.
    static QString refusalOf(const DirRecord &record);
};

// Reads DIR.DEF into the directory record and, only when DIR.DEF exists,
// SET.def into the option flags. A missing file leaves its record as it was.
void ReadSettings(NetContext &session);

// The directory dialog's save: the four values (one trailing "/" removed from
// each directory) are written into DIR.DEF and take effect in memory, then the
// user is told that they apply from the next start. A record that cannot be
// stored is refused with a message; nothing is written and the memory keeps
// the old values. True when saved.
bool WriteDirSettings(NetContext &session, const QString &logDir, const QString &upDir, const QString &blDir,
    const QString &editorPath);

// The option flags dialog's save: each of the seven flags with a check box
// becomes "1" when ticked in checked, else "0"; the reserved flags 6 and 9 keep
// the bytes SET.def holds ("0" in a new file). True when written.
bool WriteOptionFlags(NetContext &session, const std::array<bool, OptionFlags::Count> &checked);

// The settings of a new working directory in AppDir: DIR.DEF naming the
// folders LOG, UP and BL, and SET.def with every flag "0". A file that exists
// already is left as it is. True when both are in place.
bool WriteNewSettings(NetContext &session);

// The main window's placement at close, written into DIR.DEF.
bool WriteWindowPlacement(NetContext &session, int left, int top, int height);

} // namespace kavrel::settings
