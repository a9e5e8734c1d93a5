#include "TestSupport.h"

#include "search/SearchDialogState.h"
#include "search/SearchFilter.h"
#include "session/Session.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using search::SearchDialogState;
using F = SearchDialogState::Field;

namespace {

struct Fixture
{
    Session s;
    ScriptedMessages messages;
    SearchDialogState dialog { s };
    Fixture()
    {
        s.messages = &messages;
        dialog.now = [] { return QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)); };
    }
    void setRange(const QStringList &from, const QStringList &to)
    {
        for (int i = 0; i < 6; ++i) {
            dialog.setField(F(F::Year1 + i), from.at(i));
            dialog.setField(F(F::Year2 + i), to.at(i));
        }
    }
};

} // namespace

class TestSearchDialog : public QObject
{
    Q_OBJECT

private slots:
    void firstOpenShowsTodayWithFourDigitYears();
    void reopenShowsTheStoredRange();
    void fourDigitYears_data();
    void fourDigitYears();
    void accept_data();
    void accept();
    void keysTickTheBoxesAndEscCloses();
    void aRefusedRangeKeepsTheRunningDateSearch();
};

void TestSearchDialog::firstOpenShowsTodayWithFourDigitYears()
{
    Fixture f;
    f.dialog.load();
    QVERIFY(f.dialog.visible);
    const auto &d = f.dialog;
    QCOMPARE(d.field(F::Year1), QString("2026"));
    QCOMPARE(d.field(F::Year2), QString("2026"));
    QCOMPARE(d.field(F::Month1), QString("12"));
    QCOMPARE(d.field(F::Day2), QString("07"));
    QCOMPARE(d.field(F::Hour1) + d.field(F::Minutes1) + d.field(F::Second1), QString("000000"));
    QCOMPARE(d.field(F::Hour2) + d.field(F::Minutes2) + d.field(F::Second2), QString("090503"));
    QVERIFY(!d.String_Check);
    QVERIFY(!d.DateTime_Check);
    QCOMPARE(SearchDialogState::caption(), QString("文字列＆日時検索"));

    // Accepting today's range stores the two-digit years the logs print.
    f.dialog.DateTime_Check = true;
    QVERIFY(f.dialog.startSearch());
    QCOMPARE(searchBoundText(f.s.search.SearchFrom), QString("26/12/07 00:00:00"));
    QCOMPARE(searchBoundText(f.s.search.SearchTo), QString("26/12/07 09:05:03"));
    QCOMPARE(f.s.search.DateSearchOn, true);
    QCOMPARE(f.s.search.StringSearchOn, false);
}

void TestSearchDialog::reopenShowsTheStoredRange()
{
    Fixture f;
    f.s.search.SearchFrom = searchBound("97/12/31 23:00:00");
    f.s.search.SearchTo = searchBound("98/01/01 01:00:00");
    f.s.search.SearchText = "探す";
    f.s.search.StringSearchOn = true;
    f.dialog.load();
    QCOMPARE(f.dialog.field(F::Year1), QString("1997"));
    QCOMPARE(f.dialog.field(F::Second1), QString("00"));
    QCOMPARE(f.dialog.field(F::Year2), QString("1998"));
    QCOMPARE(f.dialog.field(F::Hour2), QString("01"));
    QCOMPARE(f.dialog.field(F::Search_Text), QString("探す"));
    QVERIFY(f.dialog.String_Check);
    QVERIFY(!f.dialog.DateTime_Check);

    // A range given as the logs print it, as the command line does.
    Fixture c;
    c.dialog.load();
    c.dialog.setRangeFields("97/12/31 23:00:00", "98/01/01 01:00:00");
    c.dialog.DateTime_Check = true;
    QVERIFY(c.dialog.startSearch());
    QCOMPARE(searchBoundText(c.s.search.SearchFrom), QString("97/12/31 23:00:00"));
    QCOMPARE(searchBoundText(c.s.search.SearchTo), QString("98/01/01 01:00:00"));

    // A rejected range was stored and comes back as typed.
    Fixture g;
    g.dialog.load();
    g.setRange({ "7", "1", "1", "0", "0", "0" }, { "2026", "1", "1", "0", "0", "0" });
    QVERIFY(!g.dialog.startSearch());
    QCOMPARE(g.dialog.givenFrom(), QString("7/01/01 00:00:00"));
    QVERIFY(!g.s.search.SearchFrom);
    g.dialog.load();
    QCOMPARE(g.dialog.field(F::Year1), QString("7/"));
}

void TestSearchDialog::fourDigitYears_data()
{
    QTest::addColumn<int>("twoDigits");
    QTest::addColumn<int>("thisYear");
    QTest::addColumn<int>("expected");
    QTest::newRow("this year") << 26 << 2026 << 2026;
    QTest::newRow("last century") << 97 << 2026 << 1997;
    QTest::newRow("a few years ahead") << 40 << 2026 << 2040;
    QTest::newRow("too far ahead is the past") << 47 << 2026 << 1947;
    QTest::newRow("in 1999") << 0 << 1999 << 2000;
}

void TestSearchDialog::fourDigitYears()
{
    QFETCH(int, twoDigits);
    QFETCH(int, thisYear);
    QFETCH(int, expected);
    QCOMPARE(SearchDialogState::fourDigitYear(twoDigits, thisYear), expected);
}

void TestSearchDialog::accept_data()
{
    QTest::addColumn<QStringList>("from");
    QTest::addColumn<QStringList>("to");
    QTest::addColumn<bool>("stringBox");
    QTest::addColumn<bool>("dateBox");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored");

    const QStringList day = { "2026", "12", "07", "00", "00", "00" };
    const QStringList night = { "2026", "12", "07", "23", "59", "59" };
    QTest::newRow("string") << day << night << true << false << "探す" << true << ""
                            << "26/12/07 00:00:00";
    QTest::newRow("one digit fields get a zero")
        << QStringList({ "2026", "1", "2", "3", "4", "5" }) << night << false << true << "" << true << ""
        << "26/01/02 03:04:05";
    QTest::newRow("one-character year is short")
        << QStringList({ "6", "12", "07", "00", "00", "00" }) << night << false << true << "" << false
        << "日付又は時間の範囲が不正です"
        << "6/12/07 00:00:00";
    QTest::newRow("start after end") << night << day << true << true << "x" << false
                                     << "日付又は時間の範囲が不正です"
                                     << "26/12/07 23:59:59";
    QTest::newRow("across a year end")
        << QStringList({ "1997", "12", "31", "23", "00", "00" })
        << QStringList({ "1998", "01", "01", "01", "00", "00" }) << false << true << "" << true << ""
        << "97/12/31 23:00:00";
    QTest::newRow("99 to 00 is backwards") << QStringList({ "1999", "12", "31", "23", "00", "00" })
                                           << QStringList({ "2000", "01", "01", "01", "00", "00" }) << false
                                           << true << "" << false << "日付又は時間の範囲が不正です"
                                           << "99/12/31 23:00:00";
    QTest::newRow("letters in a field") << QStringList({ "2026", "ab", "07", "00", "00", "00" }) << night
                                        << false << true << "" << false << "日付又は時間の範囲が不正です"
                                        << "26/ab/07 00:00:00";
    QTest::newRow("no such day") << QStringList({ "2026", "02", "30", "00", "00", "00" }) << night << false
                                 << true << "" << false << "日付又は時間の範囲が不正です"
                                 << "26/02/30 00:00:00";
    QTest::newRow("empty string") << day << night << true << false << "" << false
                                  << "検索する文字列を入力して下さい"
                                  << "26/12/07 00:00:00";
    QTest::newRow("no box") << day << night << false << false << "x" << true
                            << "日時検索、文字列検索ともに行いません。\r\n検索する場合各チェックボックス何れ"
                               "か又は両方にチェックを入れて下さい"
                            << "26/12/07 00:00:00";
}

void TestSearchDialog::accept()
{
    QFETCH(QStringList, from);
    QFETCH(QStringList, to);
    QFETCH(bool, stringBox);
    QFETCH(bool, dateBox);
    QFETCH(QString, text);
    QFETCH(bool, closed);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    Fixture f;
    f.s.search.StringSearchOn = true;
    f.s.search.DateSearchOn = true;
    f.dialog.load();
    f.setRange(from, to);
    f.dialog.String_Check = stringBox;
    f.dialog.DateTime_Check = dateBox;
    f.dialog.setField(F::Search_Text, text);
    QCOMPARE(f.dialog.startSearch(), closed);
    QCOMPARE(f.dialog.visible, !closed);
    QCOMPARE(f.messages.texts(), message.isEmpty() ? QStringList() : QStringList({ message }));
    QCOMPARE(f.dialog.givenFrom(), stored);
    // A refused range leaves the search's range as it was.
    QCOMPARE(searchBoundText(f.s.search.SearchFrom),
        message == QString("日付又は時間の範囲が不正です") ? QString() : stored);
    if (closed) {
        QCOMPARE(f.s.search.StringSearchOn, stringBox);
        QCOMPARE(f.s.search.DateSearchOn, dateBox);
        QCOMPARE(f.s.search.SearchText, text);
    } else {
        // The switches stay as they were.
        QCOMPARE(f.s.search.StringSearchOn, true);
        QCOMPARE(f.s.search.DateSearchOn, true);
    }
    if (from.at(1) == u"1")
        QCOMPARE(f.dialog.field(F::Month1), QString("01"));
}

void TestSearchDialog::keysTickTheBoxesAndEscCloses()
{
    Fixture f;
    f.dialog.load();
    // Keys that change no value (Tab, Return, an arrow) tick nothing.
    for (int key : { 9, 13, 37, 39 })
        f.dialog.fieldKeyDown(F::Minutes2, key);
    f.dialog.editField(F::Minutes2, f.dialog.field(F::Minutes2));
    QVERIFY(!f.dialog.DateTime_Check);
    f.dialog.editField(F::Minutes2, "5");
    QVERIFY(f.dialog.DateTime_Check);
    QVERIFY(!f.dialog.String_Check);
    f.dialog.editField(F::Search_Text, "a");
    QVERIFY(f.dialog.String_Check);
    // Esc in the text field closes without a change.
    f.dialog.fieldKeyDown(F::Search_Text, 27);
    QVERIFY(!f.dialog.visible);
    QCOMPARE(f.s.search.StringSearchOn, false);
    QVERIFY(!f.s.search.SearchFrom);
    QCOMPARE(f.dialog.givenFrom(), QString());
    f.dialog.load();
    f.dialog.controlKeyDown(SearchDialogState::Search_Start, 27);
    QVERIFY(!f.dialog.visible);
    // Fields keep their limits.
    f.dialog.setField(F::Year1, "202612");
    QCOMPARE(f.dialog.field(F::Year1), QString("2026"));
    f.dialog.setField(F::Hour1, "123");
    QCOMPARE(f.dialog.field(F::Hour1), QString("12"));
}

void TestSearchDialog::aRefusedRangeKeepsTheRunningDateSearch()
{
    Fixture f;
    f.dialog.load();
    f.dialog.setRangeFields("26/12/01 00:00:00", "26/12/02 00:00:00");
    f.dialog.DateTime_Check = true;
    QVERIFY(f.dialog.startSearch());
    Session &s = f.s;
    QVERIFY(
        search::hitTest(s, QStringLiteral("PC(1/2) 26/12/01 10:00:00 題"), "(1/") == search::Verdict::Hit);

    // The range typed next is backwards: refused, and the date search goes on
    // with the range it had, while the dialog shows the typed one again.
    f.dialog.load();
    f.dialog.setRangeFields("26/12/09 00:00:00", "26/12/08 00:00:00");
    QVERIFY(!f.dialog.startSearch());
    QCOMPARE(searchBoundText(s.search.SearchFrom), QString("26/12/01 00:00:00"));
    QCOMPARE(searchBoundText(s.search.SearchTo), QString("26/12/02 00:00:00"));
    QVERIFY(s.search.DateSearchOn);
    QVERIFY(
        search::hitTest(s, QStringLiteral("PC(1/2) 26/12/01 10:00:00 題"), "(1/") == search::Verdict::Hit);
    f.dialog.load();
    QCOMPARE(f.dialog.field(F::Day1), QString("09"));
    QCOMPARE(f.dialog.field(F::Day2), QString("08"));
}

QTEST_GUILESS_MAIN(TestSearchDialog)
#include "tst_searchdialog.moc"
