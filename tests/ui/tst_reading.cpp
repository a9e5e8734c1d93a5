// Reading the demo as a user does: choose a net and a log on the net
// selection screen, read with Space through the boards, the menus of the
// reader, and leaving with Esc.

#include "DemoDir.h"
#include "MainWindow.h"
#include "NetSelectWindow.h"
#include "ProgramWindows.h"
#include "SearchWindow.h"
#include "TestSupport.h"
#include "TitleListModel.h"
#include "TitleView.h"

#include "base/Cp932.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace kavrel;

class TestReading : public QObject, private test::DemoProgram
{
    Q_OBJECT

private slots:
    void init()
    {
        startDemo();
        QTRY_VERIFY(program->netSelectWindow().isVisible());
    }
    void cleanup() { stopDemo(); }

    void chooseANetAndALogThenReadThroughTwoBoards()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        QVERIFY(!program->netSelectWindow().isVisible());
        QVERIFY(window->isEnabled());
        QCOMPARE(window->windowTitle(), "Kavrel[" + QStringLiteral("LOG/KAB0606.LOG") + "]");
        QComboBox *boards = window->boardList();
        QVERIFY(boards->count() >= 3);
        QCOMPARE(boards->itemText(0), QStringLiteral("No.0 ｢メールボックス｣"));
        QCOMPARE(boards->currentIndex(), 0);
        for (const char *name : { "Search_Pointer", "Read_End", "Search_Log", "Ido_Set" })
            QVERIFY2(window->action(name)->isEnabled(), name);

        // The mail box: two mails, the first shown.
        QAbstractItemModel *titles = window->titleView()->model();
        QCOMPARE(titles->rowCount(), 2);
        QVERIFY(articleText().contains(QStringLiteral("来週土曜のオフ会")));
        QCOMPARE(counter(), QStringLiteral("1/2"));

        // Space pages through the article, then on to the next mail, then
        // into the next board, and through it into a third.
        QStringList seenBoards { boards->currentText() };
        for (int i = 0; i < 60 && seenBoards.size() < 3; ++i) {
            QTest::keyClick(window->titleView(), Qt::Key_Space);
            if (boards->currentText() != seenBoards.last())
                seenBoards << boards->currentText();
        }
        QCOMPARE(seenBoards.value(1), QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        QVERIFY(seenBoards.size() == 3);
        QCOMPARE(program->session().main.Board_List.ListIndex, boards->currentIndex());
        QCOMPARE(window->titleView()->selectionModel()->selectedRows().value(0).row(),
            program->session().main.Title.ListIndex);
        QVERIFY(messages->texts().size() <= 1); // only the up file question
    }

    // The highlighted net's logs show at once; opening one chooses its net.
    void theHighlightedNetShowsItsLogs()
    {
        auto *nets = program->netSelectWindow().findChild<QListWidget *>("Select_menu");
        auto *logs = program->netSelectWindow().findChild<QListWidget *>("Log_List_File");
        const auto names = [logs] {
            QStringList out;
            for (int i = 0; i < logs->count(); ++i)
                out << logs->item(i)->text();
            return out;
        };
        QCOMPARE(nets->currentRow(), 0);
        QCOMPARE(names(), QStringList({ "KAB0605.LOG", "KAB0606.LOG" }));
        nets->setFocus();
        QTest::keyClick(nets, Qt::Key_Down);
        QCOMPARE(names(), QStringList({ "mnt1206.log" }));
        QTest::keyClick(nets, Qt::Key_Up);
        QCOMPARE(names(), QStringList({ "KAB0605.LOG", "KAB0606.LOG" }));
        QVERIFY(messages->shown.isEmpty()); // no net was chosen yet: no question on its up file
        messages->answers = { MsgAnswer::Cancel }; // keep the waiting up file
        test::doubleClick(logs, logs->visualItemRect(logs->item(1)).center());
        QCOMPARE(window->windowTitle(), QStringLiteral("Kavrel[LOG/KAB0606.LOG]"));
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(program->session().NetIndex, 0);
    }

    void twoLogsInMultiSelectMode()
    {
        auto *nets = program->netSelectWindow().findChild<QListWidget *>("Select_menu");
        messages->answers = { MsgAnswer::Cancel };
        test::doubleClick(nets, nets->visualItemRect(nets->item(0)).center());
        test::clickCheckBox(program->netSelectWindow().findChild<QCheckBox *>("multi_check"));
        auto *logs2 = program->netSelectWindow().findChild<QListWidget *>("Log_List_File2");
        auto *read = program->netSelectWindow().findChild<QPushButton *>("LogRead");
        QTest::mouseClick(read, Qt::LeftButton); // nothing chosen: nothing happens
        QVERIFY(program->netSelectWindow().isVisible());
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(
                logs2->viewport(), Qt::LeftButton, {}, logs2->visualItemRect(logs2->item(i)).center());
        QTest::mouseClick(read, Qt::LeftButton);
        QVERIFY(!program->netSelectWindow().isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Kavrel[LOG/Temp.log]"));
        QCOMPARE(test::readFile(demo->path("LOG/Temp.log")),
            test::readFile(demo->path("LOG/KAB0605.LOG")) + test::readFile(demo->path("LOG/KAB0606.LOG")));
        QVERIFY(!QFile::exists(demo->path("LOGPTR.dat")));
    }

    void clicksOnTheTitleList()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        QComboBox *boards = window->boardList();
        const int pc = boards->findText(QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        boards->setCurrentIndex(pc);
        emit boards->activated(pc);
        ui::TitleView *view = window->titleView();
        QAbstractItemModel *titles = view->model();
        // Four articles and the mark row of the write waiting in the up file.
        QCOMPARE(titles->rowCount(), 5);
        QCOMPARE(
            titles->index(4, ui::TitleListModel::NumberColumn).data().toString(), QStringLiteral("[書込 1]"));
        // Responses are indented under their parents in the number column.
        QCOMPARE(
            titles->index(0, ui::TitleListModel::NumberColumn).data().toString(), QStringLiteral("[1201]"));
        QCOMPARE(
            titles->index(1, ui::TitleListModel::NumberColumn).data().toString(), QStringLiteral(" [1202]"));
        QCOMPARE(
            titles->index(2, ui::TitleListModel::NumberColumn).data().toString(), QStringLiteral("  [1203]"));

        // A click in the title column shows that article and selects the row everywhere.
        const QRect cell = view->visualRect(titles->index(3, ui::TitleListModel::TitleColumn));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(program->session().main.Title.ListIndex, 3);
        QCOMPARE(program->session().main.SubjectColumn.ListIndex, 3);
        QCOMPARE(view->selectionModel()->selectedRows().value(0).row(), 3);
        QVERIFY(articleText().contains(QStringLiteral("AT&F")));
        QCOMPARE(counter(), QStringLiteral("4/5"));
        // Up goes back one article.
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(program->session().main.Title.ListIndex, 2);
        QVERIFY(articleText().contains(QStringLiteral("試してみます")));
    }

    void leavingTheNetSelectionGivesTitleTheFocus()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTRY_VERIFY(window->titleView()->hasFocus());
        QTest::keyClick(window->titleView(), Qt::Key_Down);
        QCOMPARE(counter(), QStringLiteral("2/2"));

        QTest::mouseClick(window->toolButton(1), Qt::LeftButton);
        QVERIFY(program->netSelectWindow().isVisible());
        QVERIFY(!window->isEnabled());
        QVERIFY(QTest::qWaitForWindowActive(&program->netSelectWindow()));
        QTest::keyClick(&program->netSelectWindow(), Qt::Key_Escape);
        // The screen took the title list and the article with it; the title
        // list gets the focus back and resets the counter.
        QCOMPARE(window->titleView()->model()->rowCount(), 0);
        QTRY_VERIFY(window->titleView()->hasFocus());
        QTRY_COMPARE(counter(), QStringLiteral("0/0"));
        QVERIFY(program->session().main.titleHasFocus);
    }

    void menusOfTheReader()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        window->action("Key_ON")->trigger();
        QCOMPARE(messages->texts().last().split("\r\n").first(), QStringLiteral("キー操作一覧"));
        window->action("Version")->trigger();
        QCOMPARE(messages->texts().last(), QStringLiteral("Kavrel Version 0.9.0"));

        // Everything read: the pointer goes to the end and is saved on leaving.
        window->action("Read_End")->trigger();
        QCOMPARE(program->session().unread.PtrSavePending, true);
        QTest::keyClick(window->titleView(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        const QByteArray ptr = test::readFile(demo->path("LOGPTR.dat"));
        QVERIFY(!ptr.isEmpty());
        QVERIFY(ptr.contains("KAB0606.LOG"));
    }

    // Every press of Space in the title list acts: a line further in the
    // article, or on to the next article at its end; the first one after
    // opening the log and after ↓, ↑, Home and End as well.
    void everySpaceActs_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::newRow("opened") << QList<int> {};
        QTest::newRow("down") << QList<int> { Qt::Key_Down };
        QTest::newRow("up") << QList<int> { Qt::Key_Down, Qt::Key_Down, Qt::Key_Up };
        QTest::newRow("home") << QList<int> { Qt::Key_Home };
        QTest::newRow("end") << QList<int> { Qt::Key_End };
    }
    void everySpaceActs()
    {
        QFETCH(QList<int>, keys);
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        ui::TitleView *view = window->titleView();
        for (int key : keys)
            QTest::keyClick(view, Qt::Key(key));
        const MainWindowState &m = program->session().main;
        for (int i = 0; i < 6; ++i) {
            const auto before = std::tuple(m.Board_List.ListIndex, m.Title.ListIndex, m.Article.ListIndex);
            QTest::keyPress(view, Qt::Key_Space);
            QTest::keyRelease(view, Qt::Key_Space);
            QVERIFY2(std::tuple(m.Board_List.ListIndex, m.Title.ListIndex, m.Article.ListIndex) != before,
                qPrintable(QString::number(i)));
        }
    }

    // Down walks from hit to hit: a waiting command's mark row is a stop
    // only when its own text holds the string. At the end the question is
    // asked once, and Yes ends the search.
    void searchStopsOnlyOnHits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("stops");
        QTest::newRow("one article") << QStringLiteral("AT&F") << QStringList { QStringLiteral("[1204]") };
        QTest::newRow("articles") << QStringLiteral("佐藤")
                                  << QStringList { QStringLiteral("[mail ]"), QStringLiteral(" [1202]"),
                                         QStringLiteral("[306]") };
        QTest::newRow("the waiting mail")
            << QStringLiteral("来週の件") << QStringList { QStringLiteral("[手紙 1]") };
        QTest::newRow("the waiting write")
            << QStringLiteral("よろしくお願いします") << QStringList { QStringLiteral("[書込 1]") };
    }
    void searchStopsOnlyOnHits()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, stops);
        const QString up = demo->path("UP/KABURA.up");
        test::writeFile(up,
            test::readFile(up)
                + test::sjis(QStringLiteral("mw\r\n KAV00123\r\n\r\n\r\n来週の件\r\n了解です。\r\n.\r\ny")));
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        window->action("Search_Log")->trigger();
        ui::SearchWindow &dialog = program->searchWindow();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("文字列＆日時検索"));
        // Typing into the text ticks the string search.
        auto *field = dialog.findChild<QLineEdit *>("Search_Text");
        test::typeText(field, text);
        QVERIFY(dialog.findChild<QCheckBox *>("String_Check")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox *>("DateTime_Check")->isChecked());
        QTest::mouseClick(dialog.findChild<QPushButton *>("Search_Start"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(program->session().search.SearchText, text);

        messages->answers = { MsgAnswer::Yes, MsgAnswer::Ok, MsgAnswer::Ok };
        const QString question = QStringLiteral("検索キーを初期化しますか？");
        QStringList seen;
        QAbstractItemModel *titles = window->titleView()->model();
        for (int i = 0; i < 30 && program->session().search.StringSearchOn; ++i) {
            QTest::keyClick(window->titleView(), Qt::Key_Down);
            if (messages->texts().contains(question))
                break;
            const int row = window->titleView()->selectionModel()->selectedRows().value(0).row();
            seen << titles->index(row, ui::TitleListModel::NumberColumn).data().toString();
            QVERIFY2(articleText().contains(text), qPrintable(seen.last()));
        }
        QCOMPARE(seen, stops);
        QCOMPARE(messages->texts().count(question), 1);
        QCOMPARE(program->session().search.StringSearchOn, false);
    }

    void searchRejectsABadRange()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        QTest::mouseClick(window->toolButton(4), Qt::LeftButton);
        ui::SearchWindow &dialog = program->searchWindow();
        QVERIFY(dialog.isVisible());
        auto *year1 = dialog.findChild<QLineEdit *>("Year1");
        year1->selectAll();
        QTest::keyClicks(year1, "2099");
        QVERIFY(dialog.findChild<QCheckBox *>("DateTime_Check")->isChecked());
        QTest::mouseClick(dialog.findChild<QPushButton *>("Search_Start"), Qt::LeftButton);
        QCOMPARE(messages->texts().last(), QStringLiteral("日付又は時間の範囲が不正です"));
        QVERIFY(dialog.isVisible());
        QTest::keyClick(year1, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(program->session().search.DateSearchOn, false);
    }

private:
    QString articleText() const
    {
        QStringList lines;
        QAbstractItemModel *model = window->articleView()->model();
        for (int i = 0; i < model->rowCount(); ++i)
            lines << model->index(i, 0).data().toString();
        return lines.join('\n');
    }
    QString counter() const { return window->findChild<QLabel *>("ArticleCount")->text(); }
};

QTEST_MAIN(TestReading)
#include "tst_reading.moc"
