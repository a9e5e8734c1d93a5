// The layout a user can change and the editor that always works: the split
// between the title list and the article view and the title list's headings
// and widths, kept in the settings file; the built-in editor writing the
// demo's up file from W, typing and Ctrl+S.

#include "DemoDir.h"
#include "EditorWindow.h"
#include "IdListWindowView.h"
#include "MainWindow.h"
#include "ProgramWindows.h"
#include "TestSupport.h"
#include "TitleListModel.h"
#include "TitleView.h"

#include "base/Cp932.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

using namespace kavrel;

class TestEditorLayout : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        demo = std::make_unique<test::DemoDir>();
        start();
    }
    void cleanup()
    {
        program.reset();
        demo.reset();
    }

    void splitKeepsTheClassicLayoutUntilDragged()
    {
        QTest::keyClick(&program->netSelectWindow(), Qt::Key_Escape);
        window->resize(1100, 850);
        QSplitter *split = window->splitter();
        ui::TitleView *titles = window->titleView();
        const int row = titles->verticalHeader()->defaultSectionSize();
        // Five rows of titles until the user moves the split.
        QCOMPARE((titles->height() - 2 * titles->frameWidth()) / row, 5);
        const int classic = split->sizes().at(0);
        window->resize(1100, 700);
        QCOMPARE(split->sizes().at(0), classic);
        const int linesBefore = program->session().main.ArticleVisibleLines;

        // The user drags the handle down by ten rows.
        QSplitterHandle *handle = split->handle(1);
        const QPoint from = handle->rect().center();
        const QPoint to = from + QPoint(0, 10 * row);
        QMouseEvent press(
            QEvent::MouseButtonPress, from, handle->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(handle, &press);
        QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(handle, &move);
        QMouseEvent release(
            QEvent::MouseButtonRelease, to, handle->mapToGlobal(to), Qt::LeftButton, Qt::NoButton, {});
        QApplication::sendEvent(handle, &release);
        const int dragged = split->sizes().at(0);
        QCOMPARE(dragged, classic + 10 * row);
        QVERIFY((titles->height() - 2 * titles->frameWidth()) / row >= 14);
        // The reader pages by what the smaller article view shows.
        QVERIFY(program->session().main.ArticleVisibleLines < linesBefore);
        window->resize(1100, 800);
        QCOMPARE(split->sizes().at(0), dragged);

        // Kept in the settings file, never in DIR.DEF.
        const QByteArray dirDef = test::readFile(demo->path("DIR.DEF"));
        restart();
        window->resize(1100, 850);
        QCOMPARE(window->splitter()->sizes().at(0), dragged);
        QCOMPARE(test::readFile(demo->path("DIR.DEF")).mid(0, 40), dirDef.mid(0, 40));
        QVERIFY(!test::readFile(demo->path("DIR.DEF")).contains("Title"));
    }

    void headingsAndWidthsKept()
    {
        QTest::keyClick(&program->netSelectWindow(), Qt::Key_Escape);
        QTRY_VERIFY(window->isActiveWindow());
        window->resize(1100, 850);
        ui::TitleView *titles = window->titleView();
        QHeaderView *header = titles->horizontalHeader();
        // Hidden headings and the classic widths to start with.
        QVERIFY(header->isHidden());
        const int numberWidth = titles->columnWidth(ui::TitleListModel::NumberColumn);
        const int inner = titles->viewport()->width();

        // 表示 → 列見出しを表示, by the keys.
        QTest::keyClick(window, Qt::Key_V, Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_H);
        QTRY_VERIFY(!header->isHidden());
        const QAbstractItemModel *model = titles->model();
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("番号"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("発言者"));
        QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("タイトル"));
        // Still five rows of titles under the headings.
        const int row = titles->verticalHeader()->defaultSectionSize();
        QCOMPARE((titles->viewport()->height() + 2) / row, 5);

        // The user drags the number column wider by its heading's edge.
        const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
        QTest::mouseMove(header->viewport(), QPoint(edge + 60, y));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 60, y));
        QTRY_COMPARE(titles->columnWidth(ui::TitleListModel::NumberColumn), numberWidth + 60);
        // The title column gives up the room.
        int total = 0;
        for (int c = 0; c < ui::TitleListModel::ColumnCount; ++c)
            total += titles->columnWidth(c);
        QVERIFY(qAbs(total - inner) <= 2);

        restart();
        window->resize(1100, 850);
        QVERIFY(!window->titleView()->horizontalHeader()->isHidden());
        QVERIFY(window->action("ColumnHeadings")->isChecked());
        QCOMPARE(window->titleView()->columnWidth(ui::TitleListModel::NumberColumn), numberWidth + 60);
    }

    void builtInEditorWritesTheUpFile()
    {
        // The demo names no editor.
        QCOMPARE(program->session().Dir[settings::DirRecord::Editor_Path].trimmed(), QString());
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        // From the mail box down to the first board.
        while (program->session().main.Board_List.ListIndex < 1)
            QTest::keyClick(window->titleView(), Qt::Key_Down);
        const QByteArray before = test::readFile(demo->path("UP/KABURA.up"));
        ui::EditorWindow &editor = program->editorWindow();
        bool mainHidden = false;
        QString position, refusal;
        whenEditorShown([&] {
            mainHidden = !window->isVisible();
            QWidget *text = editor.textEdit();
            QTRY_VERIFY(text->hasFocus());
            test::typeText(text, QStringLiteral("はじめての書き込みです。"));
            QTest::keyClick(text, Qt::Key_Return);
            test::typeText(text, QStringLiteral("Kavrel"));
            position = editor.position()->text();
            // A character Shift-JIS cannot hold is refused, by name.
            test::typeText(text, QStringLiteral("é"));
            QTest::keyClick(text, Qt::Key_S, Qt::ControlModifier);
            refusal = messages->texts().value(messages->texts().size() - 1);
            QVERIFY(editor.isVisible());
            QTest::keyClick(text, Qt::Key_Backspace);
            QTest::keyClick(text, Qt::Key_S, Qt::ControlModifier);
        });
        QTest::keyClick(window->titleView(), Qt::Key_W);
        QVERIFY(!editor.isVisible());
        QVERIFY(mainHidden);
        QVERIFY(window->isVisible());
        QCOMPARE(position, QStringLiteral("2 行  7 桁"));
        QVERIFY2(refusal.contains(QStringLiteral("「é」")), qPrintable(refusal));
        const QByteArray after = test::readFile(demo->path("UP/KABURA.up"));
        QVERIFY(after.startsWith(before));
        const QString added = cp932::decode(after.mid(before.size()));
        QVERIFY2(added.contains(QStringLiteral("はじめての書き込みです。\r\nKavrel\r\n")), qPrintable(added));
        QVERIFY(!added.contains(QStringLiteral("é")));
        QVERIFY(window->titleView()->model()->rowCount() > 0);

        // Esc after a change asks first; No keeps the text, Yes throws it away.
        const QByteArray written = test::readFile(demo->path("UP/KABURA.up"));
        whenEditorShown([&] {
            QWidget *text = editor.textEdit();
            test::typeText(text, QStringLiteral("やめておきます"));
            messages->answers = { MsgAnswer::No, MsgAnswer::Yes }; // keep editing, then throw away
            QTest::keyClick(text, Qt::Key_Escape);
            QVERIFY(editor.isVisible());
            QTest::keyClick(text, Qt::Key_Escape);
        });
        QTest::keyClick(window->titleView(), Qt::Key_W);
        QVERIFY(!editor.isVisible());
        QCOMPARE(messages->texts().last(), QStringLiteral("編集した内容を破棄しますか？"));
        QCOMPARE(messages->texts().mid(messages->texts().size() - 2, 1).value(0),
            QStringLiteral("編集した内容を破棄しますか？"));
        QCOMPARE(messages->shown.last().icon, MsgIcon::Critical);
        QCOMPARE(test::readFile(demo->path("UP/KABURA.up")), written);
    }

    // The editor's status bar says to whom a mail goes and which article a
    // response answers.
    void theEditorSaysWhatItWrites_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("subject");
        QTest::newRow("mail") << int(Qt::Key_M) << QStringLiteral("宛先: KAV00123");
        QTest::newRow("response") << int(Qt::Key_P) << QStringLiteral("レス先: [1201] 新しいログリーダー");
        QTest::newRow("article") << int(Qt::Key_W) << QStringLiteral("書込先: No.3 ｢パソコン通信の話題｣");
    }
    void theEditorSaysWhatItWrites()
    {
        QFETCH(int, key);
        QFETCH(QString, subject);
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        while (program->session().main.Board_List.ListIndex < 1)
            QTest::keyClick(window->titleView(), Qt::Key_Down);
        // Kept apart from this function's frame: the poll outlives a failed check.
        const auto shown = std::make_shared<QString>();
        whenEditorShown(
            [this, shown] {
                ui::EditorWindow &editor = program->editorWindow();
                *shown = editor.findChild<QLabel *>(QStringLiteral("EditorSubject"))->text();
                QTest::keyClick(editor.textEdit(), Qt::Key_Escape);
            },
            NeedsActive::No);
        QTest::keyClick(window->titleView(), Qt::Key(key));
        if (key == Qt::Key_M) {
            QListView *list = program->idListWindow().list();
            const QModelIndexList found = list->model()->match(
                list->model()->index(0, 0), Qt::DisplayRole, "KAV00123", 1, Qt::MatchContains);
            QCOMPARE(found.size(), 1);
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Home);
            for (int i = 0; i < found.first().row(); ++i)
                QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Space);
            QTest::keyClick(list, Qt::Key_Return);
        }
        QCOMPARE(*shown, subject);
    }

    void builtInEditorOfferedWhenTheEditorCannotStart()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        while (program->session().main.Board_List.ListIndex < 1)
            QTest::keyClick(window->titleView(), Qt::Key_Down);
        program->session().Dir[settings::DirRecord::Editor_Path] = demo->path("no-such-editor");
        ui::EditorWindow &editor = program->editorWindow();
        messages->answers = { MsgAnswer::Cancel, MsgAnswer::Yes }; // a new write, then the built-in editor
        whenEditorShown([&] {
            test::typeText(editor.textEdit(), QStringLiteral("代わりのエディタで"));
            QTest::keyClick(editor.textEdit(), Qt::Key_S, Qt::ControlModifier);
        });
        const QByteArray before = test::readFile(demo->path("UP/KABURA.up"));
        QTest::keyClick(window->titleView(), Qt::Key_W);
        QVERIFY(messages->texts().last().startsWith(QStringLiteral("エディタを起動できませんでした。")));
        QVERIFY(messages->texts().last().endsWith(QStringLiteral("内蔵エディタで書きますか？")));
        QCOMPARE(messages->shown.last().buttons, MsgButtons::YesNo);
        QVERIFY(cp932::decode(test::readFile(demo->path("UP/KABURA.up")).mid(before.size()))
                    .contains(QStringLiteral("代わりのエディタで")));
    }

private:
    // Runs the user's part once the built-in editor has come up inside the
    // command's wait and is the active window: Ctrl+S is a shortcut of the
    // active window only. A part that fails leaves the editor open; it is
    // then thrown away, so that the command's wait ends and the test with it.
    // A part that only reads the editor and sends its keys to the text itself
    // needs no active window.
    enum class NeedsActive { Yes, No };
    void whenEditorShown(const std::function<void()> &user, NeedsActive needsActive = NeedsActive::Yes)
    {
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll, user, needsActive] {
            ui::EditorWindow &editor = program->editorWindow();
            if (!editor.isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            if (needsActive == NeedsActive::No || QTest::qWaitForWindowActive(&editor))
                user();
            else
                QTest::qFail("the editor never became the active window", __FILE__, __LINE__);
            if (editor.isVisible()) {
                editor.textEdit()->document()->setModified(false);
                QTest::keyClick(&editor, Qt::Key_Escape);
            }
        });
        poll->start(10);
    }

    void start()
    {
        messages = std::make_unique<test::ScriptedMessages>();
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        window = &program->mainWindow();
        QTRY_VERIFY(program->netSelectWindow().isVisible());
    }
    // Started again on the same settings file; the first activation's net
    // selection screen goes with Esc.
    void restart()
    {
        program.reset();
        start();
        QTest::keyClick(&program->netSelectWindow(), Qt::Key_Escape);
    }

    std::unique_ptr<test::DemoDir> demo;
    std::unique_ptr<test::ScriptedMessages> messages;
    std::unique_ptr<ui::ProgramWindows> program;
    ui::MainWindow *window = nullptr;
};

QTEST_MAIN(TestEditorLayout)
#include "tst_editorlayout.moc"
