// The mail recipient window without a display, and the batch mark.
#include "ReaderModes.h"
#include "WritingFixture.h"

#include "commands/BatchSet.h"
#include "commands/IdListWindow.h"

#include <QFile>
#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using kavrel::commands::IdListWindow;

class tst_IdListWindow : public QObject
{
    Q_OBJECT

private slots:
    void listItems_data();
    void listItems();
    void recipients_data();
    void recipients();
    void viewerOkJustCloses();
    void noSelectionInMailMode();
    void editorClosedUnsaved();
    void batchSetNeedsAnArticle();
    void batchUnmarkOfACommandChangedOutside();
    void batchSetUsesFiveBoardDigits();
};

void tst_IdListWindow::listItems_data()
{
    QTest::addColumn<QString>("idList");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("colon in column 6") << QStringLiteral("1234:山田\r\n12345:鈴木\r\n1:A\r\n")
                                       << QStringList { QStringLiteral(" 1234:山田"),
                                              QStringLiteral("12345:鈴木"), QStringLiteral("    1:A") };
    QTest::newRow("last line without line end is not listed")
        << QStringLiteral("100:a\r\n200:b") << QStringList { QStringLiteral("  100:a") };
    QTest::newRow("no colon gets six blanks")
        << QStringLiteral("plain\r\n") << QStringList { QStringLiteral("      plain") };
    QTest::newRow("long ID is not shifted")
        << QStringLiteral("1234567:x\r\n") << QStringList { QStringLiteral("1234567:x") };
    QTest::newRow("empty") << QString() << QStringList {};
}

void tst_IdListWindow::listItems()
{
    QFETCH(QString, idList);
    QFETCH(QStringList, items);
    WritingFixture f;
    f.session.log.IdListText = idList;
    IdListWindow w(f.session);
    w.open(IdListWindow::Mode::Viewer);
    QCOMPARE(w.items, items);
    QCOMPARE(w.Caption, QStringLiteral("ＩＤ List"));
    QVERIFY(!f.session.main.enabled);
    w.pressKey(27);
    QVERIFY(!w.visible);
    QVERIFY(f.session.main.enabled);
}

void tst_IdListWindow::recipients_data()
{
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<QString>("recipients");
    QTest::addColumn<QString>("message");
    QTest::newRow("list order, blanks kept")
        << QList<int> { 2, 0 } << QStringLiteral("  100\r\n 1234\r\n") << QString();
    QTest::newRow("no colon taken whole") << QList<int> { 3 } << QStringLiteral("      999\r\n") << QString();
    QTest::newRow("none") << QList<int> {} << QString() << QStringLiteral("宛先ＩＤが選択されていません");
}

void tst_IdListWindow::recipients()
{
    QFETCH(QList<int>, chosen);
    QFETCH(QString, recipients);
    QFETCH(QString, message);
    WritingFixture f;
    f.session.log.IdListText = QStringLiteral("100:a\r\n200:b\r\n1234:c\r\n999\r\n");
    IdListWindow w(f.session);
    int accepted = 0;
    w.mailAccepted = [&] { ++accepted; };
    w.open(IdListWindow::Mode::Mail);
    QCOMPARE(w.Caption, QStringLiteral("宛先ＩＤ選択"));
    for (int i : chosen)
        w.setSelected(i, true);
    w.keyInIdList(13);
    QCOMPARE(f.session.composing.Recipients, recipients);
    QCOMPARE(f.messages.texts(), message.isEmpty() ? QStringList {} : QStringList { message });
    QCOMPARE(accepted, message.isEmpty() ? 1 : 0);
    QCOMPARE(w.visible, !message.isEmpty());
}

void tst_IdListWindow::viewerOkJustCloses()
{
    WritingFixture f;
    f.session.log.IdListText = QStringLiteral("100:a\r\n");
    f.session.reading.LastWrittenKind = ReaderMode::Mail; // left over from the last mail
    f.compose.showIdList();
    auto &w = f.compose.idListWindow();
    QCOMPARE(w.Caption, QStringLiteral("ＩＤ List"));
    w.setSelected(0, true);
    w.takeChosenIds();
    QVERIFY(!w.visible);
    QCOMPARE(f.script.runs(), 0);
    QVERIFY(f.session.upFile.text().isEmpty());
}

void tst_IdListWindow::noSelectionInMailMode()
{
    WritingFixture f;
    f.open(writinglogs::standardLog());
    f.session.log.IdListText.clear();
    f.select(f.boardOf(0));
    f.press('M');
    auto &w = f.compose.idListWindow();
    QVERIFY(w.items.isEmpty());
    w.takeChosenIds();
    QCOMPARE(f.messages.texts(), QStringList { QStringLiteral("宛先ＩＤが選択されていません") });
    QVERIFY(w.visible);
}

void tst_IdListWindow::editorClosedUnsaved()
{
    WritingFixture f;
    f.open(writinglogs::standardLog());
    f.select(f.boardOf(0), 1);
    const QStringList rows = f.titles();
    f.press('M');
    auto &w = f.compose.idListWindow();
    // A row that no build makes: the rebuild after the editor drops it.
    f.session.main.appendRow(QStringLiteral(" "), QStringLiteral("[999]"), QString(), QString());
    w.setSelected(0, true);
    w.takeChosenIds(); // the script saves nothing
    QCOMPARE(f.script.runs(), 1);
    QVERIFY(f.session.upFile.text().isEmpty());
    QVERIFY(!QFile::exists(f.upPath()));
    // The list was built again and comes back to the row the user was on,
    // the article view empty.
    QCOMPARE(f.titles(), rows);
    QCOMPARE(f.session.main.Title.ListIndex, 1);
    QVERIFY(f.session.main.Article.isEmpty());
    QVERIFY(!w.visible);
}

void tst_IdListWindow::batchSetNeedsAnArticle()
{
    WritingFixture f;
    const QString write = QStringLiteral("\\ 12\r\nW一通目\r\n本文\r\n.\r\nyQ");
    f.setUpFile(write);
    f.open(writinglogs::standardLog());
    f.select(f.boardOf(12));
    // A mark row shows a waiting command, not an article.
    f.click(QStringLiteral("[書込 1]"));
    f.press('S');
    QCOMPARE(f.upBytes(), sjis(write));
    QCOMPARE(f.session.main.BatchSet.items, (QStringList { " ", " ", " ", " " }));
    // An article row whose article is not shown.
    f.click(QStringLiteral("[307]"));
    f.session.main.Article.clear();
    f.press('S');
    QCOMPARE(f.upBytes(), sjis(write));
    QCOMPARE(f.session.main.BatchSet.items, (QStringList { " ", " ", " ", " " }));
}

void tst_IdListWindow::batchUnmarkOfACommandChangedOutside()
{
    WritingFixture f;
    f.open(writinglogs::standardLog());
    f.select(f.boardOf(12));
    f.click(QStringLiteral("[307]"));
    f.session.main.BatchSet.items[2] = QStringLiteral("S");
    f.session.upFile.replace(QStringLiteral("\\ 12\r\nWx\r\n.\r\nyQ"));
    f.press('S');
    QCOMPARE(f.session.main.BatchSet.item(2), QStringLiteral(" "));
    QCOMPARE(f.upBytes(), QByteArray("\\ 12\r\nWx\r\n.\r\nyQ"));
}

void tst_IdListWindow::batchSetUsesFiveBoardDigits()
{
    WritingFixture f;
    f.open(crlfLines({ QStringLiteral("Main Command(?:Help)>RN 1234567"), QStringLiteral("No.1234567 ｢長い｣"),
        QStringLiteral("======================================="),
        QStringLiteral("LONG(7/123456) 26/12/06 09:00:00 七番"), QStringLiteral("    10 bytes 0001:管理人 "),
        QStringLiteral("本文"), QStringLiteral("======================================="),
        QStringLiteral("LONG(123456/123456) 26/12/06 10:00:00 大きな番号"),
        QStringLiteral("    10 bytes 0001:管理人 "), QStringLiteral("本文"),
        QStringLiteral("読み終わりました。") }));
    QCOMPARE(f.session.main.Board_List.items, QStringList { QStringLiteral("No.1234567 ｢長い｣") });
    f.select(0, 0);
    f.press('S');
    QCOMPARE(f.upBytes(), QByteArray("\\ 12345\r\n 7\r\nSQ"));
    // An article number of six digits is written whole, as the title list
    // reads it back.
    f.select(0, 1);
    f.press('S');
    QCOMPARE(f.upBytes(), QByteArray("\\ 12345\r\n 7\r\nSQ\\ 12345\r\n 123456\r\nSQ"));
    f.select(0);
    QCOMPARE(f.session.main.BatchSet.items, (QStringList { "S", "S" }));
}

QTEST_GUILESS_MAIN(tst_IdListWindow)
#include "tst_idlistwindow.moc"
