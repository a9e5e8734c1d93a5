// Merging many board lines: remembered boards in falling order and a log that
// enters each board again, for 10,000, 20,000 and 40,000 board lines. The scan
// (sort and repeat removal) should take time in proportion to n log n: twice
// the lines, a little over twice the time.
//
//   bench_boardlist [thousands of lines ...]

#include "LogIndexFixture.h"
#include "TestSupport.h"
#include "logindex/LogScanner.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace kavrel;
using namespace kavrel::test;

namespace {

void run(int lines)
{
    LogIndexFixture f;
    f.session.main.events = nullptr;
    const int boards = lines / 2;
    QString file;
    for (int n = boards; n >= 1; --n)
        file += QStringLiteral("No.%1 ｢板%1｣K%1 \r\n").arg(n);
    writeFile(f.session.boardListFilePath(), sjis(file));
    QStringList log = { QStringLiteral("x") };
    for (int n = boards; n >= 1; --n) {
        log << QStringLiteral("No.%1 ｢板%1｣").arg(n) << QStringLiteral("-\t-\t-\t-\t-\t-\t-\t-\t-")
            << QStringLiteral("K%1(1/2) 26/12/07 12:00:00 題").arg(n) << QStringLiteral("読み終わりました。");
    }
    f.session.log.LogText = crlfLines(log);

    QElapsedTimer t;
    t.start();
    logindex::ScanLog(f.session);
    const double s = double(t.nsecsElapsed()) / 1e9;
    std::printf("%6d board lines (%5.1f MB log): scan %7.3f s, %d boards\n", lines,
        double(f.session.log.LogText.size() * 2) / (1024.0 * 1024.0), s,
        f.session.main.Board_List.ListCount());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QByteArray(argv[i]).toInt() * 1000;
    if (sizes.isEmpty())
        sizes = { 10000, 20000, 40000 };
    for (int lines : sizes)
        run(lines);
    return 0;
}
