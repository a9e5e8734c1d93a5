// Decoding a generated log, against `iconv -f CP932 -t UTF-16LE` on the same
// bytes in the same run (the time of a plain decode the rest of the program is
// measured by), and encoding it back. Best of three runs each.
//
//   bench_decode [sizes in MB ...]      (default 75)

#include "LogGenerator.h"
#include "base/Cp932.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace kavrel;
using namespace kavrel::test;

namespace {

double bestOfThree(const std::function<bool()> &work)
{
    double best = -1;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        if (!work())
            return -1;
        const double s = double(t.nsecsElapsed()) / 1e9;
        if (best < 0 || s < best)
            best = s;
    }
    return best;
}

void run(qint64 megabytes, const QTemporaryDir &dir)
{
    LogGeneratorOptions o;
    o.boards = 50;
    o.senders = 3000;
    o = LogGenerator::sized(o, megabytes * 1024 * 1024);
    const QString text = LogGenerator(o).text();
    const QByteArray bytes = cp932::encode(text);
    const double mb = double(bytes.size()) / (1024.0 * 1024.0);

    const QString path = dir.filePath(QStringLiteral("bench%1.log").arg(megabytes));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return;
    }
    file.close();

    std::printf("%7.1f MB log\n", mb);
    const QString iconv = QStandardPaths::findExecutable(QStringLiteral("iconv"));
    double iconvTime = -1;
    if (!iconv.isEmpty()) {
        iconvTime = bestOfThree([&] {
            QProcess p;
            p.setStandardOutputFile(QProcess::nullDevice());
            p.start(iconv,
                { QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"),
                    QStringLiteral("UTF-16LE"), path });
            return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        });
    }
    if (iconvTime > 0)
        std::printf("   iconv          %7.3f s  %8.1f MB/s\n", iconvTime, mb / iconvTime);
    else
        std::printf("   iconv          not available\n");

    QString decoded;
    const double decodeTime = bestOfThree([&] {
        decoded = cp932::decode(bytes);
        return true;
    });
    std::printf("   cp932::decode  %7.3f s  %8.1f MB/s", decodeTime, mb / decodeTime);
    if (iconvTime > 0)
        std::printf("  %5.2fx iconv", decodeTime / iconvTime);
    std::printf("\n");
    if (decoded != text)
        std::printf("   DECODED TEXT DIFFERS FROM THE GENERATED ONE\n");

    // The same into a buffer allocated and touched beforehand, as a caller
    // decoding block by block into its own text does.
    QString buffer(cp932::Decoder::maxUnits(bytes.size()), QChar(u' '));
    const double intoTime = bestOfThree([&] {
        cp932::Decoder decoder;
        return decoder.decode(bytes, reinterpret_cast<char16_t *>(buffer.data()), true) == decoded.size();
    });
    std::printf("   Decoder only   %7.3f s  %8.1f MB/s", intoTime, mb / intoTime);
    if (iconvTime > 0)
        std::printf("  %5.2fx iconv", intoTime / iconvTime);
    std::printf("\n");

    QByteArray encoded;
    const double encodeTime = bestOfThree([&] {
        encoded = cp932::encode(decoded);
        return true;
    });
    std::printf("   cp932::encode  %7.3f s  %8.1f MB/s%s\n", encodeTime, mb / encodeTime,
        encoded == bytes ? "" : "  (BYTES DIFFER)");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<qint64> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QByteArray(argv[i]).toLongLong();
    if (sizes.isEmpty())
        sizes << 75;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    for (qint64 mb : sizes)
        run(mb, dir);
    return 0;
}
