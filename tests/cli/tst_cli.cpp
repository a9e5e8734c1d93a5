// kavrel-cli on a copy of the bundled demo, as a script would run it.

#include "TestSupport.h"

#include "base/Cp932.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kavrel;

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
    QStringList lines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void netsAndLogs();
    void openPrintsTheLogIndexAndWritesTheNetFiles();
    void openMergesSeveralLogs();
    void openReportsALogWithoutBoards();
    void badUsageAndMissingFiles_data();
    void badUsageAndMissingFiles();

private:
    Run cli(const QStringList &args);
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCli::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    const QString demo = qEnvironmentVariable("KAVREL_SOURCE_DIR") + QStringLiteral("/demo");
    QDirIterator it(demo, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = path(QDir(demo).relativeFilePath(from));
        QDir().mkpath(QFileInfo(to).absolutePath());
        QVERIFY(QFile::copy(from, to));
    }
    // A checkout keeps no file times: the older log must look older.
    const auto setTime = [this](const QString &name, const QDateTime &t) {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(t, QFileDevice::FileModificationTime));
    };
    setTime(QStringLiteral("LOG/KAB0605.LOG"), QDateTime(QDate(2026, 12, 5), QTime(21, 30)));
    setTime(QStringLiteral("LOG/KAB0606.LOG"), QDateTime(QDate(2026, 12, 6), QTime(23, 10)));
}

Run TestCli::cli(const QStringList &args)
{
    QProcess p;
    p.start(qEnvironmentVariable("KAVREL_BINARY_DIR") + QStringLiteral("/src/cli/kavrel-cli"),
            QStringList{QStringLiteral("-C"), m_dir->path()} + args);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        qFatal("kavrel-cli did not finish");
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

void TestCli::netsAndLogs()
{
    const Run nets = cli({QStringLiteral("nets")});
    QCOMPARE(nets.code, 0);
    QCOMPARE(nets.lines(), QStringList({QStringLiteral("0\tかぶらネット"), QStringLiteral("1\tみなとネット")}));

    const Run byName = cli({QStringLiteral("logs"), QStringLiteral("かぶらネット")});
    QCOMPARE(byName.code, 0);
    QCOMPARE(byName.lines(), QStringList({QStringLiteral("KAB0605.LOG"), QStringLiteral("KAB0606.LOG")}));
    // The pattern "mnt*.log" is matched whatever the case of the names.
    QCOMPARE(cli({QStringLiteral("logs"), QStringLiteral("1")}).lines(), QStringList{QStringLiteral("mnt1206.log")});
}

void TestCli::openPrintsTheLogIndexAndWritesTheNetFiles()
{
    const QByteArray upBefore = test::readFile(path(QStringLiteral("UP/KABURA.up")));
    const Run run = cli({QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG")});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.lines(), QStringList({
                              QStringLiteral("0\tNo.0 ｢メールボックス｣\tmail"),
                              QStringLiteral("1\tNo.3 ｢パソコン通信の話題｣\tPC"),
                              QStringLiteral("2\tNo.12 ｢趣味の部屋｣\tHOBBY"),
                              QStringLiteral("3\t[XCHAT] No1.雑談ルーム\t"),
                          }));
    // The up-file question was answered Cancel: the waiting write stays.
    QCOMPARE(test::readFile(path(QStringLiteral("UP/KABURA.up"))), upBefore);

    QCOMPARE(cp932::decode(test::readFile(path(QStringLiteral("BL/KABURA.bl")))),
             test::crlfLines({QStringLiteral("No.0 ｢メールボックス｣mail "), QStringLiteral("No.3 ｢パソコン通信の話題｣PC "),
                              QStringLiteral("No.12 ｢趣味の部屋｣HOBBY "), QStringLiteral("[XCHAT] No1.雑談ルーム ")}));
    QCOMPARE(cp932::decode(test::readFile(path(QStringLiteral("BL/KABURA.id")))),
             test::crlfLines({QStringLiteral(" KAV00123:山田花子"), QStringLiteral(" KAV00456:佐藤一郎"),
                              QStringLiteral(" KAV00789:鈴木三郎")}));

    // The pointer record of net 0 names the log, nothing read yet.
    const QByteArray ptr = test::readFile(path(QStringLiteral("LOGPTR.dat")));
    QVERIFY(ptr.size() >= 84);
    QCOMPARE(cp932::decode(ptr.left(80)).trimmed(), QStringLiteral("LOG/KAB0606.LOG"));

    // The older log counts as read to its end and leaves the newer log's record alone.
    const Run older = cli({QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0605.LOG")});
    QCOMPARE(older.code, 0);
    QCOMPARE(cp932::decode(test::readFile(path(QStringLiteral("LOGPTR.dat"))).left(80)).trimmed(),
             QStringLiteral("LOG/KAB0606.LOG"));
}

void TestCli::openMergesSeveralLogs()
{
    const Run run = cli({QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG"),
                         QStringLiteral("KAB0605.LOG")});
    QCOMPARE(run.code, 0);
    QCOMPARE(test::readFile(path(QStringLiteral("LOG/Temp.log"))),
             test::readFile(path(QStringLiteral("LOG/KAB0606.LOG")))
                 + test::readFile(path(QStringLiteral("LOG/KAB0605.LOG"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("LOGPTR.dat"))));
}

void TestCli::openReportsALogWithoutBoards()
{
    test::writeFile(path(QStringLiteral("LOG/KAB0607.LOG")),
                    test::sjis(test::crlfLines({QStringLiteral("Main Command(?:Help)>BYE"),
                                                QStringLiteral("NO CARRIER")})));
    test::writeFile(path(QStringLiteral("BL/KABURA.bl")), QByteArray());
    const Run run = cli({QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0607.LOG")});
    QCOMPARE(run.code, 1);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err.trimmed(), QStringLiteral("指定されたＬＯＧファイルはボードタイトルがありませんでした！"));
}

void TestCli::badUsageAndMissingFiles_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("stderrHas");
    QTest::newRow("no command") << QStringList() << QStringLiteral("usage");
    QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")} << QStringLiteral("frobnicate");
    QTest::newRow("unknown net") << QStringList{QStringLiteral("logs"), QStringLiteral("よそのネット")}
                                 << QStringLiteral("よそのネット");
    QTest::newRow("open without log") << QStringList{QStringLiteral("open"), QStringLiteral("0")}
                                      << QStringLiteral("LOG");
    QTest::newRow("log not of the net") << QStringList{QStringLiteral("open"), QStringLiteral("0"),
                                                       QStringLiteral("NOPE.LOG")}
                                        << QStringLiteral("NOPE.LOG");
}

void TestCli::badUsageAndMissingFiles()
{
    QFETCH(QStringList, args);
    QFETCH(QString, stderrHas);
    const Run run = cli(args);
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(stderrHas), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
