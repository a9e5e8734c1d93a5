// The 通し読み window on a board of 100,000 articles (by default; the count
// is the first argument): how long until its first rows show, once the index
// is built, when the window opens on it and when the board is chosen again.
// Run with QT_QPA_PLATFORM=offscreen.

#include "ArchiveWindow.h"
#include "BenchLog.h"
#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "ProgramWindows.h"
#include "TestSupport.h"

#include "fulltext/Archive.h"
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

    // What opening the net and choosing the board cost in the core, step by
    // step: the first time the index keeps each board's archive.
    {
        fulltext::FullTextIndex index(appDir);
        timer.restart();
        index.update(QStringLiteral("DAV"));
        const qint64 checked = timer.elapsed();
        QVector<fulltext::ArchiveBoard> boards;
        timer.restart();
        fulltext::boardsOf(index, QStringLiteral("DAV"), &boards);
        const qint64 kept = timer.elapsed();
        timer.restart();
        fulltext::boardsOf(index, QStringLiteral("DAV"), &boards);
        const qint64 listed = timer.elapsed();
        QVector<fulltext::ArchiveRow> rows;
        timer.restart();
        fulltext::boardRows(index, QStringLiteral("DAV"), 1, {}, &rows);
        const qint64 rowsKept = timer.elapsed();
        timer.restart();
        fulltext::boardRows(index, QStringLiteral("DAV"), 1, {}, &rows);
        const qint64 read = timer.elapsed();
        QVector<fulltext::ArchiveRow> first;
        qsizetype total = 0;
        timer.restart();
        fulltext::firstBoardRows(index, QStringLiteral("DAV"), 1, 500, &first, &total);
        const qint64 firstRead = timer.elapsed();
        QList<std::pair<QString, int>> months;
        timer.restart();
        fulltext::monthsOf(index, QStringLiteral("DAV"), 1, &months);
        const qint64 counted = timer.elapsed();
        std::printf(
            "core: index checked %lld ms, every board's months kept %lld ms, %lld boards listed %lld ms; "
            "the board's %lld rows kept %lld ms, read %lld ms, the first 500 read %lld ms, its %lld months "
            "%lld "
            "ms\n",
            static_cast<long long>(checked), static_cast<long long>(kept),
            static_cast<long long>(boards.size()), static_cast<long long>(listed),
            static_cast<long long>(rows.size()), static_cast<long long>(rowsKept),
            static_cast<long long>(read), static_cast<long long>(firstRead),
            static_cast<long long>(months.size()), static_cast<long long>(counted));
    }

    QDir::setCurrent(appDir);
    test::ScriptedMessages messages;
    ui::ProgramWindows program(&messages);
    program.start();
    ui::ArchiveWindow window(program);
    window.resize(1100, 700);
    window.show();
    QApplication::processEvents();

    timer.restart();
    double cpu = bench::cpuNow();
    window.openOn(QStringLiteral("DAV"), 1);
    QApplication::processEvents();
    const qint64 opened = timer.elapsed();
    const double openedCpu = bench::cpuNow() - cpu;
    const int rows = int(window.state().rowCount());
    const int read = int(window.state().rows().size());
    const int shown = window.rowView()->model()->rowCount();

    window.chooseBoard(0);
    QApplication::processEvents();
    timer.restart();
    cpu = bench::cpuNow();
    // Back to the big board from another.
    int big = 0;
    for (int i = 0; i < window.state().boards().size(); ++i) {
        if (window.state().boards().at(i).boardNo == 1)
            big = i;
    }
    window.chooseBoard(big);
    QApplication::processEvents();
    const qint64 chosen = timer.elapsed();
    const double chosenCpu = bench::cpuNow() - cpu;
    if (window.state().rowCount() != rows)
        std::printf(
            "the board chosen again has %lld rows\n", static_cast<long long>(window.state().rowCount()));

    std::printf(
        "%d rows (%d read, %d handed to the view at first): window opened on the board in %lld ms "
        "(%.0f ms of processor time; including the index's check of the logs), board chosen in %lld ms "
        "(%.0f ms)\n",
        rows, read, shown, static_cast<long long>(opened), openedCpu * 1000, static_cast<long long>(chosen),
        chosenCpu * 1000);

    // A month on the timeline: the board's rows are read whole and threaded again.
    timer.restart();
    cpu = bench::cpuNow();
    window.chooseMonths(0, 0);
    QApplication::processEvents();
    const qint64 filtered = timer.elapsed();
    const double filteredCpu = bench::cpuNow() - cpu;
    std::printf("its first month chosen on the timeline (%lld rows) in %lld ms (%.0f ms)\n",
        static_cast<long long>(window.state().rowCount()), static_cast<long long>(filtered),
        filteredCpu * 1000);
    return 0;
}
