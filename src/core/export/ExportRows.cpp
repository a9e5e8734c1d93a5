#include "export/ExportRows.h"

#include "base/BoardItemText.h"
#include "reader/ArticlePlaces.h"
#include "reader/Reader.h"
#include "reader/TitleListBuilder.h"
#include "session/LogBoards.h"
#include "session/Session.h"

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

} // namespace

int ExportSelection::exportedCount() const
{
    int n = 0;
    for (const ExportRow &row : rows)
        n += row.exported ? 1 : 0;
    return n;
}

ExportSelection collectExportRows(const Session &session, int boardItem, int row, bool thread)
{
    ExportSelection out;
    out.netName = session.netField(settings::NetRecord::Net_Name);
    if (boardItem < 0 || boardItem >= session.main.Board_List.ListCount())
        return out;
    const BoardItem board = boardItemAt(session, boardItem);
    out.boardItem = board.text;
    out.chatRoom = board.isChat();
    out.boardNumber = out.chatRoom ? 0 : int(board.batchNumber);

    // The reader runs on a copy: the open log, the board and the up file as
    // they are, without a running search, mode, hosts or window of its own,
    // so that reading every row neither moves the user's place nor raises
    // the read pointer.
    Session s = session;
    s.messages = nullptr;
    s.editor = nullptr;
    s.compose = nullptr;
    s.reading.LastWrittenKind = ReaderMode::None;
    s.search.StringSearchOn = false;
    s.search.DateSearchOn = false;
    s.reading.TitleBuildSuppress = 0;
    reader::Reader reader(s);
    reader.chooseBoard(boardItem);
    const MainWindowState &m = s.main;

    // The rows of the log in list order, with their depth in the threads.
    QList<int> listRows;
    QList<int> parents;
    QList<std::pair<int, int>> open; // the thread above the current row: listRows index, depth
    for (int i = 0; i < m.rowCount(); ++i) {
        // The indent as a count: a deep thread's blanks are not made row by row.
        const int indent = m.Title.indentOf(i);
        const QString &text = m.Title.textOf(i);
        if (indent == 0 && reader::isMarkRow(text))
            continue;
        const qsizetype bracket = reader::TitleListBuilder::bracketPos(text);
        const int depth = bracket == 0 ? 0 : indent + int(bracket) - 1;
        while (!open.isEmpty() && open.last().second >= depth)
            open.removeLast();
        parents.append(open.isEmpty() ? -1 : open.last().first);
        open.append({ int(listRows.size()), depth });
        listRows.append(i);
    }

    // Which of them to take: all, one, or one and its descendants; the
    // ancestors of the first come along for the threading.
    QList<int> chosen; // indexes into listRows
    QList<bool> exported;
    if (row < 0) {
        for (int k = 0; k < listRows.size(); ++k) {
            chosen.append(k);
            exported.append(true);
        }
    } else {
        const int k = int(listRows.indexOf(row));
        if (k < 0)
            return out; // a waiting command, or no such row
        QList<int> ancestors;
        for (int a = parents.at(k); a >= 0; a = parents.at(a))
            ancestors.prepend(a);
        for (int a : ancestors) {
            chosen.append(a);
            exported.append(false);
        }
        chosen.append(k);
        exported.append(true);
        if (thread) {
            // Descendants follow their ancestor directly in list order.
            QList<bool> inThread(listRows.size(), false);
            inThread[k] = true;
            for (int j = k + 1; j < listRows.size() && parents.at(j) >= 0 && inThread.at(parents.at(j));
                 ++j) {
                inThread[j] = true;
                chosen.append(j);
                exported.append(true);
            }
        }
    }

    QHash<int, int> indexOf; // listRows index -> out.rows index
    for (qsizetype c = 0; c < chosen.size(); ++c) {
        const int k = chosen.at(c);
        const int r = listRows.at(k);
        ExportRow e;
        const QString &text = m.Title.textOf(r);
        e.number = reader::TitleListBuilder::bracketText(text);
        if (m.Title.indentOf(r) == 0 && text == boarditem::kChatPrefix)
            e.kind = ExportRow::Kind::Chat;
        else if (e.number.startsWith(QLatin1String("mail")))
            e.kind = ExportRow::Kind::Mail;
        else if (e.number == u"????")
            e.kind = ExportRow::Kind::Garbled;
        if (e.kind == ExportRow::Kind::Article || e.kind == ExportRow::Kind::Mail) {
            const QString info = m.InfoColumn.item(r);
            const qsizetype colon = info.indexOf(u':');
            e.senderId = (colon < 0 ? info : info.left(colon)).trimmed();
            e.senderName = colon < 0 ? QString() : info.mid(colon + 1).trimmed();
        }
        e.title = reader.plainTitle(r);
        e.parent = indexOf.value(parents.at(k), -1);
        e.exported = exported.at(c);
        if (e.exported) {
            s.main.Article.clear();
            reader.chooseRow(r);
            e.lines = m.Article.items;
            e.logPosition = reader.shownArticleStart();
        } else {
            // Ancestors need only their header line for the date.
            s.main.Article.clear();
            reader.chooseRow(r);
            e.logPosition = reader.shownArticleStart();
            e.lines = m.Article.items.mid(0, 2);
        }
        parseDateTime(e.lines, &e.date, &e.time);
        if (!e.exported)
            e.lines.clear();
        indexOf.insert(k, int(out.rows.size()));
        out.rows.append(e);
    }
    return out;
}

} // namespace kavrel::exporter
