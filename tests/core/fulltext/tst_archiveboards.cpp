// The boards of a net's archive as the 通し読み window lists them, and the
// days a choice of months on its timeline keeps.

#include "fulltext/Archive.h"

#include <QTest>

using namespace kavrel::fulltext;

namespace {

// "log|board|name|number|date-time" for each capture.
QVector<IndexedCapture> capturesOf(const QStringList &rows)
{
    QVector<IndexedCapture> out;
    for (const QString &row : rows) {
        const QStringList f = row.split(u'|');
        IndexedCapture c;
        c.id = out.size() + 1;
        c.logFile = f.at(0);
        c.boardNo = f.at(1).toInt();
        c.boardName = f.at(2);
        c.number = f.at(3);
        c.dateTime = f.at(4);
        c.senderId = QStringLiteral("KAV00001");
        c.title = QStringLiteral("題");
        out.append(c);
    }
    return out;
}

} // namespace

class TestArchiveBoards : public QObject
{
    Q_OBJECT

private slots:
    void boardsOfTheCaptures_data()
    {
        QTest::addColumn<QStringList>("captures");
        QTest::addColumn<QStringList>("boards"); // "number|name|articles|first|last"

        QTest::newRow("the name of the newest log, whatever the order")
            << QStringList { "KAB0602.LOG|3|新しい名前|0001|1996-02-01 10:00:00",
                   "KAB0601.LOG|3|古い名前|0001|1996-02-01 10:00:00" }
            << QStringList { "3|新しい名前|1|1996-02-01 10:00:00|1996-02-01 10:00:00" };
        QTest::newRow("an article captured twice counts once, a reset number twice") << QStringList {
            "KAB0601.LOG|12|趣味|0005|1995-12-31 23:59:59", "KAB0602.LOG|12|趣味|0005|1995-12-31 23:59:59",
            "KAB0602.LOG|12|趣味|0005|1996-01-01 00:00:00", "KAB0602.LOG|12|趣味|0006|"
        } << QStringList { "12|趣味|3|1995-12-31 23:59:59|1996-01-01 00:00:00" };
        QTest::newRow("by number, the mail box first")
            << QStringList { "A.LOG|12|趣味|0001|1996-03-01 10:00:00",
                   "A.LOG|0|メールボックス||1996-01-01 10:00:00", "A.LOG|3|話題|0001|1996-02-01 10:00:00" }
            << QStringList { "0|メールボックス|1|1996-01-01 10:00:00|1996-01-01 10:00:00",
                   "3|話題|1|1996-02-01 10:00:00|1996-02-01 10:00:00",
                   "12|趣味|1|1996-03-01 10:00:00|1996-03-01 10:00:00" };
        QTest::newRow("no captures") << QStringList {} << QStringList {};
    }

    void boardsOfTheCaptures()
    {
        QFETCH(QStringList, captures);
        QFETCH(QStringList, boards);
        QStringList out;
        for (const ArchiveBoard &b : boardsAcross(capturesOf(captures)))
            out << QStringList { QString::number(b.boardNo), b.name, QString::number(b.articles), b.first,
                b.last }
                       .join(u'|');
        QCOMPARE(out, boards);
    }

    void daysOfChosenMonths_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QDate>("since");
        QTest::addColumn<QDate>("until");

        QTest::newRow("December, to the year's last day")
            << "1996-12"
            << "1996-12" << QDate(1996, 12, 1) << QDate(1996, 12, 31);
        QTest::newRow("a leap February") << "1996-02"
                                         << "1996-02" << QDate(1996, 2, 1) << QDate(1996, 2, 29);
        QTest::newRow("across a year") << "1999-11"
                                       << "2000-01" << QDate(1999, 11, 1) << QDate(2000, 1, 31);
    }

    void daysOfChosenMonths()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QDate, since);
        QFETCH(QDate, until);
        const DayRange days = daysOfMonths(first, last);
        QCOMPARE(days.since, since);
        QCOMPARE(days.until, until);
        QVERIFY(days.contains(until.toString(QStringLiteral("yyyy-MM-dd 23:59:59"))));
        QVERIFY(!days.contains(until.addDays(1).toString(QStringLiteral("yyyy-MM-dd 00:00:00"))));
        QVERIFY(!days.contains(since.addDays(-1).toString(QStringLiteral("yyyy-MM-dd 23:59:59"))));
    }
};

QTEST_MAIN(TestArchiveBoards)
#include "tst_archiveboards.moc"
