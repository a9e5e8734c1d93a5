#include "ReaderFixtures.h"
#include "ReaderModes.h"

#include "base/Text.h"
#include "reader/BoardTitles.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using namespace kavrel::text;

namespace {

const QString kCrlf = QStringLiteral("\r\n");

// The title list build exactly as the steps read, searching the log again for
// every article and scanning every row for duplicates and parents. Slow; the
// reference the linear build is compared with.
struct SlowBuild
{
    const Session &s;
    QStringList batch, title, info, title3, article;
    int selected = -1;
    QString RowNumber, RowInfo, RowTitle;
    qint64 SerialNo = 0;

    explicit SlowBuild(const Session &session)
        : s(session)
    {
        article = session.main.Article.items;
    }

    void insert(int i, const QString &n, const QString &inf, const QString &t)
    {
        batch.insert(i, QStringLiteral(" "));
        title.insert(i, n);
        info.insert(i, inf);
        title3.insert(i, t);
        if (selected >= i)
            ++selected;
    }
    void append(const QString &n, const QString &inf, const QString &t) { insert(title.size(), n, inf, t); }

    void run()
    {
        const QString &log = s.log.LogText;
        const QString &ah = s.ArticleHeader;
        const QString item = s.main.Board_List.selectedText();
        qsizetype p = 1;
        for (;;) {
            const qsizetype h = findFrom(log, ah, p);
            qsizetype e = findFrom(log, kCrlf, h + 1);
            if (h != 0 && e == 0)
                break;
            qsizetype next = findFrom(log, ah, e + 2);
            if (s.Sirial_Flg == 1) {
                e = findFrom(log, kCrlf, h + ah.size());
                SerialNo = val(mid(log, h + ah.size(), 10));
            }
            const qsizetype r = findFrom(log, s.ReadEndMarker, e + 2);
            if ((next == 0 || next > r) && r > 0)
                next = r;
            if (h == 0 || next == 0)
                break;
            p = next;
            const QString block = next - (e + 2) > 0 ? mid(log, e + 2, next - (e + 2)) : QString();
            qsizetype cut = findFrom(block, u'(');
            const qsizetype sl = findFrom(block, u'/') - 2;
            if (sl > 0 && sl < cut)
                cut = sl;
            if (cut <= 0)
                continue;
            QString key = left(block, cut - 1);
            if (key == u"mail " || key == u"0:mail ")
                key = QStringLiteral("mail");
            if (key != s.log.BoardKeys.value(s.main.Board_List.ListIndex))
                continue;
            parse(block);
        }
        if (item.startsWith(QLatin1String("[XCHAT]")))
            chatRows();
        if (!s.upFile.text().isEmpty())
            marks();
        const bool last = s.main.Board_List.ListIndex == s.main.Board_List.ListCount() - 1;
        if (val(mid(item, 4, 5)) == 0 && !item.startsWith(QLatin1String("[XCHAT]")) && title.isEmpty())
            article << QStringLiteral("このＬＯＧファイルにあなた宛のメールはありません");
        if (!last && article.isEmpty())
            article << QStringLiteral("このボードにアーティクルはありません");
        if (last && title.isEmpty())
            article << QStringLiteral("このボードが登録されてる最終ボードです。アーティクルはありません");
    }

    void parse(const QString &block)
    {
        const qsizetype a = findFrom(block, u'(');
        const qsizetype b = findFrom(block, u'/');
        if (b <= a)
            RowNumber = (left(block, 4) == u"0:ma" || left(block, 4) == u"mail") ? QStringLiteral("mail ")
                                                                                 : QStringLiteral("????");
        else
            RowNumber = mid(block, a + 1, b - a - 1);
        qsizetype sz = findFrom(block, QStringLiteral("bytes")) + 6;
        if (sz == 6)
            sz = findFrom(block, QStringLiteral("-only")) + 6;
        if (sz == 6)
            sz = findFrom(block, QStringLiteral("KB ")) + 3;
        if (findFrom(block, QStringLiteral("KB ")) + 3 > 3 && findFrom(block, QStringLiteral("KB ")) + 3 < sz)
            sz = findFrom(block, QStringLiteral("KB ")) + 3;
        if (RowNumber == u"????") {
            RowInfo = QStringLiteral("不明です");
        } else {
            const qsizetype t = findFrom(block, kCrlf, sz);
            RowInfo = t == 0 ? mid(block, sz) : mid(block, sz, t - sz);
        }
        RowNumber = u'[' + RowNumber + u']';
        const qsizetype c1 = findFrom(block, u':');
        const qsizetype c = c1 ? findFrom(block, u':', c1 + 1) : 0;
        const qsizetype t = findFrom(block, kCrlf, c + 1);
        if ((t - c - 3 > 1) || c == 0)
            RowTitle = t - c - 4 < 0 ? QStringLiteral("タイトル不明") : mid(block, c + 4, t - c - 4);
        else
            RowTitle = QStringLiteral("タイトル不明");
        if (!title.isEmpty() && !RowNumber.startsWith(QLatin1String("[mail"))) {
            for (const QString &row : std::as_const(title))
                if (row.contains(RowNumber))
                    return;
        }
        const QString &sub = s.SubcommandMarker;
        const qsizetype pA = findFrom(block, QStringLiteral(">>---"));
        const qsizetype pB = findFrom(block, left(s.MainPromptMarker, s.MainPromptMarker.size() - 1));
        const qsizetype pC = findFrom(block, s.ReadEndMarker);
        bool readable = RowNumber.startsWith(QLatin1String("[mail")) || !block.contains(sub);
        for (const char16_t *x : { u"\r\n", u"r", u"R", u"Ｒ", u"ｒ", u"y", u"Y", u"Ｙ", u"ｙ" })
            readable = readable || block.contains(sub + QString::fromUtf16(x));
        if (readable && ((pA == 0 && pB == 0) || (pA != 0 && pA > pC) || (pC < pB)))
            addRow(block);
    }

    void addRow(const QString &block)
    {
        const qsizetype e = findFrom(block, kCrlf, 1);
        const QString serial = QString::number(SerialNo);
        const bool serialMode = s.Sirial_Flg == 1;
        if (!(mid(block, e + 2, 2) == u" <" && !block.startsWith(QLatin1String("mail"))
                && !title.isEmpty())) {
            append(RowNumber, RowInfo, serialMode ? RowTitle + QString(100, u' ') + serial : RowTitle);
            return;
        }
        const qsizetype c = findFrom(block, u':', e + 5);
        if (c == 0)
            return;
        const QString parent = mid(block, e + 4, c - (e + 4));
        for (int i = 0; i < title.size(); ++i) {
            const qsizetype a = findFrom(title[i], u'[');
            const qsizetype b = findFrom(title[i], u']', a + 1);
            if (mid(title[i], a + 1, b - a - 1) != parent)
                continue;
            const qsizetype indent = findFrom(title[i], u'[');
            int j = i + 1;
            for (; j <= title.size(); ++j) {
                const QString row = j < title.size() ? title[j] : QString();
                const qsizetype pos = findFrom(row, u'[');
                if (pos == 0 || pos <= indent)
                    break;
            }
            insert(j, QString(indent, u' ') + RowNumber, RowInfo,
                serialMode ? RowTitle + QString(200, u' ') + serial : RowTitle);
            return;
        }
        append(RowNumber, RowInfo, serialMode ? RowTitle + QString(100, u' ') + serial : RowTitle);
    }

    void chatRows()
    {
        const QString key = mid(s.main.Board_List.selectedText(), 11);
        qsizetype p = 1;
        while ((p = findFrom(s.log.LogText, key, p)) != 0) {
            const qsizetype e1 = findFrom(s.log.LogText, kCrlf, p);
            const qsizetype e2 = findFrom(s.log.LogText, kCrlf, e1 + 1);
            const qsizetype e3 = findFrom(s.log.LogText, kCrlf, e2 + 1);
            const qsizetype e4 = findFrom(s.log.LogText, kCrlf, e3 + 1);
            if (!e1 || !e2 || !e3 || !e4)
                break;
            if (charAt(s.log.LogText, e4 + 2) == u'[')
                append(QStringLiteral("[XCHAT]"), QStringLiteral(" "), QStringLiteral(" "));
            p = e4 + 1;
        }
    }

    void marks()
    {
        const QString &up = s.upFile.text();
        const QString item = s.main.Board_List.selectedText();
        const bool chat = item.startsWith(QLatin1String("[XCHAT]"));
        qsizetype blank = findFrom(item, u' ', 5);
        const qsizetype name = findFrom(item, QStringLiteral("｢"), 5);
        if (!blank || (name && name < blank))
            blank = name;
        const QString no = blank ? mid(item, 4, blank - 4) : mid(item, 4);
        const QString n = numberWithBlank(val(no));
        const QString kind = readerModeName(s.reading.LastWrittenKind);
        if (!chat && (no == u"0" || no == u" 0")) {
            int count = 1;
            for (qsizetype p = findFrom(up, QStringLiteral("mw\r\n")); p;
                 p = findFrom(up, QStringLiteral("mw\r\n"), p + 4)) {
                const qsizetype e = findFrom(up, QStringLiteral("\r\n\r\n\r\n"), p);
                if (!e)
                    break;
                QString rec = mid(up, p + 4, e - p - 4);
                rec.remove(kCrlf);
                const qsizetype t = findFrom(up, kCrlf, e + 6);
                append(QStringLiteral("[手紙") + numberWithBlank(count++) + u']', rec,
                    mid(up, e + 6, t - e - 6));
                if (kind == u"mail")
                    selected = title.size() - 1;
            }
        }
        if (!chat) {
            const QString w = u'\\' + n + kCrlf + u'W';
            int count = 1;
            for (qsizetype p = findFrom(up, w); p; p = findFrom(up, w, p + 1)) {
                const qsizetype t = findFrom(up, kCrlf, p + w.size());
                append(QStringLiteral("[書込") + numberWithBlank(count++) + u']', QStringLiteral(" "),
                    mid(up, p + w.size(), t - p - w.size()));
                if (kind == u"Write")
                    selected = title.size() - 1;
            }
            count = 0;
            const QString cmd = u'\\' + n + kCrlf;
            for (qsizetype p = findFrom(up, cmd); p; p = findFrom(up, cmd, p + 1)) {
                const qsizetype re = findFrom(up, kCrlf, p + cmd.size());
                if (!re || charAt(up, re + 2) != u'P')
                    continue;
                ++count;
                QString ref = mid(up, p + cmd.size(), re - p - cmd.size());
                if (s.Sirial_Flg == 1 && ref.startsWith(u'%'))
                    ref.remove(0, 1);
                int i = 0;
                for (; i < title.size(); ++i)
                    if (s.Sirial_Flg == 1 ? title3[i].endsWith(ref) : title[i].contains(u'[' + ref + u']'))
                        break;
                if (i == title.size())
                    continue;
                const qsizetype indent = findFrom(title[i], u'[');
                int j = i + 1;
                while (j < title.size() && findFrom(title[j], u'[') != 0 && findFrom(title[j], u'[') > indent)
                    ++j;
                const qsizetype t = findFrom(up, kCrlf, re + 3);
                QString tt = mid(up, re + 3, t - re - 3);
                if (s.Sirial_Flg == 1)
                    tt += QString(200, u' ') + QString::number(val(ref));
                insert(j, QStringLiteral("[レス") + numberWithBlank(count) + u']', QStringLiteral(" "), tt);
                if (kind == u"Response")
                    selected = j;
            }
            const QString b = numberWithBlank(val(mid(item, 4, 5)));
            for (int i = 0; i < title.size(); ++i) {
                const QString a = numberWithBlank(val(mid(title[i], findFrom(title[i], u'[') + 1)));
                if (up.contains(u'\\' + b + kCrlf + a + kCrlf + QStringLiteral("SQ")))
                    batch[i] = QStringLiteral("S");
            }
        } else {
            const qsizetype dot = findFrom(item, u'.');
            if (up.contains(u'X' + QString::number(val(mid(item, 11, dot - 11))) + kCrlf)) {
                append(QStringLiteral("[書込]"), QStringLiteral(" "), QStringLiteral(" "));
                if (kind == u"Write")
                    selected = title.size() - 1;
            }
        }
    }
};

// Builds the selected board's title list and shows it as the reader does;
// answers its selection.
int fastBuild(Session &s)
{
    return reader::showBoardTitles(s);
}

// The columns of a title list as the window shows them: batch, number, info, title.
QList<QStringList> columnsOf(const reader::TitleList &list)
{
    QList<QStringList> columns(4);
    for (const reader::TitleRow &row : list.rows) {
        columns[0] << (row.batchMarked ? "S" : " ");
        columns[1] << QString(row.depth, u' ') + row.bracketed();
        columns[2] << row.info.toString();
        columns[3] << row.shownTitle();
    }
    return columns;
}

QStringList column(const Session &s, int which)
{
    if (which == 1)
        return s.main.Title.items;
    if (which == 0)
        return s.main.BatchSet.items;
    return which == 2 ? s.main.InfoColumn.items : s.main.SubjectColumn.items;
}

} // namespace

class TestTitleListBuilder : public QObject
{
    Q_OBJECT

private slots:
    void threadsAndSkips();
    void mailBoxAndMessages_data();
    void mailBoxAndMessages();
    void parsedFields_data();
    void parsedFields();
    void serialNumbersHideBehindBlanks();
    void chatRooms();
    void markRows();
    void responseMarkNamesTheExactBoardAndArticle();
    void brokenLogsEndTheWalk();
    void sameRowsAsTheStepByStepBuild_data();
    void sameRowsAsTheStepByStepBuild();
    void emptyLinesBeforeTheKeyLine_data();
    void emptyLinesBeforeTheKeyLine();
    void bracketsInNumbersAsTheStepByStepBuild();
    void numbersOfOneValueStayApart_data();
    void numbersOfOneValueStayApart();
    void deepThreadsAsTheStepByStepBuild_data();
    void deepThreadsAsTheStepByStepBuild();
    void chainIndentsAreKeptAsCounts_data();
    void chainIndentsAreKeptAsCounts();
    void rowsArePiecesOfTheLog_data();
    void rowsArePiecesOfTheLog();
};

void TestTitleListBuilder::threadsAndSkips()
{
    Session s;
    loadHandLog(s);
    s.main.Board_List.ListIndex = 1;
    QCOMPARE(fastBuild(s), -1);
    // 1005 was not read (answered "n"); 1002 answers 1001, 1004 answers 1002.
    QCOMPARE(column(s, 1), QStringList({ "[1001]", " [1002]", "  [1004]", "[1003]" }));
    QCOMPARE(column(s, 0), QStringList({ " ", " ", " ", " " }));
    QCOMPARE(column(s, 2).first(), QString("ABC00001:山田"));
    QCOMPARE(column(s, 3), QStringList({ "最初の話題", "Re:最初の話題", "Re:Re:最初の話題", "別の話題" }));
    QCOMPARE(s.main.ArticleCount.Caption, QString("0/0"));
    // A board that is not the last gets the message even with rows: the first
    // row's article replaces it when the list gets the focus.
    QCOMPARE(s.main.Article.items, QStringList({ "このボードにアーティクルはありません" }));

    // The same article captured twice, and a response whose parent is not on
    // the board, and one without a colon on its second line.
    const QString h = headerLine();
    s.log.LogText = crlfLines({ h, "TALK(1001/9) 26/12/01 10:00:00 一", "  1 bytes A:a", "x", h,
        "TALK(1001/9) 26/12/01 10:00:00 一", "  1 bytes A:a", "x", h, "TALK(1002/9) 26/12/01 10:00:00 迷子",
        " <0999:A へ", "  1 bytes A:a", h, "TALK(1003/9) 26/12/01 10:00:00 コロンなし", " <1001 A へ",
        "  1 bytes A", h, "TALK(1004/9) 26/12/01 10:00:00 最後", "  1 bytes A:a", "末尾まで続く" });
    s.main.Article.clear();
    fastBuild(s);
    // 1004 runs to the end of the log: no header or read-end message closes it.
    QCOMPARE(column(s, 1), QStringList({ "[1001]", "[1002]" }));
    // The parent is looked for from the colon after the first digit of the
    // second line on, whichever line holds it.
    s.log.LogText.replace("  1 bytes A\r\n", "  1 bytes A:b\r\n");
    fastBuild(s);
    QCOMPARE(column(s, 1), QStringList({ "[1001]", "[1002]", "[1003]" }));

    // Responses to articles numbered 1 to 999: the colon comes early on the
    // second line, and the response is still threaded under its parent.
    s.log.LogText = crlfLines({ h, "TALK(7/9) 26/12/01 10:00:00 七", "  1 bytes A:a", "x", h,
        "TALK(305/9) 26/12/01 10:00:00 三百五", "  1 bytes A:a", "x", h,
        "TALK(306/9) 26/12/01 10:00:00 Re:七", " <7:A へ", "  1 bytes A:a", h,
        "TALK(307/9) 26/12/01 10:00:00 Re:三百五", " <305:A へ", "  1 bytes A:a", h });
    fastBuild(s);
    QCOMPARE(column(s, 1), QStringList({ "[7]", " [306]", "[305]", " [307]" }));
}

void TestTitleListBuilder::mailBoxAndMessages_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<int>("board");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("article");

    const QString hand = crlfLines(handLogLines());
    QTest::newRow("mails") << hand << 0 << QStringList({ "[mail ]", "[mail ]" })
                           << QStringList({ "このボードにアーティクルはありません" });
    QTest::newRow("empty board") << hand << 2 << QStringList()
                                 << QStringList({ "このボードにアーティクルはありません" });
    QTest::newRow("last board") << hand << 3 << QStringList({ "[2001]", "[2002]" }) << QStringList();
    const QString noMail = crlfLines({ "No.0 ｢メール｣", TestMarkers::readEnd() });
    QTest::newRow("no mail") << noMail << 0 << QStringList()
                             << QStringList({ "このＬＯＧファイルにあなた宛のメールはありません" });
    QTest::newRow("empty last board")
        << noMail << 3 << QStringList()
        << QStringList({ "このボードが登録されてる最終ボードです。アーティクルはありません" });
}

void TestTitleListBuilder::mailBoxAndMessages()
{
    QFETCH(QString, log);
    QFETCH(int, board);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, article);
    Session s;
    loadHandLog(s);
    s.log.LogText = log;
    s.main.Board_List.ListIndex = board;
    fastBuild(s);
    QCOMPARE(column(s, 1), titles);
    QCOMPARE(s.main.Article.items, article);
}

void TestTitleListBuilder::parsedFields_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("title");

    QTest::newRow("bytes") << QStringList({ "K(12/20) 26/12/01 10:00:00 題名", "  5 bytes ID:名" }) << "[12]"
                           << "ID:名"
                           << "題名";
    QTest::newRow("KB before bytes") << QStringList({ "K(12/20) 26/12/01 10:00:00 題名", " 2KB ID:名",
        " 9 bytes X" }) << "[12]"
                                     << "ID:名"
                                     << "題名";
    QTest::newRow("title only") << QStringList({ "K(12/20) 26/12/01 10:00:00 題名", " title-only ID" })
                                << "[12]"
                                << "ID"
                                << "題名";
    QTest::newRow("no size token") << QStringList({ "K(12/20) 26/12/01 10:00:00 題名", "本文" }) << "[12]"
                                   << "12/20) 26/12/01 10:00:00 題名"
                                   << "題名";
    QTest::newRow("garbled number") << QStringList({ "K(?\?\?\?/20) 26/12/01 10:00:00 題名",
        "  5 bytes ID:名" }) << "[????]"
                                    << "不明です"
                                    << "題名";
    QTest::newRow("slash first") << QStringList({ "K 1/(12) 26:00:00 x" }) << "[????]"
                                 << "不明です"
                                 << "x";
    QTest::newRow("title too short") << QStringList({ "K(12/20) 26/12/01 10:00:00", "  5 bytes A" }) << "[12]"
                                     << "A"
                                     << "タイトル不明";
    QTest::newRow("no second colon") << QStringList({ "K(12/20) 題名だけ", "  5 bytes A" }) << "[12]"
                                     << "A"
                                     << "2/20) 題名だけ";
    QTest::newRow("short first line") << QStringList({ "K(1", "/ x" }) << "[1" + kCrlf + "]"
                                      << "1"
                                      << "";
}

void TestTitleListBuilder::parsedFields()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, number);
    QFETCH(QString, info);
    QFETCH(QString, title);
    Session s;
    TestMarkers::apply(s);
    s.log.LogText = crlfLines(QStringList { headerLine() } + lines + QStringList { TestMarkers::readEnd() });
    s.log.BoardKeys = { "K", "L" };
    s.main.Board_List.items = { "No.1 ｢K｣", "No.2 ｢L｣" };
    s.main.Board_List.ListIndex = 0;
    fastBuild(s);
    QCOMPARE(column(s, 1), QStringList({ number }));
    QCOMPARE(column(s, 2), QStringList({ info }));
    QCOMPARE(column(s, 3), QStringList({ title }));
}

void TestTitleListBuilder::serialNumbersHideBehindBlanks()
{
    Session s;
    TestMarkers::apply(s, true);
    const QString ah = TestMarkers::articleHeader();
    s.log.LogText
        = crlfLines({ ah + "   00101 x", "K(1001/2) 26/12/01 10:00:00 親", "  5 bytes A:a", ah + "     102 x",
            "K(1002/2) 26/12/01 10:00:00 子", " <1001:A さん", "  5 bytes A:a", TestMarkers::readEnd() });
    s.log.BoardKeys = { "K" };
    s.main.Board_List.items = { "No.1 ｢K｣" };
    s.main.Board_List.ListIndex = 0;
    fastBuild(s);
    QCOMPARE(
        column(s, 3), QStringList({ "親" + QString(100, u' ') + "101", "子" + QString(200, u' ') + "102" }));
}

void TestTitleListBuilder::chatRooms()
{
    Session s;
    TestMarkers::apply(s);
    s.log.LogText = crlfLines({ TestMarkers::xchat(), "1", "1.部屋", "入室", "参加者", "一覧", "[A] やあ",
        "[B] どうも", "退室", TestMarkers::xchat(), "1", "1.部屋", "入室", "参加者", "一覧", "誰もいません",
        "退室", TestMarkers::xchat(), "1", "1.部屋", "a", "b", "c", "[C] 二度目" });
    s.log.BoardKeys = { "K" };
    s.main.Board_List.items = { "No.1 ｢K｣", "[XCHAT] No1.部屋" };
    s.main.Board_List.ListIndex = 1;
    s.upFile.load("X1" + kCrlf + "こんにちは" + kCrlf + "." + kCrlf);
    s.reading.LastWrittenKind = ReaderMode::Write;
    QCOMPARE(fastBuild(s), 2);
    QCOMPARE(column(s, 1), QStringList({ "[XCHAT]", "[XCHAT]", "[書込]" }));
    QCOMPARE(column(s, 3), QStringList({ " ", " ", " " }));
}

void TestTitleListBuilder::markRows()
{
    Session s;
    loadHandLog(s);
    const QString up = "mw" + kCrlf + " 100" + kCrlf + kCrlf + " 200" + kCrlf + kCrlf + kCrlf + "題一" + kCrlf
        + "本文" + kCrlf + "." + kCrlf + "y" + "\\ 1" + kCrlf + "W書いた" + kCrlf + "本文" + kCrlf + "."
        + kCrlf + "yQ" + "\\ 1" + kCrlf + "1002" + kCrlf + "P返事" + kCrlf + "." + kCrlf + "yQ" + "\\ 1"
        + kCrlf + " 1003" + kCrlf + "SQ";
    s.upFile.load(up);

    s.main.Board_List.ListIndex = 0;
    s.reading.LastWrittenKind = ReaderMode::Mail;
    QCOMPARE(fastBuild(s), 2);
    QCOMPARE(column(s, 1), QStringList({ "[mail ]", "[mail ]", "[手紙 1]" }));
    QCOMPARE(column(s, 2).last(), QString(" 100 200"));
    QCOMPARE(column(s, 3).last(), QString("題一"));
    // A mail box line printed without a blank before its name.
    s.main.Board_List.items[0] = QStringLiteral("No.0｢メール｣");
    QCOMPARE(fastBuild(s), 2);
    QCOMPARE(column(s, 1).last(), QString("[手紙 1]"));
    s.main.Board_List.items[0] = QStringLiteral("No.0 ｢メール｣");

    s.main.Board_List.ListIndex = 1;
    s.reading.LastWrittenKind = ReaderMode::Response;
    // The response mark goes to the end of 1002's sub-thread, unindented.
    QCOMPARE(fastBuild(s), 3);
    QCOMPARE(
        column(s, 1), QStringList({ "[1001]", " [1002]", "  [1004]", "[レス 1]", "[1003]", "[書込 1]" }));
    QCOMPARE(column(s, 0), QStringList({ " ", " ", " ", " ", "S", " " }));
    QCOMPARE(column(s, 3)[3], QString("返事"));
    s.reading.LastWrittenKind = ReaderMode::Write;
    QCOMPARE(fastBuild(s), 5);
}

void TestTitleListBuilder::responseMarkNamesTheExactBoardAndArticle()
{
    Session s;
    loadHandLog(s);
    // A response to board 12 and one to article 100 (which would match the
    // text "[100" of [1001]) do not mark board 1.
    s.upFile.load("\\ 12" + kCrlf + "1001" + kCrlf + "P他の板" + kCrlf + "." + kCrlf + "yQ" + "\\ 1" + kCrlf
        + "100" + kCrlf + "P違う記事" + kCrlf + "." + kCrlf + "yQ");
    s.main.Board_List.ListIndex = 1;
    fastBuild(s);
    QCOMPARE(column(s, 1), QStringList({ "[1001]", " [1002]", "  [1004]", "[1003]" }));

    // A response whose article is not in this log (written from an earlier
    // log) has no row, but keeps its number: the next one is the second.
    s.upFile.append("\\ 1" + kCrlf + "1003" + kCrlf + "P三へ" + kCrlf + "." + kCrlf + "yQ");
    fastBuild(s);
    QCOMPARE(column(s, 1), QStringList({ "[1001]", " [1002]", "  [1004]", "[1003]", "[レス 2]" }));
}

void TestTitleListBuilder::brokenLogsEndTheWalk()
{
    Session s;
    TestMarkers::apply(s);
    s.log.BoardKeys = { "K" };
    s.main.Board_List.items = { "No.1 ｢K｣", "[XCHAT] No1.部屋" };
    // A header line without a line end, and a chat room with too few lines
    // after it: the build ends instead of starting over.
    s.log.LogText
        = crlfLines({ headerLine(), "K(1/2) 26/12/01 10:00:00 一", "  5 bytes A:a", TestMarkers::readEnd() })
        + TestMarkers::articleHeader();
    s.main.Board_List.ListIndex = 0;
    fastBuild(s);
    QCOMPARE(column(s, 1), QStringList({ "[1]" }));
    s.log.LogText = "1.部屋" + kCrlf + "入室";
    s.main.Board_List.ListIndex = 1;
    fastBuild(s);
    QVERIFY(column(s, 1).isEmpty());
}

void TestTitleListBuilder::sameRowsAsTheStepByStepBuild_data()
{
    QTest::addColumn<quint32>("variant");
    QTest::addColumn<bool>("serial");
    for (quint32 variant = 1; variant <= 12; ++variant) {
        QTest::addRow("variant %u", variant) << variant << false;
        QTest::addRow("serial variant %u", variant) << variant << true;
    }
}

void TestTitleListBuilder::sameRowsAsTheStepByStepBuild()
{
    QFETCH(quint32, variant);
    QFETCH(bool, serial);
    LogShape shape;
    shape.variant = variant;
    shape.serial = serial;
    shape.articlesPerBoard = 20 + int(variant % 5) * 10;
    const GeneratedLog log = generateLog(shape);
    const QStringList kinds = { "", "mail", "Write", "Response" };
    bool sawThread = false;
    bool sawBatchMark = false;
    for (int board = 0; board < log.boardItems.size(); ++board) {
        Session s;
        loadGenerated(s, log, serial);
        s.main.Board_List.ListIndex = board;
        s.reading.LastWrittenKind = readerMode(kinds.at(int((variant + board) % kinds.size())));
        SlowBuild slow(s);
        slow.run();
        // The list as a value, then as the reader shows it.
        const QList<QStringList> rows = columnsOf(reader::boardTitles(s));
        QCOMPARE(rows, QList<QStringList>({ slow.batch, slow.title, slow.info, slow.title3 }));
        const int selected = fastBuild(s);
        QCOMPARE(column(s, 1), slow.title);
        QCOMPARE(column(s, 0), slow.batch);
        QCOMPARE(column(s, 2), slow.info);
        QCOMPARE(column(s, 3), slow.title3);
        QCOMPARE(s.main.Article.items, slow.article);
        QCOMPARE(selected, slow.selected);
        if (board > 0 && board < log.boardItems.size() - 2)
            QVERIFY2(s.main.rowCount() > 5, "a generated board has rows");
        for (const QString &row : column(s, 1))
            sawThread = sawThread || row.startsWith(u' ');
        sawBatchMark = sawBatchMark || column(s, 0).contains("S");
    }
    QVERIFY(sawThread);
    QVERIFY(sawBatchMark);
}

void TestTitleListBuilder::emptyLinesBeforeTheKeyLine_data()
{
    QTest::addColumn<QString>("gap");
    QTest::addColumn<QStringList>("rows");
    QTest::addRow("none") << QString() << QStringList({ "[1001]", " [1002]" });
    QTest::addRow("one empty line") << QString("\r\n") << QStringList({ "[1001]", " [1002]" });
    QTest::addRow("three empty lines") << QString("\r\n\r\n\r\n") << QStringList({ "[1001]", " [1002]" });
    // A line with a blank is no empty line: the key is not found after it.
    QTest::addRow("a blank line") << QString(" \r\n") << QStringList();
}

void TestTitleListBuilder::emptyLinesBeforeTheKeyLine()
{
    QFETCH(QString, gap);
    QFETCH(QStringList, rows);
    // Some hosts print an empty line between the header line and the key line.
    const QString h = headerLine() + "\r\n" + gap;
    Session s;
    loadHandLog(s);
    s.log.LogText = h + crlfLines({ "TALK(1001/9) 26/12/01 10:00:00 一", "  1 bytes A:a", "x" }) + h
        + crlfLines({ "TALK(1002/9) 26/12/01 10:00:00 二", " <1001:A へ", "  1 bytes A:b", "y" }) + h;
    s.main.Board_List.ListIndex = 1;
    fastBuild(s);
    QCOMPARE(column(s, 1), rows);
    if (!rows.isEmpty())
        QCOMPARE(column(s, 3), QStringList({ "一", "二" }));
}

void TestTitleListBuilder::bracketsInNumbersAsTheStepByStepBuild()
{
    // Numbers holding "[" or "]": a row is dropped when any earlier row holds
    // its bracketed number anywhere, as the steps compare it.
    const QString h = headerLine();
    QStringList lines;
    const QStringList numbers = { "[12", "12", "[12]", "1[2", "[[12", "12]", "[12", "2]", "[1]2", "]12",
        "1]2", "[12]", "x[12", "[", "]", "[12]]" };
    for (const QString &n : numbers)
        lines << h << "TALK(" + n + "/99) 26/12/01 10:00:00 t" + n << "  1 bytes A:a"
              << "x";
    lines << h;
    Session s;
    loadHandLog(s);
    s.log.LogText = crlfLines(lines);
    s.main.Board_List.ListIndex = 1;
    SlowBuild slow(s);
    slow.run();
    fastBuild(s);
    QCOMPARE(column(s, 1), slow.title);
    QCOMPARE(column(s, 3), slow.title3);
    QVERIFY(column(s, 1).size() < numbers.size());
}

// A board of rows articles; answer(i) is the number article i answers, or empty.
QString boardLog(
    int rows, const std::function<QString(int)> &number, const std::function<QString(int)> &answer)
{
    const QString h = headerLine() + kCrlf;
    QString log;
    for (int i = 0; i < rows; ++i) {
        log += h + "TALK(" + number(i) + "/99) 26/12/01 10:00:00 t" + kCrlf;
        const QString parent = answer(i);
        if (!parent.isEmpty())
            log += " <" + parent + ":A へ" + kCrlf;
        log += "  1 bytes A:a" + kCrlf + "x" + kCrlf;
    }
    return log + h;
}

void TestTitleListBuilder::numbersOfOneValueStayApart_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("rows");
    QTest::addRow("leading zeros") << QStringList({ "123", "0123", "00123", "123", "0123" })
                                   << QStringList({ "", "", "", "", "" })
                                   << QStringList({ "[123]", "[0123]", "[00123]" });
    QTest::addRow("answers name the exact text")
        << QStringList({ "0123", "123", "124", "125", "126" })
        << QStringList({ "", "", "0123", "123", "00123" })
        << QStringList({ "[0123]", " [124]", "[123]", " [125]", "[126]" });
    QTest::addRow("eight apart") << QStringList({ "8", "16", "0", "24", "8", "00", "9" })
                                 << QStringList({ "", "", "", "16", "", "0", "8" })
                                 << QStringList({ "[8]", " [9]", "[16]", " [24]", "[0]", " [00]" });
    QTest::addRow("long and wide digits")
        << QStringList({ "123456789012345678", "1234567890123456789", "12345678901234567890123", "１２３",
               "123", "1234567890123456789", "9" })
        << QStringList({ "", "", "", "", "", "", "12345678901234567890123" })
        << QStringList({ "[123456789012345678]", "[1234567890123456789]", "[12345678901234567890123]", " [9]",
               "[１２３]", "[123]" });
    QStringList run, answers;
    for (int i = 0; i < 300; ++i) {
        run << QString::number(i % 7 == 3 ? 5000 + i : 1000 + i).rightJustified(i % 3 == 0 ? 4 : 6, u'0');
        answers << (i % 4 == 1 ? run.at(i - 1) : i % 5 == 2 ? run.at(i / 2) : QString());
    }
    QTest::addRow("a run with gaps") << run << answers << QStringList();
}

void TestTitleListBuilder::numbersOfOneValueStayApart()
{
    // Rows are looked up by the text between their brackets: numbers of one
    // value written differently are different rows, and an answer finds the
    // row of exactly its text.
    QFETCH(QStringList, numbers);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, rows);
    Session s;
    loadHandLog(s);
    s.log.LogText = boardLog(
        int(numbers.size()), [&](int i) { return numbers.at(i); }, [&](int i) { return answers.at(i); });
    s.main.Board_List.ListIndex = 1;
    SlowBuild slow(s);
    slow.run();
    fastBuild(s);
    QCOMPARE(column(s, 1), slow.title);
    if (!rows.isEmpty())
        QCOMPARE(column(s, 1), rows);
}

void TestTitleListBuilder::deepThreadsAsTheStepByStepBuild_data()
{
    QTest::addColumn<quint32>("variant");
    for (quint32 variant = 1; variant <= 6; ++variant)
        QTest::addRow("variant %u", variant) << variant;
}

void TestTitleListBuilder::deepThreadsAsTheStepByStepBuild()
{
    // Long threads in which several rows carry the bracket text "7" ("7]n"
    // numbers): a response to 7 goes under the first of them in the list,
    // however deep each one sits.
    QFETCH(quint32, variant);
    const int rows = 400;
    QStringList numbers, brackets;
    quint32 r = variant;
    auto next = [&r] { return (r = r * 1103515245u + 12345u) >> 16; };
    for (int i = 0; i < rows; ++i) {
        const bool odd = next() % 16 == 0;
        numbers << (odd ? "7]" + QString::number(i) : QString::number(1000 + i));
        brackets << (odd ? QString("7") : numbers.last());
    }
    QStringList answers;
    for (int i = 0; i < rows; ++i) {
        const quint32 pick = next() % 32;
        if (i == 0 || pick == 0)
            answers << QString();
        else if (pick == 1)
            answers << "7";
        else if (pick == 2)
            answers << brackets.at(int(next() % quint32(i)));
        else
            answers << brackets.at(i - 1);
    }
    Session s;
    loadHandLog(s);
    s.log.LogText = boardLog(
        rows, [&](int i) { return numbers.at(i); }, [&](int i) { return answers.at(i); });
    s.main.Board_List.ListIndex = 1;
    SlowBuild slow(s);
    slow.run();
    fastBuild(s);
    QCOMPARE(column(s, 1), slow.title);
    int deepest = 0;
    for (int i = 0; i < s.main.rowCount(); ++i)
        deepest = qMax(deepest, s.main.Title.indentOf(i));
    QVERIFY(deepest > 20);
}

void TestTitleListBuilder::chainIndentsAreKeptAsCounts_data()
{
    QTest::addColumn<int>("rows");
    QTest::addRow("short") << 10;
    QTest::addRow("20000 deep") << 20000;
}

void TestTitleListBuilder::chainIndentsAreKeptAsCounts()
{
    // Each article answers the one before: row k is k deep, yet the list
    // stores its indent as a number and its text without blanks.
    QFETCH(int, rows);
    Session s;
    loadHandLog(s);
    s.log.LogText = boardLog(
        rows, [](int i) { return QString::number(i + 1); },
        [](int i) { return i == 0 ? QString() : QString::number(i); });
    s.main.Board_List.ListIndex = 1;
    fastBuild(s);
    const TitleColumn &title = s.main.Title;
    QCOMPARE(title.ListCount(), rows);
    QVERIFY2(title.items.storedChars() <= qsizetype(rows) * 8, "the stored text grows with the rows alone");
    const int last = rows - 1;
    QCOMPARE(title.indentOf(last), last);
    QCOMPARE(title.textOf(last), "[" + QString::number(rows) + "]");
    // Shown or printed, a row gets its blanks back.
    QCOMPARE(title.item(last), QString(last, u' ') + "[" + QString::number(rows) + "]");
    QCOMPARE(title.item(1), QString(" [2]"));
}

void TestTitleListBuilder::rowsArePiecesOfTheLog_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addRow("plain net") << false;
    QTest::addRow("serial net") << true;
}

void TestTitleListBuilder::rowsArePiecesOfTheLog()
{
    // The rows point into the log: number, information and title (with a
    // serial net's blanks and number) are made when asked for; only fixed
    // texts such as "タイトル不明" are held.
    QFETCH(bool, serial);
    Session s;
    TestMarkers::apply(s, serial);
    const QString ah = TestMarkers::articleHeader();
    s.log.LogText = crlfLines({ ah + "   00101 x", "K(1001/2) 26/12/01 10:00:00 親", "  5 bytes A:a",
        ah + "     102 x", "K(1002/2) 26/12/01 10:00:00 子", " <1001:A さん", "  7 bytes B:b",
        ah + "     103 x", "K(1003/2) 26/12/01 10:00:00", "  9 bytes C:c", TestMarkers::readEnd() });
    s.log.BoardKeys = { "K" };
    s.main.Board_List.items = { "No.1 ｢K｣" };
    s.main.Board_List.ListIndex = 0;
    fastBuild(s);
    const auto withSerial = [&](const QString &title, int blanks, int number) {
        return serial ? title + QString(blanks, u' ') + QString::number(number) : title;
    };
    QCOMPARE(column(s, 1), QStringList({ "[1001]", " [1002]", "[1003]" }));
    QCOMPARE(column(s, 2), QStringList({ "A:a", "B:b", "C:c" }));
    QCOMPARE(column(s, 3),
        QStringList({ withSerial("親", 100, 101), withSerial("子", 200, 102),
            withSerial("タイトル不明", 100, 103) }));
    MainWindowState &m = s.main;
    QCOMPARE(m.Title.items.storedChars(), 0);
    QCOMPARE(m.InfoColumn.items.storedChars(), 0);
    QCOMPARE(m.SubjectColumn.items.storedChars(), QString("タイトル不明").size());

    // A copy shares the rows; a row set as a whole changes that row alone.
    const MainWindowState copy = m;
    QVERIFY(copy.SubjectColumn.items.sharesData(m.SubjectColumn.items));
    m.SubjectColumn.items[1] = QStringLiteral("新しい題");
    QCOMPARE(m.SubjectColumn.item(1), QString("新しい題"));
    QCOMPARE(m.SubjectColumn.item(0), withSerial("親", 100, 101));
    QCOMPARE(copy.SubjectColumn.item(1), withSerial("子", 200, 102));
    QVERIFY(copy.SubjectColumn.items != m.SubjectColumn.items);
    m.Title.items[2] = QStringLiteral("  [9999]");
    QCOMPARE(m.Title.indentOf(2), 2);
    QCOMPARE(m.Title.textOf(2), QString("[9999]"));
    QCOMPARE(column(s, 1), QStringList({ "[1001]", " [1002]", "  [9999]" }));
}

QTEST_GUILESS_MAIN(TestTitleListBuilder)
#include "tst_titlelistbuilder.moc"
