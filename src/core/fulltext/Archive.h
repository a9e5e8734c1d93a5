#pragma once

#include "fulltext/FullTextIndex.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVector>

#include <optional>
#include <utility>

namespace kavrel::fulltext {

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
// A board with manyHits articles hit or more has its captures read at once.
bool onePerArticle(FullTextIndex &index, QVector<Hit> *hits, int manyHits = 4096);

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

// A row as the listing of a board's history prints it: depth, number
// ("mail" on the mail box), date-time, sender ID, title, captures and the log
// shown, TAB-separated, a TAB within a field written as "\t".
QString archiveLineOf(const ArchiveRow &row);

// One board's archive made from its records (of that board alone): the
// board as boardsAcross gives it, its months with articles, and with rows
// its rows and their lines.
BoardArchive boardArchiveOf(const QVector<IndexedCapture> &captures, bool rows = true);

// Brings the archive the index keeps of a net (or one board), its rows too,
// in line with its records, as refreshArchive does with boardArchiveOf.
bool refreshKeptArchive(FullTextIndex &index, const QString &net, std::optional<int> boardNo, bool *current);

// From the archive the index keeps, each board made again first where its
// records changed (or from the records themselves when such an index can
// only be read); false on an index error. A board's rows, as archiveRows
// gives them of its records:
bool boardRows(
    FullTextIndex &index, const QString &net, int boardNo, const DayRange &days, QVector<ArchiveRow> *rows);
// The first count rows of a board, as boardRows gives them without days,
// and how many rows the board has: the rest are read with the index's
// keptRows. Every row when they are made from the records.
bool firstBoardRows(FullTextIndex &index, const QString &net, int boardNo, qsizetype count,
    QVector<ArchiveRow> *rows, qsizetype *total);
// Every board of the net, as boardsAcross gives them:
bool boardsOf(FullTextIndex &index, const QString &net, QVector<ArchiveBoard> *boards);
// The articles per month of the net or of one board, as articlesPerMonth
// gives them:
bool monthsOf(FullTextIndex &index, const QString &net, std::optional<int> boardNo,
    QList<std::pair<QString, int>> *months);

} // namespace kavrel::fulltext
