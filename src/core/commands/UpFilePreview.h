#pragma once

#include "session/UpFile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// What the up file will send, command by command, with what may be wrong
// with each command: the rows of the send preview and of `kavrel-cli upfile`.
namespace kavrel::commands::preview {

struct Row
{
    int n = 0; // from 1, in send order
    QString kind; // write, response, mail, chat, batch
    qint64 board = 0; // 0 for a mail; a chat write's room
    QString reference; // the article answered or marked, a mail's recipient IDs joined by commas
    QString title;
    qsizetype bytes = 0; // in Shift-JIS with its line ends, as sent
    // empty, unknown-board, unknown-article, no-recipient, long-line, unclosed
    QStringList warnings;
    QString text; // the command as it stands in the up file

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
};

// A line longer than this many half-width columns is warned of.
constexpr int kLongLineColumns = 80;

// One row for each command Kavrel wrote, complete or not; text that is not a
// command of Kavrel's has no row.
QList<Row> rows(const UpFile &up, const Facts &facts);

} // namespace kavrel::commands::preview
