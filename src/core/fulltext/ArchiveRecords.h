#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include <optional>
#include <utility>

namespace kavrel::fulltext {

// One record of an article, mail or chat-room visit as the index holds it,
// without its lines: one capture of it in one log.
struct IndexedCapture
{
    qint64 id = 0; // the record's
    QString logFile; // the file name in LOG_Dir
    int boardNo = 0; // 0 is the mail box
    QString boardName;
    QString number;
    QString parent; // the number answered, or empty
    QString senderId;
    QString senderName;
    QString dateTime; // "YYYY-MM-DD HH:MM:SS", or empty
    QString title;
    int row = 0; // mails: the row on the mail box
    int lineCount = 0; // the lines the article view shows for it
    qsizetype end = 0; // where it ends in the log text (1-based; past the end when unknown)
};

// One article of a net's archive, however often it was captured. An article
// of a board is its board, number and header date-time; a mail is its
// date-time, sender ID and title.
struct ArchiveArticle
{
    IndexedCapture shown; // the capture whose view has the most lines, the newest log on a tie
    int captures = 0;
};

// One row of a board's history across every log, in thread order.
struct ArchiveRow
{
    int depth = 0; // 0 for a top-level row
    ArchiveArticle article;
};

// One board of a net's archive as the boards' list shows it.
struct ArchiveBoard
{
    int boardNo = 0; // 0 is the mail box
    QString name; // from the newest capture
    int articles = 0; // each once, however often captured
    QString first; // the earliest article's date-time, or empty
    QString last; // the latest's
};

// One board's archive as the index keeps it, made from the board's records.
struct BoardArchive
{
    QVector<ArchiveRow> rows; // in thread order
    QList<QByteArray> lines; // each row's line as the listing prints it, in UTF-8
    std::optional<ArchiveBoard> board; // none when no article of the board is left
    QList<std::pair<QString, int>> months; // "YYYY-MM" and its articles, months without any left out
};

} // namespace kavrel::fulltext
