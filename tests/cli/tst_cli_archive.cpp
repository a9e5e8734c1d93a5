// kavrel-cli archive and timeline: one board across every log of a net. What
// they print equals the union of every log opened alone in the reader (its
// title list and article view, as titles and show give them), deduplicated
// and threaded by brute force.

#include "TestSupport.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "logindex/LogFiles.h"
#include "logindex/LogScanner.h"
#include "reader/Reader.h"
#include "reader/TitleRows.h"
#include "session/Session.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/NetMarkers.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kavrel;
using Run = kavrel::test::CliRun;

namespace {

const QString kNet = QStringLiteral("かぶらネット");

// An article as the host prints it; no body is a capture of its title only.
QStringList article(const QString &head, int parent, const QString &size, const QStringList &body)
{
    QStringList out { QStringLiteral("======================================="), head };
    if (parent > 0)
        out << QStringLiteral(" <%1:KAV00123>への返信").arg(parent);
    out << size << QStringLiteral("command (?:説明):") + (body.isEmpty() ? QStringLiteral("n") : QString());
    return out + body;
}

QStringList board(int number, const QString &name, const QList<QStringList> &articles)
{
    QStringList out { QStringLiteral("Main Command(?:Help)>RN %1").arg(number),
        QStringLiteral("No.%1 ｢%2｣").arg(number).arg(name) };
    for (const QStringList &a : articles)
        out += a;
    return out << QStringLiteral("読み終わりました。");
}

QStringList mailBox(const QList<QStringList> &mails)
{
    return board(0, QStringLiteral("メールボックス"), mails);
}

QStringList mail(const QString &when, const QString &id, const QString &title, const QStringList &body)
{
    return article(QStringLiteral("mail %1 (%2) %3").arg(when, id, title), 0,
        QStringLiteral("    300 bytes %1:名前 ").arg(id), body);
}

const QString kBytes = QStringLiteral("    300 bytes KAV00123:山田花子 ");
const QStringList kChat { QStringLiteral("Main Command(?:Help)>X"),
    QStringLiteral("何番に入りますか？ ([RET]:終了):1"), QString(), QStringLiteral("1.雑談ルーム"),
    QStringLiteral("現在の参加者は２人です。"), QStringLiteral("-----"),
    QStringLiteral("[KAV00123] こんばんは"), QStringLiteral("何番に入りますか？ ([RET]:終了):") };

// Three captures of one net: overlapping articles, an article captured by
// its title only and read later, a capture cut short, board 3's numbers
// reset in the third, responses whose parents are in other logs, and mails.
QMap<QString, QStringList> archiveLogs()
{
    const QStringList question = article(QStringLiteral("PC(1/9) 96/01/05 10:00:00 質問"), 0, kBytes,
        { QStringLiteral("質問です。"), QStringLiteral("よろしく。") });
    const QStringList answer = article(QStringLiteral("PC(2/9) 96/01/05 11:00:00 Re:質問"), 1,
        QStringLiteral(" 1.1KB PC76964:ねこまる"), { QStringLiteral("答えです。") });
    const QString other = QStringLiteral("PC(3/9) 96/01/06 09:00:00 別件");
    const QString longOne = QStringLiteral("PC(5/9) 96/02/03 12:00:00 長文");
    const QStringList longBody { QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
        QStringLiteral("四") };
    const QStringList photo = article(QStringLiteral("HOBBY(305/399) 96/01/07 09:00:00 写真"), 0, kBytes,
        { QStringLiteral("夕焼けです。") });
    const QStringList m1 = mail(QStringLiteral("96/01/05 21:00:00"), QStringLiteral("KAV00123"),
        QStringLiteral("集まり"), { QStringLiteral("土曜です。"), QStringLiteral("駅前で。") });

    QMap<QString, QStringList> logs;
    logs[QStringLiteral("KAB9601.LOG")] = mailBox({ m1 })
        + board(3, QStringLiteral("話題"),
            { question, answer, article(other, 0, QStringLiteral("  title-only KAV00789"), {}) })
        + board(12, QStringLiteral("趣味"), { photo });
    logs[QStringLiteral("KAB9602.LOG")]
        = mailBox({ m1,
              mail(QStringLiteral("96/02/01 08:00:00"), QStringLiteral("KAV00456"), QStringLiteral("返事"),
                  { QStringLiteral("はい。") }),
              mail(QStringLiteral("96/02/01 08:00:00"), QStringLiteral("KAV00789"),
                  QStringLiteral("別の手紙"), { QStringLiteral("どうも。") }) })
        + board(3, QStringLiteral("話題"),
            { answer,
                article(other, 0, QStringLiteral("  title-only KAV00789"), { QStringLiteral("別件です。") }),
                article(QStringLiteral("PC(4/9) 96/02/02 10:00:00 Re:Re:質問"), 2, kBytes,
                    { QStringLiteral("なるほど。"), QStringLiteral("了解。") }),
                article(longOne, 0, kBytes, longBody) })
        + kChat
        + board(12, QStringLiteral("趣味"),
            { article(QStringLiteral("HOBBY(306/399) 96/02/05 09:00:00 Re:写真"), 305, kBytes,
                { QStringLiteral("きれい。") }) });
    logs[QStringLiteral("KAB9703.LOG")]
        = board(3, QStringLiteral("話題"),
              { article(QStringLiteral("PC(1/3) 97/03/01 10:00:00 新しい質問"), 0, kBytes,
                    { QStringLiteral("また質問です。") }),
                  article(QStringLiteral("PC(2/3) 97/03/01 11:00:00 Re:新しい質問"), 1, kBytes,
                      { QStringLiteral("また答えです。") }),
                  article(longOne, 0, kBytes, longBody.mid(0, 2)),
                  article(QStringLiteral("PC(6/9) 97/03/02 09:00:00 Re:長文"), 5, kBytes,
                      { QStringLiteral("長いですね。") }),
                  article(QStringLiteral("PC(7/9) 97/03/03 09:00:00 Re:別件"), 3, kBytes,
                      { QStringLiteral("別件の返事。") }) })
        + board(12, QStringLiteral("趣味"),
            { photo,
                article(QStringLiteral("HOBBY(307/399) 97/03/04 09:00:00 Re:Re:写真"), 306, kBytes,
                    { QStringLiteral("ありがとう。") }) });
    return logs;
}

// One capture of an article as a log opened alone shows it.
struct Seen
{
    int board = 0;
    QString number;
    QString dateTime;
    QString senderId;
    QString title;
    QString parent;
    QStringList lines;
    int logRank = 0;
    QString log;
};

QString dateTimeOf(const QStringList &lines)
{
    static const QRegularExpression re(QStringLiteral("(\\d\\d)/(\\d\\d)/(\\d\\d) (\\d\\d:\\d\\d:\\d\\d)"));
    const QRegularExpressionMatch m = re.match(lines.value(0));
    if (!m.hasMatch())
        return {};
    const int yy = m.captured(1).toInt();
    return QStringLiteral("%1-%2-%3 %4")
        .arg(yy < 80 ? 2000 + yy : 1900 + yy)
        .arg(m.captured(2), m.captured(3), m.captured(4));
}

// Every row of every board of every log of the net, opened alone.
QList<Seen> everyCapture(const QString &appDir)
{
    Session net;
    net.AppDir = appDir;
    settings::ReadSettings(net);
    const QStringList names = settings::NetDefinitionsFile(net).LoadAll();
    net.NetIndex
        = int(names.indexOf(QRegularExpression(QStringLiteral("^") + kNet + QStringLiteral("\\s*$"))));
    net.Dir[settings::DirRecord::LOG_Dir] = QDir(appDir).filePath(net.Dir[settings::DirRecord::LOG_Dir]);
    const settings::NetRecord &record = net.NetTable.at(net.NetIndex);
    QList<Seen> out;
    const QStringList logs = logindex::listLogFiles(net);
    for (int rank = 0; rank < logs.size(); ++rank) {
        Session s;
        s.log.LogText = cp932::decode(
            test::readFile(fileio::joinPath(net.Dir[settings::DirRecord::LOG_Dir], logs.at(rank))));
        settings::useMarkers(s, settings::markersOf(record), settings::serialFlag(record));
        reader::Reader reader(s);
        reader.fileTime = nullptr;
        logindex::LogScanner(s).scanLogAlone();
        MainWindowState &m = s.main;
        for (int item = 0; item < m.Board_List.ListCount(); ++item) {
            static const QRegularExpression boardRe(QStringLiteral("^No\\.(\\d+) "));
            const QRegularExpressionMatch b = boardRe.match(m.Board_List.item(item));
            if (!b.hasMatch())
                continue; // a chat room
            reader.chooseBoard(item);
            for (int row = 0; row < m.Title.ListCount(); ++row) {
                m.Article.clear();
                reader.chooseRow(row);
                if (m.Title.ListIndex != row || m.Article.items.isEmpty())
                    continue;
                Seen c;
                c.board = b.captured(1).toInt();
                c.number = reader::bracketText(m.Title.item(row)).trimmed();
                c.lines = m.Article.items;
                c.dateTime = dateTimeOf(c.lines);
                c.senderId = m.InfoColumn.item(row).section(u':', 0, 0).trimmed();
                c.title = reader.plainTitle(row);
                if (c.lines.value(1).startsWith(QLatin1String(" <")))
                    c.parent = c.lines.value(1).mid(2).section(u':', 0, 0);
                c.logRank = rank;
                c.log = logs.at(rank);
                out << c;
            }
        }
    }
    return out;
}

QString identityOf(const Seen &c)
{
    return c.board == 0 ? QStringList { c.dateTime, c.senderId, c.title }.join(u'|')
                        : QStringList { QString::number(c.board), c.number, c.dateTime }.join(u'|');
}

struct Union
{
    Seen shown;
    int captures = 0;
};

// The articles of the captures, each with the capture of most lines (the
// newest log on a tie).
QList<Union> unionOf(const QList<Seen> &captures)
{
    QMap<QString, Union> byId;
    for (const Seen &c : captures) {
        Union &u = byId[identityOf(c)];
        const bool better = u.captures == 0 || c.lines.size() > u.shown.lines.size()
            || (c.lines.size() == u.shown.lines.size() && c.logRank > u.shown.logRank);
        if (better)
            u.shown = c;
        ++u.captures;
    }
    return byId.values();
}

bool inDays(const QString &dateTime, const QDate &since, const QDate &until)
{
    const QDate d = QDate::fromString(dateTime.left(10), QStringLiteral("yyyy-MM-dd"));
    return (!since.isValid() || d >= since) && (!until.isValid() || d <= until);
}

// The rows `archive` should print: each article's path of (number, date-time)
// from its top-level ancestor, sorted; the depth is the path's length.
QStringList expectedRows(const QList<Seen> &captures, int board, const QDate &since, const QDate &until)
{
    const QList<Union> all = unionOf(captures);
    QList<Union> articles;
    for (const Union &u : all) {
        if (u.shown.board == board && inDays(u.shown.dateTime, since, until))
            articles << u;
    }
    const auto keyOf = [](const Seen &s) {
        return s.board == 0
            ? s.dateTime + u'|' + s.senderId + u'|' + s.title
            : QStringLiteral("%1|%2").arg(s.number.toInt(), 8, 10, QChar(u'0')).arg(s.dateTime);
    };
    const auto parentOf = [&](const Union &u) -> const Union * {
        if (u.shown.parent.isEmpty())
            return nullptr;
        QList<const Union *> found;
        for (const Union &x : all) {
            if (x.shown.board == board && x.shown.number == u.shown.parent)
                found << &x;
        }
        if (found.size() != 1 || found.first()->shown.number.toInt() >= u.shown.number.toInt())
            return nullptr;
        for (const Union &x : articles) {
            if (identityOf(x.shown) == identityOf(found.first()->shown))
                return &x;
        }
        return nullptr; // filtered out
    };
    QMap<QString, QString> sorted;
    for (const Union &u : articles) {
        QStringList path { keyOf(u.shown) };
        for (const Union *p = parentOf(u); p; p = parentOf(*p))
            path.prepend(keyOf(p->shown));
        sorted.insert(path.join(u'/'),
            QStringList { QString::number(path.size() - 1),
                board == 0 ? QStringLiteral("mail") : u.shown.number, u.shown.dateTime, u.shown.senderId,
                u.shown.title, QString::number(u.captures), u.shown.log }
                .join(u'\t'));
    }
    return sorted.values();
}

QStringList expectedTimeline(const QList<Seen> &captures, int board)
{
    QMap<QString, int> months;
    for (const Union &u : unionOf(captures)) {
        if (board < 0 || u.shown.board == board)
            ++months[u.shown.dateTime.left(7)];
    }
    QStringList out;
    if (months.isEmpty())
        return out;
    for (QDate d = QDate::fromString(months.firstKey() + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
         d.toString(QStringLiteral("yyyy-MM")) <= months.lastKey(); d = d.addMonths(1))
        out << d.toString(QStringLiteral("yyyy-MM")) + u'\t'
                + QString::number(months.value(d.toString(QStringLiteral("yyyy-MM"))));
    return out;
}

// The shown capture's lines of an expected row.
QStringList shownLines(const QList<Seen> &captures, const QString &row)
{
    const QStringList f = row.split(u'\t');
    for (const Union &u : unionOf(captures)) {
        if ((f.at(1) == u"mail" ? u.shown.board == 0 : u.shown.number == f.at(1))
            && u.shown.dateTime == f.at(2) && u.shown.senderId == f.at(3) && u.shown.log == f.at(6))
            return u.shown.lines;
    }
    return {};
}

} // namespace

class TestCliArchive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void archiveIsTheUnionOfEveryLog_data();
    void archiveIsTheUnionOfEveryLog();
    void timelineCountsEveryArticleOnce_data();
    void timelineCountsEveryArticleOnce();
    void exportsAreThoseOfEachLog_data();
    void exportsAreThoseOfEachLog();
    void findGivesOneHitPerArticle_data();
    void findGivesOneHitPerArticle();
    void aDamagedIndexIsMadeAnew();
    void theKeptArchiveFollowsTheLogs_data();
    void theKeptArchiveFollowsTheLogs();
    void badInput_data();
    void badInput();

private:
    Run cli(const QStringList &args) { return test::runCli(m_dir.path(), args); }

    QTemporaryDir m_dir;
    QList<Seen> m_captures;
};

void TestCliArchive::initTestCase()
{
    QVERIFY(test::copyDemo(m_dir.path()));
    QVERIFY(QFile::remove(m_dir.filePath(QStringLiteral("LOG/KAB0605.LOG"))));
    QVERIFY(QFile::remove(m_dir.filePath(QStringLiteral("LOG/KAB0606.LOG"))));
    const QMap<QString, QStringList> logs = archiveLogs();
    for (auto it = logs.cbegin(); it != logs.cend(); ++it)
        test::writeFile(
            m_dir.filePath(QStringLiteral("LOG/") + it.key()), cp932::encode(test::crlfLines(*it)));
    m_captures = everyCapture(m_dir.path());
    QCOMPARE(m_captures.size(), 19);
}

void TestCliArchive::archiveIsTheUnionOfEveryLog_data()
{
    QTest::addColumn<int>("board");
    QTest::addColumn<QString>("since");
    QTest::addColumn<QString>("until");
    QTest::newRow("a reset board, a cut capture, parents in other logs") << 3 << QString() << QString();
    QTest::newRow("a thread across three logs") << 12 << QString() << QString();
    QTest::newRow("a parent filtered out") << 12 << "96/02/05" << QString();
    QTest::newRow("both ends of the days included") << 3 << "96/01/06"
                                                    << "96/02/03";
    QTest::newRow("the mail box") << 0 << QString() << QString();
    QTest::newRow("the mail box, one day") << 0 << "96/02/01"
                                           << "96/02/01";
}

void TestCliArchive::archiveIsTheUnionOfEveryLog()
{
    QFETCH(int, board);
    QFETCH(QString, since);
    QFETCH(QString, until);
    QStringList args { QStringLiteral("archive"), kNet, QStringLiteral("--board"), QString::number(board) };
    if (!since.isEmpty())
        args << QStringLiteral("--since") << since;
    if (!until.isEmpty())
        args << QStringLiteral("--until") << until;
    const Run r = cli(args);
    const QStringList expected = expectedRows(m_captures, board,
        since.isEmpty() ? QDate()
                        : QDate::fromString(QStringLiteral("19") + since, QStringLiteral("yyyy/MM/dd")),
        until.isEmpty() ? QDate()
                        : QDate::fromString(QStringLiteral("19") + until, QStringLiteral("yyyy/MM/dd")));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(r.lines(), expected);
    QCOMPARE(r.code, 0);

    for (const QString &row : expected) {
        const QStringList f = row.split(u'\t');
        QStringList show { QStringLiteral("archive"), kNet, QStringLiteral("--board"), QString::number(board),
            QStringLiteral("--show"), f.at(1), QStringLiteral("--date"), f.at(2) };
        if (board == 0)
            show << QStringLiteral("--from") << f.at(3);
        const Run s = cli(show);
        QCOMPARE(s.out.split(u'\n').mid(0, s.out.count(u'\n')), shownLines(m_captures, row));
        QCOMPARE(s.code, 0);
    }
}

void TestCliArchive::timelineCountsEveryArticleOnce_data()
{
    QTest::addColumn<int>("board"); // -1: every board and the mail box
    QTest::newRow("the net") << -1;
    QTest::newRow("a board") << 12;
    QTest::newRow("the mail box") << 0;
}

void TestCliArchive::timelineCountsEveryArticleOnce()
{
    QFETCH(int, board);
    QStringList args { QStringLiteral("timeline"), kNet };
    if (board >= 0)
        args << QStringLiteral("--board") << QString::number(board);
    const Run r = cli(args);
    QCOMPARE(r.lines(), expectedTimeline(m_captures, board));
    QCOMPARE(r.code, 0);
}

void TestCliArchive::exportsAreThoseOfEachLog_data()
{
    QTest::addColumn<int>("board");
    QTest::newRow("a reset board") << 3;
    QTest::newRow("a thread across three logs") << 12;
    QTest::newRow("the mail box") << 0;
}

// The text export holds the shown captures' lines in thread order, and the
// mbox's Message-IDs are those the export of each log alone gives.
void TestCliArchive::exportsAreThoseOfEachLog()
{
    QFETCH(int, board);
    const QStringList archive { QStringLiteral("archive"), kNet, QStringLiteral("--board"),
        QString::number(board), QStringLiteral("--format") };
    const QStringList rows = expectedRows(m_captures, board, {}, {});
    QStringList articles;
    for (const QString &row : rows)
        articles << shownLines(m_captures, row).join(u'\n') + u'\n';
    Run r = cli(archive + QStringList { QStringLiteral("text") });
    QCOMPARE(r.out, articles.join(QString(72, u'-') + u'\n'));
    QCOMPARE(r.code, 0);

    const auto messageIds = [](const QString &mbox) {
        QStringList ids = mbox.split(u'\n').filter(QRegularExpression(QStringLiteral("^Message-ID: ")));
        ids.sort();
        return ids;
    };
    QStringList ofLogs;
    for (const char *log : { "KAB9601.LOG", "KAB9602.LOG", "KAB9703.LOG" }) {
        ofLogs += messageIds(
            cli({ QStringLiteral("export"), kNet, QString::fromLatin1(log), QStringLiteral("--board"),
                    QString::number(board), QStringLiteral("--format"), QStringLiteral("mbox") })
                .out);
    }
    r = cli(archive
        + QStringList {
            QStringLiteral("mbox"), QStringLiteral("-o"), m_dir.filePath(QStringLiteral("a.mbox")) });
    QCOMPARE(r.code, 0);
    const QStringList ids
        = messageIds(QString::fromUtf8(test::readFile(m_dir.filePath(QStringLiteral("a.mbox")))));
    QCOMPARE(ids.size(), rows.size());
    for (const QString &id : ids)
        QVERIFY2(ofLogs.contains(id), qPrintable(id));
}

void TestCliArchive::findGivesOneHitPerArticle_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("lines");
    const QString f = QStringLiteral("find");
    const QString every = QStringLiteral("--every-capture");
    const auto line = [](const char *when, const char *log, const char *board, const char *number,
                          const char *id, const QString &title, const char *captures) {
        return QStringList { QString::fromLatin1(when), kNet, QString::fromLatin1(log),
            QString::fromLatin1(board), QString::fromLatin1(number), QString::fromLatin1(id), title,
            QString::fromLatin1(captures) }
            .join(u'\t');
    };
    // The sender of a size line in KB.
    QTest::newRow("the shown capture of two") << QStringList { f, QStringLiteral("from:PC76964") }
                                              << QStringList { line("1996-01-05 11:00:00", "KAB9602.LOG", "3",
                                                     "2", "PC76964", QStringLiteral("Re:質問"), "2") };
    QTest::newRow("every capture") << QStringList { f, every, QStringLiteral("from:PC76964") }
                                   << QStringList { line("1996-01-05 11:00:00", "KAB9601.LOG", "3", "2",
                                                        "PC76964", QStringLiteral("Re:質問"), "1"),
                                          line("1996-01-05 11:00:00", "KAB9602.LOG", "3", "2", "PC76964",
                                              QStringLiteral("Re:質問"), "1") };
    // Both captures of 5 hit: the hit shows the whole one, not the newer cut one.
    QTest::newRow("a word the shown capture also holds")
        << QStringList { f, QStringLiteral("長文 board:3") }
        << QStringList { line("1997-03-02 09:00:00", "KAB9703.LOG", "3", "6", "KAV00123",
                             QStringLiteral("Re:長文"), "1"),
               line(
                   "1996-02-03 12:00:00", "KAB9602.LOG", "3", "5", "KAV00123", QStringLiteral("長文"), "2") };
    QTest::newRow("a sender of a title-only line")
        << QStringList { f, QStringLiteral("from:KAV00789 board:3") }
        << QStringList { line(
               "1996-01-06 09:00:00", "KAB9602.LOG", "3", "3", "KAV00789", QStringLiteral("別件"), "1") };
}

void TestCliArchive::findGivesOneHitPerArticle()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, lines);
    const Run r = cli(args);
    QCOMPARE(r.lines(), lines);
    QCOMPARE(r.code, 0);
}

void TestCliArchive::aDamagedIndexIsMadeAnew()
{
    const QStringList timeline { QStringLiteral("timeline"), kNet };
    const Run before = cli(timeline);
    QCOMPARE(before.code, 0);
    QFile f(m_dir.filePath(QStringLiteral("kavrel-index.sqlite")));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(8192, 'x'));
    f.close();
    const Run after = cli(timeline);
    QVERIFY2(after.err.contains(
                 QStringLiteral("全ログ検索の索引が壊れているか別の版のものだったので、作り直します。")),
        qPrintable(after.err));
    QCOMPARE(after.out, before.out);
    QCOMPARE(after.code, 0);
}

void TestCliArchive::theKeptArchiveFollowsTheLogs_data()
{
    // The logs before (9602 cut before its chat when cut is set) and after;
    // every board's months, and board 3's rows, are kept in between.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<QStringList>("after");
    const QString l1 = QStringLiteral("KAB9601.LOG");
    const QString l2 = QStringLiteral("KAB9602.LOG");
    const QString l3 = QStringLiteral("KAB9703.LOG");
    QTest::newRow("a log added") << QStringList { l1, l2 } << false << QStringList { l1, l2, l3 };
    QTest::newRow("a log removed") << QStringList { l1, l2, l3 } << false << QStringList { l1, l3 };
    QTest::newRow("a log grown") << QStringList { l1, l2, l3 } << true << QStringList { l1, l2, l3 };
}

void TestCliArchive::theKeptArchiveFollowsTheLogs()
{
    QFETCH(QStringList, before);
    QFETCH(bool, cut);
    QFETCH(QStringList, after);
    QTemporaryDir dir;
    QVERIFY(test::copyDemo(dir.path()));
    const QMap<QString, QStringList> logs = archiveLogs();
    const auto writeLogs = [&](const QStringList &names, bool cutShort) {
        for (const QString &name : QDir(dir.filePath(QStringLiteral("LOG"))).entryList(QDir::Files))
            QVERIFY(QFile::remove(dir.filePath(QStringLiteral("LOG/") + name)));
        for (const QString &name : names) {
            QStringList lines = logs.value(name);
            if (cutShort && name == u"KAB9602.LOG")
                lines = lines.mid(0, lines.indexOf(kChat.first()));
            test::writeFile(
                dir.filePath(QStringLiteral("LOG/") + name), cp932::encode(test::crlfLines(lines)));
        }
    };
    const QStringList timeline { QStringLiteral("timeline"), kNet };
    writeLogs(before, cut);
    QCOMPARE(test::runCli(dir.path(), timeline).code, 0);
    QCOMPARE(test::runCli(dir.path(),
                 { QStringLiteral("archive"), kNet, QStringLiteral("--board"), QStringLiteral("3") })
                 .code,
        0);
    writeLogs(after, false);
    const QList<Seen> captures = everyCapture(dir.path());
    QCOMPARE(test::runCli(dir.path(), timeline).lines(), expectedTimeline(captures, -1));
    for (const int board : { 0, 3, 12 }) {
        const Run r = test::runCli(dir.path(),
            { QStringLiteral("archive"), kNet, QStringLiteral("--board"), QString::number(board) });
        QCOMPARE(r.lines(), expectedRows(captures, board, {}, {}));
    }
}

void TestCliArchive::badInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("error"); // a part of stderr
    const QString a = QStringLiteral("archive");
    const QString b = QStringLiteral("--board");
    QTest::newRow("unknown net") << QStringList { a, QStringLiteral("どこか"), b, QStringLiteral("3") } << 2
                                 << QStringLiteral("no net \"どこか\"");
    QTest::newRow("board not a number") << QStringList { a, kNet, b, QStringLiteral("三") } << 2
                                        << QStringLiteral("--board needs a board number");
    QTest::newRow("no board") << QStringList { a, kNet } << 2 << QStringLiteral("--board N is needed");
    QTest::newRow("no such day") << QStringList { a, kNet, b, QStringLiteral("3"), QStringLiteral("--since"),
        QStringLiteral("96/02/30") }
                                 << 2 << QStringLiteral("--since 96/02/30: no such day");
    QTest::newRow("since after until")
        << QStringList { a, kNet, b, QStringLiteral("3"), QStringLiteral("--since"),
               QStringLiteral("96/02/02"), QStringLiteral("--until"), QStringLiteral("96/02/01") }
        << 2 << QStringLiteral("--since is after --until");
    QTest::newRow("article number not a number")
        << QStringList { a, kNet, b, QStringLiteral("3"), QStringLiteral("--show"), QStringLiteral("x1") }
        << 2 << QStringLiteral("--show needs an article number");
    QTest::newRow("unknown format") << QStringList {
        a, kNet, b, QStringLiteral("3"), QStringLiteral("--format"), QStringLiteral("pdf")
    } << 2 << QStringLiteral("--format pdf: the formats are text, html and mbox");
    QTest::newRow("unknown option") << QStringList { a, kNet, b, QStringLiteral("3"), QStringLiteral("--to"),
        QStringLiteral("x") } << 2 << QStringLiteral("unexpected argument --to");
    QTest::newRow("a number written twice")
        << QStringList { a, kNet, b, QStringLiteral("3"), QStringLiteral("--show"), QStringLiteral("1") } << 1
        << QStringLiteral("1996-01-05 10:00:00\n1997-03-01 10:00:00");
    QTest::newRow("two mails at one time")
        << QStringList { a, kNet, b, QStringLiteral("0"), QStringLiteral("--show"), QStringLiteral("mail"),
               QStringLiteral("--date"), QStringLiteral("1996-02-01 08:00:00") }
        << 1 << QStringLiteral("1996-02-01 08:00:00\tKAV00456\t(KAV00456) 返事");
    QTest::newRow("no such article") << QStringList { a, kNet, b, QStringLiteral("3"),
        QStringLiteral("--show"), QStringLiteral("8") }
                                     << 1 << QStringLiteral("no article 8 on board 3");
    QTest::newRow("a board never captured")
        << QStringList { a, kNet, b, QStringLiteral("9") } << 1 << QString();
    QTest::newRow("timeline of a board never captured")
        << QStringList { QStringLiteral("timeline"), kNet, b, QStringLiteral("9") } << 1 << QString();
}

void TestCliArchive::badInput()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, error);
    const Run r = cli(args);
    QVERIFY2(r.err.contains(error), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.code, code);
}

QTEST_GUILESS_MAIN(TestCliArchive)
#include "tst_cli_archive.moc"
