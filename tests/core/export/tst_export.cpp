// Exports of boards and threads, read back by other programs' readers.

#include "TestSupport.h"
#include "TitleLogGenerator.h"

#include "export/Exporters.h"
#include "program/SessionExport.h"
#include "reader/Reader.h"
#include "reader/TitleRows.h"
#include "session/Session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kavrel;

namespace {

const QString kCrlf = QStringLiteral("\r\n");

bool isMarkRow(const QString &item)
{
    return item.startsWith(QStringLiteral("[書込")) || item.startsWith(QStringLiteral("[レス"))
        || item.startsWith(QStringLiteral("[手紙"));
}

// What the title list and the article view show of a board, row by row,
// read by clicking each row: title, parent row (by indentation) and lines.
struct ShownRow
{
    QString title;
    int parent = -1;
    QStringList lines;
};

QList<ShownRow> shownRows(Session &s, reader::Reader &reader, int item)
{
    reader.chooseBoard(item);
    QList<ShownRow> rows;
    QList<int> depths;
    const QStringList titles = s.main.Title.items;
    for (int i = 0; i < titles.size(); ++i) {
        if (isMarkRow(titles.at(i)))
            continue;
        ShownRow row;
        const int depth = int(reader::bracketPos(titles.at(i))) - 1;
        for (int k = int(rows.size()) - 1; k >= 0; --k) {
            if (depths.at(k) < depth) {
                row.parent = k;
                break;
            }
        }
        row.title = reader.plainTitle(i);
        s.main.Article.clear();
        reader.chooseRow(i);
        row.lines = s.main.Article.items;
        rows << row;
        depths << depth;
    }
    return rows;
}

QString python()
{
    // Debian's interpreter first: the HTML parser comes as a Debian package.
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                             : QStringLiteral("python3");
}

// A small net: one board with a thread, mails that share a date, and
// titles and bodies that mail readers and browsers stumble over.
QString fixtureLog(const QString &title, const QString &bodyLine)
{
    const QString h = test::TestMarkers::articleHeader() + QStringLiteral(" 12/01");
    const QString sub = test::TestMarkers::subcommand();
    return test::crlfLines({
        test::TestMarkers::mainPrompt() + QStringLiteral("mr"),
        QStringLiteral("No.0 ｢メール｣"),
        h,
        QStringLiteral("mail 79/12/01 09:00:00 (ABC00003) 同じ時刻"),
        QStringLiteral("  100 bytes ABC00003:佐藤"),
        QStringLiteral("一通目"),
        h,
        QStringLiteral("mail 79/12/01 09:00:00 (ABC00003) 同じ時刻"),
        QStringLiteral("  100 bytes ABC00003:佐藤"),
        QStringLiteral("二通目"),
        test::TestMarkers::readEnd(),
        test::TestMarkers::mainPrompt() + QStringLiteral("b 1"),
        QStringLiteral("No.1 ｢雑談｣"),
        h,
        QStringLiteral("TALK(1001/1003) 80/01/02 10:00:00 ") + title,
        QStringLiteral("  120 bytes ABC00001:山田 花子"),
        bodyLine,
        QStringLiteral("From here on"),
        QStringLiteral(">From there"),
        sub,
        h,
        QStringLiteral("TALK(1002/1003) 80/01/02 11:00:00 Re:話題"),
        QStringLiteral(" <1001:ABC00001 山田さんへ"),
        QStringLiteral("  200 bytes ABC00002:鈴木"),
        QStringLiteral("レス本文"),
        sub,
        h,
        QStringLiteral("TALK(1003/1003) 80/01/02 12:00:00 別の話題"),
        QStringLiteral("  80 bytes ABC00003:佐藤"),
        QStringLiteral("別の本文"),
        sub,
        test::TestMarkers::readEnd(),
        test::TestMarkers::mainPrompt() + QStringLiteral("bye"),
    });
}

void loadFixture(Session &s, const QString &log)
{
    test::TestMarkers::apply(s);
    s.log.LogText = log;
    s.log.BoardKeys = { QStringLiteral("mail"), QStringLiteral("TALK") };
    s.main.Board_List.items = { QStringLiteral("No.0 ｢メール｣"), QStringLiteral("No.1 ｢雑談｣") };
    settings::NetRecord net;
    net[settings::NetRecord::Net_Name] = QStringLiteral("テスト ネット");
    s.NetTable = { net };
    s.NetIndex = 0;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void mailReadersAndBrowsersReadEveryGeneratedBoard_data();
    void mailReadersAndBrowsersReadEveryGeneratedBoard();
    void aRowOrAThreadAndWhatIsLeftOut_data();
    void aRowOrAThreadAndWhatIsLeftOut();
    void mboxHeaders_data();
    void mboxHeaders();
    void pagesShowEveryTextSafely();
    void aDeepThreadStaysLinear();
    void exportingLeavesTheReaderWhereItWas();
    void aFileThatCannotBeWrittenIsReportedAndLeftAlone();
};

void TestExport::mailReadersAndBrowsersReadEveryGeneratedBoard_data()
{
    QTest::addColumn<bool>("serial");
    QTest::newRow("numbered headers") << false;
    QTest::newRow("serial headers") << true;
}

void TestExport::mailReadersAndBrowsersReadEveryGeneratedBoard()
{
    QFETCH(bool, serial);
    test::LogShape shape;
    shape.serial = serial;
    shape.variant = serial ? 7 : 3;
    shape.articlesPerBoard = 40;
    const test::GeneratedLog log = test::generateLog(shape);
    Session s;
    test::loadGenerated(s, log, serial);
    settings::NetRecord net;
    net[settings::NetRecord::Net_Name] = QStringLiteral("かぶらネット");
    s.NetTable = { net };
    s.NetIndex = 0;
    reader::Reader reader(s);

    QTemporaryDir dir;
    QJsonArray checks;
    int boards = 0;
    for (int item = 0; item < s.main.Board_List.ListCount(); ++item) {
        const bool chat = s.main.Board_List.item(item).startsWith(QLatin1String("[XCHAT]"));
        const QList<ShownRow> rows = shownRows(s, reader, item);
        QJsonArray expected;
        for (const ShownRow &row : rows) {
            expected.append(QJsonObject { { QStringLiteral("title"), row.title },
                { QStringLiteral("parent"), row.parent },
                { QStringLiteral("lines"), QJsonArray::fromStringList(row.lines) } });
        }
        for (const auto format : { exporter::Format::Mbox, exporter::Format::Html }) {
            if (chat && format == exporter::Format::Mbox)
                continue;
            const exporter::ExportResult result
                = exporter::exportBoard(exportSourceOf(s), item, -1, false, format);
            if (rows.isEmpty()) {
                QVERIFY(!result.ok());
                continue;
            }
            QVERIFY2(result.ok(), qPrintable(result.message));
            const QString name = dir.filePath(
                QStringLiteral("board%1.%2")
                    .arg(item)
                    .arg(format == exporter::Format::Mbox ? QStringLiteral("mbox") : QStringLiteral("html")));
            test::writeFile(name, result.bytes);
            checks.append(QJsonObject {
                { QStringLiteral("format"),
                    format == exporter::Format::Mbox ? QStringLiteral("mbox") : QStringLiteral("html") },
                { QStringLiteral("file"), name }, { QStringLiteral("rows"), expected } });
        }
        boards += rows.isEmpty() ? 0 : 1;
    }
    QVERIFY(boards >= 4);
    const QString checksPath = dir.filePath(QStringLiteral("checks.json"));
    test::writeFile(checksPath, QJsonDocument(checks).toJson());

    QProcess check;
    check.start(python(),
        { qEnvironmentVariable("KAVREL_SOURCE_DIR") + QStringLiteral("/tests/core/export/check_export.py"),
            checksPath });
    QVERIFY(check.waitForFinished(120000));
    const QString said = QString::fromUtf8(check.readAllStandardOutput() + check.readAllStandardError());
    QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0, qPrintable(said));
}

void TestExport::aRowOrAThreadAndWhatIsLeftOut_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("thread");
    QTest::addColumn<QStringList>("exported"); // numbers
    QTest::addColumn<QStringList>("context"); // numbers of ancestors kept for the threading

    QTest::newRow("whole board") << 1 << -1 << false << QStringList { "1001", "1002", "1003" }
                                 << QStringList {};
    QTest::newRow("a row alone") << 1 << 0 << false << QStringList { "1001" } << QStringList {};
    QTest::newRow("a row and its thread")
        << 1 << 0 << true << QStringList { "1001", "1002" } << QStringList {};
    QTest::newRow("a response keeps its parent for the threading")
        << 1 << 1 << true << QStringList { "1002" } << QStringList { "1001" };
    QTest::newRow("a waiting write is no article") << 1 << 4 << false << QStringList {} << QStringList {};
    QTest::newRow("a waiting response is no article") << 1 << 2 << true << QStringList {} << QStringList {};
    QTest::newRow("mails export like articles")
        << 0 << -1 << false << QStringList { "mail ", "mail " } << QStringList {};
    QTest::newRow("no such row") << 1 << 40 << false << QStringList {} << QStringList {};
}

void TestExport::aRowOrAThreadAndWhatIsLeftOut()
{
    QFETCH(int, item);
    QFETCH(int, row);
    QFETCH(bool, thread);
    QFETCH(QStringList, exported);
    QFETCH(QStringList, context);
    Session s;
    loadFixture(s, fixtureLog(QStringLiteral("話題"), QStringLiteral("本文")));
    // A response to 1001 and a new article wait in the up file.
    s.upFile.load(QStringLiteral("\\ 1") + kCrlf + QStringLiteral("1001") + kCrlf + QStringLiteral("Pお返事")
        + kCrlf + QStringLiteral(".") + kCrlf + QStringLiteral("yQ") + QStringLiteral("\\ 1") + kCrlf
        + QStringLiteral("W新しい話") + kCrlf + QStringLiteral(".") + kCrlf + QStringLiteral("yQ"));
    reader::Reader reader(s);
    reader.chooseBoard(1);
    QCOMPARE(s.main.Title.items, QStringList({ "[1001]", " [1002]", "[レス 1]", "[1003]", "[書込 1]" }));

    const exporter::ExportSelection sel = exporter::collectExportRows(exportSourceOf(s), item, row, thread);
    QStringList gotExported, gotContext;
    for (const exporter::ExportRow &r : sel.rows)
        (r.exported ? gotExported : gotContext) << r.number;
    QCOMPARE(gotExported, exported);
    QCOMPARE(gotContext, context);
    for (const exporter::ExportRow &r : sel.rows) {
        QCOMPARE(r.lines.isEmpty(), !r.exported);
        if (r.number == u"1002")
            QCOMPARE(sel.rows.at(r.parent).number, QStringLiteral("1001"));
    }
    const exporter::ExportResult text
        = exporter::exportBoard(exportSourceOf(s), item, row, thread, exporter::Format::Text);
    QCOMPARE(text.ok(), !exported.isEmpty());
    if (exported.isEmpty())
        QCOMPARE(text.message, QStringLiteral("エクスポートするアーティクルはありません"));
}

void TestExport::mboxHeaders_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("subject");
    QTest::newRow("ASCII as it is") << QStringLiteral("Hello modem users")
                                    << QByteArray("Subject: Hello modem users\n");
    QTest::newRow("Japanese encoded")
        << QStringLiteral("話題") << QByteArray("Subject: =?UTF-8?B?6Kmx6aGM?=\n");
    QTest::newRow("a long ASCII title folds at blanks")
        << QStringLiteral("aaaaaaaaaa bbbbbbbbbb cccccccccc dddddddddd eeeeeeeeee ffffffffff gggggggggg")
        << QByteArray(
               "Subject: aaaaaaaaaa bbbbbbbbbb cccccccccc dddddddddd eeeeeeeeee ffffffffff\n gggggggggg\n");
    QTest::newRow("a long Japanese title folds between whole characters")
        << QStringLiteral("あいうえおかきくけこさしすせそたちつてと")
        << QByteArray("Subject: =?UTF-8?B?44GC44GE44GG44GI44GK44GL44GN44GP44GR44GT44GV44GX44GZ44Gb?=\n"
                      " =?UTF-8?B?44Gd44Gf44Gh44Gk44Gm44Go?=\n");
    QTest::newRow("what looks encoded is encoded")
        << QStringLiteral("=?x?") << QByteArray("Subject: =?UTF-8?B?PT94Pw==?=\n");
    QTest::newRow("blanks at the ends are kept")
        << QStringLiteral(" a ") << QByteArray("Subject: =?UTF-8?B?IGEg?=\n");
}

void TestExport::mboxHeaders()
{
    QFETCH(QString, title);
    QFETCH(QByteArray, subject);
    QCOMPARE(exporter::unstructuredHeader("Subject", title), subject);

    Session s;
    loadFixture(s, fixtureLog(title, QStringLiteral("From the start")));
    const QByteArray mbox
        = exporter::exportBoard(exportSourceOf(s), 1, -1, false, exporter::Format::Mbox).bytes;
    QVERIFY(mbox.startsWith("From ABC00001@xn--"));
    QVERIFY(mbox.contains("\n" + subject));
    QVERIFY(mbox.contains("\nFrom: =?UTF-8?B?5bGx55SwIOiKseWtkA==?= <ABC00001@"));
    // A year of 80 is 1980, and the From_ line is in UTC.
    QVERIFY(mbox.contains(" Wed Jan  2 01:00:00 1980\n"));
    QVERIFY(mbox.contains("\nDate: Wed, 02 Jan 1980 10:00:00 +0900\n"));
    // mboxrd: every line that reads "From " after its ">"s gets one more.
    QVERIFY(mbox.contains("\n>From the start\n>From here on\n>>From there\n"));
    QVERIFY(mbox.contains("\nContent-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n\n"));

    // The two mails of one time differ by their place in the log; a year of 79 is 2079.
    const exporter::ExportSelection mails = exporter::collectExportRows(exportSourceOf(s), 0);
    QCOMPARE(mails.rows.size(), 2);
    const QString a = exporter::messageId(mails, mails.rows.at(0));
    const QString b = exporter::messageId(mails, mails.rows.at(1));
    QVERIFY(a != b);
    QVERIFY2(a.startsWith(QStringLiteral("<20791201090000.mail.b0.p")), qPrintable(a));
    // Stable: the same row exported alone has the same ID.
    const exporter::ExportSelection second = exporter::collectExportRows(exportSourceOf(s), 0, 1);
    QCOMPARE(exporter::messageId(second, second.rows.at(0)), b);
    QCOMPARE(
        exporter::netDomain(QStringLiteral("テスト ネット")), QStringLiteral("xn----pfu5ajlc7a.invalid"));
    QCOMPARE(exporter::netDomain(QStringLiteral("Minato Net")), QStringLiteral("minato-net.invalid"));
    QCOMPARE(exporter::netDomain(QString()), QStringLiteral("net.invalid"));
}

void TestExport::pagesShowEveryTextSafely()
{
    Session s;
    loadFixture(
        s, fixtureLog(QStringLiteral("<b>&\"x\"</b>"), QStringLiteral("tab\there, bell\x07, esc\x1b.")));
    const QString html = QString::fromUtf8(
        exporter::exportBoard(exportSourceOf(s), 1, -1, false, exporter::Format::Html).bytes);
    QVERIFY(html.contains(QStringLiteral("&lt;b&gt;&amp;&quot;x&quot;&lt;/b&gt;")));
    QVERIFY(!html.contains(QStringLiteral("<b>")));
    QVERIFY(html.contains(QStringLiteral("tab\there, bell\uFFFD, esc\uFFFD.")));
    QVERIFY(html.contains(QStringLiteral("Mincho")));
    QVERIFY(html.contains(QStringLiteral("@media print")));
    QVERIFY(!html.contains(QStringLiteral("http")));
    const QString text = QString::fromUtf8(
        exporter::exportBoard(exportSourceOf(s), 1, -1, false, exporter::Format::Text).bytes);
    QVERIFY(text.contains(QStringLiteral("tab\there, bell\x07, esc\x1b.\n")));
    QVERIFY(!text.contains(u'\r'));
    QCOMPARE(text.count(exporter::textSeparator() + u'\n'), 2);
}

void TestExport::aDeepThreadStaysLinear()
{
    // Each article answers the one before it.
    const QString h = test::TestMarkers::articleHeader() + QStringLiteral(" 12/01");
    QStringList lines { test::TestMarkers::mainPrompt() + QStringLiteral("b 1"),
        QStringLiteral("No.1 ｢雑談｣") };
    constexpr int kDepth = 30;
    for (int i = 0; i < kDepth; ++i) {
        lines << h
              << QStringLiteral("TALK(%1/2000) 26/12/01 10:00:%2 話%1")
                     .arg(1000 + i)
                     .arg(i, 2, 10, QChar(u'0'));
        if (i > 0)
            lines << QStringLiteral(" <%1:ABC00001 さんへ").arg(999 + i);
        lines << QStringLiteral("  80 bytes ABC00001:山田") << QStringLiteral("本文");
    }
    lines << test::TestMarkers::readEnd();
    Session s;
    loadFixture(s, test::crlfLines(lines));
    const exporter::ExportSelection sel = exporter::collectExportRows(exportSourceOf(s), 1);
    QCOMPARE(sel.rows.size(), kDepth);
    QCOMPARE(sel.rows.last().parent, kDepth - 2);

    const QString mbox = QString::fromUtf8(exporter::toMbox(sel));
    const QString last = mbox.mid(mbox.lastIndexOf(QStringLiteral("\nFrom ")));
    const QString refs
        = last.section(QStringLiteral("References: "), 1).section(QStringLiteral("\nMIME"), 0, 0);
    const QStringList ids = refs.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    // The top of the thread, then the 20 nearest ancestors.
    QCOMPARE(ids.size(), 21);
    QCOMPARE(ids.first(), exporter::messageId(sel, sel.rows.first()));
    QCOMPARE(ids.at(1), exporter::messageId(sel, sel.rows.at(kDepth - 21)));
    QCOMPARE(ids.last(), exporter::messageId(sel, sel.rows.at(kDepth - 2)));
    QVERIFY(last.contains(QStringLiteral("In-Reply-To: ") + ids.last() + u'\n'));

    const QString html = QString::fromUtf8(exporter::toHtml(sel));
    QCOMPARE(html.count(QStringLiteral("<ul>")), kDepth);
    QCOMPARE(html.count(QStringLiteral("</ul>")), kDepth);
    QCOMPARE(html.count(QStringLiteral("<li>")), kDepth);
    QCOMPARE(html.count(QStringLiteral("</li>")), kDepth);
}

void TestExport::exportingLeavesTheReaderWhereItWas()
{
    Session s;
    loadFixture(s, fixtureLog(QStringLiteral("話題"), QStringLiteral("本文")));
    reader::Reader reader(s);
    reader.chooseBoard(1);
    reader.chooseRow(1);
    s.unread.ReadPointer = 7;
    s.search.StringSearchOn = true;
    s.search.SearchText = QStringLiteral("nowhere");
    const QStringList article = s.main.Article.items;
    const exporter::ExportResult result
        = exporter::exportBoard(exportSourceOf(s), 0, -1, false, exporter::Format::Text);
    QVERIFY(result.ok());
    QVERIFY(result.bytes.contains("二通目"));
    QCOMPARE(s.main.Board_List.ListIndex, 1);
    QCOMPARE(s.main.Title.ListIndex, 1);
    QCOMPARE(s.main.Article.items, article);
    QCOMPARE(s.unread.ReadPointer, qint64(7));
    QCOMPARE(s.main.events, static_cast<MainWindowEvents *>(&reader));
}

void TestExport::aFileThatCannotBeWrittenIsReportedAndLeftAlone()
{
    Session s;
    loadFixture(s, fixtureLog(QStringLiteral("話題"), QStringLiteral("本文")));
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("out.txt"));
    QCOMPARE(
        exporter::exportToFile(exportSourceOf(s), 1, -1, false, exporter::Format::Text, good), QString());
    QCOMPARE(test::readFile(good),
        exporter::exportBoard(exportSourceOf(s), 1, -1, false, exporter::Format::Text).bytes);
    // A directory stands where the file should go.
    const QString taken = dir.filePath(QStringLiteral("taken.html"));
    QVERIFY(QDir().mkpath(taken + QStringLiteral("/inside")));
    const QString problem
        = exporter::exportToFile(exportSourceOf(s), 1, -1, false, exporter::Format::Html, taken);
    QVERIFY2(problem.startsWith(taken + QStringLiteral(": ")), qPrintable(problem));
    QVERIFY(QFileInfo(taken + QStringLiteral("/inside")).isDir());
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
