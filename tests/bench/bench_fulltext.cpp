// 全ログ検索 against the tools a user already has: logs of two nets in 40
// files, by default 20 MB in all (the ratios are meant for 200 MB):
//
//   bench_fulltext [total MB]
//
// It prints four ratios: the first full build against iconv decoding every
// file, the update after one log grew by 1 MB against the full build, the
// query's own time (kavrel-cli find less kavrel-cli nets) against grep -c
// over the raw files (and the same query in the window, whose connection
// stays open), and the index's size against the logs'.

#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "TestSupport.h"

#include "base/Cp932.h"
#include "fulltext/FullTextIndex.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

using namespace kavrel;
using namespace kavrel::test;

namespace {

constexpr int kFiles = 40;

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

// Processor time (user and system) of this process or of its finished children.
double cpuSeconds(int who)
{
    rusage u {};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A time in wall-clock seconds and in processor seconds (the machine may be shared).
struct Cost
{
    double wall = 1e9;
    double cpu = 1e9;
};

// Runs a program (stdout discarded); its cost.
Cost timed(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    const double cpu = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    p.waitForFinished(-1);
    const Cost c { seconds(t), cpuSeconds(RUSAGE_CHILDREN) - cpu };
    if (exitCode)
        *exitCode = p.exitCode();
    return c;
}

// The best of a few runs.
Cost best(const QString &program, const QStringList &args, int runs = 5)
{
    Cost b;
    for (int i = 0; i < runs; ++i) {
        const Cost c = timed(program, args);
        b.wall = std::min(b.wall, c.wall);
        b.cpu = std::min(b.cpu, c.cpu);
    }
    return b;
}

QByteArray logBytes(int file, qint64 bytes)
{
    LogGeneratorOptions o;
    o.senders = 3000;
    o.variant = quint32(file + 1);
    return LogGenerator(LogGenerator::sized(o, bytes)).bytes();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 totalMb = argc > 1 ? QByteArray(argv[1]).toLongLong() : 20;
    QTemporaryDir dir;
    // KAVREL_BENCH_KEEP=1 keeps the working directory for a look at the index.
    dir.setAutoRemove(!qEnvironmentVariableIsSet("KAVREL_BENCH_KEEP"));
    const QString appDir = dir.path();
    QDir(appDir).mkpath(QStringLiteral("LOG"));

    settings::DirRecord d;
    d[settings::DirRecord::LOG_Dir] = QStringLiteral("LOG");
    d[settings::DirRecord::Up_Dir] = QStringLiteral("UP");
    d[settings::DirRecord::BL_Dir] = QStringLiteral("BL");
    writeFile(appDir + QStringLiteral("/DIR.DEF"), settings::SettingsStore::encodeDirRecord(d));
    writeFile(appDir + QStringLiteral("/DATA.DEF"),
        settings::NetDefinitionsFile::encodeRecord(netRecord(QStringLiteral("DAV"), QStringLiteral("DAV")))
            + settings::NetDefinitionsFile::encodeRecord(
                netRecord(QStringLiteral("NIF"), QStringLiteral("NIF"))));

    std::printf("generating %lld MB in %d logs...\n", qlonglong(totalMb), kFiles);
    std::fflush(stdout);
    QStringList files;
    qint64 logBytesTotal = 0;
    const qint64 perFile = totalMb * 1024 * 1024 / kFiles;
    for (int i = 0; i < kFiles; ++i) {
        const QString name = QStringLiteral("LOG/%1%2.LOG")
                                 .arg(i % 2 ? QStringLiteral("NIF") : QStringLiteral("DAV"))
                                 .arg(i, 4, 10, QLatin1Char('0'));
        const QByteArray bytes = logBytes(i, perFile);
        writeFile(appDir + u'/' + name, bytes);
        files << appDir + u'/' + name;
        logBytesTotal += bytes.size();
    }
    const double mb = double(logBytesTotal) / (1024.0 * 1024.0);

    const Cost iconv = best(QStringLiteral("iconv"),
        QStringList {
            QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"), QStringLiteral("UTF-8") }
            + files,
        3);

    QElapsedTimer t;
    t.start();
    double cpu = cpuSeconds(RUSAGE_SELF);
    {
        fulltext::FullTextIndex index(appDir);
        if (!index.update()) {
            std::fprintf(stderr, "%s\n", qPrintable(index.errorText()));
            return 2;
        }
    }
    const Cost build { seconds(t), cpuSeconds(RUSAGE_SELF) - cpu };
    const QString dbPath = appDir + u'/' + fulltext::FullTextIndex::kFileName;
    const qint64 dbBytes = QFileInfo(dbPath).size() + QFileInfo(dbPath + QStringLiteral("-wal")).size();

    // One log grows by 1 MB: the next run's capture appended.
    {
        QFile f(files.at(7));
        f.open(QIODevice::Append);
        f.write(logBytes(100, 1024 * 1024));
    }
    t.restart();
    cpu = cpuSeconds(RUSAGE_SELF);
    bool grown = false;
    {
        fulltext::FullTextIndex index(appDir);
        index.update();
        for (const auto &a : index.lastActions)
            grown = grown || a.action == fulltext::FullTextIndex::Action::Grown;
    }
    const Cost grow { seconds(t), cpuSeconds(RUSAGE_SELF) - cpu };

    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../../src/cli/kavrel-cli");
    const QString needle = QStringLiteral("KVR02718");
    int code = -1;
    timed(cli, { QStringLiteral("-C"), appDir, QStringLiteral("find"), needle }, &code);
    const Cost nets = best(cli, { QStringLiteral("-C"), appDir, QStringLiteral("nets") }, 9);
    const Cost find = best(cli, { QStringLiteral("-C"), appDir, QStringLiteral("find"), needle }, 9);
    const Cost grep = best(QStringLiteral("grep"), QStringList { QStringLiteral("-c"), needle } + files);
    const Cost query { std::max(1e-4, find.wall - nets.wall), std::max(1e-4, find.cpu - nets.cpu) };
    // A word in nearly every article: every article is a hit, and its lines are read.
    const QString common = QStringLiteral("ました");
    const Cost findCommon = best(cli, { QStringLiteral("-C"), appDir, QStringLiteral("find"), common }, 1);
    const Cost grepCommon = best(QStringLiteral("grep"),
        QStringList { QStringLiteral("-c"), QString::fromLatin1(cp932::encode(common)) } + files, 3);

    // The same query as the 全ログ検索 window asks it: its connection stays
    // open between queries, so a query pays neither the start nor the open.
    // The window asks for the newest 1000 hits and one more.
    constexpr int kWindowLimit = 1001;
    auto windowQuery = [&](const QString &text, int runs) {
        Cost c;
        fulltext::FullTextIndex index(appDir);
        QVector<fulltext::Hit> hits;
        const fulltext::Query q = fulltext::parseQuery(text);
        index.find(q, &hits, true, kWindowLimit);
        for (int i = 0; i < runs; ++i) {
            t.restart();
            cpu = cpuSeconds(RUSAGE_SELF);
            index.find(q, &hits, true, kWindowLimit);
            c.wall = std::min(c.wall, seconds(t));
            c.cpu = std::min(c.cpu, cpuSeconds(RUSAGE_SELF) - cpu);
        }
        return c;
    };
    const Cost warm = windowQuery(needle, 9);
    const Cost warmCommon = windowQuery(common, 3);

    std::printf("%.1f MB of logs in %d files, two nets, in %s\n", mb, kFiles, qPrintable(appDir));
    std::printf("                              wall s     cpu s   ratio (wall / cpu)\n");
    std::printf("   iconv, all files        %9.3f %9.3f\n", iconv.wall, iconv.cpu);
    std::printf("   first full build        %9.3f %9.3f   %.1f / %.1f x iconv (goal <= 15)\n", build.wall,
        build.cpu, build.wall / iconv.wall, build.cpu / iconv.cpu);
    std::printf("   update after +1 MB%s  %9.3f %9.3f   1/%.0f / 1/%.0f of the build (goal 1/50)\n",
        grown ? "    " : " (?)", grow.wall, grow.cpu, build.wall / grow.wall, build.cpu / grow.cpu);
    std::printf("   grep -c %s        %9.4f %9.4f\n", qPrintable(needle), grep.wall, grep.cpu);
    std::printf("   kavrel-cli nets         %9.4f %9.4f\n", nets.wall, nets.cpu);
    std::printf("   kavrel-cli find (exit %d) %9.4f %9.4f   own time 1/%.0f / 1/%.0f of grep (goal 1/100)\n",
        code, find.wall, find.cpu, grep.wall / query.wall, grep.cpu / query.cpu);
    std::printf("   find %s (common word) %9.3f %9.3f   %.0f / %.0f x grep -c (%.3f s)\n", qPrintable(common),
        findCommon.wall, findCommon.cpu, findCommon.wall / grepCommon.wall, findCommon.cpu / grepCommon.cpu,
        grepCommon.wall);
    std::printf(
        "   the window's query        %9.4f %9.4f   1/%.0f / 1/%.0f of grep (the connection kept open)\n",
        warm.wall, warm.cpu, grep.wall / std::max(1e-6, warm.wall), grep.cpu / std::max(1e-6, warm.cpu));
    std::printf("   the window's query %s %9.4f %9.4f   the newest %d hits\n", qPrintable(common),
        warmCommon.wall, warmCommon.cpu, kWindowLimit - 1);
    std::printf("   index size              %9.1f MB       %.2f x the logs (goal <= 1.5)\n",
        double(dbBytes) / 1048576.0, double(dbBytes) / double(logBytesTotal));
    return 0;
}
