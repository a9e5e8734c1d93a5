#include "search/SearchFilter.h"
#include "session/Session.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::search;

class TestSearchFilter : public QObject
{
    Q_OBJECT

private slots:
    void dateTimeOfAnArticle_data();
    void dateTimeOfAnArticle();
    void hitTest_data();
    void hitTest();
};

void TestSearchFilter::dateTimeOfAnArticle_data()
{
    QTest::addColumn<QString>("article");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("seconds") << "K(1/2) 26/12/01 10:00:05 題"
                             << "(1/"
                             << "26/12/01 10:00:05";
    QTest::newRow("fifteen characters get seconds") << "K(1/2) 26/12/01 9:00:0 題"
                                                    << "(1/"
                                                    << "26/12/01 9:00:0:00";
    QTest::newRow("fourteen stay") << "K(1/2) 26/12/01 10:00 題"
                                   << "(1/"
                                   << "26/12/01 10:00";
    QTest::newRow("sixteen stay") << "K(1/2) 26/12/01 10:00:0 題"
                                  << "(1/"
                                  << "26/12/01 10:00:0";
    QTest::newRow("two blanks only") << "K(1/2) 26/12/01 10:00:05"
                                     << "(1/"
                                     << "";
    QTest::newRow("chat row") << "K(1/2) 26/12/01 10:00:05 題"
                              << "(XCHAT/"
                              << "";
    QTest::newRow("garbled number") << "K(1/2) 26/12/01 10:00:05 題"
                                    << "(?\?\?\?/"
                                    << "";
}

void TestSearchFilter::dateTimeOfAnArticle()
{
    QFETCH(QString, article);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(articleDateTime(article, key), expected);
}

void TestSearchFilter::hitTest_data()
{
    QTest::addColumn<bool>("stringOn");
    QTest::addColumn<bool>("dateOn");
    QTest::addColumn<QString>("article");
    QTest::addColumn<int>("verdict");
    const QString inRange = "K(1/2) 26/12/01 10:00:05 題\r\n本文 ABC\r\n";
    const QString outside = "K(1/2) 26/12/03 10:00:05 題\r\n本文 ABC\r\n";
    QTest::newRow("no search") << false << false << inRange << int(Verdict::NoSearch);
    QTest::newRow("string hit") << true << false << outside << int(Verdict::Hit);
    QTest::newRow("string is exact") << true << false << "本文 abc" << int(Verdict::Miss);
    QTest::newRow("full width differs") << true << false << "本文 ＡＢＣ" << int(Verdict::Miss);
    QTest::newRow("date hit") << false << true << inRange << int(Verdict::Hit);
    QTest::newRow("date miss") << false << true << outside << int(Verdict::Miss);
    // Both ends of the range are in it.
    QTest::newRow("date at the start") << false << true << "K(1/2) 26/12/01 00:00:00 題" << int(Verdict::Hit);
    QTest::newRow("date before the start")
        << false << true << "K(1/2) 26/11/30 23:59:59 題" << int(Verdict::Miss);
    QTest::newRow("date at the end") << false << true << "K(1/2) 26/12/02 00:00:00 題" << int(Verdict::Hit);
    QTest::newRow("date after the end")
        << false << true << "K(1/2) 26/12/02 00:00:01 題" << int(Verdict::Miss);
    QTest::newRow("both: string is enough") << true << true << outside << int(Verdict::Hit);
    QTest::newRow("both: neither") << true << true << "K(1/2) 26/12/03 10:00:05 題" << int(Verdict::Miss);
}

void TestSearchFilter::hitTest()
{
    QFETCH(bool, stringOn);
    QFETCH(bool, dateOn);
    QFETCH(QString, article);
    QFETCH(int, verdict);
    Session s;
    s.search.StringSearchOn = stringOn;
    s.search.DateSearchOn = dateOn;
    s.search.SearchText = "ABC";
    s.search.SearchFrom = searchBound("26/12/01 00:00:00");
    s.search.SearchTo = searchBound("26/12/02 00:00:00");
    QCOMPARE(int(search::hitTest(s, article, "(1/")), verdict);
    endSearch(s);
    QVERIFY(!searchActive(s));
}

QTEST_GUILESS_MAIN(TestSearchFilter)
#include "tst_searchfilter.moc"
