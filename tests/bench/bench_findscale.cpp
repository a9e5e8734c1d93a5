// kavrel-cli find of a rare word as the archive grows: its own time (less
// kavrel-cli nets) at 200 MB and again at 800 MB of logs of one net (the
// first argument and four times it), beside grep -c over the same files:
//
//   bench_findscale [MB]

#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "TestSupport.h"

#include "fulltext/FullTextIndex.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

using namespace kavrel;
using namespace kavrel::test;

namespace {

constexpr qint64 kLogBytes = qint64(5) * 1024 * 1024;

double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Cost
{
    double wall = 1e9;
    double cpu = 1e9;
};

// The best of a few runs of a program, stdout discarded.
Cost best(const QString &program, const QStringList &args, int runs)
{
    Cost b;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        const double cpu = cpuSeconds();
        QElapsedTimer t;
        t.start();
        p.start(program, args);
        p.waitForFinished(-1);
        b.wall = std::min(b.wall, double(t.nsecsElapsed()) / 1e9);
        b.cpu = std::min(b.cpu, cpuSeconds() - cpu);
    }
    return b;
}

// What find and grep cost at one size, the index brought up to date first.
struct Measured
{
    double megabytes = 0;
    Cost grep;
    Cost nets;
    Cost find;
    Cost own() const
    {
        return { std::max(1e-4, find.wall - nets.wall), std::max(1e-4, find.cpu - nets.cpu) };
    }
};

Measured measure(const QString &appDir, const QStringList &files, qint64 bytes, const QString &word)
{
    {
        fulltext::FullTextIndex index(appDir);
        if (!index.update())
            std::fprintf(stderr, "%s\n", qPrintable(index.errorText()));
    }
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../../src/cli/kavrel-cli");
    const QStringList at { QStringLiteral("-C"), appDir };
    Measured m;
    m.megabytes = double(bytes) / 1048576.0;
    m.grep = best(QStringLiteral("grep"), QStringList { QStringLiteral("-c"), word } + files, 5);
    m.nets = best(cli, at + QStringList { QStringLiteral("nets") }, 9);
    best(cli, at + QStringList { QStringLiteral("find"), word }, 1);
    m.find = best(cli, at + QStringList { QStringLiteral("find"), word }, 9);
    return m;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 smallMb = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200;
    QTemporaryDir dir;
    dir.setAutoRemove(!qEnvironmentVariableIsSet("KAVREL_BENCH_KEEP"));
    const QString appDir = dir.path();
    QDir(appDir).mkpath(QStringLiteral("LOG"));
    settings::DirRecord d;
    d[settings::DirRecord::LOG_Dir] = QStringLiteral("LOG");
    d[settings::DirRecord::Up_Dir] = QStringLiteral("UP");
    d[settings::DirRecord::BL_Dir] = QStringLiteral("BL");
    writeFile(appDir + QStringLiteral("/DIR.DEF"), settings::SettingsStore::encodeDirRecord(d));
    writeFile(appDir + QStringLiteral("/DATA.DEF"),
        settings::NetDefinitionsFile::encodeRecord(netRecord(QStringLiteral("DAV"), QStringLiteral("DAV"))));

    const QString word = QStringLiteral("KVR02718");
    QStringList files;
    qint64 bytes = 0;
    const auto grow = [&](qint64 toMb) {
        while (bytes < toMb * 1024 * 1024) {
            LogGeneratorOptions o;
            o.senders = 3000;
            o.variant = quint32(files.size() + 1);
            const QByteArray log = LogGenerator(LogGenerator::sized(o, kLogBytes)).bytes();
            const QString path
                = appDir + QStringLiteral("/LOG/DAV%1.LOG").arg(files.size(), 4, 10, QLatin1Char('0'));
            writeFile(path, log);
            files << path;
            bytes += log.size();
        }
    };
    std::printf("generating %lld MB...\n", qlonglong(smallMb));
    std::fflush(stdout);
    grow(smallMb);
    const Measured small = measure(appDir, files, bytes, word);
    std::printf("generating %lld MB more...\n", qlonglong(3 * smallMb));
    std::fflush(stdout);
    grow(4 * smallMb);
    const Measured large = measure(appDir, files, bytes, word);

    std::printf("find %s in one net; wall / processor seconds\n", qPrintable(word));
    for (const Measured *m : { &small, &large }) {
        std::printf(
            "   %6.1f MB: grep -c %.4f / %.4f, nets %.4f / %.4f, find %.4f / %.4f, own time %.4f / %.4f"
            " = 1/%.1f / 1/%.1f of grep (goal at the larger 1/10)\n",
            m->megabytes, m->grep.wall, m->grep.cpu, m->nets.wall, m->nets.cpu, m->find.wall, m->find.cpu,
            m->own().wall, m->own().cpu, m->grep.wall / m->own().wall, m->grep.cpu / m->own().cpu);
    }
    std::printf("   growth: own time %.2f / %.2f x (goal <= 1.5), grep -c %.2f / %.2f x\n",
        large.own().wall / small.own().wall, large.own().cpu / small.own().cpu,
        large.grep.wall / small.grep.wall, large.grep.cpu / small.grep.cpu);
    return 0;
}
