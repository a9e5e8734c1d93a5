// What is being written survives a crash: a child Kavrel on a copy of the
// demo is killed (SIGKILL) while its editor holds typed text; the next start
// offers the draft when the net is chosen, and Ctrl+S on it gives the up file
// an uninterrupted Ctrl+S would have given.

#include "DemoDir.h"
#include "EditorWindow.h"
#include "TitleView.h"

#include "base/Cp932.h"
#include "commands/Drafts.h"

#include <QDirIterator>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <functional>

using namespace kavrel;

namespace {

const QString kText = QStringLiteral("落ちる前の書き込み\nここまで書いた文章です。");

// The bytes of the signature: no time in it, so two runs sign alike.
const QByteArray kSignature = test::sjis(QStringLiteral("-- 山田太郎"));

bool waitFor(const std::function<bool()> &done, int ms = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// The draft records of a folder, joined.
QByteArray records(const QString &folder)
{
    QByteArray all;
    QDirIterator it(folder, { QStringLiteral("*.draft") }, QDir::Files);
    while (it.hasNext())
        all += test::readFile(it.next());
    return all;
}

// An editor of the user's own that saves the text, tells it has, and stays
// open until it is killed (or, with "exit", ends).
QString writeEditor(const QString &dir)
{
    test::writeFile(
        dir + QStringLiteral("/text.txt"), test::sjis(QString(kText).replace(u'\n', QStringLiteral("\r\n"))));
    const QString path = dir + QStringLiteral("/editor.sh");
    test::writeFile(path,
        QStringLiteral("#!/bin/sh\n"
                       "echo $$ > '%1/editor.pid'\n"
                       "cat '%1/text.txt' > \"$1\"\n"
                       ": > '%1/ready'\n"
                       "[ -f '%1/exit' ] && exit 0\n"
                       "exec sleep 600\n")
            .arg(dir)
            .toUtf8());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// A program on the current directory, the log of かぶらネット open and the
// first board chosen; W then starts a write.
struct Running
{
    test::ScriptedMessages messages;
    ui::ProgramWindows program { &messages };

    explicit Running(const QString &draftFolder)
    {
        program.core().drafts.setFolder(draftFolder);
        program.start();
    }
    bool openBoard()
    {
        if (!waitFor([this] { return program.netSelectWindow().isVisible(); }))
            return false;
        test::openLogByClicks(program, messages, 0, QStringLiteral("KAB0606.LOG"));
        while (program.session().main.Board_List.ListIndex < 1)
            QTest::keyClick(program.mainWindow().titleView(), Qt::Key_Down);
        return true;
    }
    void whenEditorShown(const std::function<void()> &user)
    {
        auto *poll = new QTimer(&program);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, user] {
            if (!program.editorWindow().isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            user();
        });
        poll->start(10);
    }
    // Types the text as the user does, once the editor has the focus.
    void type()
    {
        QWidget *text = program.editorWindow().textEdit();
        waitFor([text] { return text->hasFocus(); });
        test::typeText(text, kText.section(u'\n', 0, 0));
        QTest::keyClick(text, Qt::Key_Return);
        test::typeText(text, kText.section(u'\n', 1));
    }
    // 保存して閉じる, as Ctrl+S does; the shortcut itself waits for the
    // window to become active, which an offscreen screen does not promise.
    void save() { program.editorWindow().saveAndClose(); }
    void typeAndSave()
    {
        whenEditorShown([this] {
            type();
            save();
        });
    }
    void write() { QTest::keyClick(program.mainWindow().titleView(), Qt::Key_W); }
};

// The child: types into the built-in editor, says "ready" once the draft
// holds the text, and waits to be killed; or, with an editor of the user's
// own, waits in that editor.
int runChild()
{
    const QString folder = qEnvironmentVariable("KAVREL_DRAFT_FOLDER");
    const QString editor = qEnvironmentVariable("KAVREL_DRAFT_EDITOR");
    Running run(folder);
    if (!run.openBoard())
        return 2;
    if (!editor.isEmpty()) {
        run.program.session().Dir[settings::DirRecord::Editor_Path] = editor;
    } else {
        run.whenEditorShown([&run, folder] {
            run.type();
            // The autosave, not a loss of focus, keeps it.
            waitFor([folder] { return records(folder).contains(kText.section(u'\n', 1).toUtf8()); });
            std::fputs("ready\n", stdout);
            std::fflush(stdout);
        });
    }
    run.write();
    return 0;
}

} // namespace

class TestDraftCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileWriting_data();
    void killedWhileWriting();
};

void TestDraftCrash::killedWhileWriting_data()
{
    QTest::addColumn<bool>("ownEditor");
    QTest::newRow("built-in editor") << false;
    QTest::newRow("editor of the user's own, killed with Kavrel") << true;
}

void TestDraftCrash::killedWhileWriting()
{
    QFETCH(bool, ownEditor);
    QTemporaryDir scratch;
    const QString editor = ownEditor ? writeEditor(scratch.path()) : QString();

    // Uninterrupted: the text written and saved.
    QByteArray expected;
    {
        test::DemoDir demo;
        test::writeFile(demo.path(QStringLiteral("SIGN/kabura.sig")), kSignature);
        Running run { QString() };
        QVERIFY(run.openBoard());
        if (ownEditor) {
            run.program.session().Dir[settings::DirRecord::Editor_Path] = editor;
            test::writeFile(scratch.filePath(QStringLiteral("exit")), QByteArray());
        } else {
            run.typeAndSave();
        }
        run.write();
        expected = test::readFile(demo.path(QStringLiteral("UP/KABURA.up")));
        QFile::remove(scratch.filePath(QStringLiteral("exit")));
        QFile::remove(scratch.filePath(QStringLiteral("ready")));
    }
    QVERIFY(cp932::decode(expected).contains(QStringLiteral("ここまで書いた文章です。\r\n-- 山田太郎\r\n")));

    test::DemoDir demo;
    test::writeFile(demo.path(QStringLiteral("SIGN/kabura.sig")), kSignature);
    const QByteArray before = test::readFile(demo.path(QStringLiteral("UP/KABURA.up")));
    const QString folder = scratch.filePath(QStringLiteral("data/drafts"));

    // Killed while writing.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KAVREL_DRAFT_CHILD"), QStringLiteral("1"));
    env.insert(QStringLiteral("KAVREL_DRAFT_FOLDER"), folder);
    env.insert(QStringLiteral("KAVREL_DRAFT_EDITOR"), editor);
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(demo.path(QString()));
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    if (ownEditor) {
        QVERIFY(waitFor([&] { return QFile::exists(scratch.filePath(QStringLiteral("ready"))); }));
    } else {
        QVERIFY(waitFor([&] { return child.canReadLine() || child.state() != QProcess::Running; }));
        QCOMPARE(child.readLine(), QByteArray("ready\n"));
    }
    ::kill(pid_t(child.processId()), SIGKILL);
    if (ownEditor)
        ::kill(
            pid_t(test::readFile(scratch.filePath(QStringLiteral("editor.pid"))).trimmed().toInt()), SIGKILL);
    QVERIFY(child.waitForFinished());
    QCOMPARE(test::readFile(demo.path(QStringLiteral("UP/KABURA.up"))), before);

    // The next start: choosing the net offers the draft; Ctrl+S stores it.
    Running run(folder);
    QVERIFY(waitFor([&] { return run.program.netSelectWindow().isVisible(); }));
    QString shown;
    run.whenEditorShown([&] {
        shown = run.program.editorWindow().textEdit()->toPlainText();
        run.save();
    });
    auto *nets = run.program.netSelectWindow().findChild<QListWidget *>("Select_menu");
    run.messages.answers = { MsgAnswer::Cancel, MsgAnswer::Yes }; // keep the up file; take the draft up
    test::doubleClick(nets, nets->visualItemRect(nets->item(0)).center());
    QVERIFY(waitFor([&] { return !run.program.editorWindow().isVisible() && !shown.isEmpty(); }));
    const QStringList texts = run.messages.texts();
    QVERIFY2(
        texts.size() >= 2 && texts.at(1).startsWith(QStringLiteral("書きかけの文章があります（書込, No.")),
        qPrintable(texts.join(u'|')));
    QCOMPARE(shown, kText);
    QCOMPARE(test::readFile(demo.path(QStringLiteral("UP/KABURA.up"))), expected);
    QVERIFY(records(folder).isEmpty());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("KAVREL_DRAFT_CHILD"))
        return runChild();
    TestDraftCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_draftcrash.moc"
