#pragma once

#include "fulltext/FullTextIndex.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVector>

#include <utility>

namespace kavrel::fulltext {

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

// Days of article dates; an invalid end is open.
struct DayRange
{
    QDate since;
    QDate until;
    bool isOpen() const { return !since.isValid() && !until.isValid(); }
    // Whether the day of a "YYYY-MM-DD ..." date-time is in the range (a
    // closed range holds no article without a date).
    bool contains(const QString &dateTime) const;
};

// The days of the months from first to last ("YYYY-MM"), both whole.
DayRange daysOfMonths(const QString &first, const QString &last);

// The articles of the captures, each once, in no particular order. The log
// order is the net selection screen's (by file name).
QVector<ArchiveArticle> articlesAcross(const QVector<IndexedCapture> &captures);

// The rows of one board (the captures are of that board alone): on the mail
// box, the mails by date-time; on a board, top-level articles by number and
// under each its responses by number, at any depth, equal numbers by
// date-time. A response goes under the one article of the board with the
// number it answers, when that number is below its own (so that a reset
// board's numbers make no loop); it is a top-level row when the number
// matches no article or more than one, or when days leaves its parent out.
QVector<ArchiveRow> archiveRows(const QVector<IndexedCapture> &captures, const DayRange &days = {});
// The same of the board's articles, as articlesAcross gives them.
QVector<ArchiveRow> archiveRowsOf(const QVector<ArchiveArticle> &articles, const DayRange &days = {});

// One hit per article instead of one per capture, in the order of each
// article's first hit: each shows the capture the archive shows (its log,
// title and sender) and counts the captures; chat-room visits stay as they
// are. The snippet stays the one of the first hit. False on an index error.
// A board with manyHits hits or more has its captures read at once.
bool onePerArticle(FullTextIndex &index, QVector<Hit> *hits, int manyHits = 64);

// One board of a net's archive as the boards' list shows it.
struct ArchiveBoard
{
    int boardNo = 0; // 0 is the mail box
    QString name; // from the newest capture
    int articles = 0; // each once, however often captured
    QString first; // the earliest article's date-time, or empty
    QString last; // the latest's
};

// Every board the captures hold, by number: each board's articles counted
// once, its name taken from the newest log that captured it.
QVector<ArchiveBoard> boardsAcross(const QVector<IndexedCapture> &captures);
// The same, given the captures' articles as articlesAcross gives them.
QVector<ArchiveBoard> boardsAcross(
    const QVector<IndexedCapture> &captures, const QVector<ArchiveArticle> &articles);

// Articles per month ("YYYY-MM"), every month from the first article's to
// the last's, months without any included. Articles without a date are not
// counted.
QList<std::pair<QString, int>> articlesPerMonth(const QVector<IndexedCapture> &captures);
QList<std::pair<QString, int>> articlesPerMonthOf(const QVector<ArchiveArticle> &articles);

} // namespace kavrel::fulltext
