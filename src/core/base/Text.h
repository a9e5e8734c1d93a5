#pragma once

#include <QString>

// The reader's text walking counts characters from 1, as the host's logs are
// described: "find X from p" answers the 1-based position of the first X at or
// after p, and 0 when there is none. Every algorithm over logs, board lists and
// up files is written with these few helpers so that positions never mix bases.
namespace kavrel {

// Lines of logs, board lists, ID lists, TEMP.TXT and up-file commands end with
// carriage return and line feed.
inline const QString CRLF = QStringLiteral("\r\n");

} // namespace kavrel

namespace kavrel::text {

// Position (1-based) of the first occurrence of needle in haystack at or after
// from; 0 when absent. A from below 1 counts as 1.
qsizetype findFrom(const QString &haystack, const QString &needle, qsizetype from = 1);
qsizetype findFrom(const QString &haystack, QChar needle, qsizetype from = 1);
// The same over views, for walking the log text without copying it.
qsizetype findFrom(QStringView haystack, QStringView needle, qsizetype from = 1);
qsizetype findFrom(QStringView haystack, QChar needle, qsizetype from = 1);

// The 0-based position of the first needle at or after from (0 <= from),
// -1 when none, as QStringView::indexOf answers it. Made for the log's
// markers: it looks for one character of the needle that is no line end or
// blank with the character search and compares the whole needle there, where
// the general search sets up a skip table at every call.
qsizetype indexOfMarker(QStringView haystack, QStringView needle, qsizetype from = 0);

// Position (1-based) of the last occurrence of needle; 0 when absent.
qsizetype findLast(const QString &haystack, const QString &needle);

// The characters from the 1-based position start, length characters long
// (to the end when length is negative or runs past it). Out-of-range starts
// give an empty text, never a fault.
QString mid(const QString &s, qsizetype start, qsizetype length = -1);
QStringView midView(QStringView s, qsizetype start, qsizetype length = -1);

// The first n characters (all when n exceeds the length, none when n <= 0).
QString left(const QString &s, qsizetype n);
// The last n characters.
QString right(const QString &s, qsizetype n);

// The character at a 1-based position, or a null character outside the text.
QChar charAt(const QString &s, qsizetype pos);

// The numeric value of a text: its leading number, blanks ignored (also
// between digits), an optional sign, 0 when it starts with no digit.
// The fraction after a decimal point is dropped.
qint64 val(const QString &s);

// Decimal text of a number preceded by one blank for non-negative values,
// the way board numbers are written into commands (12 -> " 12").
QString numberWithBlank(qint64 n);

// The text without its trailing blanks (0x20), as record fields are padded.
QString trimTrailingBlanks(const QString &s);

// The text padded with blanks or cut to exactly width characters.
QString fixedWidth(const QString &s, qsizetype width);

} // namespace kavrel::text
