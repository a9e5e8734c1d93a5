#pragma once

#include "base/FileIo.h"

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

    // Reads and decodes the file; a missing file is empty. False when the
    // file exists and cannot be read.
    static bool read(const QString &path, QString *text, fileio::FileError *error = nullptr);
    // Writes the text atomically as Shift-JIS.
    static bool write(const QString &path, const QString &text, fileio::FileError *error = nullptr);
};

// Rewrites the current net's board list file from Board_List and BoardKeys,
// unless the board list is frozen. A failed write is reported and leaves the
// previous file whole.
void SaveBoardList(Session &session);

} // namespace kavrel::logindex
