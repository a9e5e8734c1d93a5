// The 通し読み window on a board of 100,000 articles (by default; the count
// is the first argument): how long until its first rows show, once the index
// is built, when the window opens on it and when the board is chosen again.
// Run with QT_QPA_PLATFORM=offscreen.

#include "ArchiveWindow.h"
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

    // What choosing the board costs in the core, step by step.
    {
        fulltext::FullTextIndex index(appDir);
        QVector<fulltext::IndexedCapture> captures;
        timer.restart();
        index.update(QStringLiteral("DAV"));
        const qint64 checked = timer.elapsed();
        timer.restart();
        index.capturesOf(QStringLiteral("DAV"), std::nullopt, &captures);
        const qint64 everyRead = timer.elapsed();
        timer.restart();
        const auto articles = fulltext::articlesAcross(captures);
        const qint64 merged = timer.elapsed();
        timer.restart();
        const auto boards = fulltext::boardsAcross(captures, articles);
        const qint64 listed = timer.elapsed();
        QVector<fulltext::ArchiveArticle> board;
        for (const fulltext::ArchiveArticle &a : articles) {
            if (a.shown.boardNo == 1)
                board.append(a);
        }
        timer.restart();
        const auto rows = fulltext::archiveRowsOf(board);
        const qint64 threaded = timer.elapsed();
        std::printf("core: index checked %lld ms, the net's %lld records read %lld ms, merged %lld ms, "
                    "%lld boards listed %lld ms; the board's %lld rows threaded %lld ms\n",
            static_cast<long long>(checked), static_cast<long long>(captures.size()),
            static_cast<long long>(everyRead), static_cast<long long>(merged),
            static_cast<long long>(boards.size()), static_cast<long long>(listed),
            static_cast<long long>(rows.size()), static_cast<long long>(threaded));
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
    window.openOn(QStringLiteral("DAV"), 1);
    QApplication::processEvents();
    const qint64 opened = timer.elapsed();
    const int rows = int(window.state().rows().size());
    const int shown = window.rowView()->model()->rowCount();

    window.chooseBoard(0);
    QApplication::processEvents();
    timer.restart();
    // Back to the big board from another.
    int big = 0;
    for (int i = 0; i < window.state().boards().size(); ++i) {
        if (window.state().boards().at(i).boardNo == 1)
            big = i;
    }
    window.chooseBoard(big);
    QApplication::processEvents();
    const qint64 chosen = timer.elapsed();
    if (window.state().rows().size() != rows)
        std::printf(
            "the board chosen again has %lld rows\n", static_cast<long long>(window.state().rows().size()));

    std::printf("%d rows (%d handed to the view at first): window opened on the board in %lld ms "
                "(including the index's check of the logs), board chosen in %lld ms\n",
        rows, shown, static_cast<long long>(opened), static_cast<long long>(chosen));
    return 0;
}
