// ログで表示 on the demo: L in the title list opens the log as captured at
// the shown article, and Ctrl+F searches in it.

#include "DemoDir.h"
#include "MainWindow.h"
#include "ProgramWindows.h"
#include "RawLogView.h"
#include "TestSupport.h"
#include "TitleView.h"

#include "session/Session.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

using namespace kavrel;

class TestRawLogView : public QObject, private test::DemoProgram
{
    Q_OBJECT

private slots:
    void init()
    {
        startDemo();
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        QTRY_VERIFY(window->isActiveWindow());
    }
    void cleanup() { stopDemo(); }

    void lOpensTheLogAtTheShownArticle_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("downs");
        QTest::newRow("a response on board 3") << 1 << 2;
        QTest::newRow("the second mail") << 0 << 1;
        QTest::newRow("the later chat") << 3 << 1;
    }
    void lOpensTheLogAtTheShownArticle()
    {
        QFETCH(int, item);
        QFETCH(int, downs);
        Session &s = program->session();
        program->forward([&] { program->reader().chooseBoard(item); });
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(window->titleView(), Qt::Key_Down);
        QCOMPARE(s.main.Title.ListIndex, downs);
        const QStringList article = s.main.Article.items;

        QTest::keyClick(window->titleView(), Qt::Key_L);
        auto *view = window->findChild<ui::RawLogView *>(QStringLiteral("RawLog"));
        QVERIFY(view);
        QTRY_VERIFY(view->isVisible());
        // The view is the log, not the reader: the reader did not move.
        QCOMPARE(s.main.Title.ListIndex, downs);
        QCOMPARE(view->file().path(), s.log.LogPath);

        const rawlog::ArticleLines marked = view->lines()->marked();
        QCOMPARE(marked.count, article.size());
        for (int k = 0; k < article.size(); ++k)
            QCOMPARE(view->file().text(marked.first + k), article.at(k));
        const ui::RawLogLines *lines = view->lines();
        QVERIFY(lines->topLine() <= marked.first);
        QVERIFY(marked.first < lines->topLine() + lines->visibleLines());
        QCOMPARE(lines->currentLine(), marked.first);
        // Everything as captured: the line ends are shown.
        QVERIFY(view->file().displayText(marked.first).endsWith(QStringLiteral("^M^J")));
    }

    void ctrlFSearchesTheLog()
    {
        QAction *menu = window->action(QStringLiteral("Raw_Log"));
        QVERIFY(menu);
        QCOMPARE(menu->text(), QStringLiteral("ログで表示(&L)"));
        QVERIFY(window->action(QStringLiteral("Export")));
        QVERIFY(window->action(QStringLiteral("Export_Thread")));
        menu->trigger();
        auto *view = window->findChild<ui::RawLogView *>(QStringLiteral("RawLog"));
        QVERIFY(view);
        QTRY_VERIFY(view->isVisible());
        // The first mail is shown: the view starts there, and the boards stand out.
        const qsizetype mail = view->lines()->currentLine();
        QVERIFY(view->file().text(mail).startsWith(QStringLiteral("mail 26/12/06 21:03:11")));
        QVERIFY(view->file().isBoardLine(mail - 2));

        QTest::keyClick(view->lines(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(view->findField()->isVisible());
        QCOMPARE(view->focusWidget(), view->findField());
        test::typeText(view->findField(), QStringLiteral("RN 12"));
        QTest::keyClick(view->findField(), Qt::Key_Return);
        const qsizetype first = view->lines()->currentLine();
        QCOMPARE(view->file().text(first), QStringLiteral("Main Command(?:Help)>RN 12"));
        QTest::keyClick(view->findField(), Qt::Key_Return);
        const qsizetype second = view->lines()->currentLine();
        QVERIFY(second > first);
        QCOMPARE(view->file().text(second), QStringLiteral("Main Command(?:Help)>RN 12"));
        QTest::keyClick(view->findField(), Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(view->lines()->currentLine(), first);
        QVERIFY(view->lines()->topLine() <= first
            && first < view->lines()->topLine() + view->lines()->visibleLines());
        // Esc closes the search field, then the view, which lets go of the file.
        QTest::keyClick(view->findField(), Qt::Key_Escape);
        QVERIFY(!view->findField()->isVisible());
        QTest::keyClick(view->lines(), Qt::Key_Escape);
        QVERIFY(!view->isVisible());
        QVERIFY(!view->file().isOpen());
    }
};

QTEST_MAIN(TestRawLogView)
#include "tst_rawlogview.moc"
