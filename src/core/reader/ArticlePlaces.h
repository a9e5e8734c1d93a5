#pragma once

#include "reader/LogMarkerIndex.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace kavrel::reader {

// How the article view finds what it shows of a row in the log. The view
// and everything that reads articles as the view shows them (the full-text
// index, export) take these, so that they cannot come to differ.

// A title row that stands for one of the user's own waiting commands
// ([書込…], [レス…], [手紙…]): no article of the log.
bool isMarkRow(const QString &item);

// Answers after the command prompt that mean the article's text was read:
// Enter, a read command or yes (Enter first: it is the most common).
const QStringList &readAnswers();

// Whether the article's text was read: no prompt in it, or one answered with
// Enter, a read command or yes.
bool answeredRead(QStringView text, const QString &prompt);

// Where an article that starts at start ends (0: at the end of the log).
// find(places, endSoFar) answers the next place of a marker at or after
// start (0: none); a marker matters only before the end found so far.
template <typename Find> qsizetype articleEndBy(LogMarkerIndex &index, const QString &titleItem, Find find)
{
    qsizetype end = find(index.articleHeader(), qsizetype(0));
    const qsizetype r = find(index.readEnd(), end);
    if ((end == 0 || r < end) && r > 0)
        end = r;
    const qsizetype n = find(index.boardLine(), end);
    // Mails may run past board lines.
    if ((end == 0 || (n < end && n > 0)) && !titleItem.startsWith(QLatin1String("[mail")))
        end = n;
    // A prompt can only shorten an end already found.
    const qsizetype prompt = end > 0 ? find(index.mainPrompt(), end) : 0;
    if (prompt > 0 && prompt < end)
        end = prompt;
    return end;
}

// The same, from the places the index keeps.
qsizetype articleEnd(LogMarkerIndex &index, qsizetype start, const QString &titleItem);

// Where the text of a row's article starts, outside an unread search: after
// the first of its article lines (key on the board of boardKey) whose article
// was read. endOf(p) tells where the article of the line at p ends. 0 when
// none was read.
template <typename EndOf>
qsizetype firstReadArticle(
    LogMarkerIndex &index, const QString &boardKey, const QString &key, const QString &prompt, EndOf endOf)
{
    const QString &log = index.text();
    for (qsizetype p = index.findArticleLine(boardKey, key, 1); p != 0;
         p = index.findArticleLine(boardKey, key, p + 1)) {
        const qsizetype end = endOf(p);
        const QStringView text = end == 0 ? QStringView(log).mid(p - 1)
                                          : QStringView(log).mid(p - 1, qMax<qsizetype>(0, end - p));
        if (answeredRead(text, prompt))
            return p + 2;
    }
    return 0;
}

// Where the mail of a row of the mail box starts: row k shows the (k + 1)-th
// mail line of the log. 0 when the log holds fewer mails than rows.
qsizetype mailStart(LogMarkerIndex &index, int row);

// The key of a row whose number was garbled in the capture, and what the view
// shows for it.
inline constexpr QStringView kGarbledKey = u"(?\?\?\?/";
QString garbledRowText();

// What the view shows when an article has no line to show.
QString unshowableText();

// A chat-room visit's lines: the lines that begin with "[" from start (1-based) on.
void appendChatLines(const QString &log, qsizetype start, QStringList &lines);

// The lines of an article's text: each line that a CRLF ends.
void appendArticleLines(QStringView article, QStringList &lines);

} // namespace kavrel::reader
