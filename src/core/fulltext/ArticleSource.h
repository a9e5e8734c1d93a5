#pragma once

#include "settings/NetMarkers.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace kavrel::fulltext {

// One article, mail or chat-room visit of a log as the reader shows it.
struct IndexedArticle
{
    int boardNo = 0; // the board number; 0 is the mail box, -1 a chat room
    QString board; // as printed: "12", "0", or "X" + room for a chat room
    QString boardName; // the board's title, or the chat room's name
    QString number; // as the title list shows it; "-" for a chat-room visit
    QString parent; // the number answered, or empty
    QString senderId;
    QString senderName;
    QString dateTime; // "YYYY-MM-DD HH:MM:SS", or empty when the article carries none
    QString title;
    QStringList lines; // the article view's lines
    int row = 0; // mails and chat-room visits: the row on their board's title list
    qsizetype end = 0; // where the article ends in the log text (1-based; past the end when unknown)

    bool operator==(const IndexedArticle &) const = default;
};

// Every article of one log, parsed on its own with the reader's title lists,
// each row's lines found in the log as the article view finds them, so that
// an article holds exactly the lines the view shows for it. An article
// captured twice is listed once, as the view shows it; a row the view shows
// nothing of its own for (an article never read) is left out.
// boardDone, when given, is told after each board how many of them are done;
// take, when given, is handed each article as it is found, in the order of the
// list, and may take its lines away (a large log's are then never all held).
QVector<IndexedArticle> articlesOfLog(const QString &logText, const settings::NetMarkers &markers,
    int serialFlag, const std::function<void(int done, int total)> &boardDone = {},
    const std::function<void(IndexedArticle &)> &take = {});

} // namespace kavrel::fulltext
