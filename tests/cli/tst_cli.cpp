// kavrel-cli on a copy of the bundled demo, as a script would run it.

#include "TestSupport.h"

#include "base/Cp932.h"
#include "commands/UpFileCommands.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "settings/SettingsStore.h"

using namespace kavrel;

using Run = kavrel::test::CliRun;

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void netsAndLogs();
    void openPrintsTheLogIndexAndWritesTheNetFiles();
    void openMergesSeveralLogs();
    void openReportsALogWithoutBoards();
    void titlesOfABoard();
    void showAnArticle();
    void searchWalksOverBoards();
    void searchRefusesABadRange();
    void unreadStopsAtTheFirstUnreadArticle();
    void helpAndVersion_data();
    void helpAndVersion();
    void completionOffersCommandsNetsAndLogs_data();
    void completionOffersCommandsNetsAndLogs();
    void badUsageAndMissingFiles_data();
    void badUsageAndMissingFiles();
    void exportGivesTheExpectedFiles_data();
    void exportGivesTheExpectedFiles();
    void exportWritesAFileOrSaysWhyNot_data();
    void exportWritesAFileOrSaysWhyNot();
    void progressGoesToStderr();
    void fileFailuresExitTwoAfterTheOutput_data();
    void fileFailuresExitTwoAfterTheOutput();
    void fullDiskExitsTwoAndKeepsThePointers();
    void chatRoomStaysAfterAnotherLog();
    void emptyListDirectoryIsTheWorkingDirectory();
    void upfileListsTheWaitingCommands();
    void upfileHistoryListsAndRestores();

private:
    Run cli(const QStringList &args, qint64 fileSizeLimit = -1);
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCli::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(test::copyDemo(m_dir->path()));
}

Run TestCli::cli(const QStringList &args, qint64 fileSizeLimit)
{
    return test::runCli(m_dir->path(), args, fileSizeLimit);
}

void TestCli::netsAndLogs()
{
    const Run nets = cli({ QStringLiteral("nets") });
    QCOMPARE(nets.code, 0);
    QCOMPARE(
        nets.lines(), QStringList({ QStringLiteral("0\tかぶらネット"), QStringLiteral("1\tみなとネット") }));

    const Run byName = cli({ QStringLiteral("logs"), QStringLiteral("かぶらネット") });
    QCOMPARE(byName.code, 0);
    QCOMPARE(byName.lines(), QStringList({ QStringLiteral("KAB0605.LOG"), QStringLiteral("KAB0606.LOG") }));
    // The pattern "mnt*.log" is matched whatever the case of the names.
    QCOMPARE(cli({ QStringLiteral("logs"), QStringLiteral("1") }).lines(),
        QStringList { QStringLiteral("mnt1206.log") });
}

void TestCli::openPrintsTheLogIndexAndWritesTheNetFiles()
{
    const QByteArray upBefore = test::readFile(path(QStringLiteral("UP/KABURA.up")));
    const Run run = cli({ QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.lines(),
        QStringList({
            QStringLiteral("0\tNo.0 ｢メールボックス｣\tmail"),
            QStringLiteral("1\tNo.3 ｢パソコン通信の話題｣\tPC"),
            QStringLiteral("2\tNo.12 ｢趣味の部屋｣\tHOBBY"),
            QStringLiteral("3\t[XCHAT] No1.雑談ルーム\t"),
        }));
    // The up-file question was answered Cancel: the waiting write stays.
    QCOMPARE(test::readFile(path(QStringLiteral("UP/KABURA.up"))), upBefore);

    QCOMPARE(cp932::decode(test::readFile(path(QStringLiteral("BL/KABURA.bl")))),
        test::crlfLines(
            { QStringLiteral("No.0 ｢メールボックス｣mail "), QStringLiteral("No.3 ｢パソコン通信の話題｣PC "),
                QStringLiteral("No.12 ｢趣味の部屋｣HOBBY "), QStringLiteral("[XCHAT] No1.雑談ルーム ") }));
    QCOMPARE(cp932::decode(test::readFile(path(QStringLiteral("BL/KABURA.id")))),
        test::crlfLines({ QStringLiteral(" KAV00123:山田花子"), QStringLiteral(" KAV00456:佐藤一郎"),
            QStringLiteral(" KAV00789:鈴木三郎") }));

    // The pointer record of net 0 names the log, nothing read yet.
    const QByteArray ptr = test::readFile(path(QStringLiteral("LOGPTR.dat")));
    QVERIFY(ptr.size() >= 84);
    QCOMPARE(cp932::decode(ptr.left(80)).trimmed(), QStringLiteral("LOG/KAB0606.LOG"));

    // The older log counts as read to its end and leaves the newer log's record alone.
    const Run older = cli({ QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0605.LOG") });
    QCOMPARE(older.code, 0);
    QCOMPARE(cp932::decode(test::readFile(path(QStringLiteral("LOGPTR.dat"))).left(80)).trimmed(),
        QStringLiteral("LOG/KAB0606.LOG"));
}

void TestCli::openMergesSeveralLogs()
{
    const Run run = cli({ QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG"),
        QStringLiteral("KAB0605.LOG") });
    QCOMPARE(run.code, 0);
    QCOMPARE(test::readFile(path(QStringLiteral("LOG/Temp.log"))),
        test::readFile(path(QStringLiteral("LOG/KAB0606.LOG")))
            + test::readFile(path(QStringLiteral("LOG/KAB0605.LOG"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("LOGPTR.dat"))));
}

void TestCli::openReportsALogWithoutBoards()
{
    test::writeFile(path(QStringLiteral("LOG/KAB0607.LOG")),
        test::sjis(
            test::crlfLines({ QStringLiteral("Main Command(?:Help)>BYE"), QStringLiteral("NO CARRIER") })));
    test::writeFile(path(QStringLiteral("BL/KABURA.bl")), QByteArray());
    const Run run = cli({ QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0607.LOG") });
    QCOMPARE(run.code, 1);
    QCOMPARE(run.out, QString());
    QCOMPARE(
        run.err.trimmed(), QStringLiteral("指定されたＬＯＧファイルはボードタイトルがありませんでした！"));
}

void TestCli::titlesOfABoard()
{
    const QStringList open { QStringLiteral("titles"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") };
    // Responses two levels deep, and the write waiting in the up file as a mark row.
    const Run board3 = cli(open + QStringList { QStringLiteral("--board"), QStringLiteral("3") });
    QCOMPARE(board3.code, 0);
    const QStringList rows = board3.lines();
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.at(0).split(QLatin1Char('\t')),
        QStringList({ " ", "[1201]", "KAV00123:山田花子 ", "新しいログリーダー" }));
    QCOMPARE(rows.at(1).split(QLatin1Char('\t')).at(1), QStringLiteral(" [1202]"));
    QCOMPARE(rows.at(2).split(QLatin1Char('\t')).at(1), QStringLiteral("  [1203]"));
    QCOMPARE(rows.at(3).split(QLatin1Char('\t')).at(1), QStringLiteral("[1204]"));
    QCOMPARE(rows.at(4).split(QLatin1Char('\t')), QStringList({ " ", "[書込 1]", " ", "はじめまして" }));

    // The article captured as a title only is listed once, where it was read.
    const Run board12 = cli(open + QStringList { QStringLiteral("--board"), QStringLiteral("12") });
    QCOMPARE(board12.lines().size(), 2);
    QVERIFY(board12.lines().at(1).contains(QStringLiteral("[305]")));

    // Item 3 is the chat room entered twice: one row per entry.
    const Run chat = cli(open + QStringList { QStringLiteral("--item"), QStringLiteral("3") });
    QCOMPARE(chat.lines(),
        QStringList({ QStringLiteral(" \t[XCHAT]\t \t "), QStringLiteral(" \t[XCHAT]\t \t ") }));
}

void TestCli::showAnArticle()
{
    const QStringList open { QStringLiteral("show"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") };
    const Run article = cli(open
        + QStringList {
            QStringLiteral("--board"), QStringLiteral("12"), QStringLiteral("--row"), QStringLiteral("1") });
    QCOMPARE(article.code, 0);
    // The read capture is shown, not the title-only one answered "n".
    QCOMPARE(article.lines().first(), QStringLiteral("HOBBY(305/306) 26/12/06 09:00:12 今日の一枚"));
    QVERIFY(article.lines().contains(QStringLiteral("近所の公園で撮った夕焼けの写真です。")));

    // The second mail runs past a line that begins with "No.".
    const Run mail = cli(open
        + QStringList {
            QStringLiteral("--board"), QStringLiteral("0"), QStringLiteral("--row"), QStringLiteral("1") });
    QCOMPARE(mail.lines().last(), QStringLiteral("No.3 のボードにも書いておきます。"));

    // Without --row the first row is shown, as when the title list gets the focus.
    const Run chat = cli(open + QStringList { QStringLiteral("--item"), QStringLiteral("3") });
    QCOMPARE(chat.lines().first(), QStringLiteral("[KAV00123] こんばんは"));
}

void TestCli::searchWalksOverBoards()
{
    const Run run = cli({ QStringLiteral("search"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG"),
        QStringLiteral("--text"), QStringLiteral("ログ") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.lines(),
        QStringList({
            QStringLiteral("0\t1\t[mail ]\t(KAV00456) ログ整理ソフトの件"),
            QStringLiteral("1\t0\t[1201]\t新しいログリーダー"),
            QStringLiteral("1\t1\t [1202]\tRe:新しいログリーダー"),
            QStringLiteral("1\t2\t  [1203]\tRe:Re:新しいログリーダー"),
        }));

    // A waiting command is a hit by its own text, as the window stops on it.
    const Run waiting = cli({ QStringLiteral("search"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG"),
        QStringLiteral("--text"), QStringLiteral("よろしくお願いします") });
    QCOMPARE(waiting.code, 0);
    QCOMPARE(waiting.lines(), QStringList { QStringLiteral("1\t4\t[書込 1]\tはじめまして") });

    const Run range = cli({ QStringLiteral("search"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG"),
        QStringLiteral("--from"), QStringLiteral("26/12/06 11:00:00"), QStringLiteral("--to"),
        QStringLiteral("26/12/06 14:00:00") });
    QCOMPARE(range.code, 0);
    QCOMPARE(range.lines().size(), 3);
    QVERIFY(range.lines().last().startsWith(QStringLiteral("1\t3\t[1204]")));
}

void TestCli::searchRefusesABadRange()
{
    const Run run = cli({ QStringLiteral("search"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG"),
        QStringLiteral("--from"), QStringLiteral("26/12/07 00:00:00"), QStringLiteral("--to"),
        QStringLiteral("26/12/06 00:00:00") });
    QCOMPARE(run.code, 1);
    QVERIFY(run.err.contains(QStringLiteral("日付又は時間の範囲が不正です")));
    QCOMPARE(run.out, QString());
}

void TestCli::unreadStopsAtTheFirstUnreadArticle()
{
    const QStringList unread { QStringLiteral("unread"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") };
    const Run first = cli(unread);
    QCOMPARE(first.code, 0);
    QCOMPARE(first.lines().first(), QStringLiteral("0\t1\t[mail ]"));

    // The pointer saved at exit makes the next unread search go further.
    const QByteArray ptr = test::readFile(path(QStringLiteral("LOGPTR.dat")));
    qint32 pointer = 0;
    memcpy(&pointer, ptr.constData() + 80, 4);
    QVERIFY(pointer > 0);
}

void TestCli::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("outHas"); // lines of stdout, in this order

    const QStringList commands { "nets", "logs", "open", "titles", "show", "search", "unread", "export",
        "index", "find", "archive", "timeline", "help" };
    QStringList listed;
    for (const QString &command : commands)
        listed << QStringLiteral("  ") + command + u' ';
    listed << QStringLiteral("kavrel-cli help COMMAND tells a command's arguments and output.");
    QTest::newRow("--help") << QStringList { "--help" } << listed;
    QTest::newRow("-h") << QStringList { "-h" } << listed;
    QTest::newRow("help") << QStringList { "--progress", "help" } << listed;
    QTest::newRow("--version") << QStringList { "--version" } << QStringList { "kavrel-cli 0.9.0" };
    // Each command's usage, then what it prints.
    QTest::newRow("help titles") << QStringList { "help", "titles" }
                                 << QStringList {
                                        "usage: kavrel-cli [-C DIR] titles NET LOG... (--board N | --item K)",
                                        "Prints its title rows, <batch>\\t<number>\\t<info>\\t<title> each."
                                    };
    for (const QString &command : commands) {
        QTest::addRow("help %s", qPrintable(command))
            << QStringList { "help", command } << QStringList { "usage: kavrel-cli [-C DIR] " + command };
    }
}

void TestCli::helpAndVersion()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, outHas);
    const Run run = cli(args);
    QCOMPARE(run.code, 0);
    QCOMPARE(run.err, QString());
    qsizetype from = 0;
    for (const QString &line : outHas) {
        const qsizetype at = run.out.indexOf(line, from);
        QVERIFY2(at >= 0 && (at == 0 || run.out.at(at - 1) == u'\n'), qPrintable(line + u'\n' + run.out));
        from = at + line.size();
    }
    // More than the usage line: what the command does.
    QVERIFY(run.lines().size() >= 2 || args.first() == QLatin1String("--version"));
}

void TestCli::completionOffersCommandsNetsAndLogs_data()
{
    QTest::addColumn<QStringList>("words"); // after "kavrel-cli -C DIR", the last one being completed
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("command") << QStringList { "t" } << QStringList { "timeline", "titles" };
    QTest::newRow("net name") << QStringList { "logs", "" } << QStringList { "かぶらネット", "みなとネット" };
    QTest::newRow("net name begun") << QStringList { "titles", "み" } << QStringList { "みなとネット" };
    QTest::newRow("log file") << QStringList { "open", "かぶらネット", "" }
                              << QStringList { "KAB0605.LOG", "KAB0606.LOG" };
    QTest::newRow("second log file") << QStringList { "open", "0", "KAB0605.LOG", "KAB0606" }
                                     << QStringList { "KAB0606.LOG" };
    QTest::newRow("format") << QStringList { "export", "0", "KAB0606.LOG", "--format", "h" }
                            << QStringList { "html" };
    QTest::newRow("help") << QStringList { "help", "tit" } << QStringList { "titles" };
    QTest::newRow("upfile options") << QStringList { "upfile", "0", "--h" } << QStringList { "--history" };
}

void TestCli::completionOffersCommandsNetsAndLogs()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, offered);
    QStringList quoted { "kavrel-cli", "-C", m_dir->path() };
    quoted += words;
    for (QString &word : quoted)
        word = u'\'' + word + u'\'';
    const QString script
        = QStringLiteral("source \"$KAVREL_SOURCE_DIR/data/kavrel-cli.bash\" && complete -p kavrel-cli "
                         "&& COMP_WORDS=(%1) && COMP_CWORD=%2 && _kavrel_cli && "
                         "printf '%s\\n' \"${COMPREPLY[@]}\"")
              .arg(quoted.join(u' '))
              .arg(quoted.size() - 1);
    QProcess bash;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"),
        qEnvironmentVariable("KAVREL_BINARY_DIR") + QStringLiteral("/src/cli:")
            + env.value(QStringLiteral("PATH")));
    bash.setProcessEnvironment(env);
    bash.start(QStringLiteral("bash"), { QStringLiteral("-c"), script });
    QVERIFY(bash.waitForFinished(60000));
    QCOMPARE(bash.exitCode(), 0);
    QStringList lines = QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.takeFirst(), QStringLiteral("complete -o filenames -F _kavrel_cli kavrel-cli"));
    lines.sort();
    QCOMPARE(lines, offered);
}

void TestCli::badUsageAndMissingFiles_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("stderrHas");
    QTest::newRow("no command") << QStringList()
                                << QStringLiteral("usage: kavrel-cli [-C DIR] [--progress] COMMAND");
    QTest::newRow("unknown command") << QStringList { QStringLiteral(
        "frobnicate") } << QStringLiteral("frobnicate\nusage: kavrel-cli [-C DIR] [--progress] COMMAND");
    QTest::newRow("help of an unknown command")
        << QStringList { QStringLiteral("help"), QStringLiteral("frobnicate") }
        << QStringLiteral("frobnicate\nusage: kavrel-cli [-C DIR] help [COMMAND]\n");
    QTest::newRow("unknown net") << QStringList { QStringLiteral("logs"), QStringLiteral("よそのネット") }
                                 << QStringLiteral("よそのネット\"");
    QTest::newRow("open without log")
        << QStringList { QStringLiteral("open"), QStringLiteral("0") }
        << QStringLiteral("LOG are needed\nusage: kavrel-cli [-C DIR] open NET LOG...\n");
    QTest::newRow("titles without a board")
        << QStringList { QStringLiteral("titles"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") }
        << QStringLiteral("usage: kavrel-cli [-C DIR] titles NET LOG... (--board N | --item K)\n");
    QTest::newRow("log not of the net") << QStringList { QStringLiteral("open"), QStringLiteral("0"),
        QStringLiteral("NOPE.LOG") } << QStringLiteral("NOPE.LOG");
}

void TestCli::badUsageAndMissingFiles()
{
    QFETCH(QStringList, args);
    QFETCH(QString, stderrHas);
    const Run run = cli(args);
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(stderrHas), qPrintable(run.err));
}

void TestCli::exportGivesTheExpectedFiles_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("expected"); // a file under tests/cli/expected
    QTest::newRow("board as text") << QStringList { "--board", "3", "--format", "text" }
                                   << QStringLiteral("kab0606-board3.txt");
    QTest::newRow("board as a page") << QStringList { "--board", "3", "--format", "html" }
                                     << QStringLiteral("kab0606-board3.html");
    QTest::newRow("mail box as a page")
        << QStringList { "--board", "0", "--format", "html" } << QStringLiteral("kab0606-board0.html");
    QTest::newRow("chat room as text")
        << QStringList { "--item", "3", "--format", "text" } << QStringLiteral("kab0606-chat.txt");
    QTest::newRow("a thread as mbox") << QStringList { "--board", "3", "--row", "1", "--thread", "--format",
        "mbox" } << QStringLiteral("kab0606-board3-row1-thread.mbox");
}

void TestCli::exportGivesTheExpectedFiles()
{
    QFETCH(QStringList, options);
    QFETCH(QString, expected);
    const Run run
        = cli(QStringList { QStringLiteral("export"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") }
            + options);
    QCOMPARE(run.code, 0);
    const QString file
        = qEnvironmentVariable("KAVREL_SOURCE_DIR") + QStringLiteral("/tests/cli/expected/") + expected;
    QCOMPARE(run.out.toUtf8(), test::readFile(file));
}

void TestCli::exportWritesAFileOrSaysWhyNot_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("stderrHas");
    QTest::addColumn<QString>("output"); // -o FILE relative to the test's directory, or empty
    QTest::newRow("written") << QStringList { "--board", "3", "--format", "html" } << 0 << QString()
                             << QStringLiteral("out/board3.html");
    QTest::newRow("a directory where the file goes")
        << QStringList { "--board", "3", "--format", "text" } << 2 << QStringLiteral("taken.txt: ")
        << QStringLiteral("taken.txt");
    QTest::newRow("a folder that is a file")
        << QStringList { "--board", "3", "--format", "text" } << 2 << QStringLiteral("DIR.DEF/x.txt: ")
        << QStringLiteral("DIR.DEF/x.txt");
    QTest::newRow("chat room as mbox")
        << QStringList { "--item", "3", "--format", "mbox" } << 1
        << QStringLiteral("チャットルームはmbox形式ではエクスポートできません") << QString();
    QTest::newRow("a waiting write") << QStringList { "--board", "3", "--row", "4", "--format", "text" } << 1
                                     << QStringLiteral("エクスポートするアーティクルはありません")
                                     << QString();
    QTest::newRow("no format") << QStringList { "--board", "3" } << 2 << QStringLiteral("--format")
                               << QString();
    QTest::newRow("unknown format") << QStringList { "--board", "3", "--format", "pdf" } << 2
                                    << QStringLiteral("--format") << QString();
    QTest::newRow("thread without row") << QStringList { "--board", "3", "--thread", "--format", "text" } << 2
                                        << QStringLiteral("--thread") << QString();
    QTest::newRow("no such row") << QStringList { "--board", "3", "--row", "9", "--format", "text" } << 2
                                 << QStringLiteral("no row 9") << QString();
}

void TestCli::exportWritesAFileOrSaysWhyNot()
{
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QString, stderrHas);
    QFETCH(QString, output);
    QVERIFY(QDir().mkpath(path(QStringLiteral("out"))));
    QVERIFY(QDir().mkpath(path(QStringLiteral("taken.txt/inside"))));
    QStringList args { QStringLiteral("export"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") };
    args += options;
    if (!output.isEmpty())
        args += QStringList { QStringLiteral("-o"), path(output) };
    const Run run = cli(args);
    QCOMPARE(run.code, code);
    QVERIFY2(run.err.contains(stderrHas), qPrintable(run.err));
    if (code == 0) {
        QVERIFY(run.out.isEmpty());
        const QByteArray written = test::readFile(path(output));
        QVERIFY(written.startsWith("<!DOCTYPE html>"));
        QCOMPARE(written, cli(args.mid(0, args.size() - 2)).out.toUtf8());
    } else if (!output.isEmpty()) {
        QVERIFY(run.err.startsWith(path(output) + QStringLiteral(": ")));
        QVERIFY(QFileInfo(path(QStringLiteral("taken.txt/inside"))).isDir());
    }
}

void TestCli::progressGoesToStderr()
{
    const QStringList open = { QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") };
    const Run quiet = cli(open);
    QCOMPARE(quiet.code, 0);
    QVERIFY(quiet.err.isEmpty());
    const Run told = cli(QStringList { QStringLiteral("--progress") } + open);
    QCOMPARE(told.code, 0);
    QCOMPARE(told.out, quiet.out);
    const QStringList lines = told.err.split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(lines.size() >= 2);
    QCOMPARE(lines.first(), QStringLiteral("reading KAB0606.LOG: 0%"));
    QCOMPARE(lines.last(), QStringLiteral("reading KAB0606.LOG: 100%"));
}

void TestCli::fileFailuresExitTwoAfterTheOutput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("broken");
    const QStringList twoLogs { QStringLiteral("0"), QStringLiteral("KAB0606.LOG"),
        QStringLiteral("KAB0605.LOG") };
    QTest::newRow("Temp.log cannot be written") << (QStringList { QStringLiteral("titles") } + twoLogs
        + QStringList { QStringLiteral("--item"), QStringLiteral("1") })
                                                << QStringLiteral("LOG/Temp.log");
    QTest::newRow("ID list cannot be read") << QStringList { QStringLiteral("open"), QStringLiteral("0"),
        QStringLiteral("KAB0606.LOG") } << QStringLiteral("BL/KABURA.id");
    QTest::newRow("board list cannot be read") << QStringList { QStringLiteral("open"), QStringLiteral("0"),
        QStringLiteral("KAB0606.LOG") } << QStringLiteral("BL/KABURA.bl");
}

void TestCli::fileFailuresExitTwoAfterTheOutput()
{
    QFETCH(QStringList, args);
    QFETCH(QString, broken);
    QVERIFY(QFile::remove(path(broken)) || !QFile::exists(path(broken)));
    QVERIFY(QDir().mkpath(path(broken)));
    const Run run = cli(args);
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(broken + QLatin1Char('\n')), qPrintable(run.err)); // the path, then the reason
    QVERIFY(!run.lines().isEmpty()); // what was asked for is printed all the same
    QVERIFY(QFileInfo(path(broken)).isDir());
}

void TestCli::fullDiskExitsTwoAndKeepsThePointers()
{
    QCOMPARE(cli({ QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") }).code, 0);
    const QByteArray pointers = test::readFile(path(QStringLiteral("LOGPTR.dat")));
    QVERIFY(pointers.size() > 1024);
    const Run run
        = cli({ QStringLiteral("unread"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") }, 1024);
    QCOMPARE(run.code, 2);
    QCOMPARE(run.lines().first(), QStringLiteral("0\t1\t[mail ]"));
    QVERIFY2(run.err.contains(path(QStringLiteral("LOGPTR.dat"))), qPrintable(run.err));
    QCOMPARE(run.err.count(path(QStringLiteral("LOGPTR.dat"))), 1); // told once
    QCOMPARE(test::readFile(path(QStringLiteral("LOGPTR.dat"))), pointers);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("LOGPTR")),
        QStringList { QStringLiteral("LOGPTR.dat") });
}

void TestCli::chatRoomStaysAfterAnotherLog()
{
    QCOMPARE(cli({ QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") }).code, 0);
    const Run older = cli({ QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0605.LOG") });
    QCOMPARE(older.code, 0);
    QVERIFY2(older.out.contains(QStringLiteral("[XCHAT] No1.雑談ルーム")), qPrintable(older.out));
    QVERIFY(cp932::decode(test::readFile(path(QStringLiteral("BL/KABURA.bl"))))
                .contains(QStringLiteral("[XCHAT] No1.雑談ルーム \r\n")));
}

void TestCli::emptyListDirectoryIsTheWorkingDirectory()
{
    settings::DirRecord record;
    record[settings::DirRecord::LOG_Dir] = QStringLiteral("LOG");
    record[settings::DirRecord::Up_Dir] = QStringLiteral("UP");
    test::writeFile(path(QStringLiteral("DIR.DEF")), settings::SettingsStore::encodeDirRecord(record));
    const Run run = cli({ QStringLiteral("open"), QStringLiteral("0"), QStringLiteral("KAB0606.LOG") });
    QCOMPARE(run.code, 0);
    QVERIFY(QFile::exists(path(QStringLiteral("KABURA.bl"))));
    QVERIFY(QFile::exists(path(QStringLiteral("KABURA.id"))));
}

void TestCli::upfileListsTheWaitingCommands()
{
    // The demo's waiting write, then responses to an article of the log and
    // to one of no log, and a write on a board the net does not have.
    const QString up = QStringLiteral("UP/KABURA.up");
    const QByteArray demoWrite = test::readFile(path(up));
    const QString known
        = commands::upfile::responseCommand(3, QStringLiteral("1202"), QStringLiteral("Re:x\r\ny"), {});
    const QString unknown
        = commands::upfile::responseCommand(3, QStringLiteral("9999"), QStringLiteral("Re:z\r\ny"), {});
    const QString elsewhere = commands::upfile::writeCommand(77, QStringLiteral("T\r\nB"), {});
    test::writeFile(path(up), demoWrite + test::sjis(known + unknown + elsewhere));

    const Run run = cli({ QStringLiteral("upfile"), QStringLiteral("0") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.lines(),
        (QStringList { QStringLiteral("1\twrite\t3\t\tはじめまして\t%1\t").arg(demoWrite.size()),
            QStringLiteral("2\tresponse\t3\t1202\tRe:x\t%1\t").arg(test::sjis(known).size()),
            QStringLiteral("3\tresponse\t3\t9999\tRe:z\t%1\tunknown-article").arg(test::sjis(unknown).size()),
            QStringLiteral("4\twrite\t77\t\tT\t18\tunknown-board") }));

    test::writeFile(path(up), QByteArray());
    QCOMPARE(cli({ QStringLiteral("upfile"), QStringLiteral("0") }).code, 1);
    QFile::remove(path(up));
    const Run none = cli({ QStringLiteral("upfile"), QStringLiteral("かぶらネット") });
    QCOMPARE(none.code, 1);
    QVERIFY2(none.err.contains(QStringLiteral("KABURA.up")), qPrintable(none.err));
}

void TestCli::upfileHistoryListsAndRestores()
{
    const QString up = path(QStringLiteral("UP/KABURA.up"));
    const QByteArray demoWrite = test::readFile(up);
    const auto history = [this] {
        const Run run = cli({ QStringLiteral("upfile"), QStringLiteral("0"), QStringLiteral("--history") });
        QStringList rows;
        for (const QString &line : run.lines()) {
            QStringList fields = line.split(u'\t');
            // The time each generation came to be, then its time left out.
            if (fields.size() == 4
                && QDateTime::fromString(fields.at(1), QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid())
                fields.removeAt(1);
            rows << fields.join(u'\t');
        }
        return std::pair(run, rows);
    };
    const auto restore = [this](const char *n) {
        return cli(
            { QStringLiteral("upfile"), QStringLiteral("0"), QStringLiteral("--restore"), QLatin1String(n) });
    };

    // The first read keeps the file as the history's start; a change made
    // outside becomes a generation of its own at the next read.
    QCOMPARE(history().second, QStringList { QStringLiteral("1\t履歴の始まり\t%1").arg(demoWrite.size()) });
    const QByteArray withResponse = demoWrite
        + test::sjis(
            commands::upfile::responseCommand(3, QStringLiteral("1202"), QStringLiteral("Re:x\r\ny"), {}));
    test::writeFile(up, withResponse);
    QCOMPARE(history().second,
        (QStringList { QStringLiteral("1\t履歴の始まり\t%1").arg(demoWrite.size()),
            QStringLiteral("2\tKavrel の外での変更\t%1").arg(withResponse.size()) }));

    // A restore writes the generation back and keeps the one it replaced.
    QCOMPARE(restore("1").code, 0);
    QCOMPARE(test::readFile(up), demoWrite);
    QCOMPARE(test::readFile(up + QStringLiteral(".bak")), withResponse);
    QCOMPARE(history().second.size(), 2);
    QCOMPARE(restore("2").code, 0);
    QCOMPARE(test::readFile(up), withResponse);

    // What the terminal program sent is not brought back.
    test::writeFile(up, QByteArray());
    const Run sent = restore("2");
    QCOMPARE(sent.code, 1);
    QVERIFY2(sent.err.contains(QStringLiteral("already sent")), qPrintable(sent.err));
    QCOMPARE(test::readFile(up), QByteArray());

    // A damaged generation is named on stderr, never listed or restored.
    const QString second = path(QStringLiteral("UP/.kavrel-history/KABURA.up/00000002.gen"));
    QByteArray bytes = test::readFile(second);
    bytes.chop(1);
    test::writeFile(second, bytes);
    const auto [run, rows] = history();
    QCOMPARE(run.code, 0);
    QCOMPARE(rows,
        (QStringList { QStringLiteral("1\t履歴の始まり\t%1").arg(demoWrite.size()),
            QStringLiteral("3\tKavrel の外での変更\t0") }));
    QVERIFY2(run.err.contains(QStringLiteral("generation 2 is damaged")), qPrintable(run.err));
    QCOMPARE(restore("2").code, 1);
    QCOMPARE(restore("4").code, 1);
    QCOMPARE(restore("x").code, 2);
    QCOMPARE(test::readFile(up), QByteArray());

    // A net without an up file or a history.
    QVERIFY(QDir(path(QStringLiteral("UP/.kavrel-history"))).removeRecursively());
    QVERIFY(QFile::remove(up));
    const Run none = history().first;
    QCOMPARE(none.code, 1);
    QVERIFY2(none.err.contains(QStringLiteral("no generations kept")), qPrintable(none.err));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
