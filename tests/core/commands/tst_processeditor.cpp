// The editor as a real process: how its path is started, the wait, and a
// start that fails.
#include "EditorScript.h"
#include "TestSupport.h"

#include "commands/EditorLaunch.h"
#include "commands/ProcessEditor.h"
#include "session/Session.h"

#include <QTest>
#include <QTimer>

using namespace kavrel;
using namespace kavrel::test;
using kavrel::commands::ProcessEditor;

class tst_ProcessEditor : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void programInDirectoryWithBlanks();
    void editorWithOptions();
    void mainWindowHiddenWhileWaiting();
    void startThatFails();
};

void tst_ProcessEditor::commandLine_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("program with options") << "xterm -e vi"
                                          << "xterm" << QStringList { "-e", "vi", "/t/TEMP.TXT" };
    QTest::newRow("quoted program") << "\"/opt/my editor/ed\" -n"
                                    << "/opt/my editor/ed" << QStringList { "-n", "/t/TEMP.TXT" };
    QTest::newRow("plain name") << "gedit"
                                << "gedit" << QStringList { "/t/TEMP.TXT" };
}

void tst_ProcessEditor::commandLine()
{
    QFETCH(QString, path);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QString p;
    QStringList a;
    QVERIFY(ProcessEditor::commandLine(path, QStringLiteral("/t/TEMP.TXT"), &p, &a));
    QCOMPARE(p, program);
    QCOMPARE(a, arguments);
    QVERIFY(!ProcessEditor::commandLine(QStringLiteral("   "), QStringLiteral("/t/TEMP.TXT"), &p, &a));
}

void tst_ProcessEditor::programInDirectoryWithBlanks()
{
    EditorScript script;
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/with blank/TEMP.TXT");
    writeFile(file, "old");
    script.willWrite(QByteArray("new text"));
    ProcessEditor editor;
    QString error;
    QVERIFY(editor.edit(script.path(), file, &error));
    QCOMPARE(script.lastArguments(), QStringList { file });
    QCOMPARE(script.lastStartingBytes(), QByteArray("old"));
    QCOMPARE(readFile(file), QByteArray("new text"));
}

void tst_ProcessEditor::editorWithOptions()
{
    EditorScript script;
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/TEMP.TXT");
    script.willWrite(QByteArray("x"));
    ProcessEditor editor;
    QString error;
    QVERIFY(editor.edit(QStringLiteral("\"%1\" --wait -n").arg(script.path()), file, &error));
    QCOMPARE(script.lastArguments(), (QStringList { QStringLiteral("--wait"), QStringLiteral("-n"), file }));
    QCOMPARE(readFile(file), QByteArray("x"));
}

void tst_ProcessEditor::mainWindowHiddenWhileWaiting()
{
    EditorScript script;
    script.setPause(true);
    QTemporaryDir dir;
    Session session;
    session.AppDir = dir.path();
    session.Dir[settings::DirRecord::Editor_Path] = script.path();
    session.main.visible = true;
    ProcessEditor editor;
    session.editor = &editor;

    // Events run during the wait: a timer sees the main window hidden.
    bool sawHidden = false;
    QTimer::singleShot(50, [&] { sawHidden = !session.main.visible; });
    QVERIFY(commands::LaunchEditor(session));
    QVERIFY(sawHidden);
    QVERIFY(session.main.visible);
    QCOMPARE(script.runs(), 1);
}

void tst_ProcessEditor::startThatFails()
{
    QTemporaryDir dir;
    Session session;
    ScriptedMessages messages;
    session.messages = &messages;
    session.AppDir = dir.path();
    const QString missing = dir.path() + QStringLiteral("/no editor here");
    session.Dir[settings::DirRecord::Editor_Path] = missing;
    session.main.visible = true;

    QVERIFY(!commands::LaunchEditor(session)); // no editor host set: the process editor
    QVERIFY(session.main.visible);
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.shown.first().text.contains(missing));
    QVERIFY(messages.shown.first().text.contains(QStringLiteral("理由")));
    QCOMPARE(messages.shown.first().icon, MsgIcon::Critical);

    // A file that is there but is not a program.
    const QString notProgram = dir.path() + QStringLiteral("/notes.txt");
    writeFile(notProgram, "text");
    session.Dir[settings::DirRecord::Editor_Path] = notProgram;
    QVERIFY(!commands::LaunchEditor(session));
    QCOMPARE(messages.shown.size(), 2);
}

QTEST_GUILESS_MAIN(tst_ProcessEditor)
#include "tst_processeditor.moc"
