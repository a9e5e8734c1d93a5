#pragma once

#include <QString>

namespace kavrel {

// The unread pointer of the current net as held in memory.
struct PtrRecord
{
    QString LogName = QString(80, u' '); // 80 blanks: no record held
    qint64 Pointer = 0;

    bool isEmpty() const { return LogName.trimmed().isEmpty(); }
};

// How far the current net's logs are read. Loaded and saved by logindex
// (LOGPTR.dat); the reader raises ReadPointer as articles are shown.
struct UnreadTracker
{
    PtrRecord PtrRec;
    qint64 ReadPointer = 0;
    int PtrNetIndex = -1;
    bool PtrSavePending = false; // ReadPointer rose since the record was last saved
};

} // namespace kavrel
