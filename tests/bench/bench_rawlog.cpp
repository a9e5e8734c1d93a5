// ログで表示 on a big log: mapping the file and counting its lines, finding
// the shown article's line near the end of the log, and decoding one
// screenful. The whole opening should stay within a tenth of a second on a
// log of 300 MB; the decoding of a screen does not grow with the log.
//
//   bench_rawlog [sizes in MB ...]   (default: 75 150 300)

#include "LogGenerator.h"
#include "base/Cp932.h"
#include "base/FileIo.h"
#include "rawlog/RawLogFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace kavrel;

namespace {

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void run(qint64 megabytes)
{
    test::LogGeneratorOptions o;
    o.boards = 200;
    o = test::LogGenerator::sized(o, megabytes * 1024 * 1024);
    const QByteArray bytes = test::LogGenerator(o).bytes();
    const QString text = cp932::decode(bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.log"));
    if (!fileio::writeAtomic(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return;
    }
    // An article in the middle of the log (the farthest from both ends),
    // as the reader would answer it: where its line begins, and the line.
    const qsizetype start = text.lastIndexOf(QStringLiteral("\r\n"), text.size() / 2) + 3;
    const QStringList shown { text.mid(
        start - 1, text.indexOf(QStringLiteral("\r\n"), start - 1) - (start - 1)) };

    QElapsedTimer t;
    t.start();
    rawlog::RawLogFile file;
    file.open(path);
    const double opened = ms(t);
    t.restart();
    const rawlog::ArticleLines lines = file.locate(text, start, shown);
    const double located = ms(t);
    t.restart();
    qsizetype chars = 0;
    for (qsizetype i = lines.first; i < lines.first + 60 && i < file.lineCount(); ++i)
        chars += file.displayText(i).size();
    const double screen = ms(t);
    std::printf("%6.1f MB %9lld lines: open %7.1f ms, article line %7.1f ms, one screen %6.2f ms "
                "(total %7.1f ms, %lld chars)\n",
        double(bytes.size()) / (1024.0 * 1024.0), static_cast<long long>(file.lineCount()), opened, located,
        screen, opened + located + screen, static_cast<long long>(chars));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<qint64> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QByteArray(argv[i]).toLongLong();
    if (sizes.isEmpty())
        sizes = { 75, 150, 300 };
    for (const qint64 size : sizes)
        run(size);
    return 0;
}
