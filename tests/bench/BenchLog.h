#pragma once

// What the log benchmarks share: a generated log of a given size written into
// a net's log folder, the plain decode of the same file as the yardstick, and
// the process's peak memory.

#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "base/Cp932.h"
#include "base/FileIo.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>
#include <functional>

namespace kavrel::bench {

// CPU seconds of the process (the machines that run these are shared, so
// wall-clock time would count other people's work too).
inline double cpuNow()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
inline double childrenCpu()
{
    rusage u {};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

inline double seconds(const std::function<void()> &work)
{
    const double start = cpuNow();
    work();
    return cpuNow() - start;
}

// A log as heavy users have them: one board of 100,000 articles per
// 75 MB, the rest spread over 50 boards, with the mail box, boards entered but
// not read and chat rooms.
inline QByteArray generatedLog(qint64 megabytes, int *largeBoardArticles = nullptr)
{
    test::LogGeneratorOptions o;
    o.boards = 51;
    o.skippedBoards = 5;
    o.mails = 60;
    o.chatRooms = 4;
    o.senders = 3000;
    o.largeBoardArticles = int(std::max<qint64>(100, megabytes * 100000 / 75));
    o = test::LogGenerator::sized(o, megabytes * 1024 * 1024);
    if (largeBoardArticles)
        *largeBoardArticles = o.largeBoardArticles;
    return test::LogGenerator(o).bytes();
}

// Seconds to read and decode the file, the best of two.
inline double plainDecode(const QString &path)
{
    double best = 1e9;
    for (int i = 0; i < 2; ++i) {
        best = std::min(best, seconds([&] {
            QByteArray bytes;
            fileio::readAll(path, &bytes);
            const QString text = cp932::decode(bytes);
            if (text.isEmpty())
                std::fprintf(stderr, "decode gave nothing\n");
        }));
    }
    return best;
}

// CPU seconds of iconv -f CP932 -t UTF-16LE on the file; 0 when there is no iconv.
inline double iconvDecode(const QString &path)
{
    const QString iconv = QStandardPaths::findExecutable(QStringLiteral("iconv"));
    if (iconv.isEmpty())
        return 0;
    double best = 1e9;
    for (int i = 0; i < 2; ++i) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        const double start = childrenCpu();
        p.start(iconv,
            { QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"), QStringLiteral("UTF-16LE"),
                path });
        if (!p.waitForFinished(-1) || p.exitCode() != 0)
            return 0;
        best = std::min(best, childrenCpu() - start);
    }
    return best;
}

// The resident size now and at its peak, in bytes (Linux); the peak can be
// reset so that one step's peak is measured alone.
inline qint64 statusValue(const char *name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}
inline qint64 residentNow()
{
    return statusValue("VmRSS");
}
inline qint64 residentPeak()
{
    return statusValue("VmHWM");
}
inline void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// A generated log written into the fixture's log folder, with its yardsticks
// measured: the plain decode and iconv of the same file.
struct MeasuredLog
{
    QString name;
    QString path;
    qint64 size = 0;
    int largeBoardArticles = 0;
    double decode = 0;
    double iconv = 0;

    double megabytes() const { return double(size) / (1024.0 * 1024.0); }
};

inline MeasuredLog writeMeasuredLog(test::LogIndexFixture &f, qint64 megabytes)
{
    MeasuredLog log;
    log.name = QStringLiteral("DAV%1.LOG").arg(megabytes);
    log.path = f.logPath(log.name);
    {
        const QByteArray bytes = generatedLog(megabytes, &log.largeBoardArticles);
        log.size = bytes.size();
        f.writeLogBytes(log.name, bytes);
    }
    log.decode = plainDecode(log.path);
    log.iconv = iconvDecode(log.path);
    return log;
}

// The sizes in MB given on the command line, or the default.
inline QList<qint64> sizesFrom(int argc, char **argv, QList<qint64> fallback)
{
    QList<qint64> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QByteArray(argv[i]).toLongLong());
    return sizes.isEmpty() ? fallback : sizes;
}

inline void printRatio(const char *what, double secs, double decode, double iconv)
{
    if (iconv > 0)
        std::printf(
            "   %-34s %8.3f s  %6.2f x decode  %6.2f x iconv\n", what, secs, secs / decode, secs / iconv);
    else
        std::printf("   %-34s %8.3f s  %6.2f x decode\n", what, secs, secs / decode);
}

} // namespace kavrel::bench
