#include "LogGenerator.h"
#include "ManPageProse.h"
#include "base/Cp932.h"
#include "logindex/ParsedLog.h"

#include <QSet>
#include <QTest>

using namespace kavrel;
using namespace kavrel::test;

// The generator's real-prose bodies: the manual pages' roff made into plain
// lines, and the lines dealt out so that the benchmarks index text that does
// not repeat.
class TestProseLog : public QObject
{
    Q_OBJECT

private slots:
    void pageLines_data();
    void pageLines();
    void bodiesAreDistinctProse();
};

void TestProseLog::pageLines_data()
{
    QTest::addColumn<QString>("roff");
    QTest::addColumn<QStringList>("lines");

    const QString ten = QStringLiteral("あいうえおかきくけこ");
    QTest::newRow("fonts, dashes and the heading left out")
        << ".TH LS 1\n.SH 名前\nls \\- ディレクトリの\\fB内容\\fPを\\(lq表示\\(rqする\n"
        << QStringList { "ls - ディレクトリの内容を“表示”する" };
    QTest::newRow("comments, definitions and tables left out")
        << ".\\\" 注釈です\n.de XX\n定義の中身\n..\n.TS\nl l.\n表\tです\n.TE\n本文です。\\\" 注\n"
        << QStringList { "本文です。" };
    QTest::newRow("font requests and lines filled into one paragraph")
        << ".B ls\nを使う。\n.BR mount (8)\nを\n参照。\n"
        << QStringList { "ls を使う。 mount(8) を参照。" };
    QTest::newRow("a request or a blank line ends a paragraph")
        << "一つ目。\n.PP\n二つ目。\n\n三つ目。\n"
        << QStringList { "一つ目。", "二つ目。", "三つ目。" };
    QTest::newRow("lines without Japanese and board lines left out")
        << "Only English here.\n\nNo.3 ｢ボード｣の話\n"
        << QStringList {};
    QTest::newRow("characters Shift-JIS cannot hold dropped") << "caf\u00e9 と na\u00efve の文。\n"
                                                              << QStringList { "caf と nave の文。" };
    QTest::newRow("76 characters: one line")
        << (ten.repeated(7) + "あいうえお六") << QStringList { ten.repeated(7) + "あいうえお六" };
    QTest::newRow("77 characters without a break: cut at 76")
        << (ten.repeated(7) + "あいうえお六七") << QStringList { ten.repeated(7) + "あいうえお六", "七" };
    QTest::newRow("cut after the last full stop within 76")
        << (ten + "。").repeated(8) << QStringList { (ten + "。").repeated(6), (ten + "。").repeated(2) };
}

void TestProseLog::pageLines()
{
    QFETCH(QString, roff);
    QFETCH(QStringList, lines);
    QCOMPARE(ManPageProse::linesOfPage(roff), lines);
}

// Every body line is one the corpus holds (at most 76 characters, all of
// them Shift-JIS), no two articles share a body even when the lines are dealt
// many times over, and the log's articles are all found.
void TestProseLog::bodiesAreDistinctProse()
{
    QStringList prose = ManPageProse::lines().mid(0, 300);
    if (prose.isEmpty()) { // without manpages-ja
        for (int i = 0; i < 300; ++i)
            prose << QStringLiteral("第%1行の文です。").arg(i);
    }
    LogGeneratorOptions o;
    o.bodyProse = &prose;
    o.boards = 12;
    o.articlesPerBoard = 50;
    o.unreadPercent = 0;
    const QString text = LogGenerator(o).text();
    QCOMPARE(cp932::decode(cp932::encode(text)), text);

    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const QSet<QString> corpus(prose.begin(), prose.end());
    QSet<QString> bodies;
    int articles = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i) != o.subcommand + QStringLiteral("R"))
            continue;
        QStringList body;
        while (i + 1 < lines.size() && corpus.contains(lines.at(i + 1)))
            body << lines.at(++i);
        QVERIFY(body.size() >= o.bodyLines);
        for (const QString &line : body)
            QVERIFY(line.size() <= ManPageProse::kLineLength);
        bodies.insert(body.join(u'\n'));
        ++articles;
    }
    const int expected = o.mails + o.boards * o.articlesPerBoard;
    QCOMPARE(articles, expected);
    QCOMPARE(bodies.size(), expected);
    QVERIFY(qsizetype(expected) * o.bodyLines > 10 * prose.size()); // the lines were dealt many times
    const auto parsed = logindex::ParsedLog::build(text, o.articleHeader, o.readEnd, false, {});
    QCOMPARE(int(parsed->blocks().size()), expected);
}

QTEST_GUILESS_MAIN(TestProseLog)
#include "tst_proselog.moc"
