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
        QCOMPARE(program->session().main.Title3.ListIndex, 3);
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

    void searchAndTheEndQuestion()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        window->action("Search_Log")->trigger();
        ui::SearchWindow &dialog = program->searchWindow();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("文字列＆日時検索"));
        // Typing into the text ticks the string search.
        auto *text = dialog.findChild<QLineEdit *>("Search_Text");
        test::typeText(text, QStringLiteral("佐藤"));
        QVERIFY(dialog.findChild<QCheckBox *>("String_Check")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox *>("DateTime_Check")->isChecked());
        QTest::mouseClick(dialog.findChild<QPushButton *>("Search_Start"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(program->session().search.StringSearchOn, true);
        QCOMPARE(program->session().search.SearchText, QStringLiteral("佐藤"));

        // Down walks from hit to hit; at the end the question is asked once: Yes ends the search.
        messages->answers = { MsgAnswer::Yes, MsgAnswer::Ok, MsgAnswer::Ok };
        QStringList hits;
        for (int i = 0; i < 30 && program->session().search.StringSearchOn; ++i) {
            QTest::keyClick(window->titleView(), Qt::Key_Down);
            const QString shown = articleText();
            // Articles (not the mark row of a waiting command) that were shown.
            if (shown.contains(QStringLiteral(" bytes ")) && !hits.contains(shown))
                hits << shown;
        }
        QVERIFY(messages->texts().contains(QStringLiteral("検索キーを初期化しますか？")));
        QCOMPARE(program->session().search.StringSearchOn, false);
        for (const QString &hit : std::as_const(hits))
            QVERIFY2(hit.contains(QStringLiteral("佐藤")), qPrintable(hit));
        QVERIFY(hits.size() >= 2);
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
