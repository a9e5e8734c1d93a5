#pragma once

#include "base/FileIo.h"

#include <QString>

namespace kavrel::logindex {

// The net's ID list: one line per sender ID, " ID:name" and CR LF, the line of
// the ID's last appearance in the logs read so far, in order of last appearance.
class IdList
{
public:
    // The list text after reading a log: every line of the log that follows
    // "bytes " and holds a ":" is taken as an ID line (from the blank of
    // "bytes " to one character before the line's CR); its key is the text up
    // to its first ":". Each ID line removes the lines of the list that begin
    // with its key, wherever they stand, and is appended at the end. Linear in
    // the sizes of the log and the list.
    //
    // A key is matched at line starts only: a key met inside another ID's line
    // leaves that line whole. An ID line with a NUL in it is not taken (the
    // list is cut at its first NUL when read), and a "bytes " line that the log
    // does not finish with CR LF is not taken either.
    static QString update(const QString &listText, const QString &logText);

    // The list text of a file: Shift-JIS, cut at its first NUL; a missing file is empty.
    static QString read(const QString &path);
    // The same; false (and error) when the file exists and cannot be read.
    static bool read(const QString &path, QString *text, fileio::FileError *error);
};

} // namespace kavrel::logindex
