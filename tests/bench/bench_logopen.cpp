// Opening a big log as the program does it: the file read and decoded, its
// articles found, the ID list and the unread pointer brought up to date, the
// boards scanned, the reader attached, the first board's title list built and
// its first article shown, with progress reported; then the title list of the largest board. Times are
// printed beside a plain decode of the same file in the same run (and iconv when there is one), and the
// open's peak memory beside the log's size.
//
//   bench_logopen [sizes in MB ...]     default 10; the README's table uses 25 75 300

#include "BenchLog.h"

#include "logindex/LogOpener.h"
#include "reader/Reader.h"

#include <QCoreApplication>

using namespace kavrel;
using namespace kavrel::bench;

namespace {

void run(qint64 megabytes)
{
    test::LogIndexFixture f;
    const MeasuredLog log = writeMeasuredLog(f, megabytes);
    const double mb = log.megabytes();
    const double decode = log.decode;
    const double iconv = log.iconv;
    const qint64 size = log.size;
    const int large = log.largeBoardArticles;

    reader::Reader reader(f.session);
    const qint64 before = residentNow();
    resetPeak();
    // Told of its progress, as the window's open is.
    int reports = 0;
    const logindex::OpenProgress progress = [&reports](qint64, qint64) {
        ++reports;
        return true;
    };
    const double open = seconds([&] { logindex::OpenFromNetScreen(f.session, { log.name }, progress); });
    const qint64 peak = residentPeak() - before;
    const int item = reader.boardItemOfNumber(1);
    const double titles = seconds([&] { reader.chooseBoard(item); });
    const int rows = f.session.main.rowCount();

    std::printf("%7.1f MB, largest board %d articles (%d rows), %lld board items, %d progress reports\n", mb,
        large, rows, qlonglong(f.session.main.Board_List.ListCount()), reports);
    printRatio("decode (read + CP932)", decode, decode, iconv);
    if (iconv > 0)
        printRatio("iconv -f CP932 -t UTF-16LE", iconv, decode, iconv);
    printRatio("open (first board, first article)", open, decode, iconv);
    printRatio("titles of the largest board", titles, decode, iconv);
    printRatio("open + titles", open + titles, decode, iconv);
    std::printf("   %-34s %8.1f MB  %6.2f x the log\n", "peak memory of open", double(peak) / 1048576.0,
        double(peak) / double(size));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (const qint64 size : sizesFrom(argc, argv, { 10 }))
        run(size);
    return 0;
}
