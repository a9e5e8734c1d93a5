// kavrel-cli index and find on a copy of the bundled demo, as a script would run them.

#include "LogGenerator.h"
#include "TestSupport.h"

#include "base/Cp932.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

using Run = kavrel::test::CliRun;

class TestCliFind : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void find_data();
    void find();
    void indexReportsProgressAndFollowsAGrownLog();
    void anUnreadableLogLeavesTheOthersSearchable();
    void runningOutOfMemoryIsReported();
    void aReadOnlyArchiveIsSearched_data();
    void aReadOnlyArchiveIsSearched();
    void aReadOnlyArchiveIsListed();
    void anIndexThatCouldOnlyBeReadIsWrittenAgain();
    void anIndexThatCannotBeWrittenIsAFileError_data();
    void anIndexThatCannotBeWrittenIsAFileError();

private:
    Run cli(const QStringList &args);
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliFind::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(kavrel::test::copyDemo(m_dir->path()));
}

Run TestCliFind::cli(const QStringList &args)
{
    return kavrel::test::runCli(m_dir->path(), args);
}

void TestCliFind::find_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("error"); // a part of stderr

    const QString kab = QStringLiteral("かぶらネット");
    auto line = [&](const char *date, const char *log, const char *board, const char *number, const char *id,
                    const QString &title) {
        return QStringList { QString::fromUtf8(date), kab, QString::fromUtf8(log), QString::fromUtf8(board),
            QString::fromUtf8(number), QString::fromUtf8(id), title, QStringLiteral("1") }
            .join(u'\t');
    };
    QTest::newRow("words, newest first")
        << QStringList { QStringLiteral("find"), QStringLiteral("ログ　リーダー") } << 0
        << QStringList { line("2026-12-06 12:47:09", "KAB0606.LOG", "3", "1203", "KAV00123",
                             QStringLiteral("Re:Re:新しいログリーダー")),
               line("2026-12-06 11:02:31", "KAB0606.LOG", "3", "1202", "KAV00456",
                   QStringLiteral("Re:新しいログリーダー")),
               line("2026-12-06 10:15:00", "KAB0606.LOG", "3", "1201", "KAV00123",
                   QStringLiteral("新しいログリーダー")) }
        << QString();
    QTest::newRow("mails by sender") << QStringList { QStringLiteral("find"),
        QStringLiteral("board:0 from:kav00123") }
                                     << 0
                                     << QStringList { line("2026-12-06 21:03:11", "KAB0606.LOG", "0", "mail",
                                                          "KAV00123",
                                                          QStringLiteral("(KAV00123) 来週の集まりについて")),
                                            line("2026-12-05 19:20:45", "KAB0605.LOG", "0", "mail",
                                                "KAV00123", QStringLiteral("(KAV00123) ようこそ！")) }
                                     << QString();
    QTest::newRow("a chat room, by a short word")
        << QStringList { QStringLiteral("find"), QStringLiteral("寒い") } << 0
        << QStringList { line(
               "2026-12-06 22:40:02", "KAB0606.LOG", "X1", "-", "", QStringLiteral("雑談ルーム")) }
        << QString();
    QTest::newRow("folded phrase") << QStringList { QStringLiteral("find"),
        QStringLiteral("\"ＡＴ＆ｆ で\"") }
                                   << 0
                                   << QStringList { line("2026-12-06 13:20:18", "KAB0606.LOG", "3", "1204",
                                          "KAV00789", QStringLiteral("モデムの初期化コマンド")) }
                                   << QString();
    QTest::newRow("no hit") << QStringList { QStringLiteral("find"), QStringLiteral("存在しない言葉") } << 1
                            << QStringList {} << QString();
    QTest::newRow("unclosed quote") << QStringList { QStringLiteral("find"), QStringLiteral("\"モデム") } << 2
                                    << QStringList {} << QStringLiteral("引用符が閉じていません");
    QTest::newRow("unknown filter") << QStringList { QStringLiteral("find"), QStringLiteral("subject:x") }
                                    << 2 << QStringList {}
                                    << QStringLiteral("知らないフィルタです: subject:");
    QTest::newRow("no query") << QStringList { QStringLiteral("find") } << 2 << QStringList {}
                              << QStringLiteral("find takes [--every-capture] QUERY");
    QTest::newRow("unknown net") << QStringList { QStringLiteral("index"), QStringLiteral("どこかのネット") }
                                 << 2 << QStringList {} << QStringLiteral("no net");
}

void TestCliFind::find()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QStringList, lines);
    QFETCH(QString, error);
    const Run r = cli(args);
    QVERIFY2(r.err.contains(error), qPrintable(r.err));
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts), lines);
    QCOMPARE(r.code, code);
}

void TestCliFind::indexReportsProgressAndFollowsAGrownLog()
{
    Run r = cli({ QStringLiteral("index"), QStringLiteral("--progress") });
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err.split(u'\n', Qt::SkipEmptyParts).size(), 3); // one line per log
    QVERIFY(QFileInfo(path(QStringLiteral("kavrel-index.sqlite"))).isFile());

    r = cli({ QStringLiteral("index"), QStringLiteral("みなとネット"), QStringLiteral("--progress") });
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err.split(u'\n', Qt::SkipEmptyParts).size(), 1);

    // The next run's capture is appended to the newest log.
    QFile log(path(QStringLiteral("LOG/KAB0606.LOG")));
    QVERIFY(log.open(QIODevice::Append));
    const QByteArray more
        = kavrel::cp932::encode(QStringLiteral("Main Command(?:Help)>RN 7\r\nNo.7 ｢お知らせ｣\r\n"
                                               "=======================================\r\n"
                                               "INFO(88/88) 26/12/07 08:00:00 メンテナンスのお知らせ\r\n"
                                               "    100 bytes SYSOP:管理者 \r\ncommand (?:説明):\r\n"
                                               "明日の朝は停止します。\r\n読み終わりました。\r\n"));
    QCOMPARE(log.write(more), more.size());
    log.close();
    r = cli({ QStringLiteral("find"), QStringLiteral("メンテナンス") });
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts),
        QStringList { QStringLiteral(
            "2026-12-07 08:00:00\tかぶらネット\tKAB0606.LOG\t7\t88\tSYSOP\tメンテナンスのお知らせ\t1") });
}

void TestCliFind::anUnreadableLogLeavesTheOthersSearchable()
{
    if (geteuid() == 0)
        QSKIP("root reads a log of mode 000");
    const QString unreadable = path(QStringLiteral("LOG/KAB0605.LOG"));
    QVERIFY(QFile::setPermissions(unreadable, {}));
    const Run r = cli({ QStringLiteral("find"), QStringLiteral("モデム") });
    QFile::setPermissions(unreadable, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts),
        QStringList { QStringLiteral(
            "2026-12-06 "
            "13:20:18\tかぶらネット\tKAB0606.LOG\t3\t1204\tKAV00789\tモデムの初期化コマンド\t1") });
    QVERIFY2(r.err.contains(unreadable), qPrintable(r.err));
    QCOMPARE(r.code, 2);
}

void TestCliFind::runningOutOfMemoryIsReported()
{
    // A log of 30 MB where the program may take no more than 128 MB.
    kavrel::test::LogGeneratorOptions o;
    o.senders = 3000;
    kavrel::test::writeFile(path(QStringLiteral("LOG/KAB9999.LOG")),
        kavrel::test::LogGenerator(kavrel::test::LogGenerator::sized(o, qint64(30) << 20)).bytes());
    QProcess p;
    p.setChildProcessModifier([] {
        rlimit limit {};
        getrlimit(RLIMIT_AS, &limit);
        limit.rlim_cur = rlim_t(128) << 20;
        setrlimit(RLIMIT_AS, &limit);
    });
    p.start(qEnvironmentVariable("KAVREL_BINARY_DIR") + QStringLiteral("/src/cli/kavrel-cli"),
        { QStringLiteral("-C"), m_dir->path(), QStringLiteral("index") });
    QVERIFY(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 2);
    QVERIFY2(err.contains(path(QStringLiteral("LOG/KAB9999.LOG"))), qPrintable(err));
}

void TestCliFind::aReadOnlyArchiveIsSearched_data()
{
    QTest::addColumn<bool>("indexed"); // a complete index copied without its -wal and -shm files
    QTest::addColumn<bool>("touched"); // a log touched since: the index is written in the cache folder
    QTest::newRow("no index") << false << false;
    QTest::newRow("a complete index") << true << false;
    QTest::newRow("a complete index, a log touched since") << true << true;
}

void TestCliFind::aReadOnlyArchiveIsSearched()
{
    if (geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QFETCH(bool, indexed);
    QFETCH(bool, touched);
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    const QString index = path(QStringLiteral("kavrel-index.sqlite"));
    if (indexed) {
        QCOMPARE(cli({ QStringLiteral("index") }).code, 0);
        QFile::remove(index + QStringLiteral("-wal"));
        QFile::remove(index + QStringLiteral("-shm"));
        QVERIFY(QFile::setPermissions(index, QFileDevice::ReadOwner));
    }
    if (touched) {
        QFile log(path(QStringLiteral("LOG/KAB0605.LOG")));
        QVERIFY(log.open(QIODevice::ReadWrite)
            && log.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime));
    }
    const QByteArray before = indexed ? kavrel::test::readFile(index) : QByteArray();
    const auto writable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const Run r = cli({ QStringLiteral("find"), QStringLiteral("モデム") });
    QFile::setPermissions(m_dir->path(), writable);
    QFile::setPermissions(index, writable);
    qunsetenv("XDG_CACHE_HOME");
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts).size(), 2);
    QCOMPARE(r.code, 0);
    QCOMPARE(QFileInfo::exists(index), indexed);
    if (indexed)
        QCOMPARE(kavrel::test::readFile(index), before);
    const bool cached = !QDir(cache.path() + QStringLiteral("/Kavrel")).entryList(QDir::Files).isEmpty();
    QCOMPARE(cached, !indexed || touched);
}

void TestCliFind::aReadOnlyArchiveIsListed()
{
    // An index that keeps no board's archive yet, which can only be read: the
    // archive is made from its records and nothing is written.
    if (geteuid() == 0)
        QSKIP("root writes into read-only folders");
    const QStringList archive { QStringLiteral("archive"), QStringLiteral("かぶらネット"),
        QStringLiteral("--board"), QStringLiteral("12") };
    const QStringList timeline { QStringLiteral("timeline"), QStringLiteral("かぶらネット") };
    QCOMPARE(cli({ QStringLiteral("index") }).code, 0);
    const QString index = path(QStringLiteral("kavrel-index.sqlite"));
    const QByteArray before = kavrel::test::readFile(index);
    QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QVERIFY(QFile::setPermissions(index, QFileDevice::ReadOwner));
    const Run rows = cli(archive);
    const Run months = cli(timeline);
    QFile::setPermissions(
        m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(index, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(kavrel::test::readFile(index), before);
    QTemporaryDir writable;
    QVERIFY(kavrel::test::copyDemo(writable.path()));
    QCOMPARE(rows.out, kavrel::test::runCli(writable.path(), archive).out);
    QCOMPARE(rows.out.count(u'\n'), 2);
    QCOMPARE(months.out, kavrel::test::runCli(writable.path(), timeline).out);
    QCOMPARE(months.code, 0);
}

void TestCliFind::anIndexThatCouldOnlyBeReadIsWrittenAgain()
{
    // Searched while it could only be read, the index gains -wal and -shm
    // files of its mode; the first search after it can be written again
    // writes it.
    if (geteuid() == 0)
        QSKIP("root writes into read-only files");
    QCOMPARE(cli({ QStringLiteral("index") }).code, 0);
    const QString index = path(QStringLiteral("kavrel-index.sqlite"));
    QFile::remove(index + QStringLiteral("-wal"));
    QFile::remove(index + QStringLiteral("-shm"));
    QVERIFY(QFile::setPermissions(index, QFileDevice::ReadOwner));
    const QStringList find { QStringLiteral("find"), QStringLiteral("モデム") };
    Run r = cli(find);
    QVERIFY(QFile::setPermissions(index, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(r.code, 0);
    QFile log(path(QStringLiteral("LOG/KAB0605.LOG")));
    QVERIFY(log.open(QIODevice::ReadWrite)
        && log.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    log.close();
    r = cli(find);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts).size(), 2);
    QCOMPARE(r.code, 0);
}

void TestCliFind::anIndexThatCannotBeWrittenIsAFileError_data()
{
    QTest::addColumn<bool>("directory"); // in the index file's place
    QTest::addColumn<qint64>("fileSizeLimit");
    QTest::newRow("a directory in its place") << true << qint64(-1);
    QTest::newRow("the disk fills while a log is written") << false << qint64(40 * 1024);
}

void TestCliFind::anIndexThatCannotBeWrittenIsAFileError()
{
    QFETCH(bool, directory);
    QFETCH(qint64, fileSizeLimit);
    const QString index = path(QStringLiteral("kavrel-index.sqlite"));
    if (directory)
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("kavrel-index.sqlite")));
    const QStringList find { QStringLiteral("find"), QStringLiteral("モデム") };
    Run r = kavrel::test::runCli(m_dir->path(), find, fileSizeLimit);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(index), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    if (directory)
        return;
    // What was written before the disk filled stays sound, and the next
    // search finishes the index.
    r = cli(find);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts),
        QStringList({ QStringLiteral("2026-12-06 13:20:18\tかぶらネット\tKAB0606.LOG\t3\t1204\tKAV00789\t"
                                     "モデムの初期化コマンド\t1"),
            QStringLiteral(
                "2026-12-05 "
                "18:02:10\tかぶらネット\tKAB0605.LOG\t3\t1199\tKAV00456\tモデムの設定について\t1") }));
}

QTEST_GUILESS_MAIN(TestCliFind)
#include "tst_cli_find.moc"
