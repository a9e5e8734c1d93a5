// 通し読み from kavrel-cli against iconv over the same logs: one net of 100
// logs, 200 MB by default (the first argument), whose captures overlap (each
// log repeats a fifth of the articles of the previous one's big board), with
// one board of 100,000 distinct articles across them:
//
//   bench_archive [total MB] [logs]
//
// After the index is built, it times `archive DAV --board 1`, `timeline DAV`
// and `nets` (the start of a kavrel-cli that does nothing much), each the best
// of a few runs, as ratios to iconv decoding every log of the net. The first
// run of each, which keeps the archive of the boards it reads in the index,
// is given apart.

#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "TestSupport.h"

#include "base/Cp932.h"
#include "fulltext/FullTextIndex.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

using namespace kavrel;
using namespace kavrel::test;

namespace {

constexpr int kBigBoardPerLog = 1250; // of which the first fifth the previous log held too
constexpr int kNewPerLog = 1000;
constexpr int kPerDay = 30;

double cpuSeconds(int who)
{
    rusage u {};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Cost
{
    double wall = 1e9;
    double cpu = 1e9;
};

// The best of a few runs of a program, stdout discarded.
Cost best(const QString &program, const QStringList &args, int runs, int *exitCode = nullptr)
{
    Cost b;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        const double cpu = cpuSeconds(RUSAGE_CHILDREN);
        QElapsedTimer t;
        t.start();
        p.start(program, args);
        p.waitForFinished(-1);
        b.wall = std::min(b.wall, double(t.nsecsElapsed()) / 1e9);
        b.cpu = std::min(b.cpu, cpuSeconds(RUSAGE_CHILDREN) - cpu);
        if (exitCode)
            *exitCode = p.exitCode();
    }
    return b;
}

// The day of an article of the big board: its number tells it, in every log
// that captured it.
QDate dayOf(int number)
{
    return QDate(1990, 1, 1).addDays(number / kPerDay);
}

// Log k's text: the generator's run, every date moved to the days of the big
// board's articles of that log, and the big board's articles renumbered from
// k * 1000 + 1 with their day and minute taken from the number, so that a
// number captured by two logs is the same article in both.
QString logText(int k, qint64 bytes)
{
    LogGeneratorOptions o;
    o.senders = 3000;
    o.variant = quint32(k + 1);
    o.largeBoardArticles = kBigBoardPerLog;
    o = LogGenerator::sized(o, bytes);
    QString text = LogGenerator(o).text();
    const int base = k * kNewPerLog + 1;
    const QString day = dayOf(base).toString(QStringLiteral("yy/MM/dd"));
    text.replace(QStringLiteral("26/12/07"), day);

    const QString key = LogGenerator::boardKey(1) + u'(';
    const qsizetype from = text.indexOf(QStringLiteral("No.1 ｢"));
    const qsizetype to = text.indexOf(o.readEnd, from);
    QStringList lines = text.mid(from, to - from).split(QStringLiteral("\r\n"));
    int shift = 0;
    bool first = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString &line = lines[i];
        if (line.startsWith(key)) {
            const int number = line.mid(key.size(), 5).toInt();
            if (first)
                shift = base - number;
            first = false;
            const int renumbered = number + shift;
            line = key + QStringLiteral("%1").arg(renumbered, 6, 10, QLatin1Char('0'))
                + line.mid(key.size() + 5, 7) + QStringLiteral("  ")
                + dayOf(renumbered).toString(QStringLiteral("yy/MM/dd")) + line.mid(key.size() + 5 + 7 + 10);
            if (i + 1 < lines.size() && lines[i + 1].startsWith(QLatin1String("12:")))
                lines[i + 1] = QStringLiteral("12:%1").arg(renumbered % 60, 2, 10, QLatin1Char('0'))
                    + lines[i + 1].mid(5);
        } else if (line.startsWith(QLatin1String(" <")) && line.mid(7, 1) == u":") {
            line = QStringLiteral(" <%1").arg(line.mid(2, 5).toInt() + shift, 6, 10, QLatin1Char('0'))
                + line.mid(7);
        }
    }
    return text.left(from) + lines.join(QStringLiteral("\r\n")) + text.mid(to);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 totalMb = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200;
    const int logs = argc > 2 ? QByteArray(argv[2]).toInt() : 100;
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
        settings::NetDefinitionsFile::encodeRecord(netRecord(QStringLiteral("DAV"), QStringLiteral("DAV"))));

    std::printf("generating %lld MB in %d logs...\n", qlonglong(totalMb), logs);
    std::fflush(stdout);
    QStringList files;
    qint64 total = 0;
    for (int k = 0; k < logs; ++k) {
        const QString path = appDir + QStringLiteral("/LOG/DAV%1.LOG").arg(k, 4, 10, QLatin1Char('0'));
        const QByteArray bytes = cp932::encode(logText(k, totalMb * 1024 * 1024 / logs));
        writeFile(path, bytes);
        files << path;
        total += bytes.size();
    }

    QElapsedTimer t;
    t.start();
    {
        fulltext::FullTextIndex index(appDir);
        if (!index.update()) {
            std::fprintf(stderr, "%s\n", qPrintable(index.errorText()));
            return 2;
        }
    }
    const double built = double(t.nsecsElapsed()) / 1e9;

    const Cost iconv = best(QStringLiteral("iconv"),
        QStringList {
            QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"), QStringLiteral("UTF-16LE") }
            + files,
        3);
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../../src/cli/kavrel-cli");
    const QStringList at { QStringLiteral("-C"), appDir };
    int archiveExit = -1;
    int timelineExit = -1;
    const QStringList archiveArgs = at
        + QStringList { QStringLiteral("archive"), QStringLiteral("DAV"), QStringLiteral("--board"),
              QStringLiteral("1") };
    const QStringList timelineArgs = at + QStringList { QStringLiteral("timeline"), QStringLiteral("DAV") };
    const Cost nets = best(cli, at + QStringList { QStringLiteral("nets") }, 9);
    // The first of each after the build keeps the board's rows, then the other boards' months.
    const Cost firstArchive = best(cli, archiveArgs, 1);
    const Cost firstTimeline = best(cli, timelineArgs, 1);
    const Cost archive = best(cli, archiveArgs, 5, &archiveExit);
    const Cost timeline = best(cli, timelineArgs, 9, &timelineExit);

    std::printf("%.1f MB in %d logs of one net in %s; index built in %.1f s\n", double(total) / 1048576.0,
        logs, qPrintable(appDir), built);
    std::printf("                              wall s     cpu s   ratio to iconv (wall / cpu)\n");
    std::printf("   iconv, every log          %9.4f %9.4f\n", iconv.wall, iconv.cpu);
    std::printf("   kavrel-cli nets           %9.4f %9.4f   1/%.0f / 1/%.0f\n", nets.wall, nets.cpu,
        iconv.wall / nets.wall, iconv.cpu / nets.cpu);
    std::printf("   archive --board 1 (exit %d) %9.4f %9.4f   1/%.1f / 1/%.1f (goal 1/10)\n", archiveExit,
        archive.wall, archive.cpu, iconv.wall / archive.wall, iconv.cpu / archive.cpu);
    std::printf("   the first archive --board 1   %9.4f %9.4f   (the board's rows kept)\n", firstArchive.wall,
        firstArchive.cpu);
    std::printf("   the first timeline          %9.4f %9.4f   (the other boards' months kept)\n",
        firstTimeline.wall, firstTimeline.cpu);
    std::printf("   timeline (exit %d)          %9.4f %9.4f   1/%.1f / 1/%.1f (goal 1/50)\n", timelineExit,
        timeline.wall, timeline.cpu, iconv.wall / timeline.wall, iconv.cpu / timeline.cpu);
    return 0;
}
