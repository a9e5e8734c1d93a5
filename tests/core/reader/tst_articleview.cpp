#include "ReaderFixtures.h"
#include "ReaderModes.h"

#include "base/Text.h"
#include "reader/Reader.h"
#include "reader/TitleRows.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using namespace kavrel::text;

namespace {

const QString kCrlf = QStringLiteral("\r\n");

// The end of an article found from start, as the steps search it.
qsizetype slowEnd(const Session &s, qsizetype start, const QString &item)
{
    const QString &log = s.log.LogText;
    const qsizetype h = findFrom(log, s.ArticleHeader, start);
    const qsizetype r = findFrom(log, s.ReadEndMarker, start);
    const qsizetype n = findFrom(log, kCrlf + "No.", start);
    const qsizetype m = findFrom(log, left(s.MainPromptMarker, s.MainPromptMarker.size() - 1), start);
    qsizetype e = h;
    if ((e == 0 || r < e) && r > 0)
        e = r;
    if ((e == 0 || (n < e && n > 0)) && !item.startsWith(QLatin1String("[mail")))
        e = n;
    if (m > 0 && m < e)
        e = m;
    return e;
}

bool slowReadAnswer(const QString &text, const QString &sub)
{
    if (!text.contains(sub))
        return true;
    for (const char16_t *x : { u"ｒ", u"Y", u"y", u"Ｙ", u"R", u"r", u"Ｒ", u"ｙ", u"\r\n" })
        if (text.contains(sub + QString::fromUtf16(x)))
            return true;
    return false;
}

// The article start of a row outside the unread search, searched from the
// start of the log every time; 0 when it is not found.
qsizetype slowStart(const Session &s, int row)
{
    const QString item = s.main.Title.item(row);
    const QString key = u'(' + reader::bracketText(item) + u'/';
    const QString &log = s.log.LogText;
    if (key == u"(mail /") {
        for (const QString &line : { kCrlf + "mail", kCrlf + "0:mail" }) {
            qsizetype p = 0;
            int count = 0;
            while ((p = findFrom(log, line, p + 1)) != 0)
                if (++count == row + 1)
                    return p;
        }
        return 0;
    }
    const QString l = kCrlf + s.log.BoardKeys.value(s.main.Board_List.ListIndex) + key;
    for (qsizetype p = findFrom(log, l, 1); p != 0; p = findFrom(log, l, p + 1)) {
        const qsizetype e = slowEnd(s, p, item);
        if (slowReadAnswer(e == 0 ? mid(log, p) : mid(log, p, e - p), s.SubcommandMarker))
            return p + 2;
    }
    return 0;
}

// Whether the unread search takes the article line at p.
bool slowUnreadTaken(const Session &s, qsizetype p)
{
    const QString &log = s.log.LogText;
    const qsizetype sub = findFrom(log, s.SubcommandMarker, p);
    if (sub == 0)
        return true;
    const qsizetype h = findFrom(log, s.ArticleHeader, p);
    const qsizetype r = findFrom(log, s.ReadEndMarker, p);
    const qsizetype n = findFrom(log, kCrlf + "No.", p);
    const qsizetype m = findFrom(log, left(s.MainPromptMarker, s.MainPromptMarker.size() - 1), p);
    if (!(sub < h && sub < r && sub < n && sub < m))
        return true;
    return mid(log, sub + s.SubcommandMarker.size(), 2) == kCrlf;
}

bool slowUnreadFinds(const Session &s, int row)
{
    const QString item = s.main.Title.item(row);
    const QString l = kCrlf + s.log.BoardKeys.value(s.main.Board_List.ListIndex) + u'('
        + reader::bracketText(item) + u'/';
    qsizetype p = findFrom(s.log.LogText, l, s.unread.PtrRec.Pointer + 2);
    while (p != 0) {
        if (slowUnreadTaken(s, p))
            return true;
        p = findFrom(s.log.LogText, l, qMax(findFrom(s.log.LogText, s.SubcommandMarker, p), p + 1));
    }
    return false;
}

} // namespace

class TestArticleView : public QObject
{
    Q_OBJECT

private slots:
    void showsTheArticleLines();
    void capturedTwiceShowsTheReadCopy();
    void mailRowsAndGarbledRows();
    void emptyFirstLineAndEmptyArticle();
    void chatRowShowsItsLines();
    void chatRoomKeyAtTheLogsStart();
    void firstScreenfulSelection_data();
    void firstScreenfulSelection();
    void notFoundKeepsTheView();
    void sameArticlesAsTheStepByStepSearch_data();
    void sameArticlesAsTheStepByStepSearch();
    void unreadSearchStopsBeyondThePointer();
    void unreadSearchInAnOlderLog();
    void unreadSearchAgreesWithTheSteps_data();
    void unreadSearchAgreesWithTheSteps();
    void emptyLinesBeforeTheKeyLine();
    void viewOfABoardLeavesTheWindowAsItWas();
};

void TestArticleView::showsTheArticleLines()
{
    Session s;
    loadHandLog(s);
    reader::Reader r(s);
    clickBoard(s.main, 1);
    QVERIFY(s.main.titleHasFocus);
    // The focus came from elsewhere: the first row is shown at once.
    QCOMPARE(s.main.Title.ListIndex, 0);
    QCOMPARE(s.main.Article.items,
        QStringList({ "TALK(1001/1005) 26/12/01 10:00:00 最初の話題", "  120 bytes ABC00001:山田", "一行目",
            "二行目", TestMarkers::subcommand() }));
    QCOMPARE(s.main.ArticleCount.Caption, QString("1/4"));

    clickRow(s.main, 1);
    QCOMPARE(s.main.Article.items.first(), QString("TALK(1002/1005) 26/12/01 11:00:00 Re:最初の話題"));
    QCOMPARE(s.main.Article.items.last(), TestMarkers::subcommand() + "r");
    QCOMPARE(s.main.ArticleCount.Caption, QString("2/4"));
    QCOMPARE(s.main.SubjectColumn.ListIndex, 1);
    QCOMPARE(s.main.BatchSet.ListIndex, 1);
    // Everything shown counts as read, up to the next header.
    const QString log = s.log.LogText;
    QCOMPARE(s.unread.ReadPointer, log.indexOf(TestMarkers::articleHeader(), log.indexOf("TALK(1002/")) + 1);
    clickRow(s.main, 0);
    QCOMPARE(s.unread.ReadPointer, log.indexOf(TestMarkers::articleHeader(), log.indexOf("TALK(1002/")) + 1);
}

void TestArticleView::capturedTwiceShowsTheReadCopy()
{
    Session s;
    TestMarkers::apply(s);
    const QString h = headerLine();
    const QString sub = TestMarkers::subcommand();
    s.log.LogText = crlfLines({ "No.1 ｢K｣", h, "K(1001/2) 26/12/01 10:00:00 題", "  5 bytes A:a", sub + "n",
        h, "K(1002/2) 26/12/01 10:00:00 題2", "  5 bytes A:a", sub, TestMarkers::readEnd(),
        TestMarkers::mainPrompt() + "b 1", "No.1 ｢K｣", h, "K(1001/2) 26/12/01 10:00:00 題", "  5 bytes A:a",
        "今度は読んだ本文", sub + "ｒ", TestMarkers::readEnd() });
    s.log.BoardKeys = { "K" };
    s.main.Board_List.items = { "No.1 ｢K｣" };
    reader::Reader r(s);
    clickBoard(s.main, 0);
    QCOMPARE(s.main.Title.items, QStringList({ "[1002]", "[1001]" }));
    clickRow(s.main, 1);
    QCOMPARE(s.main.Article.items.at(2), QString("今度は読んだ本文"));
}

void TestArticleView::mailRowsAndGarbledRows()
{
    Session s;
    loadHandLog(s);
    reader::Reader r(s);
    clickBoard(s.main, 0);
    // The first mail runs past the line that starts with "No.".
    QCOMPARE(s.main.Article.items,
        QStringList({ "mail 26/12/01 09:00 From:ABC00003 (佐藤)", "  100 bytes ABC00003:佐藤",
            "メール本文です", "No.5 の話もしましょう" }));
    clickRow(s.main, 1);
    QCOMPARE(s.main.Article.items.first(), QString("mail 26/12/02 10:00 From:ABC00004 (田中)"));

    // A row whose number could not be read warns instead.
    s.log.LogText.replace("TALK(1003/1005)", "TALK(?\?\?\?/1005)");
    clickBoard(s.main, 1);
    clickRow(s.main, 3);
    QCOMPARE(s.main.Title.item(3), QString("[????]"));
    QCOMPARE(s.main.Article.items,
        QStringList({ "このアーティクルは文字化けを起こした可能性があります。",
            " ＬＯＧファイルを確認してください。" }));
}

void TestArticleView::emptyFirstLineAndEmptyArticle()
{
    Session s;
    TestMarkers::apply(s);
    const QString h = headerLine();
    // The main prompt right after the key line leaves an article of one
    // incomplete line: nothing to show.
    s.log.LogText = crlfLines({ h, "K(1001/2) 26/12/01 10:00:00 題" + TestMarkers::mainPrompt(), h,
        "K(1002/2) 26/12/01 10:00:00 題2", "  5 bytes A:a", TestMarkers::readEnd() });
    s.log.BoardKeys = { "K" };
    s.main.Board_List.items = { "No.1 ｢K｣" };
    reader::Reader r(s);
    clickBoard(s.main, 0);
    QCOMPARE(s.main.Title.items, QStringList({ "[1001]", "[1002]" }));
    QCOMPARE(s.main.Article.items,
        QStringList({ "このアーティクルは文字化けを起こしています。表示できませんでした。" }));
    QCOMPARE(s.main.ArticleCount.Caption, QString("1/2"));
}

void TestArticleView::chatRowShowsItsLines()
{
    Session s;
    TestMarkers::apply(s);
    s.log.LogText = crlfLines(
        { "x", TestMarkers::xchat(), "1", "1.部屋", "入室", "参加者", "一覧", "[A] やあ", "[B] どうも",
            "退室", TestMarkers::xchat(), "1", "1.部屋", "入室", "参加者", "一覧", "[C] 二回目", "退室" });
    s.log.BoardKeys = { "K" };
    s.main.Board_List.items = { "No.1 ｢K｣", "[XCHAT] No1.部屋" };
    reader::Reader r(s);
    clickBoard(s.main, 1);
    QCOMPARE(s.main.Title.items, QStringList({ "[XCHAT]", "[XCHAT]" }));
    QCOMPARE(s.main.Article.items, QStringList({ "[A] やあ", "[B] どうも" }));
    clickRow(s.main, 1);
    QCOMPARE(s.main.Article.items, QStringList({ "[C] 二回目" }));
    QCOMPARE(s.main.ArticleCount.Caption, QString("2/2"));
}

void TestArticleView::chatRoomKeyAtTheLogsStart()
{
    // The title list counts chats from the log's first character, the view
    // looks for a row's chat from the third on: a room's key that starts the
    // log counts as a row whose lines the view does not find.
    Session s;
    TestMarkers::apply(s);
    s.log.LogText = crlfLines({ "1.部屋", "入室", "参加者", "一覧", "[A] やあ", "退室", TestMarkers::xchat(),
        "1", "1.部屋", "入室", "参加者", "一覧", "[C] 二回目", "退室" });
    s.log.BoardKeys = { "K" };
    s.main.Board_List.items = { "No.1 ｢K｣", "[XCHAT] No1.部屋" };
    reader::Reader r(s);
    clickBoard(s.main, 1);
    QCOMPARE(s.main.Title.items, QStringList({ "[XCHAT]", "[XCHAT]" }));
    QCOMPARE(s.main.Article.items, QStringList({ "[C] 二回目" }));
    clickRow(s.main, 1);
    QCOMPARE(s.main.Article.items,
        QStringList({ "このアーティクルは文字化けを起こしています。表示できませんでした。" }));
    // Chosen again, the room shows the same.
    r.chooseBoard(0);
    r.chooseBoard(1);
    QCOMPARE(s.main.Title.items, QStringList({ "[XCHAT]", "[XCHAT]" }));
    QCOMPARE(s.main.Article.items, QStringList({ "[C] 二回目" }));
}

void TestArticleView::firstScreenfulSelection_data()
{
    QTest::addColumn<int>("visible");
    QTest::addColumn<int>("selected");
    QTest::newRow("tall view: last line") << 20 << 4;
    QTest::newRow("three lines") << 3 << 2;
    QTest::newRow("one line") << 1 << 0;
}

void TestArticleView::firstScreenfulSelection()
{
    QFETCH(int, visible);
    QFETCH(int, selected);
    Session s;
    loadHandLog(s);
    s.main.ArticleVisibleLines = visible;
    reader::Reader r(s);
    clickBoard(s.main, 1);
    QCOMPARE(s.main.Article.ListIndex, selected);
}

void TestArticleView::notFoundKeepsTheView()
{
    Session s;
    loadHandLog(s);
    reader::Reader r(s);
    clickBoard(s.main, 1);
    s.main.Title.items[2] = "  [9999]";
    clickRow(s.main, 2);
    QCOMPARE(s.main.Article.items.first(), QString("TALK(1001/1005) 26/12/01 10:00:00 最初の話題"));
    // The counter follows the selection all the same.
    QCOMPARE(s.main.ArticleCount.Caption, QString("3/4"));
}

void TestArticleView::sameArticlesAsTheStepByStepSearch_data()
{
    QTest::addColumn<quint32>("variant");
    for (quint32 variant = 1; variant <= 6; ++variant)
        QTest::addRow("variant %u", variant) << variant;
}

void TestArticleView::sameArticlesAsTheStepByStepSearch()
{
    QFETCH(quint32, variant);
    LogShape shape;
    shape.variant = variant;
    shape.upFile = false;
    const GeneratedLog log = generateLog(shape);
    Session s;
    loadGenerated(s, log, false);
    reader::Reader r(s);
    for (int board = 0; board < log.boardItems.size(); ++board) {
        clickBoard(s.main, board);
        for (int row = 0; row < s.main.rowCount(); ++row) {
            const QString item = s.main.Title.item(row);
            if (item == u"[XCHAT]" || reader::bracketText(item) == u"?\?\?\?")
                continue;
            s.unread.ReadPointer = 0;
            s.main.Article.clear();
            clickRow(s.main, row);
            const qsizetype start = slowStart(s, row);
            if (start == 0) {
                QVERIFY(s.main.Article.isEmpty());
                continue;
            }
            const qsizetype end = slowEnd(s, start, item);
            const QString text
                = end == 0 ? mid(s.log.LogText, start) : mid(s.log.LogText, start, end - start);
            QStringList lines = text.split(kCrlf);
            lines.removeLast();
            if (lines.size() >= 2 && lines.first().isEmpty())
                lines.removeFirst();
            if (lines.isEmpty())
                lines << "このアーティクルは文字化けを起こしています。表示できませんでした。";
            QCOMPARE(s.main.Article.items, lines);
            QCOMPARE(s.unread.ReadPointer, qMax<qsizetype>(end, 0));
        }
    }
}

void TestArticleView::unreadSearchStopsBeyondThePointer()
{
    Session s;
    loadHandLog(s);
    reader::Reader r(s);
    clickBoard(s.main, 1);
    s.unread.PtrRec.LogName = s.log.LogPath.leftJustified(80);
    // Nothing read yet, but 1002's prompt was answered with a read command
    // inside its article: the unread search passes it over.
    s.unread.PtrRec.Pointer = 0;
    s.reading.LastWrittenKind = ReaderMode::UnreadSearch;
    clickRow(s.main, 1);
    QCOMPARE(s.main.Title.ListIndex, 2);
    // Read up to the end of 1002: the search skips 1002 and shows 1004.
    s.unread.PtrRec.Pointer = positionOf(s.log.LogText, "TALK(1003/1005) 26/12/01 12:00:00 別の話題") - 2;
    s.reading.LastWrittenKind = ReaderMode::UnreadSearch;
    clickRow(s.main, 1);
    QCOMPARE(s.main.Title.ListIndex, 2);
    QCOMPARE(readerModeName(s.reading.LastWrittenKind), QString());
    QCOMPARE(s.main.Article.items.first(), QString("TALK(1004/1005) 26/12/01 13:00:00 Re:Re:最初の話題"));

    // Beyond everything on board 1: the search passes the empty board 2 and
    // stops on board 3's first article.
    s.unread.PtrRec.Pointer = positionOf(s.log.LogText, "NEWS(2001/2002) 26/12/02 08:00:00 ニュース一") - 10;
    s.reading.LastWrittenKind = ReaderMode::UnreadSearch;
    clickRow(s.main, 1);
    QCOMPARE(s.main.Board_List.ListIndex, 3);
    QCOMPARE(s.main.Title.ListIndex, 0);
    QCOMPARE(s.main.Article.items.first(), QString("NEWS(2001/2002) 26/12/02 08:00:00 ニュース一"));
    QCOMPARE(readerModeName(s.reading.LastWrittenKind), QString());

    // Nothing left unread: the search ends on the last row of the last
    // board and shows it.
    s.unread.PtrRec.Pointer = s.log.LogText.size();
    s.reading.LastWrittenKind = ReaderMode::UnreadSearch;
    clickBoard(s.main, 1);
    s.reading.LastWrittenKind = ReaderMode::UnreadSearch;
    clickRow(s.main, 1);
    QCOMPARE(s.main.Board_List.ListIndex, 3);
    QCOMPARE(s.main.Title.ListIndex, 1);
    QCOMPARE(readerModeName(s.reading.LastWrittenKind), QString());
    QCOMPARE(s.main.Article.items.first(), QString("NEWS(2002/2002) 26/12/02 09:30:00 ニュース二"));

    // Failing on the last row of the last board itself shows nothing new.
    clickRow(s.main, 0);
    s.reading.LastWrittenKind = ReaderMode::UnreadSearch;
    clickRow(s.main, 1);
    QCOMPARE(s.main.Article.items.first(), QString("NEWS(2001/2002) 26/12/02 08:00:00 ニュース一"));
    QCOMPARE(readerModeName(s.reading.LastWrittenKind), QString("未読検索"));
}

void TestArticleView::unreadSearchInAnOlderLog()
{
    Session s;
    loadHandLog(s, "/logs/NET0101.LOG");
    reader::Reader r(s);
    // The pointer's log is from this century, the open log from the last:
    // full timestamps keep them in order where two-digit years would not.
    r.fileTime = [](const QString &path) {
        return path.trimmed() == u"/logs/NET0102.LOG" ? QDateTime(QDate(2026, 1, 2), QTime(8, 0))
                                                      : QDateTime(QDate(1999, 1, 1), QTime(8, 0));
    };
    clickBoard(s.main, 1);
    s.unread.PtrRec.LogName = QString("/logs/NET0102.LOG").leftJustified(80);
    s.reading.LastWrittenKind = ReaderMode::UnreadSearch;
    clickRow(s.main, 1);
    // The pointer belongs to a later log: this one counts as read.
    QCOMPARE(s.main.Board_List.ListIndex, 3);
    QCOMPARE(s.main.Title.ListIndex, 1);
    QCOMPARE(s.main.Article.items.first(), QString("NEWS(2002/2002) 26/12/02 09:30:00 ニュース二"));
    QCOMPARE(readerModeName(s.reading.LastWrittenKind), QString());
}

void TestArticleView::unreadSearchAgreesWithTheSteps_data()
{
    QTest::addColumn<quint32>("variant");
    QTest::addColumn<int>("percent");
    for (quint32 variant = 1; variant <= 4; ++variant)
        for (int percent : { 0, 30, 60, 95 })
            QTest::addRow("variant %u at %d%%", variant, percent) << variant << percent;
}

void TestArticleView::unreadSearchAgreesWithTheSteps()
{
    QFETCH(quint32, variant);
    QFETCH(int, percent);
    LogShape shape;
    shape.variant = variant;
    shape.upFile = false;
    shape.chatRooms = false;
    const GeneratedLog log = generateLog(shape);
    Session s;
    loadGenerated(s, log, false);
    s.log.LogPath = "/logs/gen.log";
    s.unread.PtrRec.LogName = s.log.LogPath.leftJustified(80);
    s.unread.PtrRec.Pointer = s.log.LogText.size() * percent / 100;
    reader::Reader r(s);

    // Where the steps stop: the first row (from board 1, row 1 on) whose
    // article has a taken line beyond the pointer, or whose number could not
    // be read (such a row is shown as it is, and the search stays pending).
    clickBoard(s.main, 1);
    int wantBoard = -1;
    int wantRow = -1;
    bool pending = false;
    for (int board = 1; board < log.boardItems.size() && wantBoard < 0; ++board) {
        clickBoard(s.main, board);
        for (int row = board == 1 ? 1 : 0; row < s.main.rowCount(); ++row) {
            pending = reader::bracketText(s.main.Title.item(row)) == u"?\?\?\?";
            if (pending || slowUnreadFinds(s, row)) {
                wantBoard = board;
                wantRow = row;
                break;
            }
        }
    }
    if (wantBoard < 0) {
        wantBoard = int(log.boardItems.size()) - 1;
        wantRow = s.main.rowCount() - 1;
    }
    clickBoard(s.main, 1);
    s.reading.LastWrittenKind = ReaderMode::UnreadSearch;
    clickRow(s.main, 1);
    QCOMPARE(s.main.Board_List.ListIndex, wantBoard);
    QCOMPARE(s.main.Title.ListIndex, wantRow);
    QCOMPARE(readerModeName(s.reading.LastWrittenKind), pending ? QString("未読検索") : QString());
}

void TestArticleView::emptyLinesBeforeTheKeyLine()
{
    // A host that prints empty lines between the header line and the key
    // line: the board lists the articles and shows each from its key line.
    const QString h = headerLine() + "\r\n\r\n";
    Session s;
    loadHandLog(s);
    s.log.LogText = h + crlfLines({ "TALK(1001/9) 26/12/01 10:00:00 一", "  1 bytes A:a", "x" }) + h + "\r\n"
        + crlfLines({ "TALK(1002/9) 26/12/01 10:00:00 二", "  1 bytes A:b", "y" }) + h;
    reader::Reader r(s);
    clickBoard(s.main, 1);
    QCOMPARE(s.main.Title.items, QStringList({ "[1001]", "[1002]" }));
    QCOMPARE(
        s.main.Article.items, QStringList({ "TALK(1001/9) 26/12/01 10:00:00 一", "  1 bytes A:a", "x" }));
    clickRow(s.main, 1);
    QCOMPARE(
        s.main.Article.items, QStringList({ "TALK(1002/9) 26/12/01 10:00:00 二", "  1 bytes A:b", "y" }));
    QCOMPARE(s.main.ArticleCount.Caption, QString("2/2"));
}

void TestArticleView::viewOfABoardLeavesTheWindowAsItWas()
{
    // What each row of a board shows, read as the window would show it ...
    Session shown;
    loadHandLog(shown);
    reader::Reader byClicks(shown);
    clickBoard(shown.main, 1);
    QList<QStringList> expected;
    for (int row = 0; row < shown.main.rowCount(); ++row) {
        clickRow(shown.main, row);
        expected.append(shown.main.Article.items);
    }
    QVERIFY(expected.size() >= 3);

    // ... while the window stays on another board and row, in a search.
    Session s;
    loadHandLog(s);
    reader::Reader r(s);
    clickBoard(s.main, 0);
    clickRow(s.main, 0);
    s.search.StringSearchOn = true;
    s.search.SearchText = "見つからない";
    s.reading.LastWrittenKind = ReaderMode::MoveResponse;
    s.unread.ReadPointer = 5;
    const QStringList rows = s.main.Title.items;
    const QStringList article = s.main.Article.items;
    const QString counter = s.main.ArticleCount.Caption;

    const reader::Reader::BoardView view = r.viewOfBoard(1);
    QCOMPARE(view.rows, byClicks.titleRows());
    QCOMPARE(view.articles, expected);
    QCOMPARE(s.main.Board_List.ListIndex, 0);
    QCOMPARE(s.main.Title.items, rows);
    QCOMPARE(s.main.Title.ListIndex, 0);
    QCOMPARE(s.main.Article.items, article);
    QCOMPARE(s.main.ArticleCount.Caption, counter);
    QCOMPARE(s.unread.ReadPointer, 5);
    QCOMPARE(s.reading.LastWrittenKind, ReaderMode::MoveResponse);
    QCOMPARE(s.search.StringSearchOn, true);
    QVERIFY(r.viewOfBoard(99).rows.isEmpty());
}

QTEST_GUILESS_MAIN(TestArticleView)
#include "tst_articleview.moc"
