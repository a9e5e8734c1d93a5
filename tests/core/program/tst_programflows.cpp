// The whole program without its windows on a copy of the bundled demo: start-
// up, the net selection screen, a log opened, read with Space across boards,
// and a response written with a real editor into the up file.
#include "EditorScript.h"
#include "TestKeys.h"
#include "TestSupport.h"

#include "program/Program.h"
#include "reader/Reader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cstring>

using namespace kavrel;
using namespace kavrel::test;

namespace {

void setModified(const QString &path, const QDateTime &time)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
}

// Where the reader stands: the board item and the Title item of the row.
QString position(const Session &s)
{
    return s.main.Board_List.selectedText() + u' ' + s.main.Title.selectedText();
}

} // namespace

class tst_ProgramFlows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readTheDemoAndRespond();
    void replyToADemoMail();
    void readingKeptOverAMergeAndANetSwitch();
    void closingCountsOnceAndEndsWhenThePlacementFails();

private:
    // Start-up in the demo's copy, net 0 chosen on the net selection screen
    // and KAB0606.LOG opened.
    void startAndOpen(Program &p, ScriptedMessages &messages, const EditorScript &script);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    QByteArray m_waiting; // the demo's up file: one waiting write
};

void tst_ProgramFlows::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(test::copyDemo(m_dir->path()));
    // A checkout keeps no file times: the older log must look older.
    setModified(
        m_dir->filePath(QStringLiteral("LOG/KAB0605.LOG")), QDateTime(QDate(2026, 12, 5), QTime(21, 30)));
    setModified(
        m_dir->filePath(QStringLiteral("LOG/KAB0606.LOG")), QDateTime(QDate(2026, 12, 6), QTime(23, 10)));
    // The settings name their directories relative to the program's working
    // directory, as the program is started in it.
    m_previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_waiting = readFile(m_dir->filePath(QStringLiteral("UP/KABURA.up")));
    QVERIFY(m_waiting.startsWith("\\ 3\r\nW"));
}

void tst_ProgramFlows::cleanup()
{
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void tst_ProgramFlows::startAndOpen(Program &p, ScriptedMessages &messages, const EditorScript &script)
{
    p.session.messages = &messages;
    p.load(m_dir->path());
    QCOMPARE(p.session.AppDir, m_dir->path());
    p.session.Dir[settings::DirRecord::Editor_Path] = script.path();
    // The signature's date and time placeholders read a fixed clock: a Monday morning.
    p.compose.setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)); });

    // The net selection screen: net 0, keeping the waiting write.
    p.netSelect.Show();
    QCOMPARE(p.netSelect.Select_menu.items.value(0), QStringLiteral("かぶらネット"));
    p.netSelect.Select_menu.ListIndex = 0;
    messages.answers = { MsgAnswer::Cancel };
    p.netSelect.chooseNet();
    QCOMPARE(messages.texts(), QStringList { QStringLiteral("アップファイルが存在します！削除しますか？") });
    QCOMPARE(sjis(p.session.upFile.text()), m_waiting);
    QCOMPARE(p.netSelect.Log_List_File.items, (QStringList { "KAB0605.LOG", "KAB0606.LOG" }));
    p.netSelect.Log_List_File.ListIndex = 1;
    p.netSelect.openChosenLog();
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(!p.session.netSelectVisible);
    QCOMPARE(p.session.main.Caption, QStringLiteral("Kavrel[LOG/KAB0606.LOG]"));
    QCOMPARE(p.session.main.Board_List.items,
        (QStringList { "No.0 ｢メールボックス｣", "No.3 ｢パソコン通信の話題｣", "No.12 ｢趣味の部屋｣",
            "[XCHAT] No1.雑談ルーム" }));
    QCOMPARE(position(p.session), QStringLiteral("No.0 ｢メールボックス｣ [mail ]"));
}

void tst_ProgramFlows::readTheDemoAndRespond()
{
    Program p;
    ScriptedMessages messages;
    EditorScript script;
    startAndOpen(p, messages, script);
    if (QTest::currentTestFailed())
        return;

    // Space through the mail box and board 3, the waiting write's mark row
    // included, to the first article of board 12, from the first mail shown
    // as the log opened. Each press at the end of an article moves on.
    QStringList shown { p.session.main.Title.selectedText() + u' ' + p.session.main.Article.items.value(0) };
    for (int i = 0; i < 30 && p.session.main.Title.selectedText() != u"[306]"; ++i) {
        test::pressKey(p.reader, reader::Key_Space);
        const QString row = p.session.main.Title.selectedText();
        const QString line = row + u' ' + p.session.main.Article.items.value(0);
        if (!row.isEmpty() && (shown.isEmpty() || shown.last() != line))
            shown << line;
    }
    QCOMPARE(shown,
        (QStringList { "[mail ] mail 26/12/06 21:03:11 (KAV00123) 来週の集まりについて",
            "[mail ] mail 26/12/06 22:40:02 (KAV00456) ログ整理ソフトの件",
            "[1201] PC(1201/1204) 26/12/06 10:15:00 新しいログリーダー",
            " [1202] PC(1202/1204) 26/12/06 11:02:31 Re:新しいログリーダー",
            "  [1203] PC(1203/1204) 26/12/06 12:47:09 Re:Re:新しいログリーダー",
            "[1204] PC(1204/1204) 26/12/06 13:20:18 モデムの初期化コマンド", "[書込 1] はじめまして",
            "[306] HOBBY(306/306) 26/12/06 09:45:50 週末の釣果" }));
    QCOMPARE(position(p.session), QStringLiteral("No.12 ｢趣味の部屋｣ [306]"));

    // A response, composed in the editor; the net's signature is added.
    const QString text = QStringLiteral(
        "Re:週末の釣果\r\n>週末は海釣りに行ってきました。アジが二十匹です。\r\n大漁ですね。");
    script.willWrite(text);
    test::pressKey(p.reader, reader::Key_P);
    QVERIFY(script.lastStartingBytes().startsWith(
        sjis(QStringLiteral(">HOBBY(306/306) 26/12/06 09:45:50 週末の釣果\r\n"))));
    const QString signature
        = QStringLiteral("――――――――――――――――\r\n  山田太郎 (KAV00100)  26/12/07(月) 9:05\r\n");
    const QByteArray expected = m_waiting
        + sjis(QStringLiteral("\\ 12\r\n306\r\nP") + text + QStringLiteral("\r\n") + signature
            + QStringLiteral("\r\n.\r\nyQ"));
    QCOMPARE(readFile(m_dir->filePath(QStringLiteral("UP/KABURA.up"))), expected);
    QCOMPARE(readFile(m_dir->filePath(QStringLiteral("UP/KABURA.up.bak"))), m_waiting);
    QCOMPARE(p.session.main.Title.items, (QStringList { "[306]", "[レス 1]", "[305]" }));
    p.reader.chooseBoard(1);
    QCOMPARE(
        p.session.main.Title.items, (QStringList { "[1201]", " [1202]", "  [1203]", "[1204]", "[書込 1]" }));

    // Shutdown removes the scratch file and keeps the reading position.
    p.unload();
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("TEMP.TXT"))));
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("LOGPTR.dat"))));
    QCOMPARE(messages.shown.size(), 1);
}

void tst_ProgramFlows::replyToADemoMail()
{
    Program p;
    ScriptedMessages messages;
    EditorScript script;
    startAndOpen(p, messages, script);
    if (QTest::currentTestFailed())
        return;

    // The demo net's IDs read "KAV00123": the reply goes to that ID.
    QCOMPARE(p.session.main.Article.items.value(1), QStringLiteral("    412 bytes KAV00123:山田花子 "));
    const QString text = QStringLiteral("Re:来週の集まりについて\r\n参加します。");
    script.willWrite(text);
    test::pressKey(p.reader, reader::Key_P);
    const QString signature
        = QStringLiteral("――――――――――――――――\r\n  山田太郎 (KAV00100)  26/12/07(月) 9:05\r\n");
    QCOMPARE(readFile(m_dir->filePath(QStringLiteral("UP/KABURA.up"))),
        m_waiting
            + sjis(QStringLiteral("mw\r\n KAV00123\r\n\r\n\r\n") + text + QStringLiteral("\r\n") + signature
                + QStringLiteral("\r\n.\r\ny")));
    QCOMPARE(p.session.main.Title.items, (QStringList { "[mail ]", "[mail ]", "[手紙 1]" }));
    QCOMPARE(p.session.main.InfoColumn.item(2), QStringLiteral(" KAV00123"));
}

// LOGPTR.dat record n: the name field and the pointer.
static std::pair<QByteArray, qint32> pointerRecord(const QString &path, int n)
{
    const QByteArray bytes = readFile(path).mid((n - 1) * 84, 84);
    if (bytes.size() < 84)
        return {};
    qint32 pointer = 0;
    std::memcpy(&pointer, bytes.constData() + 80, 4);
    return { bytes.left(80).trimmed(), qFromLittleEndian(pointer) };
}

void tst_ProgramFlows::readingKeptOverAMergeAndANetSwitch()
{
    Program p;
    ScriptedMessages messages;
    EditorScript script;
    startAndOpen(p, messages, script);
    if (QTest::currentTestFailed())
        return;
    const QString ptrFile = m_dir->filePath(QStringLiteral("LOGPTR.dat"));
    QCOMPARE(pointerRecord(ptrFile, 1), std::make_pair(QByteArray("LOG/KAB0606.LOG"), 0));

    // KAB0606 read to its end.
    for (int i = 0; i < 60; ++i)
        test::pressKey(p.reader, reader::Key_Down);
    QCOMPARE(p.session.main.Article.items, QStringList { QStringLiteral("最終アーティクルです。") });
    const qint64 read = p.session.unread.ReadPointer;
    QVERIFY(read > p.session.log.LogText.size() / 2);

    // Both logs in multi-select mode, then the other net.
    p.netSelect.Show();
    p.netSelect.Select_menu.ListIndex = 0;
    messages.answers = { MsgAnswer::Cancel };
    p.netSelect.chooseNet();
    p.netSelect.toggleMultiSelect();
    p.netSelect.Log_List_File2.setSelected(0, true);
    p.netSelect.Log_List_File2.setSelected(1, true);
    p.netSelect.readChosenLogs();
    QCOMPARE(p.session.main.Caption, QStringLiteral("Kavrel[LOG/Temp.log]"));
    QCOMPARE(pointerRecord(ptrFile, 1), std::make_pair(QByteArray("LOG/KAB0606.LOG"), qint32(read)));
    p.netSelect.Show();
    p.netSelect.toggleMultiSelect();
    p.netSelect.Select_menu.ListIndex = 1;
    p.netSelect.chooseNet();
    p.netSelect.Log_List_File.ListIndex = 0;
    p.netSelect.openChosenLog();
    QCOMPARE(p.session.main.Caption, QStringLiteral("Kavrel[LOG/mnt1206.log]"));
    p.unload();
    // What was read before the switch stays read.
    QCOMPARE(pointerRecord(ptrFile, 1), std::make_pair(QByteArray("LOG/KAB0606.LOG"), qint32(read)));
    QCOMPARE(pointerRecord(ptrFile, 2).first, QByteArray("LOG/mnt1206.log"));
}

void tst_ProgramFlows::closingCountsOnceAndEndsWhenThePlacementFails()
{
    Program p;
    ScriptedMessages messages;
    p.session.messages = &messages;
    p.load(m_dir->path());
    p.netSelect.Show();
    QVERIFY(p.session.netSelectVisible);
    // A directory in place of DIR.DEF: the placement cannot be saved, and the
    // program closes all the same.
    const QString dirDef = m_dir->filePath(QStringLiteral("DIR.DEF"));
    QVERIFY(QFile::remove(dirDef));
    QVERIFY(QDir().mkdir(dirDef));
    writeFile(p.tempTextPath(), "written by the editor");

    QVERIFY(p.mayClose(70, 90, 420));
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.texts().constFirst().startsWith(
                 QStringLiteral("ファイルに書き込めません: ") + dirDef + QLatin1Char('\n')),
        qPrintable(messages.texts().constFirst()));
    QVERIFY(!p.session.netSelectVisible);
    QVERIFY(!p.session.main.visible);
    QVERIFY(!QFile::exists(p.tempTextPath()));

    // The window's close after the menu's: nothing more happens.
    writeFile(p.tempTextPath(), "again");
    QVERIFY(!p.mayClose(70, 90, 420));
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(QFile::exists(p.tempTextPath()));
}

QTEST_GUILESS_MAIN(tst_ProgramFlows)
#include "tst_programflows.moc"
