// Which working directory the program runs in: the folder named on the
// command line, the one opened last, the first-start dialog that opens or
// makes one, and another one opened while the program runs.

#include "DemoDir.h"
#include "FirstStartDialog.h"
#include "MainWindow.h"
#include "ProgramWindows.h"
#include "TestSupport.h"
#include "WindowPrefs.h"
#include "WorkingDirectoryChooser.h"

#include "settings/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

using namespace kavrel;
namespace prefs = kavrel::ui::prefs;

class TestWorkingDirectory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsInTheFolderNamedOrKeptOrAsksForOne_data();
    void startsInTheFolderNamedOrKeptOrAsksForOne();
    // Last: the demo gives the settings file a folder of its own.
    void anotherOneWhileRunning();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previous;
};

void TestWorkingDirectory::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    m_previous = QDir::currentPath();
}

void TestWorkingDirectory::init()
{
    // The settings folder starts empty: no working directory kept.
    QFile::remove(prefs::open()->fileName());
    QVERIFY(prefs::open()->allKeys().isEmpty());
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(path(QStringLiteral("kept/LOG"))));
    test::writeFile(path(QStringLiteral("kept/DIR.DEF")), QByteArray(300, '\0'));
    QVERIFY(QDir().mkpath(path(QStringLiteral("plain"))));
    test::writeFile(path(QStringLiteral("plain/memo.txt")), "not a working directory");
    QVERIFY(QDir().mkpath(path(QStringLiteral("locked"))));
    test::writeFile(path(QStringLiteral("locked/DIR.DEF")), QByteArray(300, '\0'));
    QVERIFY(QFile::setPermissions(path(QStringLiteral("locked")), QFileDevice::WriteOwner));
}

void TestWorkingDirectory::cleanup()
{
    QFile::setPermissions(path(QStringLiteral("locked")),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDir::setCurrent(m_previous);
    QFile::remove(prefs::open()->fileName());
    m_dir.reset();
}

void TestWorkingDirectory::startsInTheFolderNamedOrKeptOrAsksForOne_data()
{
    QTest::addColumn<QString>("named"); // on the command line, under the scratch folder
    QTest::addColumn<QString>("kept"); // the one opened last, in the settings file
    QTest::addColumn<QString>("problem"); // the dialog says it; "-" when there is no dialog
    QTest::addColumn<QString>("typed"); // in the dialog's folder field; empty to quit
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("opened"); // the working directory afterwards, empty when quit

    QTest::newRow("first start makes a new one")
        << QString() << QString() << QString() << QStringLiteral("new/work") << QStringLiteral("create")
        << QStringLiteral("new/work");
    QTest::newRow("first start opens an existing one")
        << QString() << QString() << QString() << QStringLiteral("kept") << QStringLiteral("open")
        << QStringLiteral("kept");
    QTest::newRow("the one opened last") << QString() << QStringLiteral("kept") << QStringLiteral("-")
                                         << QString() << QString() << QStringLiteral("kept");
    QTest::newRow("named wins over the last one")
        << QStringLiteral("kept") << QStringLiteral("plain") << QStringLiteral("-") << QString() << QString()
        << QStringLiteral("kept");
    QTest::newRow("named without DIR.DEF")
        << QStringLiteral("plain") << QStringLiteral("kept") << QStringLiteral("DIR.DEF がありません")
        << QString() << QString() << QString();
    QTest::newRow("named and unreadable")
        << QStringLiteral("locked") << QString() << QStringLiteral("を読めません") << QString() << QString()
        << QString();
    QTest::newRow("named and missing")
        << QStringLiteral("gone") << QString() << QStringLiteral("がありません") << QString() << QString()
        << QString();
    QTest::newRow("the last one has gone")
        << QString() << QStringLiteral("gone") << QStringLiteral("がありません") << QString() << QString()
        << QString();
    QTest::newRow("the folder chosen to open is no working directory, then a new one is made there")
        << QString() << QString() << QString() << QStringLiteral("plain") << QStringLiteral("open+create")
        << QStringLiteral("plain");
}

void TestWorkingDirectory::startsInTheFolderNamedOrKeptOrAsksForOne()
{
    QFETCH(QString, named);
    QFETCH(QString, kept);
    QFETCH(QString, problem);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QString, opened);
    if (named == QLatin1String("locked") && geteuid() == 0)
        QSKIP("root reads folders without permission");
    if (!kept.isEmpty())
        prefs::open()->setValue(prefs::kWorkingDirectory, path(kept));

    test::ScriptedMessages messages;
    ui::ProgramWindows program(&messages);
    ui::WorkingDirectoryChooser chooser(program);
    bool asked = false;
    QString problemShown;
    QString problemAfterOpen;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<ui::FirstStartDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        asked = true;
        const auto *said = dialog->findChild<QLabel *>(QStringLiteral("problem"));
        problemShown = said->isVisibleTo(dialog) ? said->text() : QString();
        if (typed.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("folder"))->setText(path(typed));
        for (const QString &name : button.split(u'+')) {
            dialog->findChild<QPushButton *>(name)->click();
            if (dialog->isVisible())
                problemAfterOpen = said->text();
        }
    });
    const bool started = chooser.start(named.isEmpty() ? QString() : path(named));

    QCOMPARE(asked, problem != QLatin1String("-"));
    if (asked)
        QVERIFY2(problemShown.contains(problem), qPrintable(problemShown));
    QCOMPARE(started, !opened.isEmpty());
    // A folder the user did not choose gains nothing.
    QCOMPARE(
        QDir(path(QStringLiteral("plain"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name),
        opened == QLatin1String("plain")
            ? QStringList({ "BL", "DATA.DEF", "DIR.DEF", "LOG", "SET.def", "UP", "memo.txt" })
            : QStringList { "memo.txt" });
    if (!started) {
        QVERIFY(!program.mainWindow().isVisible());
        return;
    }
    QCOMPARE(QDir::currentPath(), QDir(path(opened)).canonicalPath());
    QCOMPARE(prefs::open()->value(prefs::kWorkingDirectory).toString(),
        QFileInfo(path(opened)).absoluteFilePath());
    QVERIFY(program.mainWindow().isVisible());
    const bool made = button.endsWith(QLatin1String("create"));
    if (button == QLatin1String("open+create"))
        QVERIFY2(
            problemAfterOpen.contains(QStringLiteral("DIR.DEF がありません")), qPrintable(problemAfterOpen));
    QCOMPARE(program.setNetData().loaded, made);
    if (!made)
        return;
    // A new working directory: its settings as the program writes them, no
    // nets yet, and the net definition editor open on the first one.
    QCOMPARE(test::readFile(path(opened + QStringLiteral("/SET.def"))), QByteArray("000000000"));
    QCOMPARE(test::readFile(path(opened + QStringLiteral("/DATA.DEF"))), QByteArray());
    const QByteArray dirDef = test::readFile(path(opened + QStringLiteral("/DIR.DEF")));
    QCOMPARE(dirDef,
        QByteArray("\x03\x00LOG\x02\x00UP\x02\x00"
                   "BL",
            13)
            + QByteArray(16, '\0'));
    for (const char *folder : { "LOG", "UP", "BL" })
        QVERIFY(QFileInfo(path(opened + u'/' + QLatin1String(folder))).isDir());
    QCOMPARE(program.session().AppDir, QFileInfo(path(opened)).absoluteFilePath());
    QCOMPARE(program.setNetData().Fields.Net_Name, Program::kFirstNetName);
}

void TestWorkingDirectory::anotherOneWhileRunning()
{
    test::DemoProgram run;
    run.startDemo();
    QTRY_VERIFY(run.program->netSelectWindow().isVisible());
    test::openLogByClicks(*run.program, *run.messages, 0, QStringLiteral("KAB0606.LOG"));
    Session &s = run.program->session();
    QCOMPARE(s.NetIndex, 0);
    QVERIFY(s.main.Board_List.ListCount() > 0);
    const QString demo = QDir::currentPath();

    // A folder without DIR.DEF is refused and changes nothing.
    QVERIFY(!run.program->openWorkingDirectory(path(QStringLiteral("plain"))));
    QVERIFY2(run.messages->texts().constLast().contains(QStringLiteral("DIR.DEF がありません")),
        qPrintable(run.messages->texts().join(u'\n')));
    QCOMPARE(QDir::currentPath(), demo);
    QCOMPARE(s.NetIndex, 0);

    // The demo is closed as on closing the window: its placement is saved
    // there, and TEMP.TXT goes. The new one starts with nothing of it.
    test::writeFile(demo + QStringLiteral("/TEMP.TXT"), "left by the editor");
    run.window->move(40, 60);
    const int leftAt = run.window->frameGeometry().top();
    QVERIFY(run.program->openWorkingDirectory(path(QStringLiteral("kept"))));
    QVERIFY(!QFile::exists(demo + QStringLiteral("/TEMP.TXT")));
    Session before;
    before.AppDir = demo;
    settings::ReadSettings(before);
    QCOMPARE(before.Dir[settings::DirRecord::WindowTop], QString::number(leftAt));
    QCOMPARE(QDir::currentPath(), QDir(path(QStringLiteral("kept"))).canonicalPath());
    QCOMPARE(s.AppDir, path(QStringLiteral("kept")));
    QCOMPARE(s.NetIndex, -1);
    QVERIFY(s.NetTable.isEmpty());
    QCOMPARE(s.main.Board_List.ListCount(), 0);
    QVERIFY(run.window->isVisible());
    QCOMPARE(prefs::open()->value(prefs::kWorkingDirectory).toString(), path(QStringLiteral("kept")));

    // Closing now closes the new one.
    run.window->close();
    QVERIFY(QFile::exists(path(QStringLiteral("kept/DIR.DEF"))));
    run.stopDemo();
}

QTEST_MAIN(TestWorkingDirectory)
#include "tst_workingdirectory.moc"
