#include "logindex/LogScanner.h"

#include "base/BoardItemText.h"
#include "base/Text.h"
#include "logindex/BoardListFile.h"
#include "session/Session.h"

#include <utility>

namespace kavrel::logindex {

using text::findFrom;
using text::left;
using text::mid;
using text::val;

namespace {

const QString kChatItem = boarditem::kChatPrefix + QStringLiteral(" No");
const QString kOpenBracket = QStringLiteral("｢");
const QString kNoBoardsMessage
    = QStringLiteral("指定されたＬＯＧファイルはボードタイトルがありませんでした！");

// Answers "find needle from p" for start positions that only move forward,
// reusing the previous answer while it still lies ahead, so that walking a
// log board by board reads each part of it once.
class ForwardFinder
{
public:
    ForwardFinder(const QString &haystack, QString needle)
        : m_haystack(haystack)
        , m_needle(std::move(needle))
    {
    }

    qsizetype from(qsizetype p)
    {
        if (p < 1)
            p = 1;
        if (m_searched && p >= m_from && (m_hit == 0 || m_hit >= p))
            return m_hit;
        m_searched = true;
        m_from = p;
        m_hit = findFrom(m_haystack, m_needle, p);
        return m_hit;
    }

private:
    const QString &m_haystack;
    QString m_needle;
    bool m_searched = false;
    qsizetype m_from = 0;
    qsizetype m_hit = 0;
};

// The sort key of a chat-room item: from its twelfth character up to the
// first "." at or after the thirteenth (to the end when there is none).
QString chatSortKey(const QString &item)
{
    const qsizetype dot = findFrom(item, QChar(u'.'), 13);
    return dot == 0 ? mid(item, 12) : mid(item, 12, dot - 12);
}

} // namespace

LogScanner::LogScanner(Session &session)
    : m_session(session)
    , m_frozen(session.flag(settings::OptionFlags::BoardListFrozen))
{
}

void LogScanner::run()
{
    m_session.main.Board_List.clear();
    readBoardListFile();
    if (!m_frozen) {
        collectBoardsOfLog();
        sortByBoardNumber();
        removeIncompleteAndRepeated();
    }
    fillBoards();
    if (!m_frozen) {
        addRememberedChatRooms();
        addChatRoomsOfLog();
    }
    sortChatRooms();
    finish();
}

void LogScanner::readBoardListFile()
{
    m_entries.clear();
    m_keys.clear();
    const auto remembered = BoardListFile::parse(BoardListFile::read(m_session.boardListFilePath()));
    for (const auto &entry : remembered) {
        m_entries.append(entry.text);
        m_keys.append(entry.key);
    }
}

void LogScanner::collectBoardsOfLog()
{
    const QString &log = m_session.LogText;
    ForwardFinder boardLine(log, CRLF + QStringLiteral("No."));
    ForwardFinder header(log, m_session.ArticleHeader);
    ForwardFinder readEnd(log, CRLF + m_session.ReadEndMarker);
    m_lastKeyHeader = -1;

    qsizetype from = 1;
    for (;;) {
        const qsizetype found = boardLine.from(from);
        if (found == 0)
            break;
        const qsizetype start = found + 2;
        qsizetype lineEnd = findFrom(log, CRLF, start + 3);
        if (lineEnd == 0)
            lineEnd = log.size() + 1; // the log ends on the board line
        QString entry = mid(log, start, lineEnd - start);

        // Entered but not read: no article header, or the read-end message
        // comes first (or never).
        const qsizetype h = header.from(start);
        const qsizetype t = readEnd.from(start);
        QString key;
        if (h == 0 || t < h)
            entry.clear(); // a removed candidate needs no key
        else
            key = keyOfBoard(entry, header.from(lineEnd));
        m_entries.append(entry);
        m_keys.append(key);
        from = start + 2;
    }
}

QString LogScanner::keyOfBoard(const QString &entry, qsizetype h2)
{
    const QString number = mid(entry, 4, 2);
    if (number == QLatin1String("0 ") || number == QLatin1String(" 0"))
        return QStringLiteral("mail ");

    const QString &log = m_session.LogText;
    if (h2 == 0)
        return {};
    if (h2 == m_lastKeyHeader)
        return m_lastKey;
    QString key;
    const qsizetype e2 = findFrom(log, CRLF, h2 + 3);
    if (e2 != 0) {
        // The key ends at the first "(" of the line after the header line,
        // and never runs past that line: a key with a line end in it would
        // break the one-line-per-board layout of the board list file.
        const qsizetype lineStart = e2 + 2;
        qsizetype lineStop = findFrom(log, CRLF, lineStart);
        if (lineStop == 0)
            lineStop = log.size() + 1;
        const QString line = mid(log, lineStart, lineStop - lineStart);
        const qsizetype p = findFrom(line, QChar(u'('));
        key = p == 0 ? line : left(line, p - 1);
    }
    m_lastKeyHeader = h2;
    m_lastKey = key;
    return key;
}

void LogScanner::sortByBoardNumber()
{
    // An exchange sort: equal numbers keep their order, and empty or chat-room
    // candidates are never moved forward. The numbers travel with the entries.
    const qsizetype n = m_entries.size();
    QVector<qint64> number(n);
    QVector<bool> movable(n);
    for (qsizetype i = 0; i < n; ++i) {
        number[i] = boarditem::fiveDigitBoardNumber(m_entries.at(i));
        movable[i] = !m_entries.at(i).isEmpty() && !boarditem::isChat(m_entries.at(i));
    }
    for (qsizetype i = 0; i < n; ++i) {
        for (qsizetype j = i + 1; j < n; ++j) {
            if (movable[j] && number[i] > number[j]) {
                m_entries.swapItemsAt(i, j);
                m_keys.swapItemsAt(i, j);
                std::swap(number[i], number[j]);
                std::swap(movable[i], movable[j]);
            }
        }
    }
}

void LogScanner::removeIncompleteAndRepeated()
{
    // The same board number printed the same way (the text before "｢") is the
    // same board; the first candidate wins.
    const qsizetype n = m_entries.size();
    QStringList prefix;
    prefix.reserve(n);
    QVector<bool> candidate(n); // has "｢" and is no chat room: may be removed as a repeat
    for (qsizetype i = 0; i < n; ++i) {
        const QString &entry = m_entries.at(i);
        const qsizetype bracket = findFrom(entry, kOpenBracket);
        prefix.append(bracket == 0 ? QString() : left(entry, bracket - 1));
        candidate[i] = bracket != 0 && !boarditem::isChat(entry);
    }
    for (qsizetype i = 0; i < n; ++i) {
        if (!m_entries.at(i).contains(kOpenBracket))
            m_entries[i].clear();
        if (m_entries.at(i).isEmpty())
            continue;
        const QString &mine = prefix.at(i);
        for (qsizetype j = i + 1; j < n; ++j) {
            if (candidate[j] && !m_entries.at(j).isEmpty() && prefix.at(j) == mine)
                m_entries[j].clear();
        }
    }
}

void LogScanner::fillBoards()
{
    QStringList &keys = m_session.BoardKeys;
    if (keys.size() < 1001)
        keys.resize(1001);
    qsizetype k = 0;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const QString &entry = m_entries.at(i);
        if (entry.isEmpty() || boarditem::isChat(entry))
            continue;
        m_session.main.Board_List.addItem(entry);
        QString key = m_keys.value(i);
        if (key.endsWith(u' '))
            key.chop(1);
        if (k >= keys.size())
            keys.append(key);
        else
            keys[k] = key;
        ++k;
    }
}

void LogScanner::addRememberedChatRooms()
{
    for (const QString &entry : std::as_const(m_entries)) {
        if (boarditem::isChat(entry))
            m_session.main.Board_List.addItem(entry);
    }
}

void LogScanner::addChatRoomsOfLog()
{
    const QString &log = m_session.LogText;
    const QString &question = m_session.XchatMarker;
    if (question.isEmpty())
        return; // an empty question would make every line a chat room
    ListBox &list = m_session.main.Board_List;

    qsizetype g = 1;
    for (;;) {
        g = findFrom(log, question, g + 1);
        if (g == 0)
            break;
        const qsizetype e1 = findFrom(log, CRLF, g);
        if (e1 == 0)
            break;
        const qsizetype e2 = findFrom(log, CRLF, e1 + 1);
        if (e2 == 0)
            break;
        qsizetype e3 = findFrom(log, CRLF, e2 + 1);
        if (e3 == 0)
            e3 = log.size() + 1;
        // The host echoes the chosen room on the second line after the question.
        const QString room = mid(log, e2 + 2, e3 - e2 - 2);
        if (val(room) == 0)
            continue;
        const qsizetype dot = findFrom(room, QChar(u'.'));
        const QString number = dot == 0 ? room : left(room, dot - 1);
        const QString earlier = kChatItem + number;
        // Every earlier item of the room goes, also two in a row.
        for (qsizetype i = list.ListCount() - 1; i >= 0; --i) {
            if (list.item(i).contains(earlier))
                list.removeItem(i);
        }
        list.addItem(kChatItem + room);
    }
}

void LogScanner::sortChatRooms()
{
    ListBox &list = m_session.main.Board_List;
    const qsizetype count = list.ListCount();
    QStringList key;
    key.reserve(count);
    for (const QString &item : std::as_const(list.items))
        key.append(boarditem::isChat(item) ? chatSortKey(item) : QString());
    for (qsizetype i = 0; i < count; ++i) {
        if (!boarditem::isChat(list.item(i)))
            continue;
        for (qsizetype j = i; j < count; ++j) {
            if (boarditem::isChat(list.item(j)) && QString::compare(key.at(i), key.at(j)) > 0) {
                list.items.swapItemsAt(i, j);
                key.swapItemsAt(i, j);
            }
        }
    }
}

void LogScanner::finish()
{
    if (m_session.main.Board_List.ListCount() >= 1) {
        // Set before the selection: the board's handling may look at it.
        m_session.NoBoardsFlag = 0;
        m_session.main.selectBoard(0);
        SaveBoardList(m_session);
    } else {
        m_session.message(kNoBoardsMessage, MsgButtons::Ok);
        m_session.NoBoardsFlag = 1;
    }
}

void ScanLog(Session &session)
{
    LogScanner(session).run();
}

} // namespace kavrel::logindex
