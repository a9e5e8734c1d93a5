// The 通し読み window on a board of 100,000 articles (by default; the count
// is the first argument): how long until its first rows show, once the index
// is built, when the window opens on it and when the board is chosen again.
// Run with QT_QPA_PLATFORM=offscreen.

#include "ArchiveWindow.h"
#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "ProgramWindows.h"
#include "TestSupport.h"

#include "fulltext/FullTextIndex.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

using namespace kavrel;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int articles = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString appDir = dir.path();
    QDir(appDir).mkpath(QStringLiteral("LOG"));
    settings::DirRecord d;
    d[settings::DirRecord::LOG_Dir] = QStringLiteral("LOG");
    d[settings::DirRecord::Up_Dir] = QStringLiteral("UP");
    d[settings::DirRecord::BL_Dir] = QStringLiteral("BL");
    test::writeFile(appDir + QStringLiteral("/DIR.DEF"), settings::SettingsStore::encodeDirRecord(d));
    test::writeFile(appDir + QStringLiteral("/DATA.DEF"),
        settings::NetDefinitionsFile::encodeRecord(
            test::netRecord(QStringLiteral("DAV"), QStringLiteral("DAV"))));
    test::LogGeneratorOptions o;
    o.boards = 3;
    o.largeBoardArticles = articles;
    o.bodyLines = 2;
    o.senders = 3000;
    test::writeFile(appDir + QStringLiteral("/LOG/DAV0001.LOG"), test::LogGenerator(o).bytes());

    QElapsedTimer timer;
    timer.start();
    {
        fulltext::FullTextIndex index(appDir);
        if (!index.update()) {
            std::fprintf(stderr, "%s\n", qPrintable(index.errorText()));
            return 2;
        }
    }
    std::printf("index of %d articles built in %lld ms\n", articles, static_cast<long long>(timer.elapsed()));

    QDir::setCurrent(appDir);
    test::ScriptedMessages messages;
    ui::ProgramWindows program(&messages);
    program.start();
    ui::ArchiveWindow window(program);
    window.resize(1100, 700);
    window.show();
    QApplication::processEvents();

    timer.restart();
    window.openOn(QStringLiteral("DAV"), 1);
    QApplication::processEvents();
    const qint64 opened = timer.elapsed();
    const int rows = int(window.state().rows().size());
    const int shown = window.rowView()->model()->rowCount();

    window.chooseBoard(0);
    QApplication::processEvents();
    timer.restart();
    window.chooseBoard(int(window.state().boards().size()) > 1 ? 1 : 0);
    QApplication::processEvents();
    const qint64 chosen = timer.elapsed();

    std::printf("%d rows (%d handed to the view at first): window opened on the board in %lld ms "
                "(including the index's check of the logs), board chosen in %lld ms\n",
        rows, shown, static_cast<long long>(opened), static_cast<long long>(chosen));
    return 0;
}
