#include "fulltext/ArticleSource.h"

#include "base/Text.h"
#include "logindex/LogScanner.h"
#include "reader/Reader.h"
#include "reader/TitleListBuilder.h"
#include "session/Session.h"

#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace kavrel::fulltext {

namespace {

const QString kChatPrefix = QStringLiteral("[XCHAT] No");

// The first date "YY/MM/DD" of an article's first lines and the first time
// after it, as "YYYY-MM-DD HH:MM:SS".
QString dateTimeOf(const QStringList &lines)
{
    static const QRegularExpression date(
        QStringLiteral("(?<![0-9])([0-9]{2})/([0-9]{2})/([0-9]{2})(?![0-9])"));
    static const QRegularExpression time(
        QStringLiteral("(?<![0-9])([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?(?![0-9])"));
    const qsizetype n = qMin<qsizetype>(lines.size(), 3);
    for (qsizetype i = 0; i < n; ++i) {
        const QRegularExpressionMatch d = date.match(lines.at(i));
        if (!d.hasMatch())
            continue;
        const int yy = d.captured(1).toInt();
        const QString day = QStringLiteral("%1-%2-%3")
                                .arg(yy < 80 ? 2000 + yy : 1900 + yy)
                                .arg(d.captured(2), d.captured(3));
        QString clock = QStringLiteral("00:00:00");
        qsizetype from = d.capturedEnd();
        for (qsizetype j = i; j < n; ++j, from = 0) {
            const QRegularExpressionMatch t = time.match(lines.at(j), from);
            if (t.hasMatch()) {
                clock
                    = QStringLiteral("%1:%2:%3")
                          .arg(t.captured(1).toInt(), 2, 10, QLatin1Char('0'))
                          .arg(t.captured(2), t.captured(3).isEmpty() ? QStringLiteral("00") : t.captured(3));
                break;
            }
        }
        return day + u' ' + clock;
    }
    return {};
}

// The sender of an article: "bytes " followed by ID ":" name on one of its first lines.
void senderOf(const QStringList &lines, IndexedArticle &a)
{
    const qsizetype n = qMin<qsizetype>(lines.size(), 3);
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype b = lines.at(i).indexOf(QLatin1String("bytes "));
        if (b < 0)
            continue;
        const QString rest = lines.at(i).mid(b + 6).trimmed();
        const qsizetype colon = rest.indexOf(u':');
        if (colon < 0)
            return;
        a.senderId = rest.left(colon).trimmed();
        a.senderName = rest.mid(colon + 1).trimmed();
        return;
    }
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

} // namespace

QVector<IndexedArticle> articlesOfLog(
    const QString &logText, const settings::NetMarkers &markers, int serialFlag)
{
    Session s;
    s.log.LogText = logText;
    s.ArticleHeader = markers.ArticleHeader;
    s.MainPromptMarker = markers.MainPromptMarker;
    s.ReadEndMarker = markers.ReadEndMarker;
    s.SubcommandMarker = markers.SubcommandMarker;
    s.XchatMarker = markers.XchatMarker;
    s.Sirial_Flg = serialFlag;
    reader::Reader reader(s);
    reader.fileTime = nullptr; // no unread pointer: the dates of logs are never compared

    // The boards of this log alone: no board list file is read or written.
    s.main.Board_List.clear();
    logindex::LogScanner scanner(s);
    scanner.collectBoardsOfLog();
    scanner.sortByBoardNumber();
    scanner.removeIncompleteAndRepeated();
    scanner.fillBoards();
    scanner.addChatRoomsOfLog();
    scanner.sortChatRooms();

    QVector<IndexedArticle> out;
    MainWindowState &m = s.main;
    const qsizetype textEnd = logText.size() + 1;
    qsizetype chatFrom = 0;
    for (int item = 0; item < m.Board_List.ListCount(); ++item) {
        const QString boardItem = m.Board_List.item(item);
        const bool chat = boardItem.startsWith(kChatPrefix);
        m.Article.clear();
        s.unread.ReadPointer = 0; // raised to the end of each article shown
        reader.chooseBoard(item);
        for (int row = 0; row < m.Title.ListCount(); ++row) {
            if (row != m.Title.ListIndex) {
                m.Article.clear();
                s.unread.ReadPointer = 0;
                reader.chooseRow(row);
            }
            if (m.Title.ListIndex != row || m.Article.items.isEmpty())
                continue;
            IndexedArticle a;
            a.lines = m.Article.items;
            a.end = s.unread.ReadPointer > 0 ? s.unread.ReadPointer : textEnd;
            a.title = reader.plainTitle(row);
            if (chat) {
                const QString room = boardItem.mid(kChatPrefix.size());
                const qsizetype dot = room.indexOf(u'.');
                a.boardNo = -1;
                a.board = u'X' + (dot < 0 ? room : room.left(dot)).trimmed();
                a.boardName = dot < 0 ? room : room.mid(dot + 1);
                a.number = QStringLiteral("-");
                if (a.title.trimmed().isEmpty())
                    a.title = a.boardName; // a visit has no title of its own
                a.row = row;
                // The visit's place in the log: its first chat line.
                const qsizetype at = logText.indexOf(a.lines.first() + QStringLiteral("\r\n"), chatFrom);
                if (at >= 0) {
                    chatFrom = at + 1;
                    a.end = at + a.lines.first().size() + 1;
                }
            } else {
                a.boardNo = int(text::val(text::mid(boardItem, 4, 5)));
                a.board = QString::number(a.boardNo);
                a.boardName = boardNameOf(boardItem);
                a.number = reader::TitleListBuilder::bracketText(m.Title.item(row)).trimmed();
                a.row = a.boardNo == 0 ? row : 0;
                a.parent = parentOf(a.lines);
                senderOf(a.lines, a);
                a.dateTime = dateTimeOf(a.lines);
            }
            out.append(a);
        }
        chatFrom = 0;
    }

    // A chat-room visit carries no date: it takes the latest date of the
    // articles before it in the log.
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
    return out;
}

} // namespace kavrel::fulltext
