#include "ReaderFixtures.h"

#include "reader/MarkRowDisplay.h"
#include "reader/Reader.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::test;

namespace {

const QString kCrlf = QStringLiteral("\r\n");

QString lines(const QStringList &l)
{
    return l.join(kCrlf);
}

// Three mails, writes to boards 1 and 12, responses to both, a batch mark.
QString upFile()
{
    return lines({ "mw", " 100", "", " 200", "", "", "一通目", "本文一", ".", "ymw", " 300", "", "", "二通目",
        "本文二", ".", "ymw", " 400", "", "", "三通目", "本文三", "", "続き", ".", "y\\ 12", "W十二の書込",
        "十二本文", ".", "yQ\\ 1", "W一の書込", "一本文", "", "空行の後", "署名", ".", "yQ\\ 12", "1001",
        "P十二へのレス", "十二レス本文", ".", "yQ\\ 1", " 1003", "SQ\\ 1", "1001", "P一へのレス",
        "一レス本文", ".", "yQX1", "こんにちは", "さようなら.", "続かない", ".", "" });
}

struct Fixture
{
    Session s;
    reader::Reader r { s };
    Fixture()
    {
        loadHandLog(s);
        s.upFile.load(upFile());
    }
    QStringList show(int board, const QString &row)
    {
        s.main.Board_List.ListIndex = board;
        s.main.Title.items = { row };
        s.main.Title.ListIndex = 0;
        reader::ShowMarkRow(s);
        return s.main.Article.items;
    }
};

} // namespace

class TestMarkRowDisplay : public QObject
{
    Q_OBJECT

private slots:
    void showsTheWaitingCommand_data();
    void showsTheWaitingCommand();
    void chatWriteStopsAtALineEndingInAFullStop();
    void clickingAMarkRowShowsIt();
};

void TestMarkRowDisplay::showsTheWaitingCommand_data()
{
    QTest::addColumn<int>("board");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("third mail") << 0 << "[手紙 3]" << QStringList({ "三通目", "本文三", "", "続き" });
    QTest::newRow("first mail") << 0 << "[手紙 1]" << QStringList({ "一通目", "本文一" });
    QTest::newRow("no fourth mail") << 0 << "[手紙 4]" << QStringList();
    QTest::newRow("write with empty line")
        << 1 << "[書込 1]" << QStringList({ "一の書込", "一本文", "", "空行の後", "署名" });
    QTest::newRow("no second write") << 1 << "[書込 2]" << QStringList();
    QTest::newRow("board 1 response, not board 12's")
        << 1 << "[レス 1]" << QStringList({ "一へのレス", "一レス本文" });
    QTest::newRow("response gone") << 1 << "[レス 2]" << QStringList();
    QTest::newRow("board 2 has none") << 2 << "[書込 1]" << QStringList();
}

void TestMarkRowDisplay::showsTheWaitingCommand()
{
    QFETCH(int, board);
    QFETCH(QString, row);
    QFETCH(QStringList, shown);
    Fixture f;
    f.s.main.Board_List.items[3] = "No.12 ｢十二｣";
    QCOMPARE(f.show(board, row), shown);
    if (board == 1 && row == u"[書込 1]") {
        QCOMPARE(f.show(3, row), QStringList({ "十二の書込", "十二本文" }));
        // A board line printed without a blank before its name is still board 12.
        f.s.main.Board_List.items[3] = "No.12｢十二｣";
        QCOMPARE(f.show(3, row), QStringList({ "十二の書込", "十二本文" }));
    }
}

void TestMarkRowDisplay::chatWriteStopsAtALineEndingInAFullStop()
{
    Fixture f;
    f.s.main.Board_List.items << "[XCHAT] No1.部屋";
    QCOMPARE(f.show(4, "[書込]"), QStringList({ "[書込                   ]こんにちは" }));
    f.s.upFile.load(lines({ "X1", "終わり.", "次", ".", "" }));
    QCOMPARE(f.show(4, "[書込]"), QStringList());
    f.s.upFile.load(lines({ "X1", "一行目", "", "次", ".", "" }));
    QCOMPARE(f.show(4, "[書込]"), QStringList({ "[書込                   ]一行目" }));
}

void TestMarkRowDisplay::clickingAMarkRowShowsIt()
{
    Fixture f;
    clickBoard(f.s.main, 1);
    QCOMPARE(f.s.main.Title.items,
        QStringList({ "[1001]", " [1002]", "  [1004]", "[レス 1]", "[1003]", "[書込 1]" }));
    QCOMPARE(f.s.main.BatchSet.items.at(4), QString("S"));
    f.s.main.ArticleVisibleLines = 2;
    clickRow(f.s.main, 5);
    QCOMPARE(f.s.main.Article.items.first(), QString("一の書込"));
    QCOMPARE(f.s.main.Article.ListIndex, 1);
    // The counter shows the mark row's place like any other row's.
    QCOMPARE(f.s.main.ArticleCount.Caption, QString("6/6"));
    // Deleted from the up file: an empty view.
    f.s.upFile.load(QString());
    clickRow(f.s.main, 3);
    QVERIFY(f.s.main.Article.isEmpty());
}

QTEST_GUILESS_MAIN(TestMarkRowDisplay)
#include "tst_markrowdisplay.moc"
