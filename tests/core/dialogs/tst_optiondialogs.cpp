#include "TestSupport.h"

#include "dialogs/DefineDataState.h"
#include "dialogs/DefineOpState.h"
#include "dialogs/DirSelectState.h"
#include "session/Session.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QTest>

using namespace kavrel;
using namespace kavrel::dialogs;
using namespace kavrel::settings;
using kavrel::test::readFile;
using kavrel::test::writeFile;

// The directory settings dialog with its picker, and the option flags dialog,
// driven as a user would.
class TestOptionDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void directoriesShownFromDirDef();
    void saveStripsSlashAndCloses();
    void cancelAfterBrowsingSavesNothing();
    void overlongSaveKeepsDialogOpen();
    void pickDirectory_data();
    void pickDirectory();
    void pickEditorNeedsAFile();
    void pickerCancelKeepsPurpose();
    void pickerForAnotherPurposeChangesNothing();
    void flagsShownFromMemory();
    void flagsSaveAndCancel();

private:
    QString path(const QString &name) const { return m_dir.path() + u'/' + name; }

    QTemporaryDir m_dir;
    Session *m_session = nullptr;
    test::ScriptedMessages m_messages;
    DirSelectState *m_picker = nullptr;
    DefineOpState *m_dialog = nullptr;
    DefineDataState *m_flags = nullptr;
};

void TestOptionDialogs::init()
{
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(path(QStringLiteral("LOG/old")));
    writeFile(path(QStringLiteral("BIN/editor")), "#!/bin/sh\n");
    writeFile(path(QStringLiteral("BIN/viewer")), "#!/bin/sh\n");
    m_session = new Session;
    m_session->AppDir = m_dir.path();
    m_messages = test::ScriptedMessages();
    m_session->messages = &m_messages;
    m_picker = new DirSelectState(*m_session);
    m_dialog = new DefineOpState(*m_session, *m_picker);
    m_flags = new DefineDataState(*m_session);
    QVERIFY(WriteDirSettings(*m_session, QStringLiteral("/logs"), QStringLiteral("/up"),
        QStringLiteral("/bl"), QStringLiteral("/usr/bin/vi")));
    m_messages.shown.clear();
}

void TestOptionDialogs::cleanup()
{
    delete m_flags;
    delete m_dialog;
    delete m_picker;
    delete m_session;
}

void TestOptionDialogs::directoriesShownFromDirDef()
{
    m_session->Dir[DirRecord::LOG_Dir] = QStringLiteral("/changed in memory");
    m_session->Flags[OptionFlags::MonoColors] = QStringLiteral("1");
    m_dialog->Show();
    QVERIFY(m_dialog->visible);
    QCOMPARE(m_dialog->LOG_Dir, QStringLiteral("/logs"));
    QCOMPARE(m_dialog->Up_Dir, QStringLiteral("/up"));
    QCOMPARE(m_dialog->BL_Dir, QStringLiteral("/bl"));
    QCOMPARE(m_dialog->Editor_Path, QStringLiteral("/usr/bin/vi"));
    QVERIFY(m_dialog->MonoColors); // no SET.def to read again: the flags in memory stay
}

void TestOptionDialogs::saveStripsSlashAndCloses()
{
    m_dialog->Show();
    m_dialog->LOG_Dir = QStringLiteral("/new/logs/");
    m_dialog->BL_Dir = QStringLiteral("/");
    m_dialog->saveDirectories();
    QVERIFY(!m_dialog->visible);
    QCOMPARE(m_messages.texts(), QStringList { QStringLiteral("この設定は次回起動時より有効です。") });
    QCOMPARE(m_session->Dir[DirRecord::LOG_Dir], QStringLiteral("/new/logs"));
    QCOMPARE(m_session->Dir[DirRecord::BL_Dir], QString());
    Session again;
    again.AppDir = m_dir.path();
    ReadSettings(again);
    QCOMPARE(again.Dir.values, m_session->Dir.values);
}

void TestOptionDialogs::cancelAfterBrowsingSavesNothing()
{
    const QByteArray before = readFile(path(QStringLiteral("DIR.DEF")));
    m_dialog->Show();
    m_dialog->browseLogDir();
    m_picker->chooseDirectory(path(QStringLiteral("LOG")));
    m_picker->takePick();
    QCOMPARE(m_dialog->LOG_Dir, path(QStringLiteral("LOG")));
    m_dialog->closeWithoutSaving();
    QVERIFY(!m_dialog->visible);
    QCOMPARE(readFile(path(QStringLiteral("DIR.DEF"))), before);
    m_dialog->Show();
    QCOMPARE(m_dialog->LOG_Dir, QStringLiteral("/logs"));
    m_dialog->pressKey(27);
    QVERIFY(!m_dialog->visible);
    QVERIFY(m_messages.shown.isEmpty());
}

void TestOptionDialogs::overlongSaveKeepsDialogOpen()
{
    m_dialog->Show();
    m_dialog->Up_Dir = QStringLiteral("/") + QString(300, u'u');
    m_dialog->saveDirectories();
    QVERIFY(m_dialog->visible);
    QCOMPARE(m_messages.shown.size(), 1);
    QVERIFY(m_messages.shown.first().text.contains(QStringLiteral("ＵＰファイル保存ディレクトリ")));
    QCOMPARE(m_session->Dir[DirRecord::Up_Dir], QStringLiteral("/up"));
}

void TestOptionDialogs::pickDirectory_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("purpose");

    QTest::newRow("LOG") << 2 << int(dialogs::DirSelectState::Purpose::Log);
    QTest::newRow("UP TEXT") << 1 << int(dialogs::DirSelectState::Purpose::UpText);
    QTest::newRow("BOARD LIST") << 4 << int(dialogs::DirSelectState::Purpose::BoardList);
}

void TestOptionDialogs::pickDirectory()
{
    QFETCH(int, button);
    QFETCH(int, purpose);
    m_dialog->Show();
    switch (button) {
    case 1:
        m_dialog->browseUpDir();
        break;
    case 2:
        m_dialog->browseLogDir();
        break;
    default:
        m_dialog->browseBoardListDir();
    }
    QCOMPARE(int(m_picker->purpose), purpose);
    QVERIFY(m_picker->visible);
    QVERIFY(!m_picker->File_Select_Enabled);
    QCOMPARE(m_picker->Select_Dir_Path, m_dir.path()); // starts in the working directory
    QCOMPARE(m_picker->Select_Dir.items, QStringList({ QStringLiteral("BIN"), QStringLiteral("LOG") }));
    m_picker->chooseDirectory(QStringLiteral("LOG"));
    QCOMPARE(m_picker->Select_Dir.items, QStringList { QStringLiteral("old") });
    m_picker->takePick();
    QVERIFY(!m_picker->visible);
    QVERIFY(m_picker->purpose == dialogs::DirSelectState::Purpose::None);
    const QString picked = path(QStringLiteral("LOG"));
    QCOMPARE(m_dialog->LOG_Dir == picked, button == 2);
    QCOMPARE(m_dialog->Up_Dir == picked, button == 1);
    QCOMPARE(m_dialog->BL_Dir == picked, button == 4);
}

void TestOptionDialogs::pickEditorNeedsAFile()
{
    m_dialog->Show();
    m_dialog->browseEditorPath();
    QVERIFY(m_picker->File_Select_Enabled);
    m_picker->chooseDirectory(path(QStringLiteral("BIN")));
    QCOMPARE(
        m_picker->File_Select.items, QStringList({ QStringLiteral("editor"), QStringLiteral("viewer") }));
    m_picker->takePick(); // no file chosen: the picker stays
    QVERIFY(m_picker->visible);
    QCOMPARE(m_dialog->Editor_Path, QStringLiteral("/usr/bin/vi"));
    m_picker->File_Select.ListIndex = 1;
    m_picker->takePick();
    QVERIFY(!m_picker->visible);
    QCOMPARE(m_dialog->Editor_Path, path(QStringLiteral("BIN/viewer")));

    // A file in the root gets one "/" before its name.
    m_dialog->browseEditorPath();
    m_picker->Select_Drive.ListIndex = 0;
    m_picker->chooseDrive();
    QCOMPARE(m_picker->Select_Dir_Path, QStringLiteral("/"));
    m_picker->File_Select.items = { QStringLiteral("vmlinuz") };
    m_picker->File_Select.ListIndex = 0;
    m_picker->takePick();
    QCOMPARE(m_dialog->Editor_Path, QStringLiteral("/vmlinuz"));
}

void TestOptionDialogs::pickerCancelKeepsPurpose()
{
    m_dialog->Show();
    m_dialog->browseLogDir();
    m_picker->chooseDirectory(path(QStringLiteral("LOG")));
    m_picker->cancelPick();
    QVERIFY(!m_picker->visible);
    QCOMPARE(m_dialog->LOG_Dir, QStringLiteral("/logs"));
    QVERIFY(m_picker->purpose == dialogs::DirSelectState::Purpose::Log);
    m_dialog->browseUpDir();
    m_picker->pressKey(27);
    QVERIFY(!m_picker->visible);
    QVERIFY(m_picker->purpose == dialogs::DirSelectState::Purpose::UpText);
}

void TestOptionDialogs::pickerForAnotherPurposeChangesNothing()
{
    m_dialog->Show();
    m_dialog->browseLogDir();
    // The purpose was dropped while the picker was open; the reader's mode
    // is no purpose of the picker's.
    m_picker->purpose = dialogs::DirSelectState::Purpose::None;
    m_session->reading.LastWrittenKind = ReaderMode::Write;
    m_picker->takePick();
    QVERIFY(!m_picker->visible);
    QCOMPARE(m_dialog->LOG_Dir, QStringLiteral("/logs"));
    QVERIFY(m_picker->purpose == dialogs::DirSelectState::Purpose::None);
    QVERIFY(m_session->reading.LastWrittenKind == ReaderMode::Write);
}

void TestOptionDialogs::flagsShownFromMemory()
{
    writeFile(path(QStringLiteral("SET.def")), "000000000");
    m_session->Flags[OptionFlags::SignatureOn] = QStringLiteral("1");
    m_session->Flags[OptionFlags::SpaceMovesOn] = QStringLiteral("1");
    m_session->Flags[OptionFlags::MonoColors] = QStringLiteral("2");
    m_flags->Show();
    QVERIFY(m_flags->visible);
    QVERIFY(m_flags->Sign_CHECK);
    QVERIFY(m_flags->Shift_Check);
    QVERIFY(!m_flags->Mono_Check);
    QVERIFY(!m_flags->NET_SELECT_CHECK && !m_flags->Res_Del_Check && !m_flags->Board_List_Check
        && !m_flags->Title_Only_Check);
}

void TestOptionDialogs::flagsSaveAndCancel()
{
    writeFile(path(QStringLiteral("SET.def")), QByteArray("01000A01B", 9));
    ReadSettings(*m_session);
    m_flags->Show();
    m_flags->Mono_Check = true;
    m_flags->discard(); // cancel: nothing changes
    QVERIFY(!m_flags->visible);
    QVERIFY(!m_session->flag(OptionFlags::MonoColors));
    QCOMPARE(readFile(path(QStringLiteral("SET.def"))), QByteArray("01000A01B"));

    m_flags->Show();
    QVERIFY(!m_flags->Mono_Check);
    m_flags->save(); // saved unchanged: the same nine bytes
    QCOMPARE(readFile(path(QStringLiteral("SET.def"))), QByteArray("01000A01B"));

    m_flags->Show();
    m_flags->NET_SELECT_CHECK = true;
    m_flags->Title_Only_Check = true;
    m_flags->Sign_CHECK = false;
    m_flags->save();
    QVERIFY(!m_flags->visible);
    QCOMPARE(readFile(path(QStringLiteral("SET.def"))), QByteArray("10001A01B"));
    QVERIFY(m_session->flag(OptionFlags::TitleOnlySignature));
    QVERIFY(m_messages.shown.isEmpty());

    m_flags->Show();
    m_flags->pressKey(27);
    QVERIFY(!m_flags->visible);
}

QTEST_GUILESS_MAIN(TestOptionDialogs)
#include "tst_optiondialogs.moc"
