#include "ReaderFixtures.h"
#include "ReaderModes.h"
#include "TestKeys.h"

#include "reader/Reader.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <functional>

using namespace kavrel;
using namespace kavrel::test;
using reader::Reader;

namespace {

const QString kCrlf = QStringLiteral("\r\n");

// A board of many short articles, then a board with one article that holds
// the text "見つけた".
QString bigLog(int rows)
{
    const QString h = headerLine() + kCrlf;
    const QString tail = QStringLiteral(") 26/12/01 10:00:00 題") + kCrlf + QStringLiteral("  5 bytes A:a")
        + kCrlf + TestMarkers::subcommand() + kCrlf;
    QString log;
    log.reserve(qsizetype(rows) * (h.size() + tail.size() + 20) + 1000);
    log += QStringLiteral("No.1 ｢大きな板｣") + kCrlf;
    for (int i = 1; i <= rows; ++i)
        log += h + QStringLiteral("BIG(") + QString::number(i) + u'/' + QString::number(rows) + tail;
    log += TestMarkers::readEnd() + kCrlf + QStringLiteral("No.2 ｢小さな板｣") + kCrlf;
    log += h + QStringLiteral("SMALL(1/1) 26/12/02 10:00:00 最後") + kCrlf + QStringLiteral("  5 bytes A:a")
        + kCrlf + QStringLiteral("見つけた本文") + kCrlf + TestMarkers::subcommand() + kCrlf;
    log += TestMarkers::readEnd() + kCrlf + TestMarkers::mainPrompt() + kCrlf;
    return log;
}

// Runs work on a thread with a small stack: a chain that nested one call per
// row would overflow it long before the end of the board.
void onSmallStack(const std::function<void()> &work)
{
    QThread *thread = QThread::create(work);
    thread->setStackSize(256 * 1024);
    thread->start();
    thread->wait();
    delete thread;
}

struct Outcome
{
    int board = -1;
    int row = -1;
    QString firstLine;
    QString mode;
};

Outcome outcomeOf(const Session &s)
{
    return { s.main.Board_List.ListIndex, s.main.Title.ListIndex,
        s.main.Article.isEmpty() ? QString() : s.main.Article.item(0),
        readerModeName(s.reading.LastWrittenKind) };
}

} // namespace

class TestReaderChains : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void unreadSearchOverAHundredThousandRows();
    void searchAdvanceOverAHundredThousandRows();
    void unreadSearchWithNothingLeft();
    void manyEmptyBoardsAreSkipped();

private:
    QString m_log;
    static constexpr int kRows = 100000;

    void load(Session &s) const
    {
        TestMarkers::apply(s);
        s.log.LogText = m_log;
        s.log.LogPath = "/logs/big.log";
        s.log.BoardKeys = { "BIG", "SMALL" };
        s.main.Board_List.items = { "No.1 ｢大きな板｣", "No.2 ｢小さな板｣" };
    }
};

void TestReaderChains::initTestCase()
{
    m_log = bigLog(kRows);
}

void TestReaderChains::unreadSearchOverAHundredThousandRows()
{
    Session s;
    load(s);
    Outcome out;
    int rows = 0;
    onSmallStack([&] {
        Reader r(s);
        clickBoard(s.main, 0);
        rows = s.main.rowCount();
        s.unread.PtrRec.LogName = s.log.LogPath.leftJustified(80);
        s.unread.PtrRec.Pointer = m_log.indexOf("SMALL(1/1)") - 10;
        test::pressKey(r, reader::Key_Down, reader::Shift_Shift);
        out = outcomeOf(s);
    });
    QCOMPARE(rows, kRows);
    QCOMPARE(out.board, 1);
    QCOMPARE(out.row, 0);
    QCOMPARE(out.firstLine, QString("SMALL(1/1) 26/12/02 10:00:00 最後"));
    QCOMPARE(out.mode, QString());
}

void TestReaderChains::searchAdvanceOverAHundredThousandRows()
{
    Session s;
    load(s);
    Outcome out;
    qint64 readPointer = 0;
    onSmallStack([&] {
        Reader r(s);
        clickBoard(s.main, 0);
        s.search.StringSearchOn = true;
        s.search.SearchText = "見つけた";
        test::pressKey(r, reader::Key_Down);
        out = outcomeOf(s);
        readPointer = s.unread.ReadPointer;
    });
    QCOMPARE(out.board, 1);
    QCOMPARE(out.row, 0);
    QCOMPARE(out.firstLine, QString("SMALL(1/1) 26/12/02 10:00:00 最後"));
    QCOMPARE(readPointer, m_log.lastIndexOf(TestMarkers::readEnd()) + 1);
}

void TestReaderChains::unreadSearchWithNothingLeft()
{
    Session s;
    load(s);
    Outcome out;
    onSmallStack([&] {
        Reader r(s);
        clickBoard(s.main, 0);
        s.unread.PtrRec.LogName = s.log.LogPath.leftJustified(80);
        s.unread.PtrRec.Pointer = m_log.size();
        test::pressKey(r, reader::Key_Down, reader::Shift_Shift);
        out = outcomeOf(s);
    });
    // Ends on the last row of the last board, which is then shown.
    QCOMPARE(out.board, 1);
    QCOMPARE(out.row, 0);
    QCOMPARE(out.firstLine, QString("SMALL(1/1) 26/12/02 10:00:00 最後"));
    QCOMPARE(out.mode, QString());
}

void TestReaderChains::manyEmptyBoardsAreSkipped()
{
    Session s;
    loadHandLog(s);
    // Three thousand boards between 1 and 3 that the log never visits.
    QStringList boards = { s.main.Board_List.items[0], s.main.Board_List.items[1] };
    QStringList keys = { "mail", "TALK" };
    for (int i = 0; i < 3000; ++i) {
        boards << QStringLiteral("No.%1 ｢空｣").arg(100 + i);
        keys << QStringLiteral("E%1").arg(i);
    }
    boards << s.main.Board_List.items[3];
    keys << "NEWS";
    s.main.Board_List.items = boards;
    s.log.BoardKeys = keys;
    Outcome down, up;
    onSmallStack([&] {
        Reader r(s);
        clickBoard(s.main, 1);
        test::pressKey(r, reader::Key_End);
        test::pressKey(r, reader::Key_Down);
        down = outcomeOf(s);
        test::pressKey(r, reader::Key_Up);
        up = outcomeOf(s);
    });
    QCOMPARE(down.board, 3002);
    QCOMPARE(down.row, 0);
    QCOMPARE(up.board, 1);
    QCOMPARE(up.row, 3);
}

QTEST_GUILESS_MAIN(TestReaderChains)
#include "tst_readerchains.moc"
