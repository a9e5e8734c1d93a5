#include "export/ExportRows.h"

#include "reader/ArticleView.h"
#include "reader/LogMarkerIndex.h"
#include "reader/TitleRows.h"
#include "session/LogBoards.h"

#include <QHash>
#include <QRegularExpression>

#include <utility>

namespace kavrel::exporter {

namespace {

// The date and time of an article's header: "yy/MM/dd" and the first
// "hh:mm[:ss]" after it, on the first line or at the start of the next.
void parseDateTime(const QStringList &lines, QDate *date, QTime *time)
{
    static const QRegularExpression dateRx(
        QStringLiteral("(?<!\\d)(\\d{4}|\\d{2})/(\\d{1,2})/(\\d{1,2})(?!\\d)"));
    static const QRegularExpression timeRx(
        QStringLiteral("(?<!\\d)(\\d{1,2}):(\\d{2})(?::(\\d{2}))?(?!\\d)"));
    *date = QDate();
    *time = QTime();
    if (lines.isEmpty())
        return;
    const QRegularExpressionMatch d = dateRx.match(lines.first());
    if (!d.hasMatch())
        return;
    int year = d.captured(1).toInt();
    if (d.capturedLength(1) == 2)
        year += year < 80 ? 2000 : 1900;
    *date = QDate(year, d.captured(2).toInt(), d.captured(3).toInt());
    QRegularExpressionMatch t = timeRx.match(lines.first(), d.capturedEnd());
    if (!t.hasMatch() && lines.size() > 1) {
        t = timeRx.match(lines.at(1));
        if (t.hasMatch() && !lines.at(1).left(t.capturedStart()).trimmed().isEmpty())
            t = QRegularExpressionMatch();
    }
    if (t.hasMatch())
        *time = QTime(t.captured(1).toInt(), t.captured(2).toInt(), t.captured(3).toInt());
}

// The rows of the log in list order (mark rows left out), as indexes into
// the title list, and for each the index in rows of the one it answers.
struct Threads
{
    QList<int> rows;
    QList<int> parents;
};

Threads threadsOf(const reader::TitleList &list)
{
    Threads t;
    QList<std::pair<int, int>> open; // the thread above the current row: index in t.rows, depth
    for (int i = 0; i < list.size(); ++i) {
        const reader::TitleRow &row = list.rows[size_t(i)];
        if (row.kind == reader::TitleRow::Kind::Mark)
            continue;
        while (!open.isEmpty() && open.last().second >= row.depth)
            open.removeLast();
        t.parents.append(open.isEmpty() ? -1 : open.last().first);
        open.append({ int(t.rows.size()), row.depth });
        t.rows.append(i);
    }
    return t;
}

// Which rows to take (indexes into t.rows): all, one, or one and its
// descendants; the ancestors of the first come along for the threading, not
// exported. Empty when row is no row of the log.
QList<std::pair<int, bool>> chosenRows(const Threads &t, int row, bool thread)
{
    QList<std::pair<int, bool>> chosen; // index into t.rows, exported
    if (row < 0) {
        for (int k = 0; k < t.rows.size(); ++k)
            chosen.append({ k, true });
        return chosen;
    }
    const int k = int(t.rows.indexOf(row));
    if (k < 0)
        return chosen; // a waiting command, or no such row
    QList<int> ancestors;
    for (int a = t.parents.at(k); a >= 0; a = t.parents.at(a))
        ancestors.prepend(a);
    for (int a : ancestors)
        chosen.append({ a, false });
    chosen.append({ k, true });
    if (thread) {
        // Descendants follow their ancestor directly in list order.
        QList<bool> inThread(t.rows.size(), false);
        inThread[k] = true;
        for (int j = k + 1; j < t.rows.size() && t.parents.at(j) >= 0 && inThread.at(t.parents.at(j)); ++j) {
            inThread[j] = true;
            chosen.append({ j, true });
        }
    }
    return chosen;
}

ExportRow::Kind kindOf(const reader::TitleRow &row, const QString &number)
{
    if (row.kind == reader::TitleRow::Kind::Chat)
        return ExportRow::Kind::Chat;
    if (number.startsWith(QLatin1String("mail")))
        return ExportRow::Kind::Mail;
    if (number == u"????")
        return ExportRow::Kind::Garbled;
    return ExportRow::Kind::Article;
}

} // namespace

int ExportSelection::exportedCount() const
{
    int n = 0;
    for (const ExportRow &row : rows)
        n += row.exported ? 1 : 0;
    return n;
}

ExportSelection collectExportRows(const ExportSource &source, int boardItem, int row, bool thread)
{
    ExportSelection out;
    out.netName = source.netName;
    if (boardItem < 0 || boardItem >= source.boardItems.size() || !source.log)
        return out;
    const std::vector<BoardItem> boards = readBoardItems(source.boardItems, source.boardKeys);
    const BoardItem &board = boards[size_t(boardItem)];
    out.boardItem = board.text;
    out.chatRoom = board.isChat();
    out.boardNumber = out.chatRoom ? 0 : int(board.batchNumber);

    // The board's title list as the reader shows it, waiting commands and all,
    // so that row counts as it does there.
    const UpFile up(source.upFileText);
    const reader::BoardPlace place { source.boardKeys.value(boardItem), reader::chatRoomKey(board.text),
        source.markers.SubcommandMarker };
    const reader::TitleList list = reader::titleListOf({ *source.log, BoardItem::fromText(board.text),
        place.boardKey, up, source.markers, source.serialNet });
    QStringList numberedKeys;
    for (const BoardItem &b : boards) {
        if (!b.isChat())
            numberedKeys.append(b.key);
    }
    reader::LogMarkerIndex index;
    index.sync(source.log->text(), source.markers, numberedKeys);

    const Threads threads = threadsOf(list);
    QHash<int, int> indexOf; // threads.rows index -> out.rows index
    for (const auto &[k, exported] : chosenRows(threads, row, thread)) {
        const int r = threads.rows.at(k);
        const reader::TitleRow &shown = list.rows[size_t(r)];
        ExportRow e;
        e.number = reader::bracketText(shown.bracketed());
        e.kind = kindOf(shown, e.number);
        if (e.kind == ExportRow::Kind::Article || e.kind == ExportRow::Kind::Mail) {
            const QStringView info = shown.info;
            const qsizetype colon = info.indexOf(u':');
            e.senderId = (colon < 0 ? info : info.left(colon)).trimmed().toString();
            e.senderName = colon < 0 ? QString() : info.mid(colon + 1).trimmed().toString();
        }
        e.title = list.plainTitle(r, source.serialNet);
        e.parent = indexOf.value(threads.parents.at(k), -1);
        e.exported = exported;
        const reader::ArticleView view = reader::viewOfRow(index, list, r, place);
        e.logPosition = view.start;
        // Ancestors need only their header line for the date.
        e.lines = exported ? view.lines : view.lines.mid(0, 2);
        parseDateTime(e.lines, &e.date, &e.time);
        if (!e.exported)
            e.lines.clear();
        indexOf.insert(k, int(out.rows.size()));
        out.rows.append(e);
    }
    return out;
}

} // namespace kavrel::exporter
