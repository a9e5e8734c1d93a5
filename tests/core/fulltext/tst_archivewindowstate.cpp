// The 通し読み window's state reads a board's rows a page at a time: read to
// the end, they are the rows of the board read whole, and months chosen
// while only a page is read keep the same rows as on the board read whole.

#include "TestSupport.h"

#include "fulltext/ArchiveWindowState.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kavrel::fulltext;

namespace {

QStringList linesOf(const QVector<ArchiveRow> &rows)
{
    QStringList out;
    for (const ArchiveRow &row : rows)
        out << archiveLineOf(row);
    return out;
}

} // namespace

class TestArchiveWindowState : public QObject
{
    Q_OBJECT

private slots:
    void rowsAreReadAPageAtATime_data()
    {
        QTest::addColumn<int>("pageRows");
        QTest::addColumn<bool>("months"); // November and December chosen

        // Board 3 has 7 rows.
        for (const int page : { 1, 6, 7, 8 }) {
            QTest::addRow("%d a page", page) << page << false;
            QTest::addRow("%d a page, months", page) << page << true;
        }
    }

    void rowsAreReadAPageAtATime()
    {
        QFETCH(int, pageRows);
        QFETCH(bool, months);
        QTemporaryDir dir;
        QVERIFY(kavrel::test::copyDemo(dir.path()));
        // An older capture of the log of 26/12/05, with an article 1199 of October.
        const QByteArray log = kavrel::test::readFile(dir.filePath(QStringLiteral("LOG/KAB0605.LOG")));
        kavrel::test::writeFile(dir.filePath(QStringLiteral("LOG/KAB0604.LOG")),
            QByteArray(log).replace("26/12/05 18:02:10", "26/10/05 18:02:10"));
        const QString net = QStringLiteral("かぶらネット");
        ArchiveWindowState whole(dir.path());
        QVERIFY(whole.open(net, 3));
        QCOMPARE(whole.rows().size(), 7);
        ArchiveWindowState paged(dir.path(), pageRows);
        QVERIFY(paged.open(net, 3));
        QCOMPARE(paged.rows().size(), std::min(pageRows, 7));
        QCOMPARE(paged.rowCount(), 7);
        if (months) {
            whole.selectMonths(1, 2);
            paged.selectMonths(1, 2);
            QCOMPARE(paged.rowCount(), 6);
        }
        while (paged.canReadMore())
            QVERIFY(paged.readMore());
        QCOMPARE(linesOf(paged.rows()), linesOf(whole.rows()));

        // A row not yet read is read when it is chosen.
        ArchiveWindowState chosen(dir.path(), pageRows);
        QVERIFY(chosen.open(net, 3));
        QVERIFY(chosen.chooseRow(6));
        QCOMPARE(chosen.row(), 6);
        QCOMPARE(chosen.hitOf(6).number, QStringLiteral("1204"));
        QVERIFY(chosen.lines().join(u'\n').contains(QStringLiteral("モデムの初期化コマンド")));
    }
};

QTEST_GUILESS_MAIN(TestArchiveWindowState)
#include "tst_archivewindowstate.moc"
