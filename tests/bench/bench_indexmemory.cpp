// The peak memory of kavrel-cli index over one large log, against the log's
// size, for bodies of real prose (manpages-ja) or the generator's six lines:
//
//   bench_indexmemory [MB] [six]
//
// The log is generated as bench_logopen's are (one board of 100,000 articles
// per 75 MB). The peak is the child's largest resident size, so one run
// measures one corpus.

#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "ManPageProse.h"
#include "TestSupport.h"

#include "settings/NetDefinitionsFile.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

using namespace kavrel;
using namespace kavrel::test;

namespace {

QByteArray largeLog(const QStringList *prose, qint64 megabytes)
{
    LogGeneratorOptions o;
    o.boards = 51;
    o.skippedBoards = 5;
    o.mails = 60;
    o.chatRooms = 4;
    o.senders = 3000;
    o.largeBoardArticles = int(std::max<qint64>(100, megabytes * 100000 / 75));
    o.bodyProse = prose;
    return LogGenerator(LogGenerator::sized(o, megabytes * 1024 * 1024)).bytes();
}

// Builds the index of one generated log and prints its peak against the log.
bool measure(const QStringList *prose, qint64 megabytes)
{
    QTemporaryDir dir;
    dir.setAutoRemove(!qEnvironmentVariableIsSet("KAVREL_BENCH_KEEP"));
    const QString appDir = dir.path();
    QDir(appDir).mkpath(QStringLiteral("LOG"));
    settings::DirRecord d;
    d[settings::DirRecord::LOG_Dir] = QStringLiteral("LOG");
    writeFile(appDir + QStringLiteral("/DIR.DEF"), settings::SettingsStore::encodeDirRecord(d));
    writeFile(appDir + QStringLiteral("/DATA.DEF"),
        settings::NetDefinitionsFile::encodeRecord(netRecord(QStringLiteral("DAV"), QStringLiteral("DAV"))));
    const QString log = appDir + QStringLiteral("/LOG/DAV0001.LOG");
    qint64 size = 0;
    {
        const QByteArray bytes = largeLog(prose, megabytes);
        size = bytes.size();
        writeFile(log, bytes);
    }

    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../../src/cli/kavrel-cli");
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(cli, { QStringLiteral("-C"), appDir, QStringLiteral("index") });
    if (!p.waitForFinished(-1) || p.exitCode() != 0) {
        std::printf("kavrel-cli index failed: %s\n", p.readAllStandardError().constData());
        return false;
    }
    rusage u {};
    getrusage(RUSAGE_CHILDREN, &u);
    const double peak = double(u.ru_maxrss) * 1024.0;
    std::printf("%-10s log %7.1f MB  index peak %7.1f MB  %5.2f x the log  (%.1f s wall)\n",
        prose ? "real prose" : "six lines", double(size) / 1048576.0, peak / 1048576.0, peak / double(size),
        double(t.elapsed()) / 1000.0);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100;
    QProcess uptime;
    uptime.start(QStringLiteral("uptime"));
    uptime.waitForFinished();
    std::printf("at the start:%s", uptime.readAllStandardOutput().constData());
    if (argc > 2 && QByteArray(argv[2]) == "six")
        return measure(nullptr, megabytes) ? 0 : 2;
    const QStringList &prose = ManPageProse::lines();
    if (prose.isEmpty()) {
        std::printf("manpages-ja is not installed (no pages in %s)\n", qPrintable(ManPageProse::folder()));
        return 2;
    }
    return measure(&prose, megabytes) ? 0 : 2;
}
