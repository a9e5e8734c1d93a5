// The searches that walk every board of a big log: a string search that finds
// nothing (every article of every board is cut and tested) and the unread
// search in a log that is read to its end (every row of every board is passed
// over). Times are printed beside a plain decode of the same file in the same
// run (and iconv when there is one); both should grow linearly with the log.
//
//   bench_search [sizes in MB ...]     default 10; the README's table uses 25 75 300

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

    reader::Reader reader(f.session);
    Session &s = f.session;
    logindex::OpenFromNetScreen(s, { log.name });

    s.search.StringSearchOn = true;
    s.search.DateSearchOn = false;
    s.search.SearchText = QStringLiteral("見つからない文字列");
    qsizetype hits = -1;
    const double search = seconds([&] { hits = reader.walkSearch().size(); });
    const int searchBoard = s.main.Board_List.ListIndex;
    s.search.StringSearchOn = false;

    // Everything read: the pointer stands at the end of this log.
    s.unread.PtrRec.LogName = s.log.LogPath.leftJustified(80, u' ');
    s.unread.PtrRec.Pointer = s.log.LogText.size();
    const double unread = seconds([&] { reader.unreadFromFirstBoard(); });

    std::printf("%7.1f MB, %lld board items\n", mb, qlonglong(s.main.Board_List.ListCount()));
    printRatio("decode (read + CP932)", decode, decode, iconv);
    printRatio("search --text (no hit)", search, decode, iconv);
    std::printf("      %lld hits, ended on board item %d\n", qlonglong(hits), searchBoard);
    printRatio("unread (everything read)", unread, decode, iconv);
    std::printf("      ended on board item %d row %d\n", s.main.Board_List.ListIndex, s.main.Title.ListIndex);
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
