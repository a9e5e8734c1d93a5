#include "base/Text.h"

#include <QTest>

using namespace kavrel::text;

class TestText : public QObject
{
    Q_OBJECT

private slots:
    void find_data();
    void find();
    void midAndEdges();
    void value_data();
    void value();
};

void TestText::find_data()
{
    QTest::addColumn<QString>("haystack");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected");

    QTest::newRow("first") << "abcabc"
                           << "b" << 1 << 2;
    QTest::newRow("at from") << "abcabc"
                             << "b" << 2 << 2;
    QTest::newRow("after from") << "abcabc"
                                << "b" << 3 << 5;
    QTest::newRow("absent") << "abc"
                            << "x" << 1 << 0;
    QTest::newRow("from past end") << "abc"
                                   << "a" << 9 << 0;
    QTest::newRow("from zero counts as one") << "abc"
                                             << "a" << 0 << 1;
    QTest::newRow("crlf") << "ab\r\ncd"
                          << "\r\n"
                          << 1 << 3;
    QTest::newRow("marker led by a line end") << "x\r\nNo\r\nNo.1"
                                              << "\r\nNo." << 1 << 6;
    QTest::newRow("marker cut at the end") << "ab\r\nN"
                                           << "\r\nNo" << 1 << 0;
    QTest::newRow("blanks only") << "a  b   c"
                                 << "   " << 1 << 5;
    QTest::newRow("overlapping") << "aaab"
                                 << "aab" << 1 << 2;
    QTest::newRow("marker after a near miss") << "読み終わり。読み終わりました。"
                                              << "読み終わりました" << 1 << 7;
}

void TestText::find()
{
    QFETCH(QString, haystack);
    QFETCH(QString, needle);
    QFETCH(int, from);
    QFETCH(int, expected);
    QCOMPARE(findFrom(haystack, needle, from), qsizetype(expected));
    // The marker search answers 0-based, as QStringView::indexOf does.
    QCOMPARE(indexOfMarker(haystack, needle, qMax(0, from - 1)), qsizetype(expected - 1));
}

void TestText::midAndEdges()
{
    QCOMPARE(mid("abcdef", 2, 3), QString("bcd"));
    QCOMPARE(mid("abcdef", 5), QString("ef"));
    QCOMPARE(mid("abcdef", 5, 10), QString("ef"));
    QCOMPARE(mid("abcdef", 7, 1), QString());
    QCOMPARE(mid("abcdef", 0, 2), QString("a"));
    QCOMPARE(left("abc", -1), QString());
    QCOMPARE(right("abc", 2), QString("bc"));
    QCOMPARE(charAt("abc", 3), QChar('c'));
    QCOMPARE(charAt("abc", 4), QChar());
    QCOMPARE(numberWithBlank(12), QString(" 12"));
    QCOMPARE(trimTrailingBlanks("ab  "), QString("ab"));
    QCOMPARE(fixedWidth("ab", 4), QString("ab  "));
}

void TestText::value_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("plain") << "12" << qint64(12);
    QTest::newRow("leading blanks") << "  12｢x｣" << qint64(12);
    QTest::newRow("blanks between digits") << "1 2" << qint64(12);
    QTest::newRow("stops at other") << "12a3" << qint64(12);
    QTest::newRow("no digit") << "abc" << qint64(0);
    QTest::newRow("empty") << "" << qint64(0);
    QTest::newRow("negative") << "-5" << qint64(-5);
    QTest::newRow("fraction dropped") << "3.9" << qint64(3);
}

void TestText::value()
{
    QFETCH(QString, text);
    QFETCH(qint64, expected);
    QCOMPARE(val(text), expected);
}

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
