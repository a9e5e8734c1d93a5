// The net selection screen, the net definition editor, the directory
// settings with the picker and the option flags, driven as a user would on a
// copy of the demo.

#include "DefineDataWindow.h"
#include "DefineOpWindow.h"
#include "DemoDir.h"
#include "DirSelectWindow.h"
#include "IdListWindowView.h"
#include "IdoWindow.h"
#include "MainWindow.h"
#include "NetSelectWindow.h"
#include "ProgramWindows.h"
#include "SearchWindow.h"
#include "SetNetDataWindow.h"
#include "TestSupport.h"
#include "TitleView.h"

#include "base/Cp932.h"

#include <QAction>
#include <QCheckBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

using namespace kavrel;

class TestSettingsWindows : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        demo = std::make_unique<test::DemoDir>();
        QVERIFY(demo->isValid());
        messages = std::make_unique<test::ScriptedMessages>();
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
    }
    void cleanup()
    {
        program.reset();
        demo.reset();
    }

    void netSelectionOpensAtStartAndChoosesANet()
    {
        // NetSelectAtStart is set in the demo: the first activation opens the screen.
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        QVERIFY(!program->mainWindow().isEnabled());
        auto *nets = program->netSelectWindow().findChild<QListWidget *>("Select_menu");
        QCOMPARE(nets->count(), 2);
        QCOMPARE(nets->item(0)->text(), QStringLiteral("かぶらネット"));
        QCOMPARE(nets->currentRow(), 0);

        // The net has a waiting up file: Cancel keeps it.
        messages->answers = { MsgAnswer::Cancel };
        test::doubleClick(nets, nets->visualItemRect(nets->item(0)).center());
        QCOMPARE(messages->texts(), QStringList { "アップファイルが存在します！削除しますか？" });
        QCOMPARE(messages->shown.first().icon, MsgIcon::Critical);
        QVERIFY(program->session().upFile.text().startsWith(QStringLiteral("\\ 3\r\nWはじめまして")));
        auto *logs = program->netSelectWindow().findChild<QListWidget *>("Log_List_File");
        QCOMPARE(logs->count(), 2);
        QCOMPARE(logs->item(0)->text(), QStringLiteral("KAB0605.LOG"));
        QCOMPARE(logs->currentRow(), 1); // the newest, last
        QVERIFY(QFile::exists(demo->path("UP/KABURA.up")));

        // Multi-select mode shows the other list.
        auto *logs2 = program->netSelectWindow().findChild<QListWidget *>("Log_List_File2");
        QVERIFY(logs->isVisibleTo(&program->netSelectWindow()));
        QVERIFY(!logs2->isVisibleTo(&program->netSelectWindow()));
        test::clickCheckBox(program->netSelectWindow().findChild<QCheckBox *>("multi_check"));
        QVERIFY(!logs->isVisibleTo(&program->netSelectWindow()));
        QVERIFY(logs2->isVisibleTo(&program->netSelectWindow()));
        QCOMPARE(logs2->count(), 2);

        // Esc closes the screen; the main window is usable again.
        QTest::keyClick(logs2, Qt::Key_Escape);
        QVERIFY(!program->netSelectWindow().isVisible());
        QVERIFY(program->mainWindow().isEnabled());
        // The toolbar button opens it again.
        QTest::mouseClick(program->mainWindow().toolButton(1), Qt::LeftButton);
        QVERIFY(program->netSelectWindow().isVisible());
    }

    void editAndStoreANet()
    {
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        auto *nets = program->netSelectWindow().findChild<QListWidget *>("Select_menu");
        nets->setCurrentRow(1);
        QTest::mouseClick(program->netSelectWindow().findChild<QPushButton *>("Change"), Qt::LeftButton);
        ui::SetNetDataWindow &editor = program->setNetDataWindow();
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.windowTitle(), QStringLiteral("NET DATA SET"));
        QVERIFY(!program->netSelectWindow().isEnabled());
        auto *name = editor.findChild<QLineEdit *>("Net_Name");
        QCOMPARE(name->text(), QStringLiteral("みなとネット"));
        QVERIFY(editor.findChild<QCheckBox *>("Sirial_Flg")->isChecked());
        QVERIFY(!editor.findChild<QLineEdit *>("Header")->isEnabled());
        QVERIFY(editor.findChild<QLineEdit *>("SirialHeader")->isEnabled());

        // Rename, switch the serial header off, store.
        name->selectAll();
        test::typeText(name, QStringLiteral("港ネット"));
        test::clickCheckBox(editor.findChild<QCheckBox *>("Sirial_Flg"));
        QVERIFY(editor.findChild<QLineEdit *>("Header")->isEnabled());
        auto *readEnd = editor.findChild<QLineEdit *>("Read_End");
        QCOMPARE(readEnd->text(), QStringLiteral("読み終わりました。"));
        QTest::mouseClick(editor.findChild<QPushButton *>("INPUT"), Qt::LeftButton);

        QVERIFY(!editor.isVisible());
        QVERIFY(program->netSelectWindow().isVisible());
        QVERIFY(program->netSelectWindow().isEnabled());
        QCOMPARE(nets->item(1)->text(), QStringLiteral("港ネット"));
        const QByteArray data = test::readFile(demo->path("DATA.DEF"));
        QCOMPARE(data.size(), 2 * 1280);
        QCOMPARE(data.mid(1280, 8), cp932::encode(QStringLiteral("港ネット")));
        QCOMPARE(data.mid(1280 + 880, 1), QByteArray("0"));
        QCOMPARE(data.left(1280),
            test::readFile(qEnvironmentVariable("KAVREL_SOURCE_DIR") + "/demo/DATA.DEF").left(1280));
    }

    void signaturePathFromThePicker()
    {
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        QTest::mouseClick(program->netSelectWindow().findChild<QPushButton *>("Change"), Qt::LeftButton);
        ui::SetNetDataWindow &editor = program->setNetDataWindow();
        QTest::mouseClick(editor.findChild<QPushButton *>("Select_Sign_Path"), Qt::LeftButton);
        ui::DirSelectWindow &picker = program->dirSelectWindow();
        QVERIFY(picker.isVisible());
        QVERIFY(picker.fileView()->isEnabled());
        program->forward([this] { program->dirSelect().chooseDirectory(demo->path("SIGN")); });
        auto *fileModel = qobject_cast<QFileSystemModel *>(picker.fileView()->model());
        QTRY_COMPARE(fileModel->rowCount(picker.fileView()->rootIndex()), 1);
        const QModelIndex file = fileModel->index(0, 0, picker.fileView()->rootIndex());
        QTest::mouseClick(
            picker.fileView()->viewport(), Qt::LeftButton, {}, picker.fileView()->visualRect(file).center());
        QTest::mouseClick(picker.findChild<QPushButton *>("OK_DIR"), Qt::LeftButton);
        QVERIFY(!picker.isVisible());
        QCOMPARE(editor.findChild<QLineEdit *>("Sign_Path")->text(), demo->path("SIGN/kabura.sig"));
        QVERIFY(program->dirSelect().purpose == dialogs::DirSelectState::Purpose::None);

        // The directory purposes leave the file list off; Esc leaves the field alone.
        QTest::keyClick(editor.findChild<QLineEdit *>("Net_Name"), Qt::Key_Escape);
        program->mainWindow().action("Define")->trigger();
        QTest::mouseClick(
            program->defineOpWindow().findChild<QPushButton *>("browseBoardListDir"), Qt::LeftButton);
        QVERIFY(picker.isVisible());
        QVERIFY(!picker.fileView()->isEnabled());
        QTest::keyClick(picker.directoryView(), Qt::Key_Escape);
        QVERIFY(!picker.isVisible());
        QCOMPARE(program->defineOpWindow().findChild<QLineEdit *>("BL_Dir")->text(), QStringLiteral("BL"));
    }

    void pickerTakesAFileChosenWithTheKeys()
    {
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        QTest::keyClick(&program->netSelectWindow(), Qt::Key_Escape);
        program->mainWindow().action("Define")->trigger();
        ui::DefineOpWindow &dialog = program->defineOpWindow();
        QTest::mouseClick(dialog.findChild<QPushButton *>("Select_Editor_Path"), Qt::LeftButton);
        ui::DirSelectWindow &picker = program->dirSelectWindow();
        program->forward([this] { program->dirSelect().chooseDirectory(demo->path("SIGN")); });
        auto *fileModel = qobject_cast<QFileSystemModel *>(picker.fileView()->model());
        QTRY_COMPARE(fileModel->rowCount(picker.fileView()->rootIndex()), 1);
        picker.fileView()->setFocus();
        QTest::keyClick(picker.fileView(), Qt::Key_Home);
        QCOMPARE(program->dirSelect().File_Select.selectedText(), QStringLiteral("kabura.sig"));
        QTest::mouseClick(picker.findChild<QPushButton *>("OK_DIR"), Qt::LeftButton);
        QVERIFY(!picker.isVisible());
        QCOMPARE(dialog.findChild<QLineEdit *>("Editor_Path")->text(), demo->path("SIGN/kabura.sig"));
    }

    void registeringAndLeavingTheEditorStoresNothing()
    {
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        const QByteArray before = test::readFile(demo->path("DATA.DEF"));
        QTest::mouseClick(program->netSelectWindow().findChild<QPushButton *>("Net_Set"), Qt::LeftButton);
        QCOMPARE(messages->texts(), QStringList { "新規登録するネット名を書き込んでください" });

        test::typeText(
            program->netSelectWindow().findChild<QLineEdit *>("Net_Name"), QStringLiteral("新ネット"));
        QTest::mouseClick(program->netSelectWindow().findChild<QPushButton *>("Net_Set"), Qt::LeftButton);
        ui::SetNetDataWindow &editor = program->setNetDataWindow();
        QVERIFY(editor.isVisible());
        QVERIFY(!program->netSelectWindow().isVisible());
        QCOMPARE(editor.findChild<QLineEdit *>("Net_Name")->text(), QStringLiteral("新ネット"));
        QCOMPARE(editor.findChild<QLineEdit *>("Up_File_Name")->text(), QStringLiteral("DAV.up"));
        QCOMPARE(
            editor.findChild<QLineEdit *>("Main_Prompt")->text(), QStringLiteral("Main Command(?:Help)>"));

        QTest::keyClick(editor.findChild<QLineEdit *>("Log_File_Name"), Qt::Key_Escape);
        QVERIFY(!editor.isVisible());
        QVERIFY(program->netSelectWindow().isVisible());
        QCOMPARE(program->netSelectWindow().findChild<QListWidget *>("Select_menu")->count(), 2);
        QCOMPARE(test::readFile(demo->path("DATA.DEF")), before);
    }

    void directoriesWithThePicker()
    {
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        QTest::keyClick(&program->netSelectWindow(), Qt::Key_Escape);
        program->mainWindow().action("Define")->trigger();
        ui::DefineOpWindow &dialog = program->defineOpWindow();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("設定"));
        auto *logDir = dialog.findChild<QLineEdit *>("LOG_Dir");
        QCOMPARE(logDir->text(), QStringLiteral("LOG"));
        // The demo names no editor: the built-in one writes its texts.
        QCOMPARE(dialog.findChild<QLineEdit *>("Editor_Path")->text(), QString());

        // A directory typed with a trailing slash.
        logDir->selectAll();
        QTest::keyClicks(logDir, demo->path("LOG") + "/");

        // The editor path from the picker: a file must be chosen.
        QTest::mouseClick(dialog.findChild<QPushButton *>("Select_Editor_Path"), Qt::LeftButton);
        ui::DirSelectWindow &picker = program->dirSelectWindow();
        QVERIFY(picker.isVisible());
        QCOMPARE(picker.windowTitle(), QStringLiteral("ディレクトリ参照"));
        QVERIFY(picker.fileView()->isEnabled());
        // Into the SIGN directory, then its file.
        auto *dirModel = qobject_cast<QFileSystemModel *>(picker.directoryView()->model());
        const QModelIndex sign = dirModel->index(demo->path("SIGN"));
        picker.directoryView()->scrollTo(sign);
        QTRY_VERIFY(!picker.directoryView()->visualRect(sign).isEmpty());
        QTest::mouseClick(picker.directoryView()->viewport(), Qt::LeftButton, {},
            picker.directoryView()->visualRect(sign).center());
        QCOMPARE(program->dirSelect().Select_Dir_Path, demo->path("SIGN"));
        QTest::mouseClick(picker.findChild<QPushButton *>("OK_DIR"), Qt::LeftButton);
        QVERIFY(picker.isVisible()); // no file chosen yet
        auto *fileModel = qobject_cast<QFileSystemModel *>(picker.fileView()->model());
        QTRY_COMPARE(fileModel->rowCount(picker.fileView()->rootIndex()), 1);
        const QModelIndex file = fileModel->index(0, 0, picker.fileView()->rootIndex());
        QTest::mouseClick(
            picker.fileView()->viewport(), Qt::LeftButton, {}, picker.fileView()->visualRect(file).center());
        QTest::mouseClick(picker.findChild<QPushButton *>("OK_DIR"), Qt::LeftButton);
        QVERIFY(!picker.isVisible());
        QCOMPARE(dialog.findChild<QLineEdit *>("Editor_Path")->text(), demo->path("SIGN/kabura.sig"));

        QTest::mouseClick(dialog.findChild<QPushButton *>("DefOK"), Qt::LeftButton);
        QCOMPARE(messages->texts().last(), QStringLiteral("この設定は次回起動時より有効です。"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(program->session().Dir[settings::DirRecord::LOG_Dir], demo->path("LOG"));
        const QByteArray dirDef = test::readFile(demo->path("DIR.DEF"));
        QVERIFY(dirDef.contains(demo->path("LOG").toUtf8() + QByteArray("\x02\x00UP", 4)));
        QVERIFY(dirDef.contains(demo->path("SIGN/kabura.sig").toUtf8()));

        // Cancel after typing keeps the file.
        program->mainWindow().action("Define")->trigger();
        QCOMPARE(logDir->text(), demo->path("LOG"));
        QTest::keyClicks(logDir, "XYZ");
        QTest::mouseClick(dialog.findChild<QPushButton *>("cancelButton"), Qt::LeftButton);
        QCOMPARE(test::readFile(demo->path("DIR.DEF")), dirDef);
    }

    // Each window refreshes when its own state changes, and no other does;
    // an event that changes nothing refreshes nothing.
    void eachWindowRefreshesOnItsOwnStateOnly_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("refreshed");
        QTest::newRow("caption") << "caption"
                                 << "Kavrel";
        QTest::newRow("net name typed") << "net name typed"
                                        << "Net_Select";
        QTest::newRow("net editor field") << "net editor field"
                                          << "Set_Net_Data";
        QTest::newRow("directory field") << "directory field"
                                         << "Define_Op";
        QTest::newRow("option ticked") << "option ticked"
                                       << "Define_data";
        QTest::newRow("picker directory") << "picker directory"
                                          << "Dir_Select";
        QTest::newRow("search box ticked") << "search box ticked"
                                           << "Search";
        QTest::newRow("id list caption") << "id list caption"
                                         << "ID_LIST_Window";
        QTest::newRow("move target typed") << "move target typed"
                                           << "IDO";
        QTest::newRow("key that does nothing") << "key that does nothing" << QString();
        QTest::newRow("empty action") << "empty action" << QString();
    }
    void eachWindowRefreshesOnItsOwnStateOnly()
    {
        QFETCH(QString, change);
        QFETCH(QString, refreshed);
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        Program &core = program->core();
        const QList<QWidget *> windows { &program->mainWindow(), &program->netSelectWindow(),
            &program->setNetDataWindow(), &program->defineOpWindow(), &program->defineDataWindow(),
            &program->dirSelectWindow(), &program->searchWindow(), &program->idListWindow(),
            &program->idoWindow() };
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (QWidget *window : windows) {
            spies.push_back(window == &program->mainWindow()
                    ? std::make_unique<QSignalSpy>(&program->mainWindow(), &ui::MainWindow::refreshed)
                    : std::make_unique<QSignalSpy>(
                        static_cast<ui::StateWindow *>(window), &ui::StateWindow::refreshed));
        }

        if (change == u"net name typed") {
            QTest::keyClick(program->netSelectWindow().findChild<QLineEdit *>("Net_Name"), 'A');
        } else if (change == u"key that does nothing") {
            QTest::keyClick(program->netSelectWindow().findChild<QListWidget *>("Select_menu"), Qt::Key_F9);
        } else {
            program->forward([&] {
                if (change == u"caption")
                    core.session.main.Caption = QStringLiteral("Kavrel - 表題");
                else if (change == u"net editor field")
                    core.setNetData.typeField(&core.setNetData.Fields.Header, QStringLiteral("見出し"));
                else if (change == u"directory field")
                    core.defineOp.typeField(&core.defineOp.LOG_Dir, QStringLiteral("LOGS"));
                else if (change == u"option ticked")
                    core.defineData.tick(&core.defineData.Sign_CHECK, !core.defineData.Sign_CHECK);
                else if (change == u"picker directory")
                    core.dirSelect.chooseDirectory(demo->path("SIGN"));
                else if (change == u"search box ticked")
                    core.searchDialog.tickString(!core.searchDialog.String_Check);
                else if (change == u"id list caption")
                    core.compose.idListWindow().Caption = QStringLiteral("宛先ＩＤ選択");
                else if (change == u"move target typed")
                    core.compose.moveWindow().typeIdoText(QStringLiteral("12"));
            });
        }
        for (size_t i = 0; i < spies.size(); ++i) {
            const bool own = windows.at(int(i))->objectName() == refreshed;
            QVERIFY2(spies[i]->count() == (own ? 1 : 0),
                qPrintable(windows.at(int(i))->objectName() + u' ' + QString::number(spies[i]->count())));
        }
    }

    void optionFlags()
    {
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        QTest::keyClick(&program->netSelectWindow(), Qt::Key_Escape);
        program->mainWindow().action("SET")->trigger();
        ui::DefineDataWindow &dialog = program->defineDataWindow();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("諸設定"));
        // The demo's flags: 110010010.
        QVERIFY(dialog.findChild<QCheckBox *>("NET_SELECT_CHECK")->isChecked());
        QVERIFY(dialog.findChild<QCheckBox *>("Sign_CHECK")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox *>("Mono_Check")->isChecked());
        QVERIFY(dialog.findChild<QCheckBox *>("Shift_Check")->isChecked());

        // Esc after ticking keeps everything.
        test::clickCheckBox(dialog.findChild<QCheckBox *>("Mono_Check"));
        QTest::keyClick(dialog.findChild<QCheckBox *>("Sign_CHECK"), Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(test::readFile(demo->path("SET.def")).left(9), QByteArray("110010010"));

        program->mainWindow().action("SET")->trigger();
        QVERIFY(!dialog.findChild<QCheckBox *>("Mono_Check")->isChecked());
        test::clickCheckBox(dialog.findChild<QCheckBox *>("Mono_Check"));
        test::clickCheckBox(dialog.findChild<QCheckBox *>("NET_SELECT_CHECK"));
        QTest::mouseClick(dialog.findChild<QPushButton *>("saveButton"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(test::readFile(demo->path("SET.def")).left(9), QByteArray("010010110"));
        QVERIFY(messages->shown.isEmpty());

        // The colours swap at the main window's next activation.
        const QColor text = QApplication::palette().color(QPalette::Text);
        program->forward([this] { program->mainWindowActivated(); });
        QCOMPARE(program->mainWindow().titleView()->palette().color(QPalette::Base), text);
        // The dialogs opened from now on swap them too.
        program->mainWindow().action("Define")->trigger();
        QCOMPARE(program->defineOpWindow().findChild<QLineEdit *>("BL_Dir")->palette().color(QPalette::Base),
            text);
        QTest::mouseClick(program->mainWindow().toolButton(1), Qt::LeftButton);
        QCOMPARE(program->netSelectWindow()
                     .findChild<QListWidget *>("Select_menu")
                     ->palette()
                     .color(QPalette::Base),
            text);
    }

private:
    std::unique_ptr<test::DemoDir> demo;
    std::unique_ptr<test::ScriptedMessages> messages;
    std::unique_ptr<ui::ProgramWindows> program;
};

QTEST_MAIN(TestSettingsWindows)
#include "tst_settingswindows.moc"
