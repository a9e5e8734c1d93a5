// Every reader output of kavrel-cli (log index, title rows, article views,
// search hits, unread stops) and the net files it writes, on the demo and on
// generated logs, compared byte for byte with what the program printed before
// its log model was rebuilt for speed (tests/cli/data/outputs.txt).
//
// After a deliberate change of output, or of the log generators, write the
// file anew with KAVREL_WRITE_OUTPUTS=<path> and review its diff.

#include "LogGenerator.h"
#include "TestSupport.h"
#include "TitleLogGenerator.h"

#include "base/Cp932.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kavrel;

class TestCliOutputs : public QObject
{
    Q_OBJECT

private slots:
    void sameOutputsAsBefore();
    void generatedMailsAreRead();

private:
    void copyDemo();
    void writeGeneratedLogs();
    QString run(const QStringList &args, QStringList *lines = nullptr);
    void readEveryBoard(const QString &net, const QStringList &logs);
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void setTime(const QString &name, const QDateTime &t);

    QTemporaryDir m_dir;
    QString m_transcript;
};

void TestCliOutputs::setTime(const QString &name, const QDateTime &t)
{
    QFile f(path(name));
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(t, QFileDevice::FileModificationTime));
}

void TestCliOutputs::copyDemo()
{
    QVERIFY(test::copyDemo(m_dir.path()));
}

// Two logs of the demo's first net: a plain run, and one with garbled numbers,
// missing tokens, articles captured twice and titles only.
void TestCliOutputs::writeGeneratedLogs()
{
    const QString header = QString(39, u'=') + u' ';
    test::LogGeneratorOptions o;
    o.articleHeader = header;
    o.boards = 6;
    o.skippedBoards = 2;
    o.articlesPerBoard = 25;
    o.largeBoardArticles = 60;
    o.mails = 4;
    o.senders = 30;
    o.variant = 7;
    test::writeFile(path(QStringLiteral("LOG/KAB7001.LOG")), test::LogGenerator(o).bytes());

    test::LogShape shape;
    shape.variant = 3;
    shape.boards = 4;
    shape.articlesPerBoard = 30;
    QString odd = test::generateLog(shape).text;
    odd.replace(test::TestMarkers::articleHeader(), header);
    test::writeFile(path(QStringLiteral("LOG/KAB7002.LOG")), cp932::encode(odd));

    setTime(QStringLiteral("LOG/KAB7001.LOG"), QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
    setTime(QStringLiteral("LOG/KAB7002.LOG"), QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
}

QString TestCliOutputs::run(const QStringList &args, QStringList *lines)
{
    test::CliRun run = test::runCli(m_dir.path(), args);
    run.err.replace(m_dir.path(), QStringLiteral("<dir>"));
    m_transcript += QStringLiteral("$ ") + args.join(u' ') + QStringLiteral("\nexit ")
        + QString::number(run.code) + u'\n' + run.out + QStringLiteral("--- stderr\n") + run.err;
    if (lines)
        *lines = run.lines();
    return run.out;
}

// The log index, every board's title rows, and the first and last article of each.
void TestCliOutputs::readEveryBoard(const QString &net, const QStringList &logs)
{
    QStringList items;
    run(QStringList { QStringLiteral("open"), net } + logs, &items);
    for (int item = 0; item < items.size(); ++item) {
        const QStringList board { QStringLiteral("--item"), QString::number(item) };
        QStringList rows;
        run(QStringList { QStringLiteral("titles"), net } + logs + board, &rows);
        for (const qsizetype row : { qsizetype(0), rows.size() / 2, rows.size() - 1 }) {
            if (row >= 0)
                run(QStringList { QStringLiteral("show"), net } + logs + board
                    + QStringList { QStringLiteral("--row"), QString::number(row) });
        }
    }
}

void TestCliOutputs::sameOutputsAsBefore()
{
    QVERIFY(m_dir.isValid());
    copyDemo();
    writeGeneratedLogs();
    const QString net0 = QStringLiteral("0");
    const QString gen1 = QStringLiteral("KAB7001.LOG");
    const QString gen2 = QStringLiteral("KAB7002.LOG");

    readEveryBoard(net0, { QStringLiteral("KAB0606.LOG") });
    readEveryBoard(QStringLiteral("1"), { QStringLiteral("mnt1206.log") });
    run({ QStringLiteral("unread"), QStringLiteral("1"), QStringLiteral("mnt1206.log") });
    for (const QString &log : { gen1, gen2 }) {
        readEveryBoard(net0, { log });
        run({ QStringLiteral("search"), net0, log, QStringLiteral("--text"), QStringLiteral("オフ会") });
        run({ QStringLiteral("search"), net0, log, QStringLiteral("--text"), QStringLiteral("ATZ") });
        run({ QStringLiteral("search"), net0, log, QStringLiteral("--from"),
            QStringLiteral("26/12/07 00:00:00"), QStringLiteral("--to"),
            QStringLiteral("26/12/07 23:59:59") });
        // Twice: the second starts from the pointer the first one saved.
        run({ QStringLiteral("unread"), net0, log });
        run({ QStringLiteral("unread"), net0, log });
    }
    readEveryBoard(net0, { gen1, gen2 });
    run({ QStringLiteral("search"), net0, gen1, gen2, QStringLiteral("--text"), QStringLiteral("ボード") });

    for (const QString &file : { QStringLiteral("BL/KABURA.bl"), QStringLiteral("BL/KABURA.id"),
             QStringLiteral("BL/MINATO.bl"), QStringLiteral("BL/MINATO.id") })
        m_transcript += QStringLiteral("=== ") + file + u'\n' + cp932::decode(test::readFile(path(file)));

    const QString writeTo = qEnvironmentVariable("KAVREL_WRITE_OUTPUTS");
    if (!writeTo.isEmpty()) {
        test::writeFile(writeTo, m_transcript.toUtf8());
        QSKIP("outputs written");
    }
    const QString before = QString::fromUtf8(test::readFile(
        qEnvironmentVariable("KAVREL_SOURCE_DIR") + QStringLiteral("/tests/cli/data/outputs.txt")));
    const QStringList expected = before.split(u'\n');
    const QStringList actual = m_transcript.split(u'\n');
    for (qsizetype i = 0; i < qMin(expected.size(), actual.size()); ++i) {
        if (expected.at(i) != actual.at(i))
            QFAIL(qPrintable(QStringLiteral("line %1: expected \"%2\", got \"%3\"")
                                 .arg(i + 1)
                                 .arg(expected.at(i), actual.at(i))));
    }
    QCOMPARE(actual.size(), expected.size());
}

// Each mail of the generated mail box shows its text, as the demo's do.
void TestCliOutputs::generatedMailsAreRead()
{
    QTemporaryDir dir;
    QVERIFY(test::copyDemo(dir.path()));
    test::LogGeneratorOptions o;
    o.articleHeader = QString(39, u'=') + u' ';
    o.mails = 3;
    o.unreadPercent = 0;
    test::writeFile(dir.filePath(QStringLiteral("LOG/KAB7001.LOG")), test::LogGenerator(o).bytes());
    const auto show = [&](int row) {
        return test::runCli(dir.path(),
            { QStringLiteral("show"), QStringLiteral("0"), QStringLiteral("KAB7001.LOG"),
                QStringLiteral("--item"), QStringLiteral("0"), QStringLiteral("--row"),
                QString::number(row) });
    };
    for (int row : { 0, 2 }) {
        const test::CliRun run = show(row);
        QCOMPARE(run.code, 0);
        QVERIFY2(run.lines().value(0).startsWith(QStringLiteral("mail 26/12/07 ")), qPrintable(run.out));
        QVERIFY2(run.lines().size() >= 4, qPrintable(run.out));
    }
}

QTEST_GUILESS_MAIN(TestCliOutputs)
#include "tst_cli_outputs.moc"
