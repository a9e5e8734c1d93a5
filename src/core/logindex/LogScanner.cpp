#include "logindex/LogScanner.h"

#include "base/BoardItemText.h"
#include "base/Text.h"
#include "logindex/BoardListFile.h"
#include "session/LogBoards.h"
#include "session/Session.h"

#include <QHash>

#include <algorithm>
#include <map>
#include <utility>

namespace kavrel::logindex {

using text::findFrom;
using text::left;
using text::mid;
using text::val;

namespace {

const QString kChatItem = boarditem::kChatPrefix + QStringLiteral(" No");
const QString kOpenBracket = QStringLiteral("｢");
const QString kCloseBracket = QStringLiteral("｣");
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

// The room an item names after its "[XCHAT] No" at p (0-based): the whole
// number before the next ".", as the host echoes a chosen room; 0 for none.
qint64 roomNumberAt(const QString &item, qsizetype p)
{
    const qsizetype from = p + kChatItem.size();
    const qsizetype dot = item.indexOf(u'.', from);
    return val(item.mid(from, dot < 0 ? -1 : dot - from));
}

} // namespace

LogScanner::LogScanner(Session &session)
    : m_session(session)
    , m_frozen(session.flag(settings::OptionFlags::BoardListFrozen))
{
}

void LogScanner::run(const std::function<void()> &beforeFirstBoard)
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
    if (beforeFirstBoard)
        beforeFirstBoard();
    finish();
}

void LogScanner::scanLogAlone()
{
    m_session.main.Board_List.clear();
    m_entries.clear();
    m_keys.clear();
    m_fromLog.clear();
    collectBoardsOfLog();
    sortByBoardNumber();
    removeIncompleteAndRepeated();
    fillBoards();
    addChatRoomsOfLog();
    sortChatRooms();
}

void LogScanner::readBoardListFile()
{
    m_readLines.clear();
    m_entries.clear();
    m_keys.clear();
    m_fromLog.clear();
    // Without a file name the path is the list directory itself: nothing to read or write.
    if (m_session.netField(settings::NetRecord::Board_list_File_Name).isEmpty()) {
        m_listUnreadable = true;
        return;
    }
    QString text;
    fileio::FileError error;
    m_listUnreadable = !BoardListFile::read(m_session.boardListFilePath(), &text, &m_readLines, &error);
    if (m_listUnreadable) {
        // Remembered boards are not to be lost by writing what little is known over them.
        m_session.reportFileError(fileio::FileAccess::Read, error);
        return;
    }
    const auto remembered = BoardListFile::parse(text);
    for (const auto &entry : remembered) {
        m_entries.append(entry.text);
        m_keys.append(entry.key);
        m_fromLog.append(false);
    }
}

void LogScanner::collectBoardsOfLog()
{
    const QString &log = m_session.log.LogText;
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
        m_fromLog.append(true);
        from = start + 2;
    }
}

QString LogScanner::keyOfBoard(const QString &entry, qsizetype h2)
{
    const QString number = mid(entry, 4, 2);
    if (number == QLatin1String("0 ") || number == QLatin1String(" 0"))
        return QStringLiteral("mail ");

    const QString &log = m_session.log.LogText;
    if (h2 == 0)
        return {};
    if (h2 == m_lastKeyHeader)
        return m_lastKey;
    QString key;
    const qsizetype e2 = findFrom(log, CRLF, h2 + 3);
    if (e2 != 0) {
        // The key ends at the first "(" of the line after the header line,
        // and never runs past that line: a key with a line end in it would
        // break the one-line-per-board layout of the board list file. Empty
        // lines that some hosts print before it are passed over, but not the
        // read-end message: an article without a key line has no key.
        qsizetype lineStart = e2 + 2;
        while (QStringView(log).mid(lineStart - 1).startsWith(CRLF))
            lineStart += 2;
        if (!m_session.ReadEndMarker.isEmpty()
            && QStringView(log).mid(lineStart - 1).startsWith(m_session.ReadEndMarker))
            lineStart = e2 + 2;
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

namespace {

// Counts of marked positions, with prefix sums and the k-th unmarked slot.
class Fenwick
{
public:
    explicit Fenwick(qsizetype n)
        : m_tree(n + 1, 0)
    {
    }

    void add(qsizetype i, int delta)
    {
        for (++i; i < m_tree.size(); i += i & -i)
            m_tree[i] += delta;
    }
    // The count in positions 0 .. i - 1.
    qsizetype before(qsizetype i) const
    {
        qsizetype sum = 0;
        for (; i > 0; i -= i & -i)
            sum += m_tree.at(i);
        return sum;
    }
    // The position holding the k-th (0-based) count, when every count is 0 or 1.
    qsizetype find(qsizetype k) const
    {
        qsizetype pos = 0;
        qsizetype step = 1;
        while (step * 2 < m_tree.size())
            step *= 2;
        for (; step > 0; step /= 2) {
            if (pos + step < m_tree.size() && m_tree.at(pos + step) <= k) {
                pos += step;
                k -= m_tree.at(pos);
            }
        }
        return pos;
    }

private:
    QVector<qsizetype> m_tree;
};

} // namespace

QVector<qsizetype> exchangeSortOrder(const QVector<qint64> &numbers)
{
    // The exchange sort carries the first candidate along and swaps it for
    // every later one of a smaller number. Seen from the candidates of one
    // number v, only those of smaller numbers matter: when the first of all
    // candidates not above v is one of number v, it travels over the others
    // of number v up to the first smaller candidate, and the candidates of
    // number v before that one turn by one place. So the candidates of v end
    // in the order of a ring that each of them joins at its end, turned by
    // one for every smaller candidate that follows.
    const qsizetype n = numbers.size();
    QVector<qsizetype> byNumber(n);
    for (qsizetype i = 0; i < n; ++i)
        byNumber[i] = i;
    std::stable_sort(byNumber.begin(), byNumber.end(),
        [&](qsizetype a, qsizetype b) { return numbers.at(a) < numbers.at(b); });

    QVector<qsizetype> order;
    order.reserve(n);
    Fenwick smaller(n); // the candidates of the numbers done so far
    for (qsizetype first = 0; first < n;) {
        qsizetype last = first;
        while (last < n && numbers.at(byNumber.at(last)) == numbers.at(byNumber.at(first)))
            ++last;
        const qsizetype count = last - first;
        // Insert positions in the ring, as it grows; the head is where it is read from.
        QVector<qsizetype> insertAt(count);
        qsizetype head = 0;
        for (qsizetype k = 0; k < count; ++k) {
            const qsizetype at = byNumber.at(first + k);
            const qsizetype next = k + 1 < count ? byNumber.at(first + k + 1) : n;
            insertAt[k] = head;
            const qsizetype size = k + 1;
            const qsizetype turns = smaller.before(next) - smaller.before(at + 1);
            head = (head + 1 + turns) % size;
        }
        // Placing the insertions from the last: each takes the free slot its index names.
        QVector<qsizetype> ring(count);
        Fenwick free(count);
        for (qsizetype k = 0; k < count; ++k)
            free.add(k, 1);
        for (qsizetype k = count - 1; k >= 0; --k) {
            const qsizetype slot = free.find(insertAt.at(k));
            ring[slot] = byNumber.at(first + k);
            free.add(slot, -1);
        }
        for (qsizetype k = 0; k < count; ++k)
            order.append(ring.at((head + k) % count));
        for (qsizetype k = first; k < last; ++k)
            smaller.add(byNumber.at(k), 1);
        first = last;
    }
    return order;
}

void LogScanner::sortByBoardNumber()
{
    // The order of an exchange sort in which empty and chat-room candidates
    // stay where they are, computed without its quadratic walk.
    const qsizetype n = m_entries.size();
    QVector<qsizetype> places;
    QVector<qint64> numbers;
    for (qsizetype i = 0; i < n; ++i) {
        if (!m_entries.at(i).isEmpty() && !boarditem::isChat(m_entries.at(i))) {
            places.append(i);
            numbers.append(boarditem::fiveDigitBoardNumber(m_entries.at(i)));
        }
    }
    const QVector<qsizetype> order = exchangeSortOrder(numbers);
    QStringList entries = m_entries;
    QStringList keys = m_keys;
    QVector<bool> fromLog = m_fromLog;
    for (qsizetype k = 0; k < order.size(); ++k) {
        const qsizetype to = places.at(k);
        const qsizetype from = places.at(order.at(k));
        entries[to] = m_entries.at(from);
        keys[to] = m_keys.value(from);
        fromLog[to] = m_fromLog.value(from);
    }
    m_entries = entries;
    m_keys = keys;
    m_fromLog = fromLog;
}

void LogScanner::removeIncompleteAndRepeated()
{
    // The same board number printed the same way (the text before "｢") is the
    // same board; the first candidate wins. A board line that the log cut
    // before its "｣" never wins over a whole one of the same board: it would
    // replace a remembered board by a line that cannot be read back.
    const qsizetype n = m_entries.size();
    QHash<QString, qsizetype> winner; // prefix -> the candidate kept for it
    for (qsizetype i = 0; i < n; ++i) {
        QString &entry = m_entries[i];
        if (entry.isEmpty() || boarditem::isChat(entry))
            continue; // chat rooms are kept whole, brackets or none
        const qsizetype bracket = findFrom(entry, kOpenBracket);
        if (bracket == 0) {
            entry.clear();
            continue;
        }
        const QString prefix = left(entry, bracket - 1);
        const auto found = winner.constFind(prefix);
        if (found == winner.constEnd()) {
            winner.insert(prefix, i);
            continue;
        }
        QString &kept = m_entries[*found];
        const bool keptWhole = kept.contains(kCloseBracket);
        if (!keptWhole && entry.contains(kCloseBracket)) {
            kept.clear();
            winner.insert(prefix, i);
        } else {
            entry.clear();
        }
    }
}

void LogScanner::fillBoards()
{
    QStringList &keys = m_session.log.BoardKeys;
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
    // A room the file holds twice is listed once, as its later line, the way
    // entering a room again replaces its earlier item.
    QStringList rooms;
    QHash<qint64, qsizetype> lineOfRoom;
    for (const QString &entry : std::as_const(m_entries)) {
        if (!boarditem::isChat(entry))
            continue;
        const qsizetype p = entry.indexOf(kChatItem);
        const qint64 room = p < 0 ? 0 : roomNumberAt(entry, p);
        if (room != 0) {
            const auto earlier = lineOfRoom.constFind(room);
            if (earlier != lineOfRoom.constEnd())
                rooms[*earlier].clear();
            lineOfRoom.insert(room, rooms.size());
        }
        rooms.append(entry);
    }
    for (const QString &room : std::as_const(rooms)) {
        if (!room.isEmpty())
            m_session.main.Board_List.addItem(room);
    }
}

void LogScanner::addChatRoomsOfLog()
{
    const QString &log = m_session.log.LogText;
    const QString &question = m_session.XchatMarker;
    if (question.isEmpty())
        return; // an empty question would make every line a chat room
    ListBox &list = m_session.main.Board_List;

    // The items that name a room after one of their "[XCHAT] No", by room
    // number, so that the items of a room are found without walking the
    // whole list for every question. The whole number counts: room 1 is not
    // room 12, and " 3" is room 3 as "3" is.
    QStringList items = list.items;
    QVector<bool> alive(items.size(), true);
    std::multimap<qint64, qsizetype> rooms;
    QVector<QVector<std::multimap<qint64, qsizetype>::iterator>> roomsOf(items.size());
    const auto index = [&](qsizetype i) {
        const QString &item = items.at(i);
        for (qsizetype p = item.indexOf(kChatItem); p >= 0; p = item.indexOf(kChatItem, p + 1))
            roomsOf[i].append(rooms.emplace(roomNumberAt(item, p), i));
    };
    for (qsizetype i = 0; i < items.size(); ++i)
        index(i);

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
        items.append(kChatItem + room);
        const qint64 number = roomNumberAt(items.last(), 0);
        // Every earlier item of the room goes, also two in a row.
        QVector<qsizetype> earlier;
        for (auto [it, end] = rooms.equal_range(number); it != end; ++it)
            earlier.append(it->second);
        for (const qsizetype i : std::as_const(earlier)) {
            if (!alive.at(i))
                continue;
            alive[i] = false;
            for (const auto &at : std::as_const(roomsOf.at(i)))
                rooms.erase(at);
        }
        alive.append(true);
        roomsOf.resize(roomsOf.size() + 1);
        index(items.size() - 1);
    }
    QStringList kept;
    kept.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (alive.at(i))
            kept.append(items.at(i));
    }
    list.items = kept;
}

void LogScanner::sortChatRooms()
{
    // The chat-room items in the order their exchange sort by sort key gives,
    // the other items staying where they are.
    ListBox &list = m_session.main.Board_List;
    QVector<qsizetype> places;
    QStringList keys;
    for (qsizetype i = 0; i < list.items.size(); ++i) {
        if (boarditem::isChat(list.items.at(i))) {
            places.append(i);
            keys.append(chatSortKey(list.items.at(i)));
        }
    }
    QStringList distinct = keys;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    QVector<qint64> ranks;
    ranks.reserve(keys.size());
    for (const QString &key : std::as_const(keys))
        ranks.append(std::lower_bound(distinct.begin(), distinct.end(), key) - distinct.begin());
    const QVector<qsizetype> order = exchangeSortOrder(ranks);
    const QStringList before = list.items;
    for (qsizetype k = 0; k < order.size(); ++k)
        list.items[places.at(k)] = before.at(places.at(order.at(k)));
}

void LogScanner::finish()
{
    // Each item read once, before the first board is shown.
    m_session.log.LogBoards = readBoardItems(m_session.main.Board_List.items, m_session.log.BoardKeys);
    if (m_session.main.Board_List.ListCount() >= 1) {
        // Set before the selection: the board's handling may look at it.
        m_session.log.NoBoardsFlag = false;
        clickBoard(m_session.main, 0);
        if (!m_listUnreadable)
            SaveBoardList(m_session, m_readLines);
    } else {
        m_session.message(kNoBoardsMessage, MsgButtons::Ok);
        m_session.log.NoBoardsFlag = true;
    }
}

void ScanLog(Session &session, const std::function<void()> &beforeFirstBoard)
{
    LogScanner(session).run(beforeFirstBoard);
}

LogAloneBoards boardsOfLogAlone(const QString &text, const settings::NetMarkers &markers, int serialFlag)
{
    Session s;
    s.log.LogText = text;
    settings::useMarkers(s, markers, serialFlag);
    LogScanner(s).scanLogAlone();
    return { s.main.Board_List.items, s.log.BoardKeys };
}

} // namespace kavrel::logindex
