// Start-up and shutdown of the main window on a copy of the demo: the
// placement, the scratch file, the net selection screen once, the focus rule.

#include "DemoDir.h"
#include "Fonts.h"
#include "MainWindow.h"
#include "NetSelectWindow.h"
#include "ProgramWindows.h"
#include "TestSupport.h"
#include "TitleView.h"

#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QTest>

using namespace kavrel;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        demo = std::make_unique<test::DemoDir>();
        messages = std::make_unique<test::ScriptedMessages>();
    }
    void cleanup()
    {
        program.reset();
        demo.reset();
    }

    void placementRestoredAndSavedScratchFileRemoved()
    {
        // A placement saved by an earlier run; the width is not kept.
        {
            Session s;
            s.AppDir = demo->path(QString());
            settings::ReadSettings(s);
            QVERIFY(settings::WriteWindowPlacement(s, 30, 120, 500));
        }
        test::writeFile(demo->path("TEMP.TXT"), "left over");
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        QVERIFY(!QFile::exists(demo->path("TEMP.TXT")));
        ui::MainWindow &window = program->mainWindow();
        QCOMPARE(window.pos(), QPoint(30, 120));
        QCOMPARE(window.height(), 500);

        window.move(70, 90);
        window.resize(window.width(), 420);
        test::writeFile(demo->path("TEMP.TXT"), "written by the editor");
        window.close();
        QVERIFY(!window.isVisible());
        QVERIFY(!QFile::exists(demo->path("TEMP.TXT")));
        Session after;
        after.AppDir = demo->path(QString());
        settings::ReadSettings(after);
        QCOMPARE(after.Dir[settings::DirRecord::WindowLeft], QStringLiteral("70"));
        QCOMPARE(after.Dir[settings::DirRecord::WindowTop], QStringLiteral("90"));
        QCOMPARE(after.Dir[settings::DirRecord::WindowHeight], QStringLiteral("420"));
        QCOMPARE(after.Dir[settings::DirRecord::LOG_Dir], QStringLiteral("LOG"));
    }

    void netSelectionOnlyAtTheFirstActivation()
    {
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        QTest::keyClick(&program->netSelectWindow(), Qt::Key_Escape);
        QVERIFY(!program->netSelectWindow().isVisible());
        program->forward([this] { program->mainWindowActivated(); });
        program->forward([this] { program->mainWindowActivated(); });
        QVERIFY(!program->netSelectWindow().isVisible());
    }

    void withoutTheOptionNoNetSelection()
    {
        QByteArray flags = test::readFile(demo->path("SET.def"));
        flags[0] = '0';
        test::writeFile(demo->path("SET.def"), flags);
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        program->forward([this] { program->mainWindowActivated(); });
        QVERIFY(!program->netSelectWindow().isVisible());
        QVERIFY(program->mainWindow().isEnabled());
    }

    void keysInTheBoardListGoToTitle()
    {
        QByteArray flags = test::readFile(demo->path("SET.def"));
        flags[0] = '0';
        test::writeFile(demo->path("SET.def"), flags);
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        ui::MainWindow &window = program->mainWindow();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.boardList()->setFocus();
        QTRY_VERIFY(window.boardList()->hasFocus());
        QVERIFY(!program->session().main.titleHasFocus);
        QTest::keyClick(window.boardList(), Qt::Key_Down);
        QVERIFY(window.titleView()->hasFocus());
        QVERIFY(program->session().main.titleHasFocus);
    }

    void listFontFallsBackToAMincho()
    {
        const QString family = ui::fonts::resolvedListFamily();
        bool minchoInstalled = false;
        for (const QString &f : QFontDatabase::families())
            minchoInstalled = minchoInstalled || f.contains("Mincho") || f.contains(QStringLiteral("明朝"));
        if (!minchoInstalled)
            QSKIP("no Mincho font installed");
        QVERIFY2(family.contains("Mincho") || family.contains(QStringLiteral("明朝")), qPrintable(family));
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        QCOMPARE(program->mainWindow().titleView()->font().family(), family);
    }

private:
    std::unique_ptr<test::DemoDir> demo;
    std::unique_ptr<test::ScriptedMessages> messages;
    std::unique_ptr<ui::ProgramWindows> program;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
