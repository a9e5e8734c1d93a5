#include "fulltext/ArticleSource.h"

#include "base/BoardItemText.h"
#include "base/Text.h"
#include "logindex/LogScanner.h"
#include "reader/ArticleView.h"
#include "reader/LogMarkerIndex.h"
#include "reader/TitleRows.h"
#include "session/LogBoards.h"

#include <algorithm>
#include <utility>

namespace kavrel::fulltext {

namespace {

const QString kChatPrefix = boarditem::kChatPrefix + QStringLiteral(" No");

bool digitAt(QStringView s, qsizetype i)
{
    return i >= 0 && i < s.size() && s.at(i) >= u'0' && s.at(i) <= u'9';
}

bool digitsAt(QStringView s, qsizetype i, qsizetype n)
{
    for (qsizetype k = 0; k < n; ++k) {
        if (!digitAt(s, i + k))
            return false;
    }
    return true;
}

// The first "YY/MM/DD" of a line that no digit touches; -1 when none.
qsizetype findDate(QStringView line)
{
    for (qsizetype i = 0; i + 8 <= line.size(); ++i) {
        if (digitsAt(line, i, 2) && line.at(i + 2) == u'/' && digitsAt(line, i + 3, 2)
            && line.at(i + 5) == u'/' && digitsAt(line, i + 6, 2) && !digitAt(line, i - 1)
            && !digitAt(line, i + 8))
            return i;
    }
    return -1;
}

// The first time "H:MM", "HH:MM" or either with ":SS" that no digit touches,
// from position from, as "HH:MM:SS"; empty when none.
QString findTime(QStringView line, qsizetype from)
{
    for (qsizetype p = from; p < line.size(); ++p) {
        if (digitAt(line, p - 1))
            continue;
        for (qsizetype h = 2; h >= 1; --h) {
            if (!digitsAt(line, p, h) || p + h >= line.size() || line.at(p + h) != u':'
                || !digitsAt(line, p + h + 1, 2))
                continue;
            const qsizetype q = p + h + 3;
            const bool seconds
                = q < line.size() && line.at(q) == u':' && digitsAt(line, q + 1, 2) && !digitAt(line, q + 3);
            if (!seconds && digitAt(line, q))
                continue;
            // Made in place: every article has one, and formatting costs more.
            QChar clock[8]
                = { u'0', line.at(p), u':', line.at(p + h + 1), line.at(p + h + 2), u':', u'0', u'0' };
            if (h == 2)
                clock[0] = line.at(p), clock[1] = line.at(p + 1);
            if (seconds)
                clock[6] = line.at(q + 1), clock[7] = line.at(q + 2);
            return QString(clock, 8);
        }
    }
    return {};
}

// The first date "YY/MM/DD" of an article's first lines and the first time
// after it, as "YYYY-MM-DD HH:MM:SS".
QString dateTimeOf(const QStringList &lines)
{
    const qsizetype n = qMin<qsizetype>(lines.size(), 3);
    for (qsizetype i = 0; i < n; ++i) {
        const QStringView line = lines.at(i);
        const qsizetype d = findDate(line);
        if (d < 0)
            continue;
        const bool old = line.at(d) >= u'8'; // a two-digit year below 80 is 20xx
        QString out(QStringLiteral("2000-00-00 00:00:00"));
        out[0] = old ? u'1' : u'2';
        out[1] = old ? u'9' : u'0';
        out[2] = line.at(d);
        out[3] = line.at(d + 1);
        out[5] = line.at(d + 3);
        out[6] = line.at(d + 4);
        out[8] = line.at(d + 6);
        out[9] = line.at(d + 7);
        QString clock;
        qsizetype from = d + 8;
        for (qsizetype j = i; j < n && clock.isEmpty(); ++j, from = 0)
            clock = findTime(lines.at(j), from);
        if (!clock.isEmpty())
            out.replace(11, 8, clock);
        return out;
    }
    return {};
}

// The sender of an article, from its info text as the title list takes it:
// after the size token, up to the end of that line; ID ":" name, or the ID
// alone (a title-only capture's "-only" line).
void senderOf(const QStringList &lines, IndexedArticle &a)
{
    const QString text = lines.join(CRLF);
    const qsizetype s = reader::infoStart(text);
    if (s == 0)
        return;
    const qsizetype e = text.indexOf(CRLF, s - 1);
    const QStringView info = QStringView(text).mid(s - 1, e < 0 ? -1 : e - (s - 1));
    const qsizetype colon = info.indexOf(u':');
    a.senderId = (colon < 0 ? info : info.left(colon)).trimmed().toString();
    a.senderName = colon < 0 ? QString() : info.mid(colon + 1).trimmed().toString();
}

// The number a response answers: its second line begins with " <" + number.
QString parentOf(const QStringList &lines)
{
    for (qsizetype i = 1; i < qMin<qsizetype>(lines.size(), 3); ++i) {
        const QString &line = lines.at(i);
        if (!line.startsWith(QLatin1String(" <")))
            continue;
        qsizetype e = 2;
        while (e < line.size() && line.at(e) != u':' && line.at(e) != u'>')
            ++e;
        return line.mid(2, e - 2).trimmed();
    }
    return {};
}

QString boardNameOf(const QString &item)
{
    const qsizetype a = item.indexOf(QStringLiteral("｢"));
    const qsizetype b = item.indexOf(QStringLiteral("｣"), a + 1);
    if (a < 0)
        return item;
    return b < 0 ? item.mid(a + 1) : item.mid(a + 1, b - a - 1);
}

// The keys of the numbered boards, as the open log pairs them with their items.
QStringList numberedBoardKeys(const logindex::LogAloneBoards &boards)
{
    QStringList keys;
    for (const BoardItem &board : readBoardItems(boards.items, boards.keys)) {
        if (!board.isChat())
            keys.append(board.key);
    }
    return keys;
}

// What a chat room's visit adds to its article: the room as its board, and
// its place in the log, its first chat line (from searches from chatFrom on).
void placeChatVisit(const QString &logText, const QString &boardItem, qsizetype &chatFrom, IndexedArticle &a)
{
    const QString room = boardItem.mid(kChatPrefix.size());
    const qsizetype dot = room.indexOf(u'.');
    a.boardNo = -1;
    a.board = u'X' + (dot < 0 ? room : room.left(dot)).trimmed();
    a.boardName = dot < 0 ? room : room.mid(dot + 1);
    a.number = QStringLiteral("-");
    if (a.title.trimmed().isEmpty())
        a.title = a.boardName; // a visit has no title of its own
    const qsizetype at = logText.indexOf(a.lines.first() + CRLF, chatFrom);
    if (at >= 0) {
        chatFrom = at + 1;
        a.end = at + a.lines.first().size() + 1;
    }
}

// A chat-room visit carries no date: it takes the latest date of the
// articles before it in the log.
void dateChatVisits(QVector<IndexedArticle> &out)
{
    QList<std::pair<qsizetype, QString>> dated;
    for (const IndexedArticle &a : std::as_const(out)) {
        if (a.boardNo >= 0 && !a.dateTime.isEmpty())
            dated.append({ a.end, a.dateTime });
    }
    std::sort(dated.begin(), dated.end());
    QStringList latestUpTo; // latestUpTo[i]: the latest date of dated[0..i]
    for (const auto &d : std::as_const(dated))
        latestUpTo.append(latestUpTo.isEmpty() ? d.second : qMax(latestUpTo.last(), d.second));
    for (IndexedArticle &a : out) {
        if (a.boardNo >= 0)
            continue;
        const auto it
            = std::lower_bound(dated.begin(), dated.end(), std::pair<qsizetype, QString>(a.end, QString()));
        const qsizetype before = it - dated.begin();
        if (before > 0)
            a.dateTime = latestUpTo.at(before - 1);
    }
}

} // namespace

QVector<IndexedArticle> articlesOfLog(const QString &logText, const settings::NetMarkers &markers,
    int serialFlag, const std::function<void(int done, int total)> &boardDone,
    const std::function<void(IndexedArticle &)> &take)
{
    const logindex::LogAloneBoards boards = logindex::boardsOfLogAlone(logText, markers, serialFlag);
    const logindex::ParsedLog parsed(logText, markers.ArticleHeader, markers.ReadEndMarker, serialFlag == 1);
    // The rows' lines are read from the index's places, as the view reads them.
    reader::LogMarkerIndex index;
    index.sync(logText, markers, numberedBoardKeys(boards));
    const UpFile noCommands { QString() }; // no up file is read here: no mark rows to index

    QVector<IndexedArticle> out;
    const qsizetype textEnd = logText.size() + 1;
    const int boardCount = int(boards.items.size());
    for (int item = 0; item < boardCount; ++item) {
        if (boardDone)
            boardDone(item, boardCount);
        const QString &boardItem = boards.items.at(item);
        const BoardItem board = BoardItem::fromText(boardItem);
        const bool chat = boardItem.startsWith(kChatPrefix);
        const reader::BoardPlace place { boards.keys.value(item), reader::chatRoomKey(boardItem),
            markers.SubcommandMarker };
        reader::TitleListInput input { parsed, board, place.boardKey, noCommands, markers, serialFlag == 1 };
        if (board.isChat())
            input.chatStarts = &index.chatStarts(place.roomKey, 1);
        const reader::TitleList list = reader::titleListOf(input);
        // Made once for the board and shared by its articles: a large log has many.
        const int boardNo = chat ? -1 : int(text::val(text::mid(boardItem, 4, 5)));
        const QString boardText = QString::number(boardNo);
        const QString boardName = boardNameOf(boardItem);
        qsizetype chatFrom = 0;
        for (int row = 0; row < list.size(); ++row) {
            const reader::ArticleView view = reader::viewOfRow(index, list, row, place);
            if (!view.found)
                continue;
            IndexedArticle a;
            a.lines = view.lines;
            a.end = view.end > 0 ? view.end : textEnd;
            a.title = list.plainTitle(row, serialFlag == 1);
            if (chat) {
                a.row = row;
                placeChatVisit(logText, boardItem, chatFrom, a);
            } else {
                a.boardNo = boardNo;
                a.board = boardText;
                a.boardName = boardName;
                a.number = reader::bracketText(list.rows[size_t(row)].bracketed()).trimmed();
                a.row = a.boardNo == 0 ? row : 0;
                a.parent = parentOf(a.lines);
                senderOf(a.lines, a);
                a.dateTime = dateTimeOf(a.lines);
            }
            if (take)
                take(a);
            out.append(std::move(a));
        }
    }
    dateChatVisits(out);
    return out;
}

} // namespace kavrel::fulltext
