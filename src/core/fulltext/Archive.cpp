#include "fulltext/Archive.h"

#include "logindex/LogFiles.h"

#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <numeric>
#include <vector>

namespace kavrel::fulltext {

namespace {

// An article number for ordering: numbers of digits by value (leading zeros
// aside), anything else after them by its text.
struct NumberKey
{
    bool other = false;
    qint64 value = 0; // of up to 18 digits, or -1 when longer
    QString text;
};

NumberKey numberKey(const QString &number)
{
    QStringView n = QStringView(number).trimmed();
    const bool digits
        = !n.isEmpty() && std::all_of(n.begin(), n.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits)
        return { true, 0, number };
    while (n.size() > 1 && n.front() == u'0')
        n = n.mid(1);
    if (n.size() <= 18)
        return { false, n.toLongLong(), {} };
    return { false, -1, n.toString() };
}

bool numberLess(const NumberKey &a, const NumberKey &b)
{
    if (a.other != b.other)
        return !a.other;
    if (a.other)
        return a.text < b.text;
    if (a.value >= 0 && b.value >= 0)
        return a.value < b.value;
    if ((a.value < 0) != (b.value < 0))
        return a.value >= 0; // the shorter number
    if (a.text.size() != b.text.size())
        return a.text.size() < b.text.size();
    return a.text < b.text;
}

QString identityOf(int boardNo, const QString &number, const QString &dateTime, const QString &senderId,
    const QString &title)
{
    const QChar tab(u'\t');
    if (boardNo == 0)
        return QString::number(boardNo) + tab + dateTime + tab + senderId + tab + title;
    return QString::number(boardNo) + tab + number.trimmed() + tab + dateTime;
}

QString identityOf(const IndexedCapture &c)
{
    return identityOf(c.boardNo, c.number, c.dateTime, c.senderId, c.title);
}

} // namespace

bool DayRange::contains(const QString &dateTime) const
{
    if (isOpen())
        return true;
    const QDate day = QDate::fromString(dateTime.left(10), QStringLiteral("yyyy-MM-dd"));
    return day.isValid() && (!since.isValid() || day >= since) && (!until.isValid() || day <= until);
}

DayRange daysOfMonths(const QString &first, const QString &last)
{
    const QString format = QStringLiteral("yyyy-MM-dd");
    const QDate since = QDate::fromString(first + QStringLiteral("-01"), format);
    const QDate until = QDate::fromString(last + QStringLiteral("-01"), format).addMonths(1).addDays(-1);
    return { since, until };
}

namespace {

// Each log's place in the net selection screen's list: later is newer.
QHash<QString, int> logRanks(const QVector<IndexedCapture> &captures)
{
    QStringList names;
    {
        QHash<QString, bool> seen;
        for (const IndexedCapture &c : captures) {
            if (!seen.contains(c.logFile)) {
                seen.insert(c.logFile, true);
                names.append(c.logFile);
            }
        }
    }
    names = logindex::logFilesAmong(names, QStringLiteral("*.*"));
    QHash<QString, int> rank;
    for (int i = 0; i < names.size(); ++i)
        rank.insert(names.at(i), i);
    return rank;
}

} // namespace

QVector<ArchiveArticle> articlesAcross(const QVector<IndexedCapture> &captures)
{
    const QHash<QString, int> rank = logRanks(captures);

    // Whether capture a is shown rather than b.
    const auto shownBefore = [&rank](const IndexedCapture &a, const IndexedCapture &b) {
        if (a.lineCount != b.lineCount)
            return a.lineCount > b.lineCount;
        const int ra = rank.value(a.logFile);
        const int rb = rank.value(b.logFile);
        if (ra != rb)
            return ra > rb;
        return a.id < b.id; // the first of one log
    };

    QVector<ArchiveArticle> out;
    QHash<QString, int> byIdentity;
    byIdentity.reserve(captures.size());
    for (const IndexedCapture &c : captures) {
        const QString identity = identityOf(c);
        const auto it = byIdentity.constFind(identity);
        if (it == byIdentity.cend()) {
            byIdentity.insert(identity, int(out.size()));
            out.append(ArchiveArticle { c, 1 });
            continue;
        }
        ArchiveArticle &a = out[*it];
        ++a.captures;
        if (shownBefore(c, a.shown))
            a.shown = c;
    }
    return out;
}

QVector<ArchiveRow> archiveRows(const QVector<IndexedCapture> &captures, const DayRange &days)
{
    return archiveRowsOf(articlesAcross(captures), days);
}

QVector<ArchiveRow> archiveRowsOf(const QVector<ArchiveArticle> &articles, const DayRange &days)
{
    const auto n = size_t(articles.size());
    std::vector<NumberKey> keys(n);
    for (size_t i = 0; i < n; ++i)
        keys[i] = numberKey(articles[qsizetype(i)].shown.number);

    // Thread order among siblings: mails by date-time, articles by number,
    // then date-time.
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int x, int y) {
        const IndexedCapture &a = articles[x].shown;
        const IndexedCapture &b = articles[y].shown;
        if (a.boardNo != 0 || b.boardNo != 0) {
            if (numberLess(keys[size_t(x)], keys[size_t(y)]))
                return true;
            if (numberLess(keys[size_t(y)], keys[size_t(x)]))
                return false;
        }
        if (a.dateTime != b.dateTime)
            return a.dateTime < b.dateTime;
        if (a.senderId != b.senderId)
            return a.senderId < b.senderId;
        if (a.title != b.title)
            return a.title < b.title;
        return a.id < b.id;
    });
    std::vector<int> place(n);
    for (size_t p = 0; p < n; ++p)
        place[size_t(order[p])] = int(p);

    // Number -> the one article with it, or -2 when several have it.
    QHash<QString, int> byNumber;
    byNumber.reserve(qsizetype(n));
    for (size_t i = 0; i < n; ++i) {
        const IndexedCapture &c = articles[qsizetype(i)].shown;
        if (c.boardNo == 0)
            continue;
        const QString number = c.number.trimmed();
        const auto it = byNumber.find(number);
        if (it == byNumber.end())
            byNumber.insert(number, int(i));
        else
            *it = -2;
    }

    std::vector<char> kept(n);
    for (size_t i = 0; i < n; ++i)
        kept[i] = days.contains(articles[qsizetype(i)].shown.dateTime) ? 1 : 0;
    std::vector<std::vector<int>> children(n);
    std::vector<int> roots;
    for (const int i : order) {
        if (!kept[size_t(i)])
            continue;
        const IndexedCapture &c = articles[i].shown;
        int parent = -1;
        if (c.boardNo != 0 && !c.parent.isEmpty()) {
            parent = byNumber.value(c.parent.trimmed(), -1);
            // Only an article before it in the order: no loops.
            if (parent < 0 || place[size_t(parent)] >= place[size_t(i)] || !kept[size_t(parent)])
                parent = -1;
        }
        if (parent < 0)
            roots.push_back(i);
        else
            children[size_t(parent)].push_back(i);
    }

    // Depth first, without recursion: a thread may be as deep as the board.
    QVector<ArchiveRow> rows;
    rows.reserve(qsizetype(n));
    std::vector<std::pair<int, int>> stack; // article, depth
    for (const int root : roots) {
        stack.emplace_back(root, 0);
        while (!stack.empty()) {
            const auto [i, depth] = stack.back();
            stack.pop_back();
            rows.append(ArchiveRow { depth, articles[i] });
            const std::vector<int> &under = children[size_t(i)];
            for (auto it = under.rbegin(); it != under.rend(); ++it)
                stack.emplace_back(*it, depth + 1);
        }
    }
    return rows;
}

namespace {

// The article each of a board's articles hit (by its place in hits) shows:
// its captures from the index of records alone (so that the board's size
// costs nothing), then the one record shown, unless it is a hit itself.
bool shownFromIndex(FullTextIndex &index, const QString &net, int boardNo, const QVector<qsizetype> &places,
    const QVector<Hit> &hits, const QHash<qint64, const Hit *> &hitWithId,
    QHash<qsizetype, ArchiveArticle> *shown)
{
    QVector<std::pair<QString, QString>> asked;
    for (const qsizetype p : places)
        asked.append({ hits.at(p).number, hits.at(p).dateTime });
    QVector<QVector<IndexedCapture>> placesOf;
    if (!index.capturePlacesOf(net, boardNo, asked, &placesOf))
        return false;
    QVector<qint64> ids;
    QVector<std::pair<qsizetype, int>> whose; // place in hits, captures
    for (qsizetype i = 0; i < places.size(); ++i) {
        for (ArchiveArticle &a : articlesAcross(placesOf.at(i))) {
            if (const Hit *h = hitWithId.value(a.shown.id)) {
                a.shown.logFile = h->logFile;
                a.shown.senderId = h->senderId;
                a.shown.senderName = h->senderName;
                a.shown.title = h->title;
                a.shown.boardName = h->boardName;
                a.shown.row = h->row;
                shown->insert(places.at(i), a);
                continue;
            }
            ids.append(a.shown.id);
            whose.append({ places.at(i), a.captures });
        }
    }
    QVector<IndexedCapture> captures;
    if (!ids.isEmpty() && !index.capturesWithIds(ids, &captures))
        return false;
    for (qsizetype i = 0; i < ids.size(); ++i)
        shown->insert(whose.at(i).first, ArchiveArticle { captures.at(i), whose.at(i).second });
    return true;
}

} // namespace

bool onePerArticle(FullTextIndex &index, QVector<Hit> *hits, int manyHits)
{
    // Each article's first hit, in order, and the articles of each board;
    // chat-room visits stay as they are.
    using BoardOfNet = std::pair<QString, int>;
    QVector<Hit> out;
    QVector<QString> identities; // of each of out's hits
    QHash<BoardOfNet, QVector<qsizetype>> articlesOnBoard; // their places in out
    {
        QSet<QString> seen;
        for (const Hit &h : std::as_const(*hits)) {
            const QString identity = identityOf(h.boardNo, h.number, h.dateTime, h.senderId, h.title);
            if (h.boardNo >= 0) {
                if (seen.contains(h.net + u'\t' + identity))
                    continue;
                seen.insert(h.net + u'\t' + identity);
                articlesOnBoard[{ h.net, h.boardNo }].append(out.size());
            }
            out.append(h);
            identities.append(identity);
        }
    }

    QHash<qint64, const Hit *> hitWithId;
    for (const Hit &h : std::as_const(*hits)) {
        if (h.boardNo > 0)
            hitWithId.insert(h.id, &h);
    }

    // Each article as the archive shows it, by its place in out. One query
    // per article would cost a common word one query per hit: a board with
    // many articles hit has its captures read at once.
    QHash<qsizetype, ArchiveArticle> shown;
    QVector<IndexedCapture> captures;
    for (auto board = articlesOnBoard.cbegin(); board != articlesOnBoard.cend(); ++board) {
        const QString &net = board.key().first;
        const int boardNo = board.key().second;
        const QVector<qsizetype> &places = board.value();
        if (places.size() >= manyHits) {
            if (!index.capturesOf(net, boardNo, &captures))
                return false;
            QHash<QString, ArchiveArticle> byIdentity;
            for (const ArchiveArticle &a : articlesAcross(captures))
                byIdentity.insert(identityOf(a.shown), a);
            for (const qsizetype p : places) {
                const auto a = byIdentity.constFind(identities.at(p));
                if (a != byIdentity.cend())
                    shown.insert(p, *a);
            }
        } else if (boardNo > 0) {
            if (!shownFromIndex(index, net, boardNo, places, out, hitWithId, &shown))
                return false;
        } else {
            // The mails of each hit's date-time, found by it.
            for (const qsizetype p : places) {
                if (!index.capturesOf(net, boardNo, out.at(p).number, out.at(p).dateTime, &captures))
                    return false;
                for (const ArchiveArticle &a : articlesAcross(captures)) {
                    if (identityOf(a.shown) == identities.at(p))
                        shown.insert(p, a); // not another mail of the same time
                }
            }
        }
    }

    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        Hit &one = out[it.key()];
        const IndexedCapture &c = it->shown;
        one.logFile = c.logFile;
        one.senderId = c.senderId;
        one.senderName = c.senderName;
        one.title = c.title;
        one.boardName = c.boardName;
        one.row = c.row;
        one.id = c.id;
        one.captures = it->captures;
    }
    *hits = out;
    return true;
}

QVector<ArchiveBoard> boardsAcross(const QVector<IndexedCapture> &captures)
{
    return boardsAcross(captures, articlesAcross(captures));
}

QVector<ArchiveBoard> boardsAcross(
    const QVector<IndexedCapture> &captures, const QVector<ArchiveArticle> &articles)
{
    const QHash<QString, int> rank = logRanks(captures);
    QMap<int, ArchiveBoard> boards;
    QHash<int, std::pair<int, qint64>> namedBy; // board -> rank and record of its name's capture
    for (const IndexedCapture &c : captures) {
        const std::pair<int, qint64> place { rank.value(c.logFile), c.id };
        const auto it = namedBy.find(c.boardNo);
        if (it == namedBy.end() || *it < place) {
            namedBy.insert(c.boardNo, place);
            boards[c.boardNo].name = c.boardName;
        }
    }
    for (const ArchiveArticle &a : articles) {
        ArchiveBoard &b = boards[a.shown.boardNo];
        ++b.articles;
        const QString &when = a.shown.dateTime;
        if (when.isEmpty())
            continue;
        if (b.first.isEmpty() || when < b.first)
            b.first = when;
        if (when > b.last)
            b.last = when;
    }
    QVector<ArchiveBoard> out;
    out.reserve(boards.size());
    for (auto it = boards.begin(); it != boards.end(); ++it) {
        it->boardNo = it.key();
        out.append(*it);
    }
    return out;
}

QList<std::pair<QString, int>> articlesPerMonth(const QVector<IndexedCapture> &captures)
{
    return articlesPerMonthOf(articlesAcross(captures));
}

namespace {

// Every month from the first counted to the last, months without any included.
QList<std::pair<QString, int>> everyMonth(const QMap<QString, int> &counts)
{
    QList<std::pair<QString, int>> out;
    if (counts.isEmpty())
        return out;
    const QDate first
        = QDate::fromString(counts.firstKey() + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    const QDate last
        = QDate::fromString(counts.lastKey() + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    for (QDate month = first; month.isValid() && month <= last; month = month.addMonths(1)) {
        const QString key = month.toString(QStringLiteral("yyyy-MM"));
        out.append({ key, counts.value(key) });
    }
    return out;
}

QMap<QString, int> countsPerMonth(const QVector<ArchiveArticle> &articles)
{
    QMap<QString, int> counts;
    for (const ArchiveArticle &a : articles) {
        if (a.shown.dateTime.size() >= 7)
            ++counts[a.shown.dateTime.left(7)];
    }
    return counts;
}

} // namespace

QList<std::pair<QString, int>> articlesPerMonthOf(const QVector<ArchiveArticle> &articles)
{
    return everyMonth(countsPerMonth(articles));
}

QString archiveLineOf(const ArchiveRow &row)
{
    const IndexedCapture &c = row.article.shown;
    QStringList fields { QString::number(row.depth),
        c.boardNo == 0 ? QStringLiteral("mail") : c.number.trimmed(), c.dateTime, c.senderId, c.title,
        QString::number(row.article.captures), c.logFile };
    for (QString &field : fields)
        field.replace(u'\t', QStringLiteral("\\t"));
    return fields.join(u'\t');
}

BoardArchive boardArchiveOf(const QVector<IndexedCapture> &captures, bool rows)
{
    BoardArchive out;
    const QVector<ArchiveArticle> articles = articlesAcross(captures);
    if (rows)
        out.rows = archiveRowsOf(articles);
    out.lines.reserve(out.rows.size());
    for (const ArchiveRow &row : std::as_const(out.rows))
        out.lines.append(archiveLineOf(row).toUtf8());
    const QVector<ArchiveBoard> boards = boardsAcross(captures, articles);
    if (!boards.isEmpty())
        out.board = boards.first();
    const QMap<QString, int> counts = countsPerMonth(articles);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        out.months.append({ it.key(), it.value() });
    return out;
}

bool refreshKeptArchive(FullTextIndex &index, const QString &net, std::optional<int> boardNo, bool *current)
{
    return index.refreshArchive(net, boardNo, true, boardArchiveOf, current);
}

namespace {

// The same, of the boards and their months alone.
bool refreshKeptCounts(FullTextIndex &index, const QString &net, std::optional<int> boardNo, bool *current)
{
    return index.refreshArchive(net, boardNo, false, boardArchiveOf, current);
}

} // namespace

bool boardRows(
    FullTextIndex &index, const QString &net, int boardNo, const DayRange &days, QVector<ArchiveRow> *rows)
{
    bool current = false;
    if (!refreshKeptArchive(index, net, boardNo, &current))
        return false;
    if (!current) {
        QVector<IndexedCapture> captures;
        if (!index.capturesOf(net, boardNo, &captures))
            return false;
        *rows = archiveRows(captures, days);
        return true;
    }
    if (!index.keptRows(net, boardNo, rows))
        return false;
    if (days.isOpen())
        return true;
    // Threaded again: a response whose parent the days leave out is a top-level row.
    QVector<ArchiveArticle> articles;
    articles.reserve(rows->size());
    for (const ArchiveRow &row : std::as_const(*rows))
        articles.append(row.article);
    *rows = archiveRowsOf(articles, days);
    return true;
}

bool firstBoardRows(FullTextIndex &index, const QString &net, int boardNo, qsizetype count,
    QVector<ArchiveRow> *rows, qsizetype *total)
{
    rows->clear();
    *total = 0;
    bool current = false;
    if (!refreshKeptArchive(index, net, boardNo, &current))
        return false;
    if (!current) {
        if (!boardRows(index, net, boardNo, {}, rows))
            return false;
        *total = rows->size();
        return true;
    }
    return index.keptRowCount(net, boardNo, total) && index.keptRows(net, boardNo, 0, count, rows);
}

bool boardsOf(FullTextIndex &index, const QString &net, QVector<ArchiveBoard> *boards)
{
    bool current = false;
    if (!refreshKeptCounts(index, net, std::nullopt, &current))
        return false;
    if (current)
        return index.keptBoards(net, boards);
    QVector<IndexedCapture> captures;
    if (!index.capturesOf(net, std::nullopt, &captures))
        return false;
    *boards = boardsAcross(captures);
    return true;
}

bool monthsOf(FullTextIndex &index, const QString &net, std::optional<int> boardNo,
    QList<std::pair<QString, int>> *months)
{
    bool current = false;
    if (!refreshKeptCounts(index, net, boardNo, &current))
        return false;
    if (!current) {
        QVector<IndexedCapture> captures;
        if (!index.capturesOf(net, boardNo, &captures))
            return false;
        *months = articlesPerMonth(captures);
        return true;
    }
    QMap<QString, int> counts;
    if (!index.keptMonths(net, boardNo, &counts))
        return false;
    *months = everyMonth(counts);
    return true;
}

} // namespace kavrel::fulltext
