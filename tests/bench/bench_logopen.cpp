// Opening a big log: reading and decoding it, the ID list update and the
// board scan, for logs of 25, 50 and 100 MB. Each step should take time in
// proportion to the log's size (about the same MB/s at every size).
//
//   bench_logopen [sizes in MB ...]

#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "base/FileIo.h"
#include "logindex/LogOpener.h"
#include "logindex/LogScanner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

using namespace kavrel;
using namespace kavrel::test;

namespace {

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

void run(qint64 megabytes)
{
    LogIndexFixture f;
    f.session.main.events = nullptr; // no reader: the scan only selects the board

    LogGeneratorOptions o;
    o.boards = 200;
    o.skippedBoards = 20;
    o.mails = 60;
    o.chatRooms = 4;
    o.senders = 3000;
    o = LogGenerator::sized(o, megabytes * 1024 * 1024);

    QElapsedTimer t;
    t.start();
    const QByteArray bytes = LogGenerator(o).bytes();
    const double generated = seconds(t);
    const QString path = f.logPath(QStringLiteral("DAV%1.LOG").arg(megabytes));
    if (!fileio::writeAtomic(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return;
    }
    const double mb = double(bytes.size()) / (1024.0 * 1024.0);

    f.session.LogPath = path;
    t.restart();
    QByteArray read;
    fileio::readAll(path, &read);
    const double readTime = seconds(t);

    // LoadLog reads, decodes, updates the ID list and settles the pointer;
    // the ID list update is timed once more on its own below.
    t.restart();
    logindex::LoadLog(f.session);
    const double loadTime = seconds(t);

    t.restart();
    logindex::UpdateIdList(f.session);
    const double idTime = seconds(t);

    t.restart();
    logindex::ScanLog(f.session);
    const double scanTime = seconds(t);

    const double total = loadTime + scanTime;
    std::printf("%6.1f MB (%d articles/board, generated in %.1f s)\n", mb, o.articlesPerBoard, generated);
    std::printf("   read file     %7.3f s  %8.1f MB/s\n", readTime, mb / readTime);
    std::printf(
        "   LoadLog       %7.3f s  %8.1f MB/s  (read, decode, ID list, pointer)\n", loadTime, mb / loadTime);
    std::printf("   UpdateIdList  %7.3f s  %8.1f MB/s  (%lld list lines)\n", idTime, mb / idTime,
        qlonglong(f.session.IdListText.count(QStringLiteral("\r\n"))));
    std::printf("   ScanLog       %7.3f s  %8.1f MB/s  (%lld board items)\n", scanTime, mb / scanTime,
        qlonglong(f.session.main.Board_List.ListCount()));
    std::printf("   open total    %7.3f s  %8.1f MB/s\n", total, mb / total);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<qint64> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QByteArray(argv[i]).toLongLong());
    if (sizes.isEmpty())
        sizes = { 25, 50, 100 };
    for (const qint64 size : sizes)
        run(size);
    return 0;
}
