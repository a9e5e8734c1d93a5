// The main window alone, over a scripted reader: what it shows of the core's
// state, and what it hands to the core.

#include "MainWindow.h"
#include "ProgramWindows.h"
#include "TestSupport.h"
#include "TitleListModel.h"
#include "TitleView.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace kavrel;

namespace {

// Stands in for the reader: a board click fills rows, a title click fills
// the article, keys are recorded.
class FakeReader : public MainWindowEvents
{
public:
    explicit FakeReader(MainWindowState &main)
        : m_main(main)
    {
    }

    int rowsPerBoard = 3;
    QList<QPair<int, int>> keys;
    int gotFocus = 0;

    void showChosenBoard() override
    {
        m_main.clearTitleColumns();
        m_main.Article.clear();
        BuildTitleList();
        clickTitleList(m_main);
    }
    void BuildTitleList() override
    {
        for (int i = 0; i < rowsPerBoard; ++i)
            m_main.appendRow(QStringLiteral(" "), QStringLiteral("%1").arg(i + 1, 5),
                QStringLiteral("user%1").arg(i), QStringLiteral("  title %1").arg(i));
    }
    void showChosenRow() override
    {
        const int row = m_main.Title.ListIndex;
        m_main.InfoColumn.ListIndex = m_main.SubjectColumn.ListIndex = m_main.BatchSet.ListIndex = row;
        m_main.Article.clear();
        m_main.Article.addItem(QStringLiteral("article %1").arg(row));
        m_main.Article.addItem(QStringLiteral("line two"));
        m_main.Article.ListIndex = 0;
        m_main.ArticleCount.Caption = QStringLiteral("%1/%2").arg(row + 1).arg(m_main.rowCount());
    }
    void titleListFocused() override
    {
        ++gotFocus;
        m_main.ArticleCount.Caption = QStringLiteral("0/0");
        if (m_main.rowCount() > 0 && m_main.Title.ListIndex < 0)
            clickRow(m_main, 0);
    }
    void keyDownInTitleList(int keyCode, int shift) override { keys.append({ keyCode, shift }); }

private:
    MainWindowState &m_main;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // The windows' own preferences in a settings file of this test's own.
        config = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config->path());
        messages = std::make_unique<test::ScriptedMessages>();
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        reader = std::make_unique<FakeReader>(program->session().main);
        program->session().main.events = reader.get();
        program->start();
        window = &program->mainWindow();
    }
    void cleanup()
    {
        program.reset();
        reader.reset();
    }

    void menusCarryTheirCaptions()
    {
        QStringList tops;
        for (QAction *a : window->menuBar()->actions())
            tops << a->text();
        QCOMPARE(tops,
            (QStringList {
                "ファイル(&F)", "編集(&E)", "表示(&V)", "検索関連(&S)", "オプション(&O)", "ヘルプ(&H)" }));
        QCOMPARE(window->action("Define")->text(), QStringLiteral("ディレクトリ設定(&D)"));
        QCOMPARE(window->action("Ido_Set")->text(), QStringLiteral("移動書込ボードNo.設定(&I)"));
        // Disabled until a log is open.
        for (const char *name : { "Search_Pointer", "Read_End", "Search_Log", "Ido_Set" })
            QVERIFY2(!window->action(name)->isEnabled(), name);
        QVERIFY(window->action("SET")->isEnabled());

        QStringList tips;
        for (int i = 1; i <= 8; ++i) {
            QVERIFY(!window->toolButton(i)->icon().isNull());
            tips << window->toolButton(i)->toolTip();
        }
        QCOMPARE(tips,
            (QStringList { "ネット選択画面", "メール書込", "新規書込", "文字列＆日付検索", "ディレクトリ設定",
                "ヘルプ", "レスポンス書込", "書込削除" }));
    }

    void versionAndKeyList()
    {
        window->action("Version")->trigger();
        QTest::mouseClick(window->toolButton(6), Qt::LeftButton);
        QCOMPARE(messages->texts().value(0), QStringLiteral("Kavrel Version 0.9.0"));
        const QStringList keyList = messages->texts().value(1).split("\r\n");
        // The classic lines, then every other key of the title list.
        QCOMPARE(keyList.size(), 20);
        QCOMPARE(keyList.at(1), QString());
        QCOMPARE(keyList.at(9), QStringLiteral("[SPACE] or → or Roll(Page)Down 次アーテクル又は次行に移動"));
        QCOMPARE(keyList.mid(10),
            (QStringList { "↑ or Roll(Page)Up 前アーティクル又は前ボードに移動",
                "↓ 次アーティクル又は次ボードに移動", "Shift+↓ or Ctrl+↓ 未読検索", "Ctrl+S.......検索終了",
                "Ctrl+F.......全ログ検索", "Ctrl+T.......通し読み", "L.......ログで表示",
                "Ctrl+Z.......元に戻す", "Ctrl+Y.......やり直し", "Esc.......Kavrelを終了する" }));
        // Plain boxes: an OK button and no icon.
        for (const test::ScriptedMessages::Shown &box : std::as_const(messages->shown)) {
            QCOMPARE(box.buttons, MsgButtons::Ok);
            QCOMPARE(box.icon, MsgIcon::None);
        }
    }

    void boardChoiceShowsRowsAndFirstArticle()
    {
        MainWindowState &main = program->session().main;
        main.Board_List.addItem(QStringLiteral("No.1  ｢雑談｣"));
        main.Board_List.addItem(QStringLiteral("No.2  ｢技術｣"));
        program->forward([&] { clickBoard(main, 0); });

        QCOMPARE(window->boardList()->count(), 2);
        QCOMPARE(window->boardList()->currentIndex(), 0);
        QAbstractItemModel *model = window->titleView()->model();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->columnCount(), 4);
        QCOMPARE(model->index(2, 1).data().toString(), QStringLiteral("    3"));
        QCOMPARE(model->index(2, 3).data().toString(), QStringLiteral("  title 2"));
        QCOMPARE(window->titleView()->selectionModel()->selectedRows().value(0).row(), 0);
        QCOMPARE(window->articleView()->model()->index(0, 0).data().toString(), QStringLiteral("article 0"));
        QCOMPARE(window->findChild<QLabel *>("ArticleCount")->text(), QStringLiteral("1/3"));
        QCOMPARE(model->index(0, 0).data(Qt::ToolTipRole).toString(),
            QStringLiteral("バッチセットされたファイルはSと表示されます"));
        QCOMPARE(model->index(0, 3).data(Qt::ToolTipRole).toString(),
            QStringLiteral("各アーティクルのタイトルです"));

        // A click in the title column selects the row in every column.
        ui::TitleView *view = window->titleView();
        const QRect cell = view->visualRect(model->index(2, ui::TitleListModel::TitleColumn));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(main.Title.ListIndex, 2);
        QCOMPARE(main.InfoColumn.ListIndex, 2);
        QCOMPARE(main.BatchSet.ListIndex, 2);
        QCOMPARE(view->selectionModel()->selectedRows().value(0).row(), 2);
        QCOMPARE(window->findChild<QLabel *>("ArticleCount")->text(), QStringLiteral("3/3"));

        // Choosing the second board from the combo box.
        reader->rowsPerBoard = 5;
        window->boardList()->setCurrentIndex(1);
        emit window->boardList()->activated(1);
        QCOMPARE(main.Board_List.ListIndex, 1);
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(main.Title.ListIndex, 0);
    }

    void aHundredThousandRowsAreOneModel()
    {
        MainWindowState &main = program->session().main;
        main.Board_List.addItem(QStringLiteral("No.1  ｢雑談｣"));
        reader->rowsPerBoard = 100000;
        program->forward([&] { clickBoard(main, 0); });
        QAbstractItemModel *model = window->titleView()->model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model->rowCount(), 100000);
        QCOMPARE(model->index(99999, 1).data().toString(), QStringLiteral("100000"));
        program->forward([&] { clickRow(main, 99999); });
        QCOMPARE(window->titleView()->selectionModel()->selectedRows().value(0).row(), 99999);
        QVERIFY(window->titleView()->rowAt(window->titleView()->viewport()->height() - 2) >= 99990);

        // A batch mark changes one cell without rebuilding the view.
        QSignalSpy resets(model, &QAbstractItemModel::modelReset);
        QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
        program->forward([&] { main.BatchSet.items[5] = QStringLiteral("S"); });
        QCOMPARE(resets.size(), 0);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(model->index(5, 0).data().toString(), QStringLiteral("S"));
    }

    void articleModelAppendsAndResets()
    {
        MainWindowState &main = program->session().main;
        QAbstractItemModel *model = window->articleView()->model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserts(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy resets(model, &QAbstractItemModel::modelReset);
        program->forward([&] { main.Article.addItem("a"); });
        program->forward([&] { main.Article.addItem("b"); });
        QCOMPARE(inserts.size(), 2);
        program->forward([&] {
            main.Article.clear();
            main.Article.addItem("c");
        });
        QCOMPARE(resets.size(), 1);
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("c"));
    }

    void labelsAndMonoColours()
    {
        MainWindowState &main = program->session().main;
        program->forward([&] {
            main.To_No.Caption = QStringLiteral("なし");
            main.To_No.enabled = false;
        });
        QLabel *toNo = window->findChild<QLabel *>("To_No");
        QCOMPARE(toNo->text(), QStringLiteral("なし"));
        QVERIFY(!toNo->isEnabled());

        const QColor base = window->titleView()->palette().color(QPalette::Base);
        const QColor text = window->titleView()->palette().color(QPalette::Text);
        program->session().Flags[settings::OptionFlags::MonoColors] = QStringLiteral("1");
        window->applyColours();
        QCOMPARE(window->titleView()->palette().color(QPalette::Base), text);
        QCOMPARE(window->titleView()->palette().color(QPalette::Text), base);
        QCOMPARE(window->articleView()->palette().color(QPalette::Base), text);
    }

    void layoutFollowsTheWindow()
    {
        window->resize(800, 600);
        const int small = program->session().main.ArticleVisibleLines;
        window->resize(800, 900);
        QVERIFY(program->session().main.ArticleVisibleLines > small);
        QVERIFY(window->articleView()->geometry().top() > window->titleView()->geometry().bottom());
        // Only the title column scrolls sideways: the number column stays put.
        MainWindowState &main = program->session().main;
        main.Board_List.addItem(QStringLiteral("No.1"));
        reader->rowsPerBoard = 1;
        program->forward([&] { clickBoard(main, 0); });
        program->forward([&] { main.SubjectColumn.items[0] = QString(300, QChar(u'あ')); });
        auto *scroll = window->findChild<QScrollBar *>("TitleScroll");
        QVERIFY(scroll->maximum() > 0);
        const int numberLeft = window->titleView()->columnViewportPosition(ui::TitleListModel::NumberColumn);
        scroll->setValue(scroll->maximum());
        QCOMPARE(window->titleView()->titleDelegate()->offset(), scroll->maximum());
        QCOMPARE(window->titleView()->columnViewportPosition(ui::TitleListModel::NumberColumn), numberLeft);
    }

    void zoomGrowsAndShrinksBothListsAndIsKept_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("steps"); // points from the list font
        QTest::newRow("Ctrl++ twice") << QList<int> { Qt::Key_Plus, Qt::Key_Plus } << 2;
        QTest::newRow("Ctrl+=") << QList<int> { Qt::Key_Equal } << 1;
        QTest::newRow("Ctrl+-") << QList<int> { Qt::Key_Minus } << -1;
        QTest::newRow("Ctrl+0 after Ctrl++") << QList<int> { Qt::Key_Plus, Qt::Key_0 } << 0;
        QTest::newRow("smallest") << QList<int>(20, Qt::Key_Minus) << -5; // 4 points
        QTest::newRow("largest") << QList<int>(20, Qt::Key_Plus) << 12;
    }
    void zoomGrowsAndShrinksBothListsAndIsKept()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, steps);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        // From the original size, whatever the previous row kept.
        QTest::keyClick(window->titleView(), Qt::Key_0, Qt::ControlModifier);
        const qreal base = window->titleView()->font().pointSizeF();
        const int lines = program->session().main.ArticleVisibleLines;
        for (const int key : keys)
            QTest::keyClick(window->titleView(), Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(window->titleView()->font().pointSizeF(), base + steps);
        QCOMPARE(window->articleView()->font().pointSizeF(), base + steps);
        if (steps > 0)
            QVERIFY(program->session().main.ArticleVisibleLines < lines);
        // Kept for the next start.
        program.reset();
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        QCOMPARE(program->mainWindow().titleView()->font().pointSizeF(), base + steps);
        QCOMPARE(program->mainWindow().articleView()->font().pointSizeF(), base + steps);
    }

    void resizeSelectsTheLastLineOfTheFirstScreenful()
    {
        window->resize(800, 600);
        MainWindowState &main = program->session().main;
        program->forward([&] {
            for (int i = 0; i < 200; ++i)
                main.Article.addItem(QStringLiteral("line %1").arg(i));
            main.Article.ListIndex = 150; // paged far down
        });
        QCOMPARE(window->articleView()->currentIndex().row(), 150);

        window->resize(800, 700);
        const int lines = main.ArticleVisibleLines;
        QVERIFY(lines > 1);
        QCOMPARE(main.Article.ListIndex, lines - 1);
        QCOMPARE(window->articleView()->currentIndex().row(), lines - 1);
        QCOMPARE(window->articleView()->verticalScrollBar()->value(), 0);

        // An article shorter than the screenful: its last line.
        program->forward([&] {
            main.Article.clear();
            main.Article.addItem(QStringLiteral("one"));
            main.Article.addItem(QStringLiteral("two"));
            main.Article.ListIndex = 0;
        });
        window->resize(800, 650);
        QCOMPARE(main.Article.ListIndex, 1);
        QCOMPARE(window->articleView()->currentIndex().row(), 1);
    }

    void realMessageBoxes()
    {
        // The program's own message boxes: titled Kavrel, the asked buttons and icon.
        ui::ProgramWindows real;
        struct Seen
        {
            QString title, text;
            QMessageBox::StandardButtons buttons;
            QMessageBox::Icon icon = QMessageBox::NoIcon;
        } seen;
        auto answerWith = [&seen](QMessageBox::StandardButton button) {
            QTimer::singleShot(0, [&seen, button] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                QVERIFY(box);
                seen = { box->windowTitle(), box->text(), box->standardButtons(), box->icon() };
                box->button(button)->click();
            });
        };
        answerWith(QMessageBox::Cancel);
        QCOMPARE(real.session().message(QStringLiteral("指定されたＢＢＳデータを削除しますか？"),
                     MsgButtons::OkCancel, MsgIcon::Critical),
            MsgAnswer::Cancel);
        QCOMPARE(seen.title, QStringLiteral("Kavrel"));
        QCOMPARE(seen.text, QStringLiteral("指定されたＢＢＳデータを削除しますか？"));
        QCOMPARE(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(seen.icon, QMessageBox::Critical);

        answerWith(QMessageBox::Yes);
        QCOMPARE(real.session().message(QStringLiteral("検索キーを初期化しますか？"), MsgButtons::YesNo),
            MsgAnswer::Yes);
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);

        answerWith(QMessageBox::Ok);
        real.mainWindow().action("Version")->trigger();
        QCOMPARE(seen.text, QStringLiteral("Kavrel Version 0.9.0"));
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

private:
    std::unique_ptr<test::ScriptedMessages> messages;
    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<ui::ProgramWindows> program;
    std::unique_ptr<FakeReader> reader;
    ui::MainWindow *window = nullptr;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
