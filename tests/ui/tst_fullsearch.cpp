// 全ログ検索 on the demo: Ctrl+F in the title list opens the window, the
// index is brought up to date in the background, and a hit opens in the main
// window as choosing it on the net selection screen would.

#include "DemoDir.h"
#include "FullSearchWindow.h"
#include "MainWindow.h"
#include "ProgramWindows.h"
#include "TestSupport.h"
#include "TitleView.h"

#include "netselect/NetSelectState.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace kavrel;

class TestFullSearch : public QObject, private test::DemoProgram
{
    Q_OBJECT

private slots:
    void init()
    {
        startDemo();
        QTRY_VERIFY(program->netSelectWindow().isVisible());
    }
    void cleanup() { stopDemo(); }

    void aHitOpensInTheMainWindow_data()
    {
        QTest::addColumn<int>("startNet");
        QTest::addColumn<QString>("startLog");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("line"); // a line of the article shown
        QTest::addColumn<bool>("upFileAsked");
        // A newer capture of KAB0605.LOG, its article 1200 cut by a line.
        QTest::addColumn<QString>("cutCopy");
        QTest::addColumn<QString>("captures"); // shown when more than one

        QTest::newRow("another net, by Enter")
            << 0 << "KAB0606.LOG" << QStringLiteral("灯台") << false << "Kavrel[LOG/mnt1206.log]"
            << QStringLiteral("No.5 ｢港町だより｣") << QStringLiteral("灯台の見学会の参加者を募集します。")
            << false << QString() << QString();
        QTest::newRow("another log of the net, a mail")
            << 0 << "KAB0606.LOG" << QStringLiteral("ようこそ") << true << "Kavrel[LOG/KAB0605.LOG]"
            << QStringLiteral("No.0 ｢メールボックス｣") << QString() << false << QString() << QString();
        QTest::newRow("a chat-room visit")
            << 0 << "KAB0605.LOG" << QStringLiteral("寒い") << false << "Kavrel[LOG/KAB0606.LOG]"
            << QStringLiteral("[XCHAT] No1.雑談ルーム")
            << QStringLiteral("[KAV00456] こんばんは、今日は寒いですね") << false << QString() << QString();
        QTest::newRow("back to a net with an up file")
            << 1 << "mnt1206.log" << QStringLiteral("週末の釣果") << true << "Kavrel[LOG/KAB0606.LOG]"
            << QStringLiteral("No.12 ｢趣味の部屋｣")
            << QStringLiteral("週末は海釣りに行ってきました。アジが二十匹です。") << true << QString()
            << QString();
        QTest::newRow("an article of two logs: one hit, the whole capture opens")
            << 0 << "KAB0606.LOG" << QStringLiteral("ログの整理") << false << "Kavrel[LOG/KAB0605.LOG]"
            << QStringLiteral("No.3 ｢パソコン通信の話題｣")
            << QStringLiteral("ログがたまってきたので整理の方法を考えています。") << false << "KAB0607.LOG"
            << "2";
    }

    void aHitOpensInTheMainWindow()
    {
        QFETCH(int, startNet);
        QFETCH(QString, startLog);
        QFETCH(QString, query);
        QFETCH(bool, doubleClick);
        QFETCH(QString, caption);
        QFETCH(QString, board);
        QFETCH(QString, line);
        QFETCH(bool, upFileAsked);
        QFETCH(QString, cutCopy);
        QFETCH(QString, captures);

        if (!cutCopy.isEmpty()) {
            QByteArray log = test::readFile(demo->path(QStringLiteral("LOG/KAB0605.LOG")));
            const QByteArray line
                = test::sjis(QStringLiteral("ログがたまってきたので整理の方法を考えています。\r\n"));
            QVERIFY(log.contains(line));
            test::writeFile(demo->path(QStringLiteral("LOG/") + cutCopy), log.replace(line, QByteArray()));
        }
        test::openLogByClicks(*program, *messages, startNet, startLog);
        const qsizetype before = messages->shown.size();

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->titleView(), Qt::Key_F, Qt::ControlModifier);
        auto *search = window->findChild<ui::FullSearchWindow *>(QStringLiteral("Full_Search"));
        QVERIFY(search);
        QVERIFY(search->isVisible());
        QCOMPARE(search->windowTitle(), QStringLiteral("全ログ検索"));
        QTRY_VERIFY_WITH_TIMEOUT(!search->updating(), 30000);
        QCOMPARE(search->statusLabel()->text(), QStringLiteral("索引は最新です。"));

        search->queryField()->setText(query);
        QTest::keyClick(search->queryField(), Qt::Key_Return);
        QTRY_VERIFY(!search->searching());
        QCOMPARE(search->model()->rowCount(), 1);
        QCOMPARE(search->model()->index(0, 6).data().toString(), captures);
        QVERIFY(search->model()->index(0, 7).data().toString().contains(QStringLiteral("【")));

        messages->answers = { MsgAnswer::Cancel }; // keep the up file
        QTableView *results = search->resultView();
        if (doubleClick) {
            const QPoint at = results->visualRect(results->model()->index(0, 1)).center();
            test::doubleClick(results, at);
        } else {
            // From the query field, as a person at the keyboard goes.
            search->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(search));
            search->queryField()->setFocus();
            QTest::keyClick(search->queryField(), Qt::Key_Down);
            QTRY_VERIFY(results->hasFocus());
            QCOMPARE(results->currentIndex().row(), 0);
            QTest::keyClick(results, Qt::Key_Return);
        }
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(window->boardList()->currentText(), board);
        const QStringList shown = program->session().main.Article.items;
        const QString number = search->model()->hit(0).number;
        if (number != u"mail" && number != u"-")
            QVERIFY(program->session().main.Title.selectedText().contains(u'[' + number + u']'));
        if (!line.isEmpty())
            QVERIFY2(shown.contains(line), qPrintable(shown.join(u'\n')));
        else
            QVERIFY(shown.join(u'\n').contains(query));
        QAbstractItemModel *article = window->articleView()->model();
        QCOMPARE(article->rowCount(), shown.size());
        QCOMPARE(
            messages->texts().mid(before).contains(netselect::NetSelectState::kUpFileQuestion), upFileAsked);
        QVERIFY(!program->netSelectWindow().isVisible());
        QVERIFY(window->isEnabled());
    }

    void aQueryRunsOffTheWindowsThreadAndTheLatestWins()
    {
        ui::FullSearchWindow *search = openOverTheDemo();
        QVERIFY(search);
        QSignalSpy finished(search, &ui::FullSearchWindow::searchFinished);

        // The window's thread only starts a query: its hits come through the event loop.
        search->queryField()->setText(QStringLiteral("寒い"));
        search->search();
        QVERIFY(search->searching());
        QCOMPARE(search->model()->rowCount(), 0);
        QCOMPARE(search->statusLabel()->text(), QStringLiteral("検索しています…"));
        search->queryField()->setText(QStringLiteral("灯台 見学会"));
        search->search();
        QTRY_VERIFY(!search->searching());
        QCOMPARE(finished.count(), 1); // the hits of the replaced query were not shown
        QCOMPARE(search->model()->rowCount(), 1);
        QCOMPARE(search->model()->hit(0).boardNo, 5);
        // Every word is marked.
        QCOMPARE(search->model()->index(0, 7).data().toString(),
            QStringLiteral("【灯台】の【見学会】の参加者を募集します。"));
        QCOMPARE(search->statusLabel()->text(), QStringLiteral("1 件見つかりました。"));

        // A query error replaces a query still running.
        search->queryField()->setText(QStringLiteral("灯台"));
        search->search();
        search->queryField()->setText(QStringLiteral("\"灯台"));
        search->search();
        QVERIFY(!search->searching());
        QCOMPARE(search->model()->rowCount(), 0);
        QVERIFY(search->statusLabel()->text().startsWith(QStringLiteral("引用符が閉じていません")));
        // Queries are answered in turn: when the next one's hits come, the
        // replaced one's would have come before them.
        search->queryField()->setText(QStringLiteral("見学会"));
        search->search();
        QTRY_VERIFY(!search->searching());
        QCOMPARE(finished.count(), 2);
        QCOMPARE(search->model()->rowCount(), 1);
        QCOMPARE(search->model()->index(0, 7).data().toString(),
            QStringLiteral("灯台の【見学会】の参加者を募集します。"));
    }

    void aHitWhoseLogIsGoneIsSaidAndTheHitsComeAgain()
    {
        ui::FullSearchWindow *search = openOverTheDemo();
        QVERIFY(search);
        search->queryField()->setText(QStringLiteral("灯台"));
        QTest::keyClick(search->queryField(), Qt::Key_Return);
        QTRY_VERIFY(!search->searching());
        QCOMPARE(search->model()->rowCount(), 1);

        QVERIFY(QFile::remove(program->session().AppDir + QStringLiteral("/LOG/mnt1206.log")));
        search->openRow(0);
        const QString notice = QStringLiteral("この記事を開けませんでした。ログが変わった可能性があります。");
        QCOMPARE(window->windowTitle(), QStringLiteral("Kavrel[LOG/KAB0606.LOG]"));
        QVERIFY(search->statusLabel()->text().startsWith(notice));
        // The index forgets the log and the query runs again.
        QTRY_VERIFY_WITH_TIMEOUT(!search->updating() && !search->searching(), 30000);
        QTRY_COMPARE(search->model()->rowCount(), 0);
        QCOMPARE(search->statusLabel()->text(), notice + QStringLiteral(" 見つかりませんでした。"));
        // The user's next query says nothing more of it.
        QTest::keyClick(search->queryField(), Qt::Key_Return);
        QTRY_VERIFY(!search->searching());
        QCOMPARE(search->statusLabel()->text(), QStringLiteral("見つかりませんでした。"));
    }

    void theListShowsTheNewestHits()
    {
        // KAB0606.LOG captured again: the newest captures are of one article,
        // so the list asks for more to show the newest articles.
        test::writeFile(demo->path(QStringLiteral("LOG/KAB0607.LOG")),
            test::readFile(demo->path(QStringLiteral("LOG/KAB0606.LOG"))));
        ui::FullSearchWindow *search = openOverTheDemo();
        QVERIFY(search);
        search->queryField()->setText(QStringLiteral("モデム"));
        for (const int shown : { 2, 1 }) {
            search->setShownHits(shown);
            search->search();
            QTRY_VERIFY(!search->searching());
            QCOMPARE(search->model()->rowCount(), shown);
            QCOMPARE(search->model()->hit(0).number, QStringLiteral("1204")); // the newest
            QCOMPARE(search->model()->hit(0).captures, 2);
        }
        const QString found = QStringLiteral("1 件を超えて見つかりました。新しい 1 件を表示しています。");
        QCOMPARE(search->statusLabel()->text(), found);
        // While the index is brought up to date again, what was found stays said.
        search->hide();
        search->show();
        QVERIFY(search->updating());
        QCOMPARE(search->statusLabel()->text(), found + QStringLiteral(" 索引を更新しています…"));
        QTRY_VERIFY_WITH_TIMEOUT(!search->updating() && !search->searching(), 30000);
        QCOMPARE(search->statusLabel()->text(), found);
    }

    void theWindowOpensWhereItWasLeft()
    {
        ui::FullSearchWindow *search = openOverTheDemo();
        QVERIFY(search);
        search->resize(700, 300);
        search->close();
        delete search;
        window->action(QStringLiteral("Full_Search"))->trigger();
        search = window->findChild<ui::FullSearchWindow *>(QStringLiteral("Full_Search"));
        QVERIFY(search && search->isVisible());
        QCOMPARE(search->size(), QSize(700, 300));
        QTRY_VERIFY_WITH_TIMEOUT(!search->updating(), 30000);
    }

    void aQueryErrorIsShown()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        window->action(QStringLiteral("Full_Search"))->trigger();
        auto *search = window->findChild<ui::FullSearchWindow *>(QStringLiteral("Full_Search"));
        QVERIFY(search && search->isVisible());
        search->queryField()->setText(QStringLiteral("title:x"));
        QTest::keyClick(search->queryField(), Qt::Key_Return);
        QVERIFY(search->statusLabel()->text().startsWith(QStringLiteral("知らないフィルタです: title:")));
        QCOMPARE(search->model()->rowCount(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!search->updating(), 30000);
    }

private:
    // The window opened from the demo's newest log, once its index is up to date.
    ui::FullSearchWindow *openOverTheDemo()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        window->action(QStringLiteral("Full_Search"))->trigger();
        auto *search = window->findChild<ui::FullSearchWindow *>(QStringLiteral("Full_Search"));
        const bool ready = search && search->isVisible()
            && QTest::qWaitFor([search] { return !search->updating(); }, 30000);
        return ready ? search : nullptr;
    }
};

QTEST_MAIN(TestFullSearch)
#include "tst_fullsearch.moc"
