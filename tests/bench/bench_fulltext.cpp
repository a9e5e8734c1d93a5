// 全ログ検索 against the tools a user already has: logs of two nets in 40
// files, by default 20 MB in all (the ratios are meant for 200 MB):
//
//   bench_fulltext [total MB]
//
// It measures two corpora side by side: bodies of real prose (the Japanese
// manual pages of manpages-ja, dealt out so that no body repeats) and the
// generator's six fixed lines. For each it prints the first full build
// against iconv decoding every file, the update after one log grew by 1 MB
// against the full build, the query's own time (kavrel-cli find less
// kavrel-cli nets) against grep -c over the raw files (and the same query in
// the window, whose connection stays open), and the index's size against the
// logs'. Without manpages-ja it says so and measures the six lines alone.
// The machine's load is printed beside the figures.

#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "ManPageProse.h"
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

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

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

QByteArray logBytes(const QStringList *prose, int file, qint64 bytes)
{
    LogGeneratorOptions o;
    o.senders = 3000;
    o.variant = quint32(file + 1);
    o.bodyProse = prose;
    return LogGenerator(LogGenerator::sized(o, bytes)).bytes();
}

// The machine's load over the last minute (it is shared).
double loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return f.readAll().split(' ').value(0).toDouble();
}

// The figures of one corpus.
struct Figures
{
    qint64 logBytes = 0;
    double loadBefore = 0; // before the build
    double loadAfter = 0; // after the last query
    Cost iconv;
    Cost build;
    Cost grow;
    bool grown = false;
    Cost grep;
    Cost nets;
    Cost find;
    int findExit = -1;
    Cost query; // find less nets
    Cost findCommon;
    Cost grepCommon;
    Cost warm;
    Cost warmCommon;
    qint64 dbBytes = 0;
};

const QString kNeedle = QStringLiteral("KVR02718");
const QString kCommon = QStringLiteral("ました"); // a word in nearly every article of the six lines

// Generates the logs of one corpus in a working directory of their own and
// measures them; nothing when the index cannot be built.
std::optional<Figures> measure(const QStringList *prose, qint64 totalMb)
{
    Figures fig;
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

    std::printf("generating %lld MB in %d logs (%s) in %s...\n", qlonglong(totalMb), kFiles,
        prose ? "real prose" : "six lines", qPrintable(appDir));
    std::fflush(stdout);
    QStringList files;
    const qint64 perFile = totalMb * 1024 * 1024 / kFiles;
    for (int i = 0; i < kFiles; ++i) {
        const QString name = QStringLiteral("LOG/%1%2.LOG")
                                 .arg(i % 2 ? QStringLiteral("NIF") : QStringLiteral("DAV"))
                                 .arg(i, 4, 10, QLatin1Char('0'));
        const QByteArray bytes = logBytes(prose, i, perFile);
        writeFile(appDir + u'/' + name, bytes);
        files << appDir + u'/' + name;
        fig.logBytes += bytes.size();
    }

    fig.iconv = best(QStringLiteral("iconv"),
        QStringList {
            QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"), QStringLiteral("UTF-8") }
            + files,
        3);

    fig.loadBefore = loadAverage();
    QElapsedTimer t;
    t.start();
    double cpu = cpuSeconds(RUSAGE_SELF);
    {
        fulltext::FullTextIndex index(appDir);
        if (!index.update()) {
            std::fprintf(stderr, "%s\n", qPrintable(index.errorText()));
            return std::nullopt;
        }
    }
    fig.build = { seconds(t), cpuSeconds(RUSAGE_SELF) - cpu };
    const QString dbPath = appDir + u'/' + fulltext::FullTextIndex::kFileName;
    fig.dbBytes = QFileInfo(dbPath).size() + QFileInfo(dbPath + QStringLiteral("-wal")).size();

    // One log grows by 1 MB: the next run's capture appended.
    {
        QFile f(files.at(7));
        f.open(QIODevice::Append);
        f.write(logBytes(prose, 100, qint64(1024) * 1024));
    }
    t.restart();
    cpu = cpuSeconds(RUSAGE_SELF);
    {
        fulltext::FullTextIndex index(appDir);
        index.update();
        for (const auto &a : index.lastActions)
            fig.grown = fig.grown || a.action == fulltext::FullTextIndex::Action::Grown;
    }
    fig.grow = { seconds(t), cpuSeconds(RUSAGE_SELF) - cpu };

    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../../src/cli/kavrel-cli");
    timed(cli, { QStringLiteral("-C"), appDir, QStringLiteral("find"), kNeedle }, &fig.findExit);
    fig.nets = best(cli, { QStringLiteral("-C"), appDir, QStringLiteral("nets") }, 9);
    fig.find = best(cli, { QStringLiteral("-C"), appDir, QStringLiteral("find"), kNeedle }, 9);
    fig.grep = best(QStringLiteral("grep"), QStringList { QStringLiteral("-c"), kNeedle } + files);
    fig.query
        = { std::max(1e-4, fig.find.wall - fig.nets.wall), std::max(1e-4, fig.find.cpu - fig.nets.cpu) };
    fig.findCommon = best(cli, { QStringLiteral("-C"), appDir, QStringLiteral("find"), kCommon }, 1);
    fig.grepCommon = best(QStringLiteral("grep"),
        QStringList { QStringLiteral("-c"), QString::fromLatin1(cp932::encode(kCommon)) } + files, 3);

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
    fig.warm = windowQuery(kNeedle, 9);
    fig.warmCommon = windowQuery(kCommon, 3);
    fig.loadAfter = loadAverage();
    return fig;
}

// One row of the table: a label and a column for each corpus.
void row(const char *label, const std::vector<Figures> &columns,
    const std::function<QString(const Figures &)> &cell)
{
    // Wide characters take two columns of the 44.
    const QString text = QString::fromUtf8(label);
    const qsizetype wide
        = std::count_if(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0x7f; });
    std::printf("   %s%*s", label, int(std::max<qsizetype>(0, 44 - text.size() - wide)), "");
    for (const Figures &f : columns)
        std::printf(" %-26s", qPrintable(cell(f)));
    std::printf("\n");
}

QString pair(double wall, double cpu, int precision = 3)
{
    return QStringLiteral("%1 / %2").arg(wall, 0, 'f', precision).arg(cpu, 0, 'f', precision);
}

QString fraction(double part, double whole)
{
    return QStringLiteral("1/%1").arg(whole / std::max(1e-6, part), 0, 'f', 0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 totalMb = argc > 1 ? QByteArray(argv[1]).toLongLong() : 20;
    QProcess uptime;
    uptime.start(QStringLiteral("uptime"));
    uptime.waitForFinished();
    std::printf("at the start:%s", uptime.readAllStandardOutput().constData());

    std::vector<Figures> columns;
    QStringList names;
    const QStringList &prose = ManPageProse::lines();
    if (prose.isEmpty()) {
        std::printf("manpages-ja is not installed (no pages in %s): the real-prose column is left out\n",
            qPrintable(ManPageProse::folder()));
    } else {
        std::printf("real prose: %lld lines of the Japanese manual pages\n", qlonglong(prose.size()));
        const auto f = measure(&prose, totalMb);
        if (!f)
            return 2;
        columns.push_back(*f);
        names << QStringLiteral("real prose");
    }
    const auto six = measure(nullptr, totalMb);
    if (!six)
        return 2;
    columns.push_back(*six);
    names << QStringLiteral("six lines");

    std::printf("\n   %-44s", "(wall / processor s)");
    for (const QString &n : names)
        std::printf(" %-26s", qPrintable(n));
    std::printf("\n");
    row("logs (MB in 40 files, two nets)", columns,
        [](const Figures &f) { return QString::number(double(f.logBytes) / 1048576.0, 'f', 1); });
    row("load (1 min) before the build / at the end", columns,
        [](const Figures &f) { return pair(f.loadBefore, f.loadAfter, 2); });
    row("iconv, all files", columns, [](const Figures &f) { return pair(f.iconv.wall, f.iconv.cpu); });
    row("first full build", columns, [](const Figures &f) { return pair(f.build.wall, f.build.cpu, 1); });
    row("  x iconv (goal <= 25 processor)", columns,
        [](const Figures &f) { return pair(f.build.wall / f.iconv.wall, f.build.cpu / f.iconv.cpu, 1); });
    row("update after +1 MB", columns, [](const Figures &f) {
        return pair(f.grow.wall, f.grow.cpu) + (f.grown ? QString() : QStringLiteral(" (?)"));
    });
    row("  of the build (goal <= 1/50)", columns, [](const Figures &f) {
        return fraction(f.grow.wall, f.build.wall) + QStringLiteral(" / ")
            + fraction(f.grow.cpu, f.build.cpu);
    });
    row("grep -c KVR02718", columns, [](const Figures &f) { return pair(f.grep.wall, f.grep.cpu, 4); });
    row("kavrel-cli nets", columns, [](const Figures &f) { return pair(f.nets.wall, f.nets.cpu, 4); });
    row("kavrel-cli find KVR02718", columns, [](const Figures &f) {
        return pair(f.find.wall, f.find.cpu, 4) + QStringLiteral(" (exit %1)").arg(f.findExit);
    });
    row("  own time, of grep -c", columns, [](const Figures &f) {
        return fraction(f.query.wall, f.grep.wall) + QStringLiteral(" / ")
            + fraction(f.query.cpu, f.grep.cpu);
    });
    row("find ました", columns, [](const Figures &f) { return pair(f.findCommon.wall, f.findCommon.cpu); });
    row("  x grep -c ました", columns, [](const Figures &f) {
        return pair(f.findCommon.wall / f.grepCommon.wall, f.findCommon.cpu / f.grepCommon.cpu, 0)
            + QStringLiteral(" (%1 s)").arg(f.grepCommon.wall, 0, 'f', 3);
    });
    row("the window's query KVR02718 (kept open)", columns,
        [](const Figures &f) { return pair(f.warm.wall, f.warm.cpu, 4); });
    row("the window's query ました (newest 1000)", columns,
        [](const Figures &f) { return pair(f.warmCommon.wall, f.warmCommon.cpu, 4); });
    row("index size (MB)", columns,
        [](const Figures &f) { return QString::number(double(f.dbBytes) / 1048576.0, 'f', 1); });
    row("  x the logs (goal <= 1.0)", columns,
        [](const Figures &f) { return QString::number(double(f.dbBytes) / double(f.logBytes), 'f', 2); });
    uptime.start(QStringLiteral("uptime"));
    uptime.waitForFinished();
    std::printf("at the end:%s", uptime.readAllStandardOutput().constData());
    return 0;
}
