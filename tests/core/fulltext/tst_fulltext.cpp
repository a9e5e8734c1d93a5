// The index over every log of every net: each query's hits equal a scan of
// the parsed articles of every log, before and after the logs change.

#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "TestSupport.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "fulltext/Archive.h"
#include "fulltext/ArticleSource.h"
#include "fulltext/Fold.h"
#include "fulltext/FullTextIndex.h"
#include "fulltext/PageChecksums.h"
#include "fulltext/Query.h"
#include "logindex/LogFiles.h"
#include "logindex/LogScanner.h"
#include "reader/Reader.h"
#include "session/Session.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/NetMarkers.h"
#include "settings/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

#include <sqlite3.h>

using namespace kavrel;
using namespace kavrel::fulltext;
using namespace kavrel::test;

namespace {

const QString kDav = QStringLiteral("ＤＡＶネット");
const QString kNif = QStringLiteral("NIF");

// A log with what the generator never writes: a mail as the mail box lists
// it, half-width kana, a response thread and one article captured twice.
QString handLog()
{
    const QString h = QStringLiteral("-\t-\t-\t-\t-\t-\t-\t-\t-");
    return crlfLines({
        QStringLiteral("Main Command(?:Help)>M"),
        QStringLiteral("No.0 ｢メールボックス｣"),
        h,
        QStringLiteral("mail 25/01/01 08:30 From:NIF00003 (佐藤)"),
        QStringLiteral("  60 bytes NIF00003:佐藤"),
        QStringLiteral("command (?:説明):R"),
        QStringLiteral("メールの本文です。"),
        QStringLiteral("読み終わりました。"),
        QStringLiteral("Main Command(?:Help)>B 5"),
        QStringLiteral("No.5 ｢ﾃﾞｰﾀ交換｣"),
        h,
        QStringLiteral("DATA(00011/00013)  25/01/02  120 bytes NIF00007:ｶﾀｷﾞﾘ "),
        QStringLiteral("09:15 ｶﾀｶﾅのﾃﾞｰﾀ"),
        QStringLiteral("command (?:説明):N"),
        h,
        QStringLiteral("DATA(00012/00013)  25/01/02  120 bytes nif00008:田中 "),
        QStringLiteral(" <00011:   Re:カタカナのデータ"),
        QStringLiteral("command (?:説明):R"),
        QStringLiteral("全角のカタカナで書きました。ＡＢＣ"),
        h,
        QStringLiteral("DATA(00011/00013)  25/01/02  120 bytes NIF00007:ｶﾀｷﾞﾘ "),
        QStringLiteral("09:15 ｶﾀｶﾅのﾃﾞｰﾀ"),
        QStringLiteral("command (?:説明):R"),
        QStringLiteral("半角ｶﾅでﾊﾟｿｺﾝ通信。abc"),
        QStringLiteral("読み終わりました。"),
        QStringLiteral("Main Command(?:Help)>BYE"),
    });
}

QString generated(quint32 variant, int boards, const QString &date)
{
    LogGeneratorOptions o;
    o.boards = boards;
    o.skippedBoards = 1;
    o.articlesPerBoard = 6;
    o.mails = 3;
    o.senders = 40;
    o.variant = variant;
    QString text = LogGenerator(o).text();
    text.replace(QStringLiteral("26/12/07"), date);
    return text;
}

// A working directory with two nets and their logs.
class WorkDir
{
public:
    WorkDir()
    {
        QDir(dir.path()).mkpath(QStringLiteral("LOG"));
        QDir(dir.path()).mkpath(QStringLiteral("BL"));
        settings::DirRecord d;
        d[settings::DirRecord::LOG_Dir] = QStringLiteral("LOG");
        d[settings::DirRecord::Up_Dir] = QStringLiteral("UP");
        d[settings::DirRecord::BL_Dir] = QStringLiteral("BL");
        writeFile(path(QStringLiteral("DIR.DEF")), settings::SettingsStore::encodeDirRecord(d));
        writeFile(path(QStringLiteral("DATA.DEF")),
            settings::NetDefinitionsFile::encodeRecord(netRecord(kDav, QStringLiteral("DAV")))
                + settings::NetDefinitionsFile::encodeRecord(netRecord(kNif, QStringLiteral("NIF"))));
        log(QStringLiteral("DAV0601.LOG"), generated(1, 4, QStringLiteral("26/06/01")));
        log(QStringLiteral("DAV0602.LOG"), generated(2, 5, QStringLiteral("26/06/02")));
        log(QStringLiteral("NIF0101.LOG"), generated(3, 3, QStringLiteral("79/12/31")));
        log(QStringLiteral("NIF0102.LOG"), handLog());
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    void log(const QString &name, const QString &text) const
    {
        writeFile(path(QStringLiteral("LOG/") + name), cp932::encode(text));
    }

    QTemporaryDir dir;
};

QString keyOf(const QString &net, const QString &log, const IndexedArticle &a)
{
    return QStringList { a.dateTime, net, log, a.board, a.number, QString::number(a.boardNo <= 0 ? a.row : 0),
        a.senderId, a.title }
        .join(u'|');
}

bool sameAsciiCase(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        QChar x = a.at(i), y = b.at(i);
        if (x.unicode() < 128)
            x = x.toLower();
        if (y.unicode() < 128)
            y = y.toLower();
        if (x != y)
            return false;
    }
    return true;
}

// Every article of every log of every net, and those the query asks for.
QStringList bruteForce(const QString &appDir, const Query &q)
{
    Session s;
    s.AppDir = appDir;
    settings::ReadSettings(s);
    const QStringList names = settings::NetDefinitionsFile(s).LoadAll();
    s.Dir[settings::DirRecord::LOG_Dir] = QDir(appDir).filePath(s.Dir[settings::DirRecord::LOG_Dir]);
    QStringList out;
    for (int slot = 0; slot < names.size(); ++slot) {
        s.NetIndex = slot;
        const QString net = names.at(slot).trimmed();
        for (const QString &log : logindex::listLogFiles(s)) {
            const QString text
                = cp932::decode(readFile(fileio::joinPath(s.Dir[settings::DirRecord::LOG_Dir], log)));
            for (const IndexedArticle &a : articlesOfLog(text, settings::markersOf(s.NetTable.at(slot)),
                     settings::serialFlag(s.NetTable.at(slot)))) {
                const QString hay = searchTextOf(a);
                bool hit = std::all_of(
                    q.terms.begin(), q.terms.end(), [&](const QString &t) { return hay.contains(t); });
                hit = hit && (q.from.isEmpty() || sameAsciiCase(a.senderId, q.from));
                hit = hit && (!q.board || a.boardNo == *q.board);
                hit = hit && (q.net.isEmpty() || q.net == net);
                const QDate day = QDate::fromString(a.dateTime.left(10), QStringLiteral("yyyy-MM-dd"));
                hit = hit && (!q.since.isValid() || day >= q.since) && (!q.until.isValid() || day <= q.until);
                if (hit)
                    out << keyOf(net, log, a);
            }
        }
    }
    out.sort();
    return out;
}

// What the article view shows when the user chooses every row of every board
// of a log in turn: for each row shown, where its article ends (chat rooms
// aside) and its lines.
QStringList viewedArticles(const QString &text, const settings::NetMarkers &markers, int serialFlag)
{
    Session s;
    s.log.LogText = text;
    settings::useMarkers(s, markers, serialFlag);
    reader::Reader reader(s);
    reader.fileTime = nullptr;
    logindex::LogScanner(s).scanLogAlone();
    MainWindowState &m = s.main;
    QStringList out;
    for (int item = 0; item < m.Board_List.ListCount(); ++item) {
        const bool chat = m.Board_List.item(item).startsWith(QStringLiteral("[XCHAT]"));
        reader.chooseBoard(item);
        for (int row = 0; row < m.Title.ListCount(); ++row) {
            // Chosen again from a clear view: the board's own message ("no
            // articles") stays in it when the first row was never read.
            m.Article.clear();
            s.unread.ReadPointer = 0;
            reader.chooseRow(row);
            if (m.Title.ListIndex != row || m.Article.items.isEmpty())
                continue;
            const qsizetype end = s.unread.ReadPointer > 0 ? s.unread.ReadPointer : text.size() + 1;
            out << (chat ? QString() : QString::number(end)) + u'|' + m.Article.items.join(u'\n');
        }
    }
    return out;
}

QStringList indexedArticles(const QString &text, const settings::NetMarkers &markers, int serialFlag)
{
    QStringList out;
    for (const IndexedArticle &a : articlesOfLog(text, markers, serialFlag))
        out << (a.boardNo < 0 ? QString() : QString::number(a.end)) + u'|' + a.lines.join(u'\n');
    return out;
}

QStringList keysOf(const QVector<Hit> &hits)
{
    QStringList out;
    for (const Hit &h : hits) {
        IndexedArticle a;
        a.dateTime = h.dateTime;
        a.board = h.board;
        a.number = h.number;
        a.boardNo = h.boardNo;
        a.row = h.row;
        a.senderId = h.senderId;
        a.title = h.title;
        out << keyOf(h.net, h.logFile, a);
    }
    out.sort();
    return out;
}

const QStringList kQueries = {
    QStringLiteral("設定"), // two characters: scanned
    QStringLiteral("は net:NIF"), // one character, narrowed by a filter
    QStringLiteral("オフ会 お知らせ"),
    QStringLiteral("\"init string\""), // a phrase with a blank
    QStringLiteral("“2400bpsから9600bps”"),
    QStringLiteral("pc-98"), // full-width ＰＣ－９８ in titles
    QStringLiteral("ＰＣ－９８　メモリ"),
    QStringLiteral("ｶﾀｶﾅ"), // half-width kana find full-width and back
    QStringLiteral("データ"),
    QStringLiteral("パソコン"),
    QStringLiteral("abc net:NIF"), // ＡＢＣ and abc
    QStringLiteral("from:kvr00012"),
    QStringLiteral("from:NIF00008"),
    QStringLiteral("board:0"),
    QStringLiteral("board:3 モデム"),
    QStringLiteral("net:NIF"),
    QStringLiteral("since:26/06/02"),
    QStringLiteral("until:79/12/31"),
    QStringLiteral("since:26/06/01 until:26/06/01 質問"),
    QStringLiteral("雑談"), // a chat room's name
    QStringLiteral("こんばんは"),
    QStringLiteral("田中花子"), // a sender's name
    QStringLiteral("どこにもない言葉"),
};

} // namespace

class TestFullText : public QObject
{
    Q_OBJECT

private slots:
    void folding_data();
    void folding();
    void queryErrors_data();
    void queryErrors();
    void snippets_data();
    void snippets();
    void articlesAreWhatTheViewShows_data();
    void articlesAreWhatTheViewShows();
    void datesOfArticles_data();
    void datesOfArticles();
    void sendersOfArticles_data();
    void sendersOfArticles();
    void storedLinesComeBackExactly_data();
    void storedLinesComeBackExactly();
    void hitsEqualAScan_data();
    void hitsEqualAScan();
    void aHitAloneShowsItsArticlesShownCapture();
    void progressIsReportedWithinALog();
    void aQueryRunsWhileALogIsWritten();
    void reindexingKeepsTheSizeOfAFreshBuild();
    void aDamagedIndexIsFoundAndMadeAnew_data();
    void aDamagedIndexIsFoundAndMadeAnew();
    void aTrigramBlockThatDoesNotUnpackIsFound_data();
    void aTrigramBlockThatDoesNotUnpackIsFound();
    void anIndexFileThatIsADirectoryIsAnError();
};

void TestFullText::folding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");
    QTest::newRow("ascii case") << QStringLiteral("PC-98 Ab") << QStringLiteral("pc-98 ab");
    QTest::newRow("full-width") << QStringLiteral("ＰＣ－９８　ｘ！") << QStringLiteral("pc-98 x!");
    // Each range at both ends, and the characters just outside it.
    QTest::newRow("full-width range ends") << QStringLiteral("！～＀｟") << QStringLiteral("!~＀｟");
    QTest::newRow("capitals' ends") << QStringLiteral("AZ@[ＡＺ＠［") << QStringLiteral("az@[az@[");
    QTest::newRow("half-width kana ends") << QStringLiteral("｡ﾝ｠") << QStringLiteral("。ン｠");
    QTest::newRow("half-width kana") << QStringLiteral("ｶﾀｶﾅ｡") << QStringLiteral("カタカナ。");
    QTest::newRow("voiced marks join") << QStringLiteral("ﾃﾞｰﾀﾊﾟｳﾞ") << QStringLiteral("データパヴ");
    QTest::newRow("a lone mark") << QStringLiteral("ｱﾞ") << QStringLiteral("ア゛");
    QTest::newRow("other text stays") << QStringLiteral("漢字かなカナ") << QStringLiteral("漢字かなカナ");
}

void TestFullText::folding()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QList<qsizetype> origin;
    QCOMPARE(fold(text, &origin), folded);
    QCOMPARE(origin.size(), folded.size());
}

void TestFullText::queryErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("words") << QStringLiteral("モデム　設定 \"a b\"") << QString();
    QTest::newRow("a quoted colon is a word") << QStringLiteral("\"Re:新しい\"") << QString();
    QTest::newRow("filters alone") << QStringLiteral("board:0 from:X since:99/01/31") << QString();
    QTest::newRow("unclosed quote") << QStringLiteral("モデム \"設定")
                                    << QStringLiteral("引用符が閉じていません");
    QTest::newRow("unclosed curly quote")
        << QStringLiteral("“設定") << QStringLiteral("引用符が閉じていません");
    QTest::newRow("unknown filter") << QStringLiteral("title:モデム")
                                    << QStringLiteral("知らないフィルタです: title:");
    QTest::newRow("bad board") << QStringLiteral("board:three") << QStringLiteral("board:");
    QTest::newRow("bad date") << QStringLiteral("since:26/13/01") << QStringLiteral("YY/MM/DD");
    QTest::newRow("no value") << QStringLiteral("from:") << QStringLiteral("値がありません");
    QTest::newRow("nothing") << QStringLiteral("　 ") << QStringLiteral("検索する言葉");
}

void TestFullText::queryErrors()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    const Query q = parseQuery(text);
    if (error.isEmpty())
        QVERIFY2(q.isValid(), qPrintable(q.error));
    else
        QVERIFY2(q.error.contains(error), qPrintable(q.error));
}

void TestFullText::snippets_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("snippet");
    const QStringList article = { QStringLiteral("DATA(00011/00013)  25/01/02  120 bytes NIF00007:ｶﾀｷﾞﾘ "),
        QStringLiteral("09:15 モデムの設定"), QStringLiteral("半角ｶﾅでﾊﾟｿｺﾝ通信。ﾊﾟｿｺﾝとモデム"),
        QStringLiteral("ＰＣ－９８のモデム設定です。") };
    QTest::newRow("one word, each time") << article << QStringLiteral("パソコン")
                                         << QStringLiteral("半角ｶﾅで【ﾊﾟｿｺﾝ】通信。【ﾊﾟｿｺﾝ】とモデム");
    QTest::newRow("every word") << article << QStringLiteral("パソコン ﾓﾃﾞﾑ 通信")
                                << QStringLiteral("半角ｶﾅで【ﾊﾟｿｺﾝ通信】。【ﾊﾟｿｺﾝ】と【モデム】");
    QTest::newRow("the first word's line") << article << QStringLiteral("pc-98 モデム")
                                           << QStringLiteral("【ＰＣ－９８】の【モデム】設定です。");
    QTest::newRow("overlapping words") << article << QStringLiteral("モデム設定 設定です")
                                       << QStringLiteral("ＰＣ－９８の【モデム設定です】。");
    QTest::newRow("a header line") << article << QStringLiteral("nif00007 ｶﾀｷﾞﾘ")
                                   << QStringLiteral("…1/02  120 bytes 【NIF00007】:【ｶﾀｷﾞﾘ】 ");
    QTest::newRow("a long line is cut")
        << QStringList { QString(), QString(),
               QString(30, u'あ') + QStringLiteral("モデム") + QString(70, u'い') + QStringLiteral("モデム") }
        << QStringLiteral("モデム")
        << QStringLiteral("…") + QString(16, u'あ') + QStringLiteral("【モデム】") + QString(60, u'い');
    QTest::newRow("a word across the cut stays whole")
        << QStringList { QString(), QString(),
               QStringLiteral("モデム") + QString(58, u'い') + QStringLiteral("パソコン通信") }
        << QStringLiteral("モデム パソコン")
        << QStringLiteral("【モデム】") + QString(58, u'い') + QStringLiteral("【パソコン】");
    QTest::newRow("only the title") << article << QStringLiteral("タイトル")
                                    << QStringLiteral("【タイトル】だけ");
    // Filters alone: the first line of text, past the header and the prompt.
    const QStringList prompted = { QStringLiteral("PC(1202/1204) 26/12/06 11:02:31 Re:新しいログリーダー"),
        QStringLiteral(" <1201:KAV00123>への返信"), QStringLiteral("    388 bytes KAV00456:佐藤一郎 "),
        QStringLiteral("command (?:説明):"), QString(), QStringLiteral("佐藤です。") };
    QTest::newRow("filters alone") << prompted << QStringLiteral("board:3") << QStringLiteral("佐藤です。");
    QTest::newRow("filters alone, no prompt")
        << prompted.mid(0, 3) + prompted.mid(4) << QStringLiteral("from:kav00456")
        << QStringLiteral("佐藤です。");
    QTest::newRow("filters alone, one header line")
        << article << QStringLiteral("board:3") << QStringLiteral("半角ｶﾅでﾊﾟｿｺﾝ通信。ﾊﾟｿｺﾝとモデム");
}

void TestFullText::snippets()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, query);
    QFETCH(QString, snippet);
    const Query q = parseQuery(query);
    QVERIFY2(q.isValid(), qPrintable(q.error));
    QCOMPARE(snippetOf(QStringLiteral("タイトルだけ"), lines, q.terms), snippet);
}

void TestFullText::articlesAreWhatTheViewShows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("serialFlag");
    QTest::addColumn<QString>("shown"); // a line the view shows for some row
    const QString h = QStringLiteral("-\t-\t-\t-\t-\t-\t-\t-\t-");
    QTest::newRow("generated") << generated(1, 4, QStringLiteral("26/06/01")) << 0 << QString();
    LogGeneratorOptions serial;
    serial.boards = 3;
    serial.articlesPerBoard = 5;
    serial.serial = true;
    QTest::newRow("serial") << LogGenerator(serial).text() << 1 << QString();
    QTest::newRow("mail, captured twice") << handLog() << 0 << QStringLiteral("メールの本文です。");
    const QString tail = QStringLiteral("読み終わりました。\r\nMain Command(?:Help)>BYE\r\n");
    QString odd = handLog();
    odd.replace(tail,
        crlfLines({ h, QStringLiteral("DATA(番号の読めない行"), QStringLiteral("command (?:説明):R"), h,
            QStringLiteral("DATA(書込中/00013)  25/01/02  80 bytes NIF00009:書込 "),
            QStringLiteral("09:20 書き込みの行に見える記事"), QStringLiteral("command (?:説明):R"), h,
            QStringLiteral("DATA(00013/00013)  25/01/02  80 bytes NIF00009:未読 "),
            QStringLiteral("09:20 読まなかった記事"), QStringLiteral("command (?:説明):N") })
            + tail);
    QTest::newRow("garbled, mark-like and unread rows")
        << odd << 0 << QStringLiteral("このアーティクルは文字化けを起こした可能性があります。");
}

void TestFullText::articlesAreWhatTheViewShows()
{
    QFETCH(QString, text);
    QFETCH(int, serialFlag);
    QFETCH(QString, shown);
    const settings::NetMarkers markers = settings::markersOf(netRecord(kNif, QStringLiteral("NIF")));
    const QStringList expected = viewedArticles(text, markers, serialFlag);
    QVERIFY(expected.size() >= 2);
    QVERIFY(shown.isEmpty() || expected.join(u'\n').contains(shown));
    QCOMPARE(indexedArticles(text, markers, serialFlag), expected);
}

void TestFullText::datesOfArticles_data()
{
    QTest::addColumn<QString>("date"); // in the header line, after the numbers
    QTest::addColumn<QString>("next"); // the line after the header line
    QTest::addColumn<QString>("dateTime");
    QTest::newRow("date, then time") << "25/01/02"
                                     << "09:15 x"
                                     << "2025-01-02 09:15:00";
    QTest::newRow("time with seconds after the date") << "25/01/02 23:59:07"
                                                      << "09:15 x"
                                                      << "2025-01-02 23:59:07";
    QTest::newRow("one-digit hour") << "25/01/02"
                                    << "9:05 x"
                                    << "2025-01-02 09:05:00";
    QTest::newRow("a time touched by digits") << "25/01/02"
                                              << "123:45 1:234 7:08 x"
                                              << "2025-01-02 07:08:00";
    QTest::newRow("seconds of three digits") << "25/01/02"
                                             << "12:34:567"
                                             << "2025-01-02 12:34:00";
    QTest::newRow("no time") << "25/01/02"
                             << "x"
                             << "2025-01-02 00:00:00";
    QTest::newRow("the last century") << "80/12/31"
                                      << "00:00"
                                      << "1980-12-31 00:00:00";
    QTest::newRow("a date touched by a digit") << "125/01/02 25/01/033"
                                               << "09:15"
                                               << "";
}

void TestFullText::datesOfArticles()
{
    QFETCH(QString, date);
    QFETCH(QString, next);
    QFETCH(QString, dateTime);
    QString text = handLog();
    text.replace(QStringLiteral("  25/01/02  120 bytes NIF00007"),
        QStringLiteral("  ") + date + QStringLiteral("  120 bytes NIF00007"));
    text.replace(QStringLiteral("09:15 ｶﾀｶﾅのﾃﾞｰﾀ"), next);
    const auto articles = articlesOfLog(text, settings::markersOf(netRecord(kNif, QStringLiteral("NIF"))), 0);
    const auto a = std::find_if(
        articles.begin(), articles.end(), [](const IndexedArticle &x) { return x.number == u"00011"; });
    QVERIFY(a != articles.end());
    QCOMPARE(a->dateTime, dateTime);
}

void TestFullText::sendersOfArticles_data()
{
    QTest::addColumn<QString>("info"); // in the header line, after the date
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::newRow("bytes") << "120 bytes NIF00007:ｶﾀｷﾞﾘ "
                           << "NIF00007"
                           << "ｶﾀｷﾞﾘ";
    QTest::newRow("KB") << " 1.1KB PC76964:ねこまる"
                        << "PC76964"
                        << "ねこまる";
    QTest::newRow("title-only, ID alone") << "title-only PC76964"
                                          << "PC76964"
                                          << "";
    QTest::newRow("title-only with a name") << "title-only PC76964:ねこまる"
                                            << "PC76964"
                                            << "ねこまる";
    QTest::newRow("KB before bytes") << "2KB PC76964:ねこまる 9 bytes"
                                     << "PC76964"
                                     << "ねこまる 9 bytes";
    QTest::newRow("no size token") << "NIF00007:ｶﾀｷﾞﾘ"
                                   << ""
                                   << "";
}

void TestFullText::sendersOfArticles()
{
    QFETCH(QString, info);
    QFETCH(QString, id);
    QFETCH(QString, name);
    QString text = handLog();
    text.replace(QStringLiteral("120 bytes NIF00007:ｶﾀｷﾞﾘ "), info);
    const auto articles = articlesOfLog(text, settings::markersOf(netRecord(kNif, QStringLiteral("NIF"))), 0);
    const auto a = std::find_if(
        articles.begin(), articles.end(), [](const IndexedArticle &x) { return x.number == u"00011"; });
    QVERIFY(a != articles.end());
    QCOMPARE(a->senderId, id);
    QCOMPARE(a->senderName, name);
}

void TestFullText::storedLinesComeBackExactly_data()
{
    QTest::addColumn<QByteArray>("line"); // a line of an article, as the log holds it
    QTest::newRow("question marks") << QByteArray("Why? ATZ?");
    QTest::newRow("a byte that starts no character") << QByteArray("abc\xff def?");
    QTest::newRow("a lead byte without its trail") << QByteArray("abc\x81");
    QTest::newRow("kana and symbols") << cp932::encode(QStringLiteral("ﾊﾟｿｺﾝ通信～①ⅰ￢"));
}

void TestFullText::storedLinesComeBackExactly()
{
    QFETCH(QByteArray, line);
    WorkDir w;
    QByteArray bytes = cp932::encode(handLog());
    bytes.replace(cp932::encode(QStringLiteral("半角ｶﾅでﾊﾟｿｺﾝ通信。abc")), line);
    writeFile(w.path(QStringLiteral("LOG/NIF0102.LOG")), bytes);
    FullTextIndex index(w.dir.path());
    QVERIFY2(index.update(), qPrintable(index.errorText()));
    const auto expected
        = articlesOfLog(cp932::decode(bytes), settings::markersOf(netRecord(kNif, QStringLiteral("NIF"))), 0);
    QVERIFY(std::any_of(expected.begin(), expected.end(),
        [&](const IndexedArticle &a) { return a.lines.contains(cp932::decode(line)); }));
    QCOMPARE(index.articlesOf(kNif, QStringLiteral("NIF0102.LOG")), expected);
}

void TestFullText::hitsEqualAScan_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("actions"); // log:action after the change
    QTest::newRow("first build") << QString() << QStringList {};
    QTest::newRow("unchanged") << QStringLiteral("none")
                               << QStringList { QStringLiteral("DAV0601.LOG:skipped"),
                                      QStringLiteral("NIF0102.LOG:skipped") };
    QTest::newRow("a log that grew") << QStringLiteral(
        "grow") << QStringList { QStringLiteral("DAV0602.LOG:grown"), QStringLiteral("DAV0601.LOG:skipped") };
    // Changed after its first 4 KB (the same number of bytes), then grown: indexed anew.
    QTest::newRow("a log changed in its last 4 KB, then grown")
        << QStringLiteral("edit tail") << QStringList { QStringLiteral("DAV0602.LOG:full") };
    QTest::newRow("a log changed in its middle, then grown")
        << QStringLiteral("edit middle") << QStringList { QStringLiteral("DAV0602.LOG:full") };
    QTest::newRow("a log that was replaced")
        << QStringLiteral("replace") << QStringList { QStringLiteral("NIF0101.LOG:full") };
    QTest::newRow("a log that was deleted")
        << QStringLiteral("delete") << QStringList { QStringLiteral("DAV0601.LOG:dropped") };
    QTest::newRow("a log that grew after a capture cut off inside a board")
        << QStringLiteral("cut") << QStringList { QStringLiteral("DAV0602.LOG:grown") };
    QTest::newRow("a log replaced under the same size and time")
        << QStringLiteral("same size and time") << QStringList { QStringLiteral("NIF0101.LOG:full") };
    QTest::newRow("a log only touched")
        << QStringLiteral("touch") << QStringList { QStringLiteral("DAV0601.LOG:skipped") };
    QTest::newRow("an index of another version")
        << QStringLiteral("version") << QStringList { QStringLiteral("DAV0601.LOG:full") };
    QTest::newRow("a damaged index file")
        << QStringLiteral("damage") << QStringList { QStringLiteral("DAV0601.LOG:full") };
}

void TestFullText::hitsEqualAScan()
{
    QFETCH(QString, change);
    QFETCH(QStringList, actions);
    WorkDir w;
    const QString appDir = w.dir.path();
    const QString grownLog = QStringLiteral("DAV0602.LOG");
    const QString grownPath = w.path(QStringLiteral("LOG/") + grownLog);
    const QByteArray grownBytes = readFile(grownPath);
    if (change == u"cut") {
        // The capture stopped after two articles of a board, before its
        // read-end line: the rest of the board comes with the growth.
        const qsizetype board = grownBytes.indexOf("\r\nNo.", grownBytes.indexOf("\r\nNo.") + 5);
        const QByteArray header = cp932::encode(LogGeneratorOptions().articleHeader);
        qsizetype cut = grownBytes.indexOf(header, board);
        cut = grownBytes.indexOf(header, cut + 1);
        cut = grownBytes.indexOf(header, cut + 1);
        QVERIFY(board > 0 && cut > board);
        writeFile(grownPath, grownBytes.left(cut));
    }
    {
        FullTextIndex index(appDir);
        QVERIFY2(index.update(), qPrintable(index.errorText()));
        QCOMPARE(index.lastActions.size(), 4);
    }
    // Another word of the same length in Shift-JIS, so the size stays.
    const auto sameLengthEdit = [](QByteArray bytes, qsizetype from, qsizetype to) {
        const QByteArray word = cp932::encode(QStringLiteral("設定"));
        for (qsizetype at = bytes.indexOf(word, from); at >= 0 && at < to; at = bytes.indexOf(word, at))
            bytes.replace(at, word.size(), cp932::encode(QStringLiteral("調整")));
        return bytes;
    };
    if (change == u"cut") {
        QFile f(grownPath);
        QVERIFY(f.open(QIODevice::Append));
        f.write(cp932::encode(generated(2, 6, QStringLiteral("26/06/03"))));
    } else if (change == u"same size and time") {
        const QString path = w.path(QStringLiteral("LOG/NIF0101.LOG"));
        const QDateTime time = QFileInfo(path).lastModified();
        const QByteArray bytes = readFile(path);
        writeFile(path, sameLengthEdit(bytes, 0, bytes.size()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(time, QFileDevice::FileModificationTime));
        f.close();
        QCOMPARE(QFileInfo(path).lastModified(), time);
        QCOMPARE(QFileInfo(path).size(), bytes.size());
    } else if (change == u"touch") {
        QFile f(w.path(QStringLiteral("LOG/DAV0601.LOG")));
        QVERIFY(f.open(QIODevice::ReadWrite)
            && f.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime));
    } else if (change == u"grow") {
        // The capture of the next run is appended: new articles on boards
        // already in the log, an article captured again, more mail.
        QFile f(w.path(QStringLiteral("LOG/") + grownLog));
        QVERIFY(f.open(QIODevice::Append));
        f.write(cp932::encode(generated(2, 6, QStringLiteral("26/06/03"))));
    } else if (change.startsWith(u"edit")) {
        const QString path = w.path(QStringLiteral("LOG/") + grownLog);
        QByteArray bytes = readFile(path);
        const qsizetype oldSize = bytes.size();
        const QByteArray word = cp932::encode(QStringLiteral("設定"));
        // Before the last board line, from where a grown log is read again.
        const qsizetype lastBoard = bytes.lastIndexOf("\r\nNo.", oldSize - 5);
        const qsizetype at
            = change == u"edit tail" ? bytes.lastIndexOf(word, lastBoard) : bytes.indexOf(word, oldSize / 2);
        QVERIFY(at > 4096 && (at >= oldSize - 4096) == (change == u"edit tail"));
        bytes.replace(at, word.size(), cp932::encode(QStringLiteral("接続")));
        writeFile(path, bytes + cp932::encode(generated(2, 6, QStringLiteral("26/06/03"))));
    } else if (change == u"replace") {
        w.log(QStringLiteral("NIF0101.LOG"), generated(9, 3, QStringLiteral("26/01/09")));
    } else if (change == u"delete") {
        QVERIFY(QFile::remove(w.path(QStringLiteral("LOG/DAV0601.LOG"))));
    } else if (change == u"version") {
        // The format stands in the database header (user_version, bytes 60 to 63).
        QByteArray bytes = readFile(w.path(FullTextIndex::kFileName));
        QVERIFY(bytes.size() > 64 && bytes.at(63) != 0);
        bytes[63] = char(bytes.at(63) - 1);
        writeFile(w.path(FullTextIndex::kFileName), bytes);
    } else if (change == u"damage") {
        QFile f(w.path(FullTextIndex::kFileName));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(8192, 'x'));
    }

    FullTextIndex index(appDir);
    QVERIFY2(index.update(), qPrintable(index.errorText()));
    QStringList done;
    for (const auto &a : index.lastActions) {
        static const char *const names[] = { "skipped", "grown", "full", "dropped" };
        done << a.log + u':' + QLatin1String(names[int(a.action)]);
    }
    for (const QString &expected : actions)
        QVERIFY2(done.contains(expected), qPrintable(done.join(u' ')));
    QCOMPARE(
        index.notices().contains(FullTextIndex::kRebuiltNotice), change == u"damage" || change == u"version");

    // Whatever changed, each log holds what a full parse of it gives (a grown
    // log too, indexed from the last board line before its old end).
    for (const auto &[net, log] : { std::pair(kDav, QStringLiteral("DAV0601.LOG")), std::pair(kDav, grownLog),
             std::pair(kNif, QStringLiteral("NIF0101.LOG")),
             std::pair(kNif, QStringLiteral("NIF0102.LOG")) }) {
        const QByteArray bytes = readFile(w.path(QStringLiteral("LOG/") + log));
        const auto full = bytes.isEmpty()
            ? QVector<IndexedArticle>()
            : articlesOfLog(cp932::decode(bytes), settings::markersOf(netRecord(net, log.left(3))), 0);
        const auto held = index.articlesOf(net, log);
        QStringList heldKeys, fullKeys;
        for (const auto &a : held)
            heldKeys << keyOf(net, log, a) + u'|' + QString::number(a.end);
        for (const auto &a : full)
            fullKeys << keyOf(net, log, a) + u'|' + QString::number(a.end);
        heldKeys.sort();
        fullKeys.sort();
        QCOMPARE(heldKeys, fullKeys);
        for (qsizetype i = 0; i < full.size(); ++i) {
            const auto same = std::find(held.begin(), held.end(), full.at(i));
            QVERIFY2(same != held.end(), qPrintable(keyOf(net, log, full.at(i))));
        }
    }

    int withHits = 0;
    for (const QString &text : kQueries) {
        const Query q = parseQuery(text);
        QVERIFY2(q.isValid(), qPrintable(q.error));
        QVector<Hit> hits;
        QVERIFY2(index.find(q, &hits), qPrintable(index.errorText()));
        const QStringList expected = bruteForce(appDir, q);
        QCOMPARE(keysOf(hits), expected);
        withHits += expected.isEmpty() ? 0 : 1;
        for (qsizetype i = 1; i < hits.size(); ++i)
            QVERIFY(hits.at(i - 1).dateTime >= hits.at(i).dateTime); // newest first
        // The newest few, found on their own, are the first of all.
        QVector<Hit> newest;
        QVERIFY(index.find(q, &newest, true, 3));
        QCOMPARE(keysOf(newest), keysOf(hits.mid(0, 3)));
        // One hit per article, whether its board's captures are read one
        // article at a time or all at once.
        QVector<Hit> byArticle = hits;
        QVector<Hit> byBoard = hits;
        QVERIFY(onePerArticle(index, &byArticle, std::numeric_limits<int>::max()));
        QVERIFY(onePerArticle(index, &byBoard, 1));
        QCOMPARE(keysOf(byBoard), keysOf(byArticle));
        for (qsizetype i = 0; i < byBoard.size(); ++i) {
            QCOMPARE(byBoard.at(i).captures, byArticle.at(i).captures);
            QCOMPARE(byBoard.at(i).logFile, byArticle.at(i).logFile);
        }
    }
    QVERIFY(withHits >= kQueries.size() - 3);

    // The snippet is the line of the hit, with the hit marked as written.
    QVector<Hit> hits;
    QVERIFY(index.find(parseQuery(QStringLiteral("パソコン")), &hits));
    QCOMPARE(hits.size(), 1);
    QCOMPARE(hits.first().snippet, QStringLiteral("半角ｶﾅで【ﾊﾟｿｺﾝ】通信。abc"));
    QCOMPARE(hits.first().number, QStringLiteral("00011"));
    QCOMPARE(hits.first().dateTime, QStringLiteral("2025-01-02 09:15:00"));
}

void TestFullText::aHitAloneShowsItsArticlesShownCapture()
{
    // A log captured again: of two captures alike the newer log's is shown,
    // also for a hit of the older one alone.
    WorkDir w;
    QVERIFY(
        QFile::copy(w.path(QStringLiteral("LOG/DAV0601.LOG")), w.path(QStringLiteral("LOG/DAV0603.LOG"))));
    FullTextIndex index(w.dir.path());
    QVERIFY(index.update());
    QVector<Hit> hits;
    QVERIFY(index.find(parseQuery(QStringLiteral("設定 net:") + kDav), &hits));
    int older = 0;
    for (const Hit &h : std::as_const(hits)) {
        if (h.logFile != u"DAV0601.LOG" || h.boardNo <= 0)
            continue;
        QVector<Hit> alone { h };
        QVERIFY(onePerArticle(index, &alone));
        QCOMPARE(alone.size(), 1);
        QCOMPARE(alone.first().logFile, QStringLiteral("DAV0603.LOG"));
        QCOMPARE(alone.first().captures, 2);
        QCOMPARE(alone.first().title, h.title);
        ++older;
    }
    QVERIFY(older > 0);
}

void TestFullText::progressIsReportedWithinALog()
{
    // Each log: started (-1), then how far it is parsed and written, up to 100.
    WorkDir w;
    FullTextIndex index(w.dir.path());
    QStringList reports;
    QVERIFY(index.update({}, [&](const FullTextIndex::Progress &p) {
        if (p.percent < 0)
            reports << QStringLiteral("%1/%2 %3").arg(p.done + 1).arg(p.total).arg(p.log);
        else if (p.percent < reports.last().section(u' ', 2).toInt())
            reports << QStringLiteral("back to %1").arg(p.percent);
        else
            reports.last() = reports.last().section(u' ', 0, 1) + u' ' + QString::number(p.percent);
    }));
    QCOMPARE(reports,
        QStringList({ QStringLiteral("1/4 DAV0601.LOG 100"), QStringLiteral("2/4 DAV0602.LOG 100"),
            QStringLiteral("3/4 NIF0101.LOG 100"), QStringLiteral("4/4 NIF0102.LOG 100") }));
}

void TestFullText::aQueryRunsWhileALogIsWritten()
{
    // Asked on another connection while a grown log's transaction is open,
    // the index answers as it stands, without waiting for the write.
    WorkDir w;
    const QString appDir = w.dir.path();
    {
        FullTextIndex index(appDir);
        QVERIFY(index.update());
    }
    const Query q = parseQuery(QStringLiteral("設定"));
    const QStringList before = bruteForce(appDir, q);
    QFile f(w.path(QStringLiteral("LOG/DAV0602.LOG")));
    QVERIFY(f.open(QIODevice::Append));
    f.write(cp932::encode(generated(2, 6, QStringLiteral("26/06/03"))));
    f.close();
    FullTextIndex writer(appDir);
    bool asked = false;
    QVERIFY(writer.update({}, [&](const FullTextIndex::Progress &p) {
        if (asked || p.percent < 50)
            return;
        asked = true;
        FullTextIndex reader(appDir);
        QVector<Hit> hits;
        QVERIFY2(reader.find(q, &hits), qPrintable(reader.errorText()));
        QCOMPARE(keysOf(hits), before);
    }));
    QVERIFY(asked);
    QVector<Hit> hits;
    QVERIFY(writer.find(q, &hits));
    QCOMPARE(keysOf(hits), bruteForce(appDir, q));
    QVERIFY(keysOf(hits) != before);
}

void TestFullText::reindexingKeepsTheSizeOfAFreshBuild()
{
    WorkDir w;
    const QString appDir = w.dir.path();
    const QString file = w.path(FullTextIndex::kFileName);
    const auto sizeOf
        = [&] { return QFileInfo(file).size() + QFileInfo(file + QStringLiteral("-wal")).size(); };
    const QByteArray grown = readFile(w.path(QStringLiteral("LOG/DAV0602.LOG")));
    for (int round = 0; round < 10; ++round) {
        // Touched, grown, replaced, deleted and back again.
        QFile touched(w.path(QStringLiteral("LOG/DAV0601.LOG")));
        QVERIFY(touched.open(QIODevice::ReadWrite)
            && touched.setFileTime(
                QDateTime::currentDateTime().addSecs(round + 1), QFileDevice::FileModificationTime));
        touched.close();
        writeFile(w.path(QStringLiteral("LOG/DAV0602.LOG")),
            round % 2 ? grown : grown + cp932::encode(generated(2, 6, QStringLiteral("26/06/03"))));
        w.log(
            QStringLiteral("NIF0101.LOG"), generated(quint32(3 + round % 2), 3, QStringLiteral("79/12/31")));
        if (round % 2)
            w.log(QStringLiteral("NIF0102.LOG"), handLog());
        else
            QVERIFY(QFile::remove(w.path(QStringLiteral("LOG/NIF0102.LOG"))));
        FullTextIndex index(appDir);
        QVERIFY2(index.update(), qPrintable(index.errorText()));
    }
    const qint64 updated = sizeOf();
    QVERIFY(QFile::remove(file));
    {
        FullTextIndex index(appDir);
        QVERIFY2(index.update(), qPrintable(index.errorText()));
    }
    const qint64 fresh = sizeOf();
    QVERIFY2(
        updated <= fresh * 105 / 100, qPrintable(QStringLiteral("%1 against %2").arg(updated).arg(fresh)));
}

void TestFullText::aDamagedIndexIsFoundAndMadeAnew_data()
{
    QTest::addColumn<quint32>("damage");
    for (quint32 damage = 1; damage <= 20; ++damage)
        QTest::addRow("damage %u", damage) << damage;
}

void TestFullText::aDamagedIndexIsFoundAndMadeAnew()
{
    // Bytes overwritten anywhere after the header: the hits are right, from
    // the index as it was or from one made anew with a notice, never fewer.
    QFETCH(quint32, damage);
    WorkDir w;
    const QString appDir = w.dir.path();
    {
        FullTextIndex index(appDir);
        QVERIFY2(index.update(), qPrintable(index.errorText()));
    }
    QByteArray bytes = readFile(w.path(FullTextIndex::kFileName));
    QRandomGenerator random(damage);
    const qsizetype n = 64;
    const qsizetype at = 100 + qsizetype(random.bounded(quint32(bytes.size() - 100 - n)));
    for (qsizetype i = at; i < at + n; ++i)
        bytes[i] = char(random.bounded(256u));
    writeFile(w.path(FullTextIndex::kFileName), bytes);

    FullTextIndex index(appDir);
    index.update();
    for (const QString &text : kQueries) {
        const Query q = parseQuery(text);
        QVector<Hit> hits;
        QVERIFY2(index.find(q, &hits), qPrintable(index.errorText()));
        QCOMPARE(keysOf(hits), bruteForce(appDir, q));
    }
    // Made anew, it is sound.
    FullTextIndex again(appDir);
    QVERIFY(again.update());
    QVERIFY(again.notices().isEmpty());
}

void TestFullText::aTrigramBlockThatDoesNotUnpackIsFound_data()
{
    QTest::addColumn<QByteArray>("damage");
    QTest::newRow("each block cut short by a byte")
        << QByteArray("UPDATE trigrams SET entries = substr(entries, 1, length(entries) - 1)");
    QTest::newRow("each block emptied") << QByteArray("UPDATE trigrams SET entries = x''");
    QTest::newRow("each block's first trigram moved")
        << QByteArray("UPDATE trigrams SET entries = x'01' || substr(entries, 2)");
}

void TestFullText::aTrigramBlockThatDoesNotUnpackIsFound()
{
    // Blocks changed with their pages' checksums made anew: only the
    // blocks' own checks can tell, and the hits stay right.
    QFETCH(QByteArray, damage);
    WorkDir w;
    const QString appDir = w.dir.path();
    {
        FullTextIndex index(appDir);
        QVERIFY2(index.update(), qPrintable(index.errorText()));
    }
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(w.path(FullTextIndex::kFileName)).constData(), &db,
                 SQLITE_OPEN_READWRITE, pageChecksumsVfs()),
        SQLITE_OK);
    const int rc = sqlite3_exec(db, damage.constData(), nullptr, nullptr, nullptr);
    const int changed = sqlite3_changes(db);
    sqlite3_close(db);
    QCOMPARE(rc, SQLITE_OK);
    QVERIFY(changed > 0);

    FullTextIndex index(appDir);
    for (const QString &text : kQueries) {
        const Query q = parseQuery(text);
        QVector<Hit> hits;
        QVERIFY2(index.find(q, &hits), qPrintable(index.errorText()));
        QCOMPARE(keysOf(hits), bruteForce(appDir, q));
    }
    QVERIFY(index.notices().contains(FullTextIndex::kRebuiltNotice));
}

void TestFullText::anIndexFileThatIsADirectoryIsAnError()
{
    WorkDir w;
    QVERIFY(QDir(w.dir.path()).mkdir(FullTextIndex::kFileName));
    FullTextIndex index(w.dir.path());
    QVERIFY(!index.update());
    QVERIFY2(index.errorText().contains(FullTextIndex::kFileName), qPrintable(index.errorText()));
}

QTEST_GUILESS_MAIN(TestFullText)
#include "tst_fulltext.moc"
