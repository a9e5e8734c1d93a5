#pragma once

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

    // Entries of a board list text. A line without "｣" on it is not an entry;
    // the key runs from the "｣" to the next blank on the same line.
    static QVector<Entry> parse(const QString &text);

    // The file text of the board items with their keys (chat-room items carry
    // no key).
    static QString format(const QStringList &items, const QStringList &keys);

    // Reads and decodes the file; a missing or unreadable file is empty.
    static QString read(const QString &path);
    // Writes the text atomically as Shift-JIS.
    static bool write(const QString &path, const QString &text);
};

// Rewrites the current net's board list file from Board_List and BoardKeys,
// unless the board list is frozen.
void SaveBoardList(Session &session);

} // namespace kavrel::logindex
