// The windows under the keys as a person types them: one Space picks one
// recipient, Return confirms a dialog, Tab ticks nothing, the menus answer
// to ASCII letters, the counter follows the selection, the reading of a log
// survives a merge and a change of net, and the option dialog, the colours
// and the directory picker show what they should.

#include "DefineDataWindow.h"
#include "DefineOpWindow.h"
#include "DemoDir.h"
#include "DirSelectWindow.h"
#include "EditorScript.h"
#include "IdListWindowView.h"
#include "MainWindow.h"
#include "NetSelectWindow.h"
#include "ProgramWindows.h"
#include "SearchWindow.h"
#include "TestSupport.h"
#include "TitleKeys.h"
#include "TitleView.h"

#include "base/Cp932.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QtEndian>

#include <cstring>

using namespace kavrel;

namespace {

// Record n of LOGPTR.dat: the name and the pointer.
std::pair<QByteArray, qint32> pointerRecord(const QString &path, int n)
{
    const QByteArray bytes = test::readFile(path).mid((n - 1) * 84, 84);
    if (bytes.size() < 84)
        return {};
    qint32 pointer = 0;
    std::memcpy(&pointer, bytes.constData() + 80, 4);
    return { bytes.left(80).trimmed(), qFromLittleEndian(pointer) };
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    // The title list's keys, with their modifiers, and the command each
    // stands for; -1: none (the list moves, or the key means nothing).
    void titleKeysAreTheReadersCommands_data()
    {
        using C = ReaderCommand;
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("command");
        const auto row = [](const char *name, int key, Qt::KeyboardModifiers mods, int command) {
            QTest::newRow(name) << key << int(mods) << command;
        };
        const auto none = Qt::NoModifier;
        row("Space", Qt::Key_Space, none, int(C::Page));
        row("Page Down", Qt::Key_PageDown, none, int(C::Page));
        row("right", Qt::Key_Right, none, int(C::Page));
        row("up", Qt::Key_Up, none, int(C::Previous));
        row("Page Up", Qt::Key_PageUp, none, int(C::Previous));
        row("down", Qt::Key_Down, none, int(C::Next));
        row("Shift+down", Qt::Key_Down, Qt::ShiftModifier, int(C::NextUnread));
        row("Ctrl+down", Qt::Key_Down, Qt::ControlModifier, int(C::NextUnread));
        row("Ctrl+keypad down", Qt::Key_Down, Qt::ControlModifier | Qt::KeypadModifier, int(C::NextUnread));
        row("Shift+Ctrl+down", Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier, int(C::Next));
        row("Alt+down", Qt::Key_Down, Qt::AltModifier, int(C::Next));
        row("S", Qt::Key_S, none, int(C::ToggleBatch));
        row("Ctrl+S", Qt::Key_S, Qt::ControlModifier, int(C::EndSearch));
        row("Shift+S", Qt::Key_S, Qt::ShiftModifier, -1);
        row("Alt+S", Qt::Key_S, Qt::AltModifier, -1);
        row("W", Qt::Key_W, none, int(C::Write));
        row("P", Qt::Key_P, none, int(C::Respond));
        row("G", Qt::Key_G, none, int(C::RespondElsewhere));
        row("E", Qt::Key_E, none, int(C::Rewrite));
        row("D", Qt::Key_D, none, int(C::Delete));
        row("M", Qt::Key_M, none, int(C::Mail));
        row("Shift+M", Qt::Key_M, Qt::ShiftModifier, int(C::Mail));
        row("Esc", Qt::Key_Escape, none, int(C::Quit));
        row("Home", Qt::Key_Home, none, -1);
        row("End", Qt::Key_End, none, -1);
        row("left", Qt::Key_Left, none, -1);
        row("Return", Qt::Key_Return, none, -1);
        row("A", Qt::Key_A, none, -1);
        row("Z", Qt::Key_Z, none, -1);
        row("Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, int(C::Undo));
        row("Shift+Ctrl+Z", Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier, -1);
        row("Ctrl+Y", Qt::Key_Y, Qt::ControlModifier, int(C::Redo));
        row("Y", Qt::Key_Y, none, -1);
    }
    void titleKeysAreTheReadersCommands()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, command);
        const std::optional<ReaderCommand> expected
            = command < 0 ? std::nullopt : std::optional(ReaderCommand(command));
        QVERIFY(ui::titleCommand(key, Qt::KeyboardModifiers(modifiers)) == expected);
    }
    void init()
    {
        demo = std::make_unique<test::DemoDir>();
        editor = std::make_unique<test::EditorScript>();
        messages = std::make_unique<test::ScriptedMessages>();
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        window = &program->mainWindow();
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        QVERIFY(window->isVisible());
        QTRY_VERIFY(window->isActiveWindow());
    }
    void cleanup()
    {
        program.reset();
        editor.reset();
        demo.reset();
    }

    void oneSpacePicksOneRecipient()
    {
        program->session().Dir[settings::DirRecord::Editor_Path] = editor->path();
        QTest::keyClick(window->titleView(), Qt::Key_M);
        ui::IdListWindowView &ids = program->idListWindow();
        QVERIFY(ids.isVisible());
        QListView *list = ids.list();
        const QModelIndexList found = list->model()->match(
            list->model()->index(0, 0), Qt::DisplayRole, "KAV00123", 1, Qt::MatchContains);
        QCOMPARE(found.size(), 1);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < found.first().row(); ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentIndex().row(), found.first().row());
        const QList<bool> &selected = program->core().compose.idListWindow().selected;

        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(selected.count(true), 1);
        QVERIFY(selected.value(found.first().row()));
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(list->currentIndex().row(), found.first().row());
        // A second Space clears it.
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(selected.count(true), 0);
        QCOMPARE(list->selectionModel()->selectedRows().size(), 0);

        QTest::keyClick(list, Qt::Key_Space);
        editor->willWrite(QStringLiteral("一人だけへの手紙です。\r\n"));
        const QByteArray before = test::readFile(demo->path("UP/KABURA.up"));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(editor->runs(), 1);
        const QString added = cp932::decode(test::readFile(demo->path("UP/KABURA.up")).mid(before.size()));
        QVERIFY2(added.startsWith(QStringLiteral("mw\r\n KAV00123\r\n\r\n")), qPrintable(added));
        QVERIFY2(!added.contains(QStringLiteral("KAV00456")), qPrintable(added));
    }

    void menusAnswerToAsciiLetters()
    {
        // Every mnemonic of the menu bar is an ASCII letter.
        for (QAction *a : window->findChildren<QAction *>()) {
            const qsizetype amp = a->text().indexOf(u'&');
            if (amp >= 0)
                QVERIFY2(a->text().at(amp + 1).unicode() < 0x80, qPrintable(a->text()));
        }
        // Alt+O, then D: the directory settings.
        QTest::keyClick(window, Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_D);
        QTRY_VERIFY(program->defineOpWindow().isVisible());
        QTest::keyClick(program->defineOpWindow().findChild<QLineEdit *>("LOG_Dir"), Qt::Key_Escape);
        QVERIFY(!program->defineOpWindow().isVisible());

        // Alt+H, then K: the key list, the other keys of the title list after the classic lines.
        QTRY_VERIFY(window->isActiveWindow());
        QTest::keyClick(window, Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_K);
        QTRY_VERIFY(!messages->texts().isEmpty() && messages->texts().last().startsWith("キー操作一覧"));
        const QStringList lines = messages->texts().last().split("\r\n");
        QCOMPARE(lines.at(9), QStringLiteral("[SPACE] or → or Roll(Page)Down 次アーテクル又は次行に移動"));
        for (const char *key : { "Shift+↓", "Ctrl+S", "Ctrl+F", "L.", "Ctrl+Z", "Ctrl+Y", "Esc" })
            QVERIFY2(lines.mid(10).join('\n').contains(QString::fromUtf8(key)), key);
    }

    void returnConfirmsEscCancels()
    {
        // 文字列＆日時検索: Return in the string field.
        window->action("Search_Log")->trigger();
        ui::SearchWindow &search = program->searchWindow();
        QVERIFY(search.isVisible());
        auto *text = search.findChild<QLineEdit *>("Search_Text");
        text->setFocus();
        QTest::keyClicks(text, "PC");
        QVERIFY(search.findChild<QCheckBox *>("String_Check")->isChecked());
        QTest::keyClick(text, Qt::Key_Return);
        QVERIFY(!search.isVisible());
        QCOMPARE(program->session().search.StringSearchOn, true);
        QCOMPARE(program->session().search.SearchText, QStringLiteral("PC"));

        // ディレクトリ設定: Return in a field saves, Esc does not.
        window->action("Define")->trigger();
        ui::DefineOpWindow &dirs = program->defineOpWindow();
        auto *upDir = dirs.findChild<QLineEdit *>("Up_Dir");
        upDir->setFocus();
        QTest::keyClick(upDir, Qt::Key_End);
        QTest::keyClicks(upDir, "2");
        QTest::keyClick(upDir, Qt::Key_Escape);
        QVERIFY(!dirs.isVisible());
        QCOMPARE(program->session().Dir[settings::DirRecord::Up_Dir], QStringLiteral("UP"));
        window->action("Define")->trigger();
        upDir->setFocus();
        QTest::keyClick(upDir, Qt::Key_End);
        QTest::keyClicks(upDir, "2");
        QTest::keyClick(upDir, Qt::Key_Return);
        QCOMPARE(messages->texts().last(), QStringLiteral("この設定は次回起動時より有効です。"));
        QVERIFY(!dirs.isVisible());
        QCOMPARE(program->session().Dir[settings::DirRecord::Up_Dir], QStringLiteral("UP2"));

        // A button with the focus takes Return itself: Cancel cancels.
        window->action("Define")->trigger();
        auto *cancel = dirs.findChild<QPushButton *>("cancelButton");
        cancel->setFocus();
        const int shown = int(messages->shown.size());
        QTest::keyClick(cancel, Qt::Key_Return);
        QVERIFY(!dirs.isVisible());
        QCOMPARE(messages->shown.size(), shown);
    }

    void tabTicksNothing()
    {
        window->action("Search_Log")->trigger();
        ui::SearchWindow &search = program->searchWindow();
        auto *text = search.findChild<QLineEdit *>("Search_Text");
        auto *dateCheck = search.findChild<QCheckBox *>("DateTime_Check");
        QTRY_VERIFY(search.isActiveWindow());
        text->setFocus();
        QTest::keyClicks(text, "PC");
        // Tab through the date and time fields on to ＯＫ.
        auto *ok = search.findChild<QPushButton *>("Search_Start");
        for (int i = 0; i < 30 && QApplication::focusWidget() != ok; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ok);
        QVERIFY(!dateCheck->isChecked());
        QVERIFY(!program->searchDialog().DateTime_Check);
        QTest::keyClick(ok, Qt::Key_Return);
        QVERIFY(!search.isVisible());
        QCOMPARE(program->session().search.DateSearchOn, false);
        QCOMPARE(program->session().search.StringSearchOn, true);

        // A changed value does tick it.
        window->action("Search_Log")->trigger();
        auto *minutes = search.findChild<QLineEdit *>("Minutes1");
        minutes->setFocus();
        QTest::keyClick(minutes, Qt::Key_Right);
        QVERIFY(!dateCheck->isChecked());
        QTest::keyClick(minutes, Qt::Key_Backspace);
        QVERIFY(dateCheck->isChecked());
        QTest::keyClick(minutes, Qt::Key_Escape);
        QVERIFY(!search.isVisible());
    }

    void counterFollowsTheSelection()
    {
        auto *counter = window->findChild<QLabel *>("ArticleCount");
        QComboBox *boards = window->boardList();
        boards->setFocus();
        QTest::keyClick(boards, Qt::Key_Down); // any key sends the focus to Title
        QTRY_VERIFY(window->titleView()->hasFocus());
        const int pc = boards->findText(QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        while (program->session().main.Board_List.ListIndex < pc)
            QTest::keyClick(window->titleView(), Qt::Key_Down);
        QCOMPARE(counter->text(), QStringLiteral("1/5"));
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(window->titleView(), Qt::Key_Down);
        // The mark row of the waiting write.
        QCOMPARE(program->session().main.Title.selectedText(), QStringLiteral("[書込 1]"));
        QCOMPARE(counter->text(), QStringLiteral("5/5"));
        QTest::keyClick(window->titleView(), Qt::Key_Up);
        QCOMPARE(counter->text(), QStringLiteral("4/5"));

        // A dialog opened and closed with the keys leaves it as it was.
        QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_S);
        QTRY_VERIFY(program->searchWindow().isActiveWindow());
        QTest::keyClick(program->searchWindow().findChild<QLineEdit *>("Search_Text"), Qt::Key_Escape);
        QTRY_VERIFY(window->isActiveWindow());
        QTRY_VERIFY(program->session().main.titleHasFocus);
        QCOMPARE(counter->text(), QStringLiteral("4/5"));
        // So does a key in the board list, which hands the focus back to Title.
        boards->setFocus();
        QTest::keyClick(boards, Qt::Key_Right);
        QTRY_VERIFY(window->titleView()->hasFocus());
        QCOMPARE(counter->text(), QStringLiteral("4/5"));

        // So does a run of the editor.
        program->session().Dir[settings::DirRecord::Editor_Path] = editor->path();
        QTest::keyClick(window->titleView(), Qt::Key_W);
        QCOMPARE(editor->runs(), 1);
        QTRY_VERIFY(program->session().main.titleHasFocus);
        QCOMPARE(counter->text(), QStringLiteral("%1/5").arg(program->session().main.Title.ListIndex + 1));
        QVERIFY(program->session().main.Title.ListIndex >= 0);
    }

    void readingKeptOverAMergeAndANetSwitch()
    {
        const QString ptrFile = demo->path("LOGPTR.dat");
        QCOMPARE(pointerRecord(ptrFile, 1), std::make_pair(QByteArray("LOG/KAB0606.LOG"), 0));
        // KAB0606 read to its end.
        for (int i = 0; i < 60; ++i)
            QTest::keyClick(window->titleView(), Qt::Key_Down);
        QCOMPARE(program->session().main.Article.items.value(0), QStringLiteral("最終アーティクルです。"));
        const qint64 read = program->session().unread.ReadPointer;
        QVERIFY(read > 0);

        // KAB0605 + KAB0606 in multi-select mode.
        QTest::mouseClick(window->toolButton(1), Qt::LeftButton);
        ui::NetSelectWindow &netSelect = program->netSelectWindow();
        QVERIFY(netSelect.isVisible());
        auto *nets = netSelect.findChild<QListWidget *>("Select_menu");
        messages->answers = { MsgAnswer::Cancel }; // keep the waiting up file
        test::doubleClick(nets, nets->visualItemRect(nets->item(0)).center());
        test::clickCheckBox(netSelect.findChild<QCheckBox *>("multi_check"));
        auto *logs2 = netSelect.findChild<QListWidget *>("Log_List_File2");
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(
                logs2->viewport(), Qt::LeftButton, {}, logs2->visualItemRect(logs2->item(i)).center());
        QTest::mouseClick(netSelect.findChild<QPushButton *>("LogRead"), Qt::LeftButton);
        QCOMPARE(window->windowTitle(), QStringLiteral("Kavrel[LOG/Temp.log]"));

        // Then みなとネット.
        QTest::mouseClick(window->toolButton(1), Qt::LeftButton);
        test::clickCheckBox(netSelect.findChild<QCheckBox *>("multi_check"));
        test::doubleClick(nets, nets->visualItemRect(nets->item(1)).center());
        QCOMPARE(pointerRecord(ptrFile, 1), std::make_pair(QByteArray("LOG/KAB0606.LOG"), qint32(read)));
        auto *logs = netSelect.findChild<QListWidget *>("Log_List_File");
        test::doubleClick(logs, logs->visualItemRect(logs->item(0)).center());
        QCOMPARE(window->windowTitle(), QStringLiteral("Kavrel[LOG/mnt1206.log]"));
        window->close();
        QCOMPARE(pointerRecord(ptrFile, 1), std::make_pair(QByteArray("LOG/KAB0606.LOG"), qint32(read)));
    }

    void optionDialogByKeys()
    {
        QTest::keyClick(window, Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_F);
        ui::DefineDataWindow &options = program->defineDataWindow();
        QTRY_VERIFY(options.isActiveWindow());

        // The caption of Shift_Check on two lines, without its run of blanks.
        auto *shift = options.findChild<QCheckBox *>("Shift_Check");
        QCOMPARE(shift->text(), QStringLiteral("Space　Or　→　Or　RollDownで\n次アーティクルへの移動許可"));
        QVERIFY(
            shift->sizeHint().height() > options.findChild<QCheckBox *>("Mono_Check")->sizeHint().height());

        // 白黒反転する ticked with Space, saved with Return.
        auto *mono = options.findChild<QCheckBox *>("Mono_Check");
        mono->setFocus();
        QTest::keyClick(mono, Qt::Key_Space);
        QVERIFY(mono->isChecked());
        QTest::keyClick(mono, Qt::Key_Return);
        QVERIFY(!options.isVisible());
        QCOMPARE(test::readFile(demo->path("SET.def")).mid(6, 1), QByteArray("1"));
        QTRY_VERIFY(window->isActiveWindow());

        // The board list is inverted like the other lists: light text on a dark face.
        QComboBox *boards = window->boardList();
        const QPalette p = boards->palette();
        QCOMPARE(p.color(QPalette::Button), window->titleView()->palette().color(QPalette::Base));
        QCOMPARE(p.color(QPalette::ButtonText), window->titleView()->palette().color(QPalette::Text));
        QVERIFY(
            qAbs(p.color(QPalette::Button).lightness() - p.color(QPalette::ButtonText).lightness()) > 128);
        const QImage face = boards->grab().toImage();

        int dark = 0;
        for (int y = 0; y < face.height(); ++y)
            for (int x = 0; x < face.width(); ++x)
                dark += QColor(face.pixel(x, y)).lightness() < 64;
        QVERIFY2(dark > face.width() * face.height() / 2, "the face of the board list is dark");
    }

    void pickerOpensOnTheCurrentDirectory()
    {
        // The program started in a directory deep enough that the tree must
        // scroll to show it.
        QString deep = demo->path("work");
        for (int i = 0; i < 12; ++i)
            deep += QStringLiteral("/level%1").arg(i);
        QVERIFY(QDir().mkpath(deep));
        program.reset();
        QDir::setCurrent(deep);
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        window = &program->mainWindow();
        QTRY_VERIFY(window->isActiveWindow());
        window->action("Define")->trigger();
        ui::DefineOpWindow &dirs = program->defineOpWindow();
        QTRY_VERIFY(dirs.isActiveWindow());
        auto *browse = dirs.findChild<QPushButton *>("browseLogDir");
        browse->setFocus();
        QTest::keyClick(browse, Qt::Key_Space);
        ui::DirSelectWindow &picker = program->dirSelectWindow();
        QVERIFY(picker.isVisible());
        QCOMPARE(program->dirSelect().Select_Dir_Path, deep);
        QTreeView *tree = picker.directoryView();
        auto *model = qobject_cast<QFileSystemModel *>(tree->model());
        QTRY_COMPARE(model->filePath(tree->currentIndex()), deep);
        // In view, its name from its start.
        QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()).topLeft()));
        QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()).bottomLeft()));
        QTest::keyClick(tree, Qt::Key_Escape);
        QVERIFY(!picker.isVisible());
    }

private:
    std::unique_ptr<test::DemoDir> demo;
    std::unique_ptr<test::EditorScript> editor;
    std::unique_ptr<test::ScriptedMessages> messages;
    std::unique_ptr<ui::ProgramWindows> program;
    ui::MainWindow *window = nullptr;
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
