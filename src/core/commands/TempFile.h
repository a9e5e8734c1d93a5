#pragma once

#include <QString>

namespace kavrel {
class Session;
}

// TEMP.TXT, the scratch text handed to the user's editor, in the program
// directory. It is written in Shift-JIS, whole and atomically.
namespace kavrel::commands::tempfile {

QString path(const Session &session);
bool exists(const Session &session);

// Writes text as the new TEMP.TXT and takes TempStamp. False when the file
// could not be written; error then says where and why.
bool write(Session &session, const QString &text, QString *error = nullptr);
// Deletes TEMP.TXT; TempStamp is cleared, as a missing file has no stamp.
void remove(Session &session);

// The stamp of TEMP.TXT as it is now: its modification time to the
// millisecond, its size and a digest of its bytes, so that a save in the same
// second as the start is still seen. Empty when the file does not exist.
QString stamp(const Session &session);
// Whether the editor saved TEMP.TXT since TempStamp was taken.
bool changedSinceStamp(const Session &session);

// Decodes the bytes of an edited text. Editors on this platform often save
// UTF-8: bytes that are valid UTF-8 and not plain ASCII are read as UTF-8,
// everything else as Shift-JIS. Lone LF or CR line ends become CR LF, as the
// host reads lines. The text is cut at its first NUL.
QString decodeEdited(const QByteArray &bytes);

// Reads TEMP.TXT as decodeEdited does; false when it cannot be read.
bool read(const Session &session, QString *text);

} // namespace kavrel::commands::tempfile
