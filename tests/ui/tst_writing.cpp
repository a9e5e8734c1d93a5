// Writing through the windows with a real editor (a script that saves a
// prepared text): a response, a mail to three recipients chosen in the ID
// list window, a move-response target set in its window and then used.

#include "DemoDir.h"
#include "EditorScript.h"
#include "IdListWindowView.h"
#include "IdoWindow.h"
#include "MainWindow.h"
#include "NetSelectWindow.h"
#include "ProgramWindows.h"
#include "TestSupport.h"
#include "TitleListModel.h"
#include "TitleView.h"
#include "UpPreviewWindow.h"

#include "base/Cp932.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace kavrel;

class TestWriting : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        demo = std::make_unique<test::DemoDir>();
        editor = std::make_unique<test::EditorScript>();
        messages = std::make_unique<test::ScriptedMessages>();
        // IDs collected from earlier logs of the net.
        test::writeFile(demo->path("BL/KABURA.id"),
            test::sjis(QStringLiteral("  100:田中一郎\r\n  200:高橋二郎\r\n 4321:伊藤三郎\r\n")));
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        program->session().Dir[settings::DirRecord::Editor_Path] = editor->path();
        window = &program->mainWindow();
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        QVERIFY(window->isVisible());
    }
    void cleanup()
    {
        program.reset();
        editor.reset();
        demo.reset();
    }

    void responseWithTheEditor()
    {
        chooseBoard(QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        clickTitle(0);
        const QByteArray before = upFile();
        editor->willWrite(QStringLiteral("> おすすめはありますか？\r\n私はエディタで書いています。\r\n"));
        QTest::keyClick(window->titleView(), Qt::Key_P);

        QCOMPARE(editor->runs(), 1);
        // The editor got the article quoted.
        QVERIFY(cp932::decode(editor->lastStartingBytes())
                    .contains(QStringLiteral(">ログを読むためのソフトを探しています。")));
        const QByteArray after = upFile();
        QVERIFY(after.startsWith(before));
        const QString added = cp932::decode(after.mid(before.size()));
        QVERIFY2(added.contains(QStringLiteral("私はエディタで書いています。")), qPrintable(added));
        QVERIFY2(added.contains(QStringLiteral("1201")), qPrintable(added));
        // The title list shows the waiting response, and the window is back.
        QVERIFY(window->isVisible());
        QVERIFY(titleColumn(ui::TitleListModel::NumberColumn).join(' ').contains(QStringLiteral("[レス")));
        QVERIFY(!QFile::exists(demo->path("TEMP.TXT")) || editor->runs() == 1);
    }

    void mailToThreeRecipients()
    {
        QTest::mouseClick(window->toolButton(2), Qt::LeftButton); // メール書込
        ui::IdListWindowView &ids = program->idListWindow();
        QVERIFY(ids.isVisible());
        QCOMPARE(ids.windowTitle(), QStringLiteral("宛先ＩＤ選択"));
        QVERIFY(!window->isEnabled());
        QListView *list = ids.list();
        QVERIFY(list->model()->rowCount() >= 3);

        // OK with nothing chosen.
        QTest::mouseClick(ids.findChild<QPushButton *>("OK"), Qt::LeftButton);
        QCOMPARE(messages->texts().last(), QStringLiteral("宛先ＩＤが選択されていません"));
        QVERIFY(ids.isVisible());

        // The IDs kept from earlier logs come first, their ":" in column 6.
        QCOMPARE(list->model()->index(2, 0).data().toString(), QStringLiteral(" 4321:伊藤三郎"));
        for (int row = 0; row < 3; ++row) {
            const QModelIndex index = list->model()->index(row, 0);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        }
        QCOMPARE(program->core().compose.idListWindow().selected.count(true), 3);

        // While the editor runs, the main window is hidden and the recipient window stays up.
        editor->setPause(true);
        editor->willWrite(QStringLiteral("三人へのお知らせです。\r\n"));
        bool mainHidden = false, idsShown = false;
        QTimer::singleShot(100, this, [&] {
            mainHidden = !window->isVisible();
            idsShown = ids.isVisible();
            // A second OK during the wait is not taken.
            QTest::mouseClick(ids.findChild<QPushButton *>("OK"), Qt::LeftButton);
        });
        const QByteArray before = upFile();
        QTest::mouseClick(ids.findChild<QPushButton *>("OK"), Qt::LeftButton);
        QVERIFY(mainHidden);
        QVERIFY(idsShown);
        QCOMPARE(editor->runs(), 1);
        QVERIFY(!ids.isVisible());
        QVERIFY(window->isVisible());
        QVERIFY(window->isEnabled());

        const QString added = cp932::decode(upFile().mid(before.size()));
        QVERIFY2(added.contains(QStringLiteral("三人へのお知らせです。")), qPrintable(added));
        // Recipients are written as numbers, one after another.
        QVERIFY2(added.startsWith(QStringLiteral("mw\r\n 100\r\n")), qPrintable(added));
        const qsizetype p100 = added.indexOf(QStringLiteral(" 100\r\n"));
        const qsizetype p200 = added.indexOf(QStringLiteral(" 200\r\n"));
        const qsizetype p4321 = added.indexOf(QStringLiteral(" 4321\r\n"));
        QVERIFY2(p100 >= 0 && p100 < p200 && p200 < p4321, qPrintable(added));
    }

    // After writing, the title list comes back to the row the user was on;
    // after a mail the article view starts empty.
    void theListComesBackToTheRow_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("articleShown");
        QTest::newRow("W") << int(Qt::Key_W) << true;
        QTest::newRow("P") << int(Qt::Key_P) << true;
        QTest::newRow("M") << int(Qt::Key_M) << false;
    }
    void theListComesBackToTheRow()
    {
        QFETCH(int, key);
        QFETCH(bool, articleShown);
        chooseBoard(QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        clickTitle(2);
        editor->willWrite(QStringLiteral("本文です。\r\n"));
        QTest::keyClick(window->titleView(), Qt::Key(key));
        if (key == Qt::Key_M) {
            QListView *list = program->idListWindow().list();
            QVERIFY(list->isVisible());
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Home);
            QTest::keyClick(list, Qt::Key_Space);
            QTest::keyClick(list, Qt::Key_Return);
        }
        QCOMPARE(editor->runs(), 1);
        QTRY_VERIFY(window->isEnabled());
        QCOMPARE(program->session().main.Title.ListIndex, 2);
        QCOMPARE(window->titleView()->selectionModel()->selectedRows().value(0).row(), 2);
        QCOMPARE(window->findChild<QLabel *>("ArticleCount")->text(),
            QStringLiteral("3/%1").arg(window->titleView()->model()->rowCount()));
        QCOMPARE(window->articleView()->model()->rowCount() > 0, articleShown);
    }

    void moveTargetSetThenUsed()
    {
        window->action("Ido_Set")->trigger();
        ui::IdoWindow &ido = program->idoWindow();
        QVERIFY(ido.isVisible());
        QCOMPARE(ido.windowTitle(), QStringLiteral("移動レス設定"));
        auto *source = ido.findChild<QComboBox *>("ido_board_list");
        auto *target = ido.findChild<QComboBox *>("ido_board_list2");
        // The mail box cannot be a source.
        QVERIFY(source->findText(QStringLiteral("No.0 ｢メールボックス｣")) < 0);
        const int pc = source->findText(QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        source->setCurrentIndex(pc);
        emit source->activated(pc);
        QCOMPARE(ido.findChild<QLineEdit *>("IDO_TEXT")->text(), QStringLiteral("なし"));
        const int hobby = target->findText(QStringLiteral("No.12 ｢趣味の部屋｣"));
        target->setCurrentIndex(hobby);
        emit target->activated(hobby);
        QTest::mouseClick(ido.findChild<QPushButton *>("IDO_OK"), Qt::LeftButton);
        QVERIFY(!ido.isVisible());
        QVERIFY(window->isEnabled());

        const QByteArray table = test::readFile(demo->path("BL/KABURA.IDO"));
        QCOMPARE(table.size(), 1503);
        QCOMPARE(table.mid(3 * 3, 3), QByteArray("12 "));

        // Board 3 shows its target; a response there becomes a write on board 12.
        chooseBoard(QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        QCOMPARE(window->findChild<QLabel *>("To_No")->text(), QStringLiteral("12"));
        clickTitle(3);
        editor->willWrite(QStringLiteral("趣味のボードで続けます。\r\n"));

        const QByteArray before = upFile();
        QTest::keyClick(window->titleView(), Qt::Key_P);
        QCOMPARE(editor->runs(), 1);
        const QString added = cp932::decode(upFile().mid(before.size()));
        QVERIFY2(added.contains(QStringLiteral("趣味のボードで続けます。")), qPrintable(added));
        QVERIFY2(added.contains(QStringLiteral("\\ 12")), qPrintable(added));

        // The mail box shows no target and its label is disabled.
        chooseBoard(QStringLiteral("No.0 ｢メールボックス｣"));
        QCOMPARE(window->findChild<QLabel *>("To_No")->text(), QStringLiteral("なし"));
        QVERIFY(!window->findChild<QLabel *>("To_No")->isEnabled());
    }

    void moveTargetTypedWithDown()
    {
        window->action("Ido_Set")->trigger();
        ui::IdoWindow &ido = program->idoWindow();
        auto *source = ido.findChild<QComboBox *>("ido_board_list");
        auto *text = ido.findChild<QLineEdit *>("IDO_TEXT");
        const int pc = source->findText(QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        source->setCurrentIndex(pc);
        emit source->activated(pc);
        QCOMPARE(text->text(), QStringLiteral("なし"));
        // Typing replaces "なし"; Down keeps a listed board and moves to the next source.
        QTest::keyClicks(text, "12");
        QCOMPARE(text->text(), QStringLiteral("12"));
        QTest::keyClick(text, Qt::Key_Down);
        QCOMPARE(program->session().moves.MoveTable.value(3).trimmed(), QStringLiteral("12"));
        QCOMPARE(source->currentIndex(), pc + 1);
        // Esc closes without saving the table.
        QTest::keyClick(text, Qt::Key_Escape);
        QVERIFY(!ido.isVisible());
        QVERIFY(!QFile::exists(demo->path("BL/KABURA.IDO")));
    }

    void temporaryMoveResponse()
    {
        chooseBoard(QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        clickTitle(1);
        QTest::keyClick(window->titleView(), Qt::Key_G);
        ui::IdoWindow &ido = program->idoWindow();
        QVERIFY(ido.isVisible());
        auto *source = ido.findChild<QComboBox *>("ido_board_list");
        auto *target = ido.findChild<QComboBox *>("ido_board_list2");
        QVERIFY(!source->isEnabled());
        QCOMPARE(source->count(), 1);
        QCOMPARE(target->currentText(), QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        const int hobby = target->findText(QStringLiteral("No.12 ｢趣味の部屋｣"));
        target->setCurrentIndex(hobby);
        emit target->activated(hobby);

        // Enter in the target list accepts; the title list gets the focus back
        // and the response is written on board 12, once.
        editor->willWrite(QStringLiteral("一度だけ移動して返信します。\r\n"));
        const QByteArray before = upFile();
        QTest::keyClick(target, Qt::Key_Return);
        QVERIFY(!ido.isVisible());
        QTRY_COMPARE(editor->runs(), 1);
        const QString added = cp932::decode(upFile().mid(before.size()));
        QVERIFY2(added.contains(QStringLiteral("\\ 12")), qPrintable(added));
        QVERIFY2(added.contains(QStringLiteral("一度だけ移動して返信します。")), qPrintable(added));
        // The move table itself is unchanged: no target for board 3.
        QVERIFY(!QFile::exists(demo->path("BL/KABURA.IDO")));
        QCOMPARE(window->findChild<QLabel *>("To_No")->text(), QStringLiteral("なし"));
    }

    void idListFromTheMenuIsAViewer()
    {
        window->action("ID_LIST")->trigger();
        ui::IdListWindowView &ids = program->idListWindow();
        QVERIFY(ids.isVisible());
        QCOMPARE(ids.windowTitle(), QStringLiteral("ＩＤ List"));
        QTest::keyClick(ids.list(), Qt::Key_Return);
        QVERIFY(!ids.isVisible());
        QCOMPARE(editor->runs(), 0);
        QVERIFY(window->isEnabled());
    }

    void previewShowsWhatWillBeSent()
    {
        // 送信予定の確認 (Ctrl+U): the demo's waiting write, a response to an
        // article of no log, and one to an article of the log.
        const QByteArray demoWrite = test::readFile(demo->path("UP/KABURA.up"));
        const QString unknown = QStringLiteral("\\ 3\r\n9999\r\nPRe:テスト\r\n本文\r\n.\r\nyQ");
        const QString known = QStringLiteral("\\ 3\r\n1202\r\nPRe:了解\r\nはい\r\n.\r\nyQ");
        program->session().upFile.append(unknown + known);
        QAction *open = window->action(QStringLiteral("Up_Preview"));
        QCOMPARE(open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
        open->trigger();
        auto *preview = window->findChild<ui::UpPreviewWindow *>(QStringLiteral("Up_Preview"));
        QVERIFY(preview && preview->isVisible());
        QTableWidget *rows = preview->rows();
        QCOMPARE(rows->rowCount(), 3);
        QCOMPARE(rows->item(0, 1)->text(), QStringLiteral("書込"));
        QCOMPARE(rows->item(0, 2)->text(), QStringLiteral("3 パソコン通信の話題"));
        QCOMPARE(rows->item(0, 5)->text(), QString::number(demoWrite.size()));
        QCOMPARE(rows->item(0, 7)->text(), QString());
        QCOMPARE(rows->item(1, 3)->text(), QStringLiteral("9999"));
        QCOMPARE(rows->item(1, 6)->text(), QStringLiteral("本文"));
        QCOMPARE(rows->item(1, 7)->text(), QStringLiteral("記事がログにありません"));
        // The chosen row's whole text, each line end shown.
        QVERIFY2(preview->text()->toPlainText().startsWith(QStringLiteral("\\ 3↵\nWはじめまして↵\n")),
            qPrintable(preview->text()->toPlainText()));
        rows->selectRow(1);
        QCOMPARE(preview->text()->toPlainText(), QStringLiteral("\\ 3↵\n9999↵\nPRe:テスト↵\n本文↵\n.↵\nyQ"));

        // D answered with Cancel keeps the command, and its text stays shown.
        rows->selectRow(0);
        messages->answers = { MsgAnswer::Cancel };
        QTest::keyClick(rows, Qt::Key_D);
        QCOMPARE(rows->rowCount(), 3);
        QVERIFY(preview->text()->toPlainText().startsWith(QStringLiteral("\\ 3↵\nWはじめまして↵\n")));

        // D deletes the chosen command as in the title list, after asking.
        messages->answers = { MsgAnswer::Ok };
        QTest::keyClick(rows, Qt::Key_D);
        QCOMPARE(messages->texts().last(), QStringLiteral("書き込みを削除しますか？"));
        QCOMPARE(rows->rowCount(), 2);
        QCOMPARE(rows->item(0, 3)->text(), QStringLiteral("9999"));
        QCOMPARE(test::readFile(demo->path("UP/KABURA.up")), test::sjis(unknown + known));
        QCOMPARE(markRows(), QStringList { QStringLiteral("[レス 2]") });

        // The response to an article of no log has no row in the title list:
        // E opens the editor on its text, which replaces it with the same
        // reference at the end; the title list numbers its responses anew.
        const qsizetype said = messages->texts().size();
        editor->willWrite(QStringLiteral("Re:テスト\r\n直した本文\r\n"));
        QTest::keyClick(rows, Qt::Key_E);
        QTRY_COMPARE(editor->runs(), 1);
        QCOMPARE(editor->lastStartingBytes(), test::sjis(QStringLiteral("Re:テスト\r\n本文")));
        QCOMPARE(messages->texts().size(), said);
        const QString rewritten = QStringLiteral("\\ 3\r\n9999\r\nPRe:テスト\r\n直した本文\r\n\r\n.\r\nyQ");
        QCOMPARE(test::readFile(demo->path("UP/KABURA.up")), test::sjis(known + rewritten));
        QCOMPARE(rows->rowCount(), 2);
        QCOMPARE(rows->item(1, 6)->text(), QStringLiteral("直した本文↵ "));
        QCOMPARE(markRows(), QStringList { QStringLiteral("[レス 1]") });

        // D deletes a command without a row too; then the last one goes.
        rows->selectRow(1);
        messages->answers = { MsgAnswer::Ok };
        QTest::keyClick(rows, Qt::Key_D);
        QCOMPARE(messages->texts().last(), QStringLiteral("書き込みを削除しますか？"));
        QCOMPARE(test::readFile(demo->path("UP/KABURA.up")), test::sjis(known));
        messages->answers = { MsgAnswer::Ok };
        QTest::keyClick(rows, Qt::Key_D);
        QCOMPARE(rows->rowCount(), 0);
        QCOMPARE(test::readFile(demo->path("UP/KABURA.up")), QByteArray());
        QCOMPARE(markRows(), QStringList());

        // Ctrl+Z brings the last one back here too, and Ctrl+Y takes it away again.
        QTest::keyClick(rows, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(test::readFile(demo->path("UP/KABURA.up")), test::sjis(known));
        QCOMPARE(rows->rowCount(), 1);
        QVERIFY(!preview->text()->toPlainText().isEmpty());
        QTest::keyClick(rows, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(test::readFile(demo->path("UP/KABURA.up")), QByteArray());
        QCOMPARE(rows->rowCount(), 0);
    }

private:
    // The rows of the title list that stand for waiting commands.
    QStringList markRows() const
    {
        QStringList marks;
        const auto &title = program->session().main.Title;
        for (int row = 0; row < title.ListCount(); ++row) {
            if (title.item(row).startsWith(QStringLiteral("[レス "))
                || title.item(row).startsWith(QStringLiteral("[書込 ")))
                marks << title.item(row).left(title.item(row).indexOf(u']') + 1);
        }
        return marks;
    }
    void chooseBoard(const QString &item)
    {
        QComboBox *boards = window->boardList();
        const int index = boards->findText(item);
        QVERIFY(index >= 0);
        boards->setCurrentIndex(index);
        emit boards->activated(index);
    }
    void clickTitle(int row)
    {
        ui::TitleView *view = window->titleView();
        const QModelIndex index = view->model()->index(row, ui::TitleListModel::NumberColumn);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        QCOMPARE(program->session().main.Title.ListIndex, row);
    }
    QStringList titleColumn(int column) const
    {
        QStringList out;
        QAbstractItemModel *model = window->titleView()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, column).data().toString();
        return out;
    }
    QByteArray upFile() const { return test::readFile(demo->path("UP/KABURA.up")); }

    std::unique_ptr<test::DemoDir> demo;
    std::unique_ptr<test::EditorScript> editor;
    std::unique_ptr<test::ScriptedMessages> messages;
    std::unique_ptr<ui::ProgramWindows> program;
    ui::MainWindow *window = nullptr;
};

QTEST_MAIN(TestWriting)
#include "tst_writing.moc"
