// Times the title list build, article clicks and the unread search on
// generated logs of 25, 50 and 100 MB with one board of 1,000 articles per MB,
// to show that each grows linearly with the log.
//
//   bench_titles            all three sizes
//   bench_titles 10         one size, in MB

#include "ReaderModes.h"
#include "TestKeys.h"
#include "TitleLogGenerator.h"

#include "reader/Reader.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <functional>

using namespace kavrel;
using namespace kavrel::test;

namespace {

double millis(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void runSize(int megabytes, QTextStream &out)
{
    LogShape shape;
    shape.variant = 7;
    shape.boards = 1;
    shape.articlesPerBoard = megabytes * 1000;
    shape.bodyLines = 14;
    shape.bodyLineLength = 60;
    shape.mails = false;
    shape.chatRooms = false;
    shape.oddities = false;
    shape.upFile = false;
    shape.duplicatePercent = 1;
    shape.titleOnlyPercent = 5;
    const GeneratedLog log = generateLog(shape);

    Session s;
    loadGenerated(s, log, false);
    s.log.LogPath = QStringLiteral("/logs/bench.log");
    reader::Reader r(s);
    s.main.titleHasFocus = true; // select rows explicitly below

    const double build = millis([&] { clickBoard(s.main, 0); });
    const int rows = s.main.rowCount();
    const double firstClick = millis([&] { clickRow(s.main, 0); });
    const double middleClick = millis([&] { clickRow(s.main, rows / 2); });
    const double lastClick = millis([&] { clickRow(s.main, rows - 1); });
    const double rebuild = millis([&] { r.BuildTitleList(); });

    // The unread search from the first row with the whole log read: it
    // passes over every row of the board and ends on the last one.
    clickRow(s.main, 0);
    s.unread.PtrRec.LogName = s.log.LogPath.leftJustified(80);
    s.unread.PtrRec.Pointer = log.text.size();
    const double unread = millis([&] { test::pressKey(r, reader::Key_Down, reader::Shift_Shift); });
    const int stoppedAt = s.main.Title.ListIndex;

    // A string search that never matches: the advance cuts and tests every
    // article of the board. (An unread search that ran out on its own board
    // stays pending; it is ended first.)
    s.reading.LastWrittenKind = ReaderMode::None;
    clickRow(s.main, 0);
    s.search.StringSearchOn = true;
    s.search.SearchText = QStringLiteral("見つからない文字列");
    const double searchAll = millis([&] { test::pressKey(r, reader::Key_Down); });

    out << QStringLiteral(
        "%1 MB (%2 chars, %3 rows): build %4 ms, rebuild %5 ms, click first %6 ms (builds the log "
        "index), middle %7 ms, last %8 ms, unread search %9 ms (stopped at row %10), search "
        "advance over all rows %11 ms\n")
               .arg(megabytes)
               .arg(log.text.size())
               .arg(rows)
               .arg(build, 0, 'f', 1)
               .arg(rebuild, 0, 'f', 1)
               .arg(firstClick, 0, 'f', 1)
               .arg(middleClick, 0, 'f', 3)
               .arg(lastClick, 0, 'f', 3)
               .arg(unread, 0, 'f', 1)
               .arg(stoppedAt)
               .arg(searchAll, 0, 'f', 1);
    out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() > 1) {
        runSize(args.at(1).toInt(), out);
        return 0;
    }
    for (int mb : { 25, 50, 100 })
        runSize(mb, out);
    return 0;
}
