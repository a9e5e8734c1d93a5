#pragma once

#include "session/UpFile.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace kavrel {
class Session;
}

// What the up file will send, command by command, with what may be wrong
// with each command: the rows of the send preview and of `kavrel-cli upfile`.
namespace kavrel::commands::preview {

struct Row
{
    int n = 0; // from 1, in send order
    QString kind; // write, response, mail, chat, batch
    qint64 board = 0; // 0 for a mail; a chat write's room
    QString boardName; // as the net's board list names the board or room; empty when it does not
    QString reference; // the article answered or marked, a mail's recipient IDs joined by commas
    QString title;
    qsizetype bytes = 0; // in Shift-JIS with its line ends, as sent
    // empty, unknown-board, unknown-article, no-recipient, long-line, unclosed
    QStringList warnings;
    QString text; // the command as it stands in the up file
    QStringList firstLines; // the first lines after the title, as sent

    // n, kind, board, reference, title, bytes and the warnings joined by commas.
    QStringList fields() const;
};

// What the rows are checked against; an empty function checks nothing.
struct Facts
{
    // The net's signature as written in its file, placeholders and all.
    QString signature;
    // Whether a board is in a board list of the net.
    std::function<bool(qint64 board)> boardKnown;
    // Whether an article (the reference as written) of a board is in a log of the net.
    std::function<bool(qint64 board, const QString &reference)> articleKnown;
    // The names of the boards (the mail box as board 0) and of the chat
    // rooms in the net's board list.
    QHash<qint64, QString> boardNames;
    QHash<qint64, QString> chatRoomNames;
};

// Where the current net's facts are found, taken from the session by the
// caller of the full-text index.
struct NetFiles
{
    QString appDir;
    QString net; // as the index names it
    QStringList logs; // the net's log files, by name
    QString signaturePath;
    QString boardListPath;
};
NetFiles netFilesOf(const Session &session);

// A line longer than this many half-width columns is warned of.
constexpr int kLongLineColumns = 80;
// How many lines after the title a row shows.
constexpr int kFirstLines = 2;

// One row for each command Kavrel wrote, complete or not; text that is not a
// command of Kavrel's has no row.
QList<Row> rows(const UpFile &up, const Facts &facts);

// What the send preview shows of a row: its cells (number, kind, board
// "3 パソコン相談室", reference or recipients, title, bytes, first lines,
// warnings), and its whole text with each line end marked "↵".
QStringList shownCells(const Row &row);
QString shownText(const Row &row);
// The kind ("書込", "レス", "手紙", "チャット", "バッチ") and the warnings as
// the window names them.
QString shownKind(const QString &kind);
QString shownWarnings(const QStringList &warnings);

} // namespace kavrel::commands::preview
