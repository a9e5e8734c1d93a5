#include "TestSupport.h"

#include "dialogs/DirSelectState.h"
#include "netselect/NetSelectState.h"
#include "netselect/SetNetDataState.h"
#include "session/Session.h"
#include "settings/NetDefinitionsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace kavrel;
using namespace kavrel::settings;
using kavrel::netselect::NetSelectState;
using kavrel::netselect::SetNetDataState;
using kavrel::test::readFile;
using kavrel::test::sjis;
using kavrel::test::writeFile;

// The net selection screen and the net editor driven as a user would, over a
// working directory of two or three nets.
class TestNetSelectState : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadShowsNets();
    void loadWithoutDataDef();
    void chooseListsLogsAndSerialFlag();
    void upFileQuestion_data();
    void upFileQuestion();
    void upFileStaysWhenItsBackupCannotBeWritten();
    void upFileTextFollowsTheChosenNet();
    void upFileTextNotTakenOverAfterEditingAnotherNet();
    void registerEmptyName();
    void registerThenEscapeLeavesDataDef();
    void registerThenStore();
    void editExistingNetInPlace();
    void editorSerialHeader();
    void editorRefusesUnstorableText();
    void editorSignPathFromPicker();
    void deleteAsksAndCompacts();
    void deleteKeepsCurrentNet();
    void deleteMovesTheUnreadPointersAlong();
    void readSingleLog();
    void readMultipleLogs();
    void cancelClearsTitlesNotBoards();

private:
    QByteArray netBytes(
        const QString &name, const QString &logPattern, const QString &upFile, bool serial = false) const;
    void writeNets(const QList<QByteArray> &records);
    QString path(const QString &name) const { return m_dir.path() + u'/' + name; }

    QTemporaryDir m_dir;
    Session *m_session = nullptr;
    test::ScriptedMessages m_messages;
    dialogs::DirSelectState *m_picker = nullptr;
    SetNetDataState *m_editor = nullptr;
    NetSelectState *m_screen = nullptr;
};

QByteArray TestNetSelectState::netBytes(
    const QString &name, const QString &logPattern, const QString &upFile, bool serial) const
{
    NetEntry e = NetEntry::defaults(name);
    e.Log_File_Name = logPattern;
    e.Up_File_Name = upFile;
    e.Sirial_Flg = serial;
    e.SirialHeader = QStringLiteral("No.");
    return NetDefinitionsFile::encodeRecord(NetDefinitionsFile::recordFromEntry(e));
}

void TestNetSelectState::writeNets(const QList<QByteArray> &records)
{
    QByteArray all;
    for (const QByteArray &r : records)
        all += r;
    writeFile(path(QStringLiteral("DATA.DEF")), all);
}

void TestNetSelectState::init()
{
    QDir(m_dir.path()).removeRecursively();
    for (const char *sub : { "LOG", "UP", "BL" })
        QDir().mkpath(path(QString::fromLatin1(sub)));
    m_session = new Session;
    m_session->AppDir = m_dir.path();
    m_session->Dir[DirRecord::LOG_Dir] = path(QStringLiteral("LOG"));
    m_session->Dir[DirRecord::Up_Dir] = path(QStringLiteral("UP"));
    m_session->Dir[DirRecord::BL_Dir] = path(QStringLiteral("BL"));
    m_messages = test::ScriptedMessages();
    m_session->messages = &m_messages;
    m_picker = new dialogs::DirSelectState(*m_session);
    m_editor = new SetNetDataState(*m_session, *m_picker);
    m_screen = new NetSelectState(*m_session, *m_editor);

    writeNets(
        { netBytes(QStringLiteral("かぶらネット"), QStringLiteral("KAB*.LOG"), QStringLiteral("KAB.up")),
            netBytes(QStringLiteral("Mountain"), QStringLiteral("mnt*.log"), QStringLiteral("MNT.up"), true),
            netBytes(QStringLiteral("Third"), QStringLiteral("TRD*.LOG"), QStringLiteral("TRD.up")) });
    const QString log
        = test::crlfLines({ QStringLiteral("Main Command(?:Help)>r"), QStringLiteral("No.1 掲示板") });
    writeFile(path(QStringLiteral("LOG/KAB0605.LOG")), sjis(log));
    writeFile(path(QStringLiteral("LOG/KAB0606.log")), sjis(log + QStringLiteral("second\r\n")));
    writeFile(path(QStringLiteral("LOG/mnt1206.log")), sjis(log));
}

void TestNetSelectState::cleanup()
{
    delete m_screen;
    delete m_editor;
    delete m_picker;
    delete m_session;
}

void TestNetSelectState::loadShowsNets()
{
    m_session->Flags[OptionFlags::MonoColors] = QStringLiteral("1");
    m_screen->load();
    QCOMPARE(m_screen->Select_menu.items,
        QStringList({ QStringLiteral("かぶらネット"), QStringLiteral("Mountain"), QStringLiteral("Third") }));
    QCOMPARE(m_screen->Select_menu.ListIndex, 0);
    QCOMPARE(m_session->NetTable.size(), 3);
    QVERIFY(m_screen->MonoColors);
    QVERIFY(!m_session->main.enabled);
    QVERIFY(m_session->netSelectVisible);
    QVERIFY(m_screen->Log_List_File_Visible);
    QVERIFY(!m_screen->Log_List_File2_Visible);
}

void TestNetSelectState::loadWithoutDataDef()
{
    QFile::remove(path(QStringLiteral("DATA.DEF")));
    m_screen->load();
    QVERIFY(m_screen->Select_menu.isEmpty());
    QCOMPARE(m_screen->Select_menu.ListIndex, -1);
    m_screen->chooseNet();
    m_screen->editNet();
    m_screen->deleteNet();
    QVERIFY(m_messages.shown.isEmpty());
    QVERIFY(!m_editor->loaded);

    // Registering opens the editor with the defaults of a new net.
    m_screen->Net_Name = QStringLiteral("新しいネット");
    m_screen->registerNet();
    QVERIFY(m_editor->loaded);
    QCOMPARE(m_editor->Fields.Net_Name, QStringLiteral("新しいネット"));
    QCOMPARE(m_editor->Fields.Header, QStringLiteral("-,-,-,-,-,-,-,-,- "));
    QCOMPARE(m_editor->Fields.Read_End, QStringLiteral("読み終わりました。"));
    QCOMPARE(m_editor->Fields.Log_File_Name, QStringLiteral("DAV*.LOG"));
    QVERIFY(m_editor->Header_Enabled);
    QVERIFY(!m_editor->SirialHeader_Enabled);
}

void TestNetSelectState::chooseListsLogsAndSerialFlag()
{
    m_screen->load();
    m_screen->chooseNet();
    QCOMPARE(m_session->NetIndex, 0);
    QCOMPARE(m_session->Sirial_Flg, 0);
    QCOMPARE(m_screen->Log_List_File.items,
        QStringList({ QStringLiteral("KAB0605.LOG"), QStringLiteral("KAB0606.log") }));
    QCOMPARE(m_screen->Log_List_File.ListIndex, 1);
    QCOMPARE(m_screen->Log_List_File2.items, m_screen->Log_List_File.items);
    QCOMPARE(m_screen->Log_List_File2.selectedItems(), QStringList());
    QCOMPARE(m_screen->focus, NetSelectState::Focus::Log_List_File);

    m_session->composing.SignatureText = QStringLiteral("かぶらネットの署名");
    m_screen->toggleMultiSelect();
    m_screen->Select_menu.ListIndex = 1;
    m_screen->keyInNetList(13);
    QCOMPARE(m_session->Sirial_Flg, 1);
    QVERIFY(m_session->composing.SignatureText.isEmpty());
    QCOMPARE(m_screen->Log_List_File.items, QStringList { QStringLiteral("mnt1206.log") });
    QCOMPARE(m_screen->focus, NetSelectState::Focus::Log_List_File2);

    // A net whose pattern matches nothing: empty lists, and reading does nothing.
    m_screen->Select_menu.ListIndex = 2;
    m_screen->chooseNet();
    QVERIFY(m_screen->Log_List_File.isEmpty());
    QCOMPARE(m_screen->Log_List_File.ListIndex, -1);
    m_screen->readChosenLogs();
    QVERIFY(m_session->log.LogPath.isEmpty());
    QVERIFY(m_screen->loaded);
}

void TestNetSelectState::upFileQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("fileKept");
    QTest::addColumn<QString>("upText");

    QTest::newRow("OK deletes the up file") << int(MsgAnswer::Ok) << false << QString();
    QTest::newRow("Cancel loads it up to its NUL")
        << int(MsgAnswer::Cancel) << true << QStringLiteral("b 3\r\nW\r\n本文");
}

void TestNetSelectState::upFileQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, fileKept);
    QFETCH(QString, upText);
    const QString upFile = path(QStringLiteral("UP/KAB.up"));
    writeFile(upFile, sjis(QStringLiteral("b 3\r\nW\r\n本文")) + QByteArray("\0garbage", 8));
    m_messages.answers = { MsgAnswer(answer) };
    m_session->upFile.load(QStringLiteral("left over"));
    m_screen->load();
    m_screen->chooseNet();
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown.first().text, QStringLiteral("アップファイルが存在します！削除しますか？"));
    QCOMPARE(m_messages.shown.first().buttons, MsgButtons::OkCancel);
    QCOMPARE(m_messages.shown.first().icon, MsgIcon::Critical);
    // Return answers the safe way: the waiting commands are not deleted by a second Return.
    QCOMPARE(m_messages.shown.first().defaultAnswer, MsgAnswer::Cancel);
    QCOMPARE(QFileInfo::exists(upFile), fileKept);
    QCOMPARE(m_session->upFile.text(), upText);
    // A deleted up file is kept one generation back, byte for byte.
    if (!fileKept)
        QCOMPARE(readFile(upFile + QStringLiteral(".bak")),
            sjis(QStringLiteral("b 3\r\nW\r\n本文")) + QByteArray("\0garbage", 8));
}

void TestNetSelectState::upFileStaysWhenItsBackupCannotBeWritten()
{
    const QString upFile = path(QStringLiteral("UP/KAB.up"));
    const QByteArray bytes = sjis(QStringLiteral("b 3\r\nW\r\n本文"));
    writeFile(upFile, bytes);
    QVERIFY(QDir().mkpath(upFile + QStringLiteral(".bak")));
    m_messages.answers = { MsgAnswer::Ok };
    m_screen->load();
    m_screen->chooseNet();
    QCOMPARE(readFile(upFile), bytes);
    QCOMPARE(m_session->upFile.text(), QStringLiteral("b 3\r\nW\r\n本文"));
    QCOMPARE(m_messages.shown.size(), 2);
    QVERIFY(m_messages.shown.last().text.startsWith(
        QStringLiteral("ファイルに書き込めません: ") + upFile + QStringLiteral(".bak\n")));
}

void TestNetSelectState::upFileTextFollowsTheChosenNet()
{
    m_screen->load();
    m_screen->chooseNet();
    m_session->upFile.load(QStringLiteral("waiting commands"));
    m_screen->chooseNet(); // the same net again: kept
    QCOMPARE(m_session->upFile.text(), QStringLiteral("waiting commands"));
    m_screen->Select_menu.ListIndex = 1;
    m_screen->chooseNet(); // another net: emptied
    QVERIFY(m_session->upFile.text().isEmpty());
    QVERIFY(m_messages.shown.isEmpty());
}

void TestNetSelectState::upFileTextNotTakenOverAfterEditingAnotherNet()
{
    m_screen->load();
    m_screen->chooseNet();
    m_session->upFile.load(QStringLiteral("commands for the first net"));
    m_screen->Select_menu.ListIndex = 1;
    m_screen->editNet();
    QCOMPARE(m_session->NetIndex, 0); // editing does not change the current net
    m_editor->closeWithoutStoring();
    QCOMPARE(m_session->upFile.text(), QStringLiteral("commands for the first net"));
    m_screen->Select_menu.ListIndex = 1;
    m_screen->chooseNet();
    QVERIFY(m_session->upFile.text().isEmpty());
}

void TestNetSelectState::registerEmptyName()
{
    m_screen->load();
    for (const QString &name : { QString(), QStringLiteral("   ") }) {
        m_messages.shown.clear();
        m_screen->Net_Name = name;
        m_screen->registerNet();
        QCOMPARE(
            m_messages.texts(), QStringList { QStringLiteral("新規登録するネット名を書き込んでください") });
        QCOMPARE(m_screen->Select_menu.ListCount(), 3);
        QVERIFY(m_screen->loaded);
        QVERIFY(!m_editor->loaded);
    }
}

void TestNetSelectState::registerThenEscapeLeavesDataDef()
{
    const QByteArray before = readFile(path(QStringLiteral("DATA.DEF")));
    m_screen->load();
    m_screen->Net_Name = QStringLiteral("Fourth");
    m_screen->registerNet();
    QVERIFY(!m_screen->loaded);
    QVERIFY(m_session->main.enabled);
    QVERIFY(m_editor->loaded);
    QCOMPARE(m_editor->slot, 3);
    QCOMPARE(m_session->NetTable.size(), 4);

    m_editor->pressKey(27);
    QVERIFY(!m_editor->loaded);
    QVERIFY(m_screen->loaded); // loaded again, from the file
    QVERIFY(m_screen->enabled);
    QCOMPARE(m_screen->Select_menu.ListCount(), 3);
    QCOMPARE(readFile(path(QStringLiteral("DATA.DEF"))), before);
}

void TestNetSelectState::registerThenStore()
{
    m_screen->load();
    m_screen->chooseNet();
    m_screen->Net_Name = QStringLiteral("Fourth");
    m_screen->registerNet();
    m_editor->Fields.Log_File_Name = QStringLiteral("FTH*.LOG");
    m_editor->storeNet();
    QVERIFY(!m_editor->loaded);
    QCOMPARE(m_screen->Select_menu.items.last(), QStringLiteral("Fourth"));
    QCOMPARE(m_session->NetIndex, 0);
    const QByteArray bytes = readFile(path(QStringLiteral("DATA.DEF")));
    QCOMPARE(bytes.size(), qsizetype(4 * 1280));
    QCOMPARE(bytes.mid(3 * 1280, 6), QByteArray("Fourth"));
    QCOMPARE(bytes.mid(3 * 1280 + 640, 9), QByteArray("FTH*.LOG "));
}

void TestNetSelectState::editExistingNetInPlace()
{
    m_screen->load();
    m_screen->Select_menu.ListIndex = 1;
    // What the table holds is replaced by the stored record before editing.
    m_session->NetTable[1][NetRecord::Header] = QString(80, u'x');
    m_screen->editNet();
    QVERIFY(!m_screen->enabled);
    QVERIFY(m_screen->loaded);
    QCOMPARE(m_editor->Fields.Net_Name, QStringLiteral("Mountain"));
    QCOMPARE(m_editor->Fields.Header, QStringLiteral("-,-,-,-,-,-,-,-,-"));
    QCOMPARE(m_editor->Fields.Main_Prompt, QStringLiteral("Main Command(?:Help)>"));
    QCOMPARE(m_editor->Fields.Log_File_Name, QStringLiteral("mnt*.log"));
    QVERIFY(m_editor->Fields.Sirial_Flg);
    QVERIFY(!m_editor->Header_Enabled);
    QVERIFY(m_editor->SirialHeader_Enabled);
    m_screen->deleteNet(); // the disabled screen takes no clicks
    QVERIFY(m_messages.shown.isEmpty());

    m_editor->Fields.Net_Name = QStringLiteral("山のネット");
    m_editor->storeNet();
    QVERIFY(m_screen->enabled);
    QCOMPARE(m_screen->Select_menu.items.at(1), QStringLiteral("山のネット"));
    const QByteArray bytes = readFile(path(QStringLiteral("DATA.DEF")));
    QCOMPARE(bytes.size(), qsizetype(3 * 1280));
    QCOMPARE(bytes.mid(1280, 10), sjis(QStringLiteral("山のネット")));
    QCOMPARE(bytes.mid(1280 + 80, 18), QByteArray("-,-,-,-,-,-,-,-,- "));
    // The editor showed the serial header in Header after storing.
    QCOMPARE(m_editor->Fields.Header, QStringLiteral("No."));
}

void TestNetSelectState::editorSerialHeader()
{
    m_screen->load();
    m_screen->chooseNet(); // the first net is the current one
    m_screen->editNet();
    QVERIFY(!m_editor->Fields.Sirial_Flg);
    m_editor->toggleSerialNumbers();
    QVERIFY(m_editor->SirialHeader_Enabled);
    QVERIFY(!m_editor->Header_Enabled);
    m_editor->toggleSerialNumbers();
    QVERIFY(m_editor->Header_Enabled);
    m_editor->toggleSerialNumbers();
    m_editor->Fields.SirialHeader = QStringLiteral("\\H,\\H");
    m_editor->storeNet();
    QCOMPARE(m_editor->Fields.SirialHeader, QStringLiteral("\b,\\H"));
    QCOMPARE(m_session->Sirial_Flg, 1);
    const QByteArray bytes = readFile(path(QStringLiteral("DATA.DEF")));
    QCOMPARE(bytes.mid(880, 2), QByteArray("1 "));
    QCOMPARE(bytes.mid(960, 5), QByteArray("\b,\\H "));
}

void TestNetSelectState::editorRefusesUnstorableText()
{
    const QByteArray before = readFile(path(QStringLiteral("DATA.DEF")));
    m_screen->load();
    m_screen->editNet();
    m_editor->Fields.Sign_Path = QStringLiteral("/home/zoë/sig.txt");
    m_editor->storeNet();
    QCOMPARE(m_messages.shown.size(), 1);
    QVERIFY(m_messages.shown.first().text.contains(QStringLiteral("ë")));
    QVERIFY(m_editor->loaded);
    QCOMPARE(readFile(path(QStringLiteral("DATA.DEF"))), before);
}

void TestNetSelectState::editorSignPathFromPicker()
{
    writeFile(path(QStringLiteral("SIGN/kabura.sig")), "sig");
    m_screen->load();
    m_screen->editNet();
    m_editor->browseSignPath();
    QVERIFY(m_picker->purpose == dialogs::DirSelectState::Purpose::SignPath);
    QVERIFY(m_picker->visible);
    QVERIFY(m_picker->File_Select_Enabled);
    m_picker->chooseDirectory(path(QStringLiteral("SIGN")));
    m_picker->File_Select.ListIndex = 0;
    m_picker->takePick();
    QCOMPARE(m_editor->Fields.Sign_Path, path(QStringLiteral("SIGN/kabura.sig")));
    QVERIFY(m_picker->purpose == dialogs::DirSelectState::Purpose::None);
}

void TestNetSelectState::deleteAsksAndCompacts()
{
    const QByteArray all = readFile(path(QStringLiteral("DATA.DEF")));
    m_screen->load();
    m_screen->Select_menu.ListIndex = 1;
    m_screen->deleteNet(); // the scripted box answers Cancel
    QCOMPARE(m_messages.texts(), QStringList { QStringLiteral("指定されたＢＢＳデータを削除しますか？") });
    QCOMPARE(m_messages.shown.first().icon, MsgIcon::Critical);
    QCOMPARE(m_messages.shown.first().defaultAnswer, MsgAnswer::Cancel);
    QCOMPARE(readFile(path(QStringLiteral("DATA.DEF"))), all);

    m_messages.answers = { MsgAnswer::Ok };
    m_screen->deleteNet();
    QCOMPARE(readFile(path(QStringLiteral("DATA.DEF"))), all.left(1280) + all.mid(2560));
    QCOMPARE(m_screen->Select_menu.items,
        QStringList({ QStringLiteral("かぶらネット"), QStringLiteral("Third") }));
    QCOMPARE(m_session->NetTable.size(), 2);
    QCOMPARE(m_session->NetTable.at(1)[NetRecord::Net_Name].trimmed(), QStringLiteral("Third"));
}

void TestNetSelectState::deleteMovesTheUnreadPointersAlong()
{
    // One pointer record per net: the third net's moves up to the second slot,
    // so that it does not read the deleted net's log and position as its own.
    const auto record = [](const QString &name, char pointer) {
        return sjis(name).leftJustified(80, ' ') + QByteArray(1, pointer) + QByteArray(3, '\0');
    };
    const QByteArray first = record(path(QStringLiteral("LOG/KAB0606.log")), 7);
    const QByteArray third = record(path(QStringLiteral("LOG/mnt1206.log")), 9);
    writeFile(path(QStringLiteral("LOGPTR.dat")),
        first + record(path(QStringLiteral("LOG/KAB0605.LOG")), 8) + third + QByteArray(84 * 48, ' '));
    m_session->unread.PtrNetIndex = 2;
    m_screen->load();
    m_screen->Select_menu.ListIndex = 1;
    m_messages.answers = { MsgAnswer::Ok };
    m_screen->deleteNet();

    const QByteArray after = readFile(path(QStringLiteral("LOGPTR.dat")));
    QCOMPARE(after.size(), qsizetype(84 * 51));
    QCOMPARE(after.left(84), first);
    QCOMPARE(after.mid(84, 84), third);
    QCOMPARE(after.mid(168, 80), QByteArray(80, ' '));
    QCOMPARE(m_session->unread.PtrNetIndex, 1);
}

void TestNetSelectState::deleteKeepsCurrentNet()
{
    m_screen->load();
    m_screen->Select_menu.ListIndex = 2;
    m_screen->chooseNet();
    m_session->upFile.load(QStringLiteral("for Third"));
    m_session->log.PrevOpenNetIndex = 2;
    m_messages.answers = { MsgAnswer::Ok };
    m_screen->Select_menu.ListIndex = 0;
    m_screen->deleteNet();
    QCOMPARE(m_session->NetIndex, 1);
    QCOMPARE(m_session->log.PrevOpenNetIndex, 1);
    QCOMPARE(m_session->netField(NetRecord::Net_Name), QStringLiteral("Third"));
    QCOMPARE(m_session->upFile.text(), QStringLiteral("for Third"));

    m_messages.answers = { MsgAnswer::Ok };
    m_screen->Select_menu.ListIndex = 1;
    m_screen->deleteNet(); // the current net itself
    QCOMPARE(m_session->NetIndex, -1);
    QVERIFY(m_session->upFile.text().isEmpty());
}

void TestNetSelectState::readSingleLog()
{
    m_screen->load();
    m_screen->chooseNet();
    m_screen->readChosenLogs();
    QCOMPARE(m_session->log.LogPath, path(QStringLiteral("LOG/KAB0606.log")));
    QCOMPARE(m_session->log.MultiSelectMode, false);
    QVERIFY(!m_screen->loaded);
    QVERIFY(!m_session->netSelectVisible);
    QVERIFY(m_session->main.enabled);
}

void TestNetSelectState::readMultipleLogs()
{
    m_screen->load();
    m_screen->chooseNet();
    m_screen->toggleMultiSelect();
    QVERIFY(m_screen->Log_List_File2_Visible);
    QVERIFY(!m_screen->Log_List_File_Visible);
    m_screen->readChosenLogs(); // nothing selected: nothing opens
    m_screen->openChosenLogs();
    QVERIFY(m_session->log.LogPath.isEmpty());
    QVERIFY(m_screen->loaded);

    m_screen->Log_List_File2.setSelected(0, true);
    m_screen->Log_List_File2.setSelected(1, true);
    m_screen->readChosenLogs();
    QCOMPARE(m_session->log.LogPath, path(QStringLiteral("LOG/Temp.log")));
    QCOMPARE(m_session->log.MultiSelectMode, true);
    QCOMPARE(readFile(path(QStringLiteral("LOG/Temp.log"))),
        readFile(path(QStringLiteral("LOG/KAB0605.LOG")))
            + readFile(path(QStringLiteral("LOG/KAB0606.log"))));
    QVERIFY(!m_screen->loaded);
}

void TestNetSelectState::cancelClearsTitlesNotBoards()
{
    MainWindowState &main = m_session->main;
    main.Board_List.addItem(QStringLiteral("No.1 掲示板"));
    main.appendRow(QString(), QStringLiteral("1"), QString(), QStringLiteral("タイトル"));
    main.Article.addItem(QStringLiteral("本文"));
    m_screen->load();
    m_screen->pressKey(27);
    QVERIFY(!m_screen->loaded);
    QVERIFY(main.enabled);
    QCOMPARE(main.rowCount(), 0);
    QVERIFY(main.BatchSet.isEmpty() && main.InfoColumn.isEmpty() && main.SubjectColumn.isEmpty());
    QVERIFY(main.Article.isEmpty());
    QCOMPARE(main.Board_List.ListCount(), 1);

    m_screen->Show();
    m_screen->closeScreen();
    QVERIFY(!m_session->netSelectVisible);
}

QTEST_GUILESS_MAIN(TestNetSelectState)
#include "tst_netselectstate.moc"
