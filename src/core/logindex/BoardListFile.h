#pragma once

#include "base/FileIo.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace kavrel {
class Session;
}

namespace kavrel::logindex {

// The net's board list file: one line per board item, the item text, the
// board's key, one blank and CR LF. Boards seen in earlier logs live on in it.
class BoardListFile
{
public:
    struct Entry
    {
        QString text; // the item, read back up to and including its "｣"
        QString key;
    };

    // Entries of a board list text. A board line is read up to and including
    // its first "｣", and its key runs from there to the next blank on the same
    // line; a board line without "｣" is not an entry. A chat-room line (one
    // that begins with "[XCHAT]") is the whole line without the one blank
    // written after it, and has no key.
    static QVector<Entry> parse(const QString &text);

    // The file text of the board items with their keys (chat-room items carry
    // no key). Only lines that parse reads back as the same item are written:
    // a board item without "｣" is left out.
    static QString format(const QStringList &items, const QStringList &keys);

    // The lines of the file as read, each decoded line (without its CR LF)
    // with its bytes. A line written back as it was read takes its own bytes
    // again, also those that have no Shift-JIS meaning and would otherwise
    // come back as "?".
    using LineBytes = QHash<QString, QByteArray>;

    // Reads and decodes the file; a missing file is empty. False when the
    // file exists and cannot be read. lines, when given, gets its lines.
    static bool read(
        const QString &path, QString *text, LineBytes *lines = nullptr, fileio::FileError *error = nullptr);
    // The text as Shift-JIS, a line that is one of lines as its bytes.
    static QByteArray encode(const QString &text, const LineBytes &lines);
    // Writes the text atomically (see encode).
    static bool write(
        const QString &path, const QString &text, const LineBytes &lines, fileio::FileError *error = nullptr);
};

// Rewrites the current net's board list file from Board_List and BoardKeys,
// unless the board list is frozen; the lines of the file as read (see
// BoardListFile::LineBytes) keep their bytes. A failed write is reported and
// leaves the previous file whole.
void SaveBoardList(Session &session, const BoardListFile::LineBytes &readLines = {});

} // namespace kavrel::logindex
