#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "TestSupport.h"
#include "base/Cp932.h"
#include "base/Text.h"
#include "logindex/IdList.h"
#include "logindex/LogFiles.h"
#include "logindex/LogOpener.h"

#include <QDir>
#include <QMap>
#include <QRandomGenerator>
#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using logindex::IdList;
using logindex::OpenFromNetScreen;

namespace {

const QString kHeader = QStringLiteral("-\t-\t-\t-\t-\t-\t-\t-\t-");
const QString kReadEnd = QStringLiteral("読み終わりました。");
const QString kSearchEnded = QStringLiteral("ＬＯＧファイルが変更になったので、検索は終了します。");
const QString kNoBoards = QStringLiteral("指定されたＬＯＧファイルはボードタイトルがありませんでした！");

QString boardLog(int board, const QString &sender)
{
    return crlfLines({ QStringLiteral("Main Command(?:Help)>B"), QStringLiteral("No.%1 ｢雑談｣").arg(board),
        kHeader, QStringLiteral("CHAT(00101/00120)  26/12/07  40 bytes ") + sender + " ",
        QStringLiteral("12:34 こんにちは"), QStringLiteral("本文"), kReadEnd });
}

// The ID list update transcribed step by step: each "bytes " line removes
// every earlier occurrence of its key from the list, searching the whole text.
QString slowIdListUpdate(QString list, const QString &log)
{
    using namespace kavrel::text;
    const QString crlf = QStringLiteral("\r\n");
    qsizetype p = 1;
    for (;;) {
        const qsizetype f = findFrom(log, QStringLiteral("bytes "), p);
        if (f == 0)
            break;
        const qsizetype q = f + 6;
        const qsizetype e = findFrom(log, crlf, q);
        if (e == 0)
            break;
        p = e;
        const QString idLine = mid(log, q - 1, e - q) + crlf;
        const qsizetype colon = findFrom(idLine, QStringLiteral(":"));
        if (colon == 0)
            continue;
        const QString key = left(idLine, colon);
        qsizetype found = 0;
        for (;;) {
            found = findFrom(list, key, found + 1);
            if (found == 0)
                break;
            const qsizetype end = findFrom(list, crlf, found);
            list = left(list, found - 1) + (end == 0 ? QString() : mid(list, end + 2));
        }
        list += idLine;
    }
    return list;
}

// The same update over lines: each ID line removes the lines that begin with
// its key (scanning the whole list), then is appended.
QString slowLineIdListUpdate(const QString &list, const QString &log)
{
    using namespace kavrel::text;
    const QString crlf = QStringLiteral("\r\n");
    QStringList lines = list.split(crlf);
    const bool unfinished = !lines.last().isEmpty();
    if (!unfinished)
        lines.removeLast();
    bool lastUnfinished = unfinished;
    qsizetype p = 1;
    for (;;) {
        const qsizetype f = findFrom(log, QStringLiteral("bytes "), p);
        if (f == 0)
            break;
        const qsizetype e = findFrom(log, crlf, f + 6);
        if (e == 0)
            break;
        p = e;
        const QString idLine = mid(log, f + 5, e - f - 6);
        const qsizetype colon = findFrom(idLine, QStringLiteral(":"));
        if (colon == 0 || idLine.contains(QChar(u'\0')))
            continue;
        const QString key = left(idLine, colon);
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            if (lines.at(i).startsWith(key)) {
                if (i == lines.size() - 1)
                    lastUnfinished = false;
                lines.removeAt(i);
            }
        }
        lines.append(idLine);
        lastUnfinished = false;
    }
    QString out = lines.join(crlf);
    if (!lines.isEmpty() && !lastUnfinished)
        out += crlf;
    return out;
}

QString randomId(QRandomGenerator &r)
{
    // Short IDs, many of them prefixes of others (A, AB, ABC, A1...).
    static const QString letters = QStringLiteral("AB1");
    QString id;
    const int n = 1 + int(r.bounded(3u));
    for (int i = 0; i < n; ++i)
        id += letters.at(int(r.bounded(quint32(letters.size()))));
    return id;
}

// A log of mail and article lines with random IDs, repeats, lines without a
// colon and "bytes " inside bodies; the list it starts from holds each ID once.
void randomIdInput(quint32 variant, QString *list, QString *log, bool adversarial = false)
{
    QRandomGenerator r(variant);
    if (adversarial) {
        // Keys inside other lines, repeated keys and an unfinished last line.
        for (int i = 0; i < 8; ++i)
            *list += QStringLiteral(" ") + randomId(r) + QStringLiteral(":宛 ") + randomId(r)
                + QStringLiteral(":中\r\n");
        *list += QStringLiteral(" ") + randomId(r) + QStringLiteral(":最後");
    }
    QStringList seen;
    for (int i = 0; i < 6; ++i) {
        const QString id = randomId(r);
        if (seen.contains(id))
            continue;
        seen << id;
        *list += QStringLiteral(" ") + id + QStringLiteral(":旧名前") + QString::number(i) + "\r\n";
    }
    for (int i = 0; i < 200; ++i) {
        switch (r.bounded(5u)) {
        case 0:
            *log += QStringLiteral("本文に 12 bytes の話\r\n");
            break;
        case 1:
            *log += QStringLiteral("K(1/2) 80 bytes 名無し \r\n");
            break;
        default:
            *log += QStringLiteral("K(%1/9) 80 bytes ").arg(i) + randomId(r) + QStringLiteral(":名前")
                + QString::number(r.bounded(4u))
                + (adversarial ? QStringLiteral(" ") + randomId(r) + QStringLiteral(":") : QString())
                + QStringLiteral(" \r\n");
        }
        *log += QStringLiteral("本文です。\r\n");
    }
}

} // namespace

class TestLogOpener : public QObject
{
    Q_OBJECT

private slots:
    void singleOpen();
    void multiOpenJoinsBytes();
    void openOfNothing();
    void searchEndsOnlyForAnotherLog();
    void unreadableLogChangesNothing();
    void idList_data();
    void idList();
    void idListFile();
    void idListMatchesStepByStep_data();
    void idListMatchesStepByStep();
    void idListKeyInsideAnotherLine();
    void logPattern_data();
    void logPattern();
    void logFilesInListOrder();
    void logReadInPieces_data();
    void logReadInPieces();
    void cancelledOpenChangesNothing_data();
    void cancelledOpenChangesNothing();
};

void TestLogOpener::singleOpen()
{
    LogIndexFixture f;
    f.events.rowsPerBoard = 2;
    f.session.netSelectVisible = true;
    f.session.main.Title.addItem(QStringLiteral("[old]"));
    const QString text = boardLog(3, QStringLiteral("KVR00007:佐藤花子"));
    const QString path = f.writeLog(QStringLiteral("DAV1.LOG"), text);

    OpenFromNetScreen(f.session, { QStringLiteral("DAV1.LOG") });

    Session &s = f.session;
    QCOMPARE(s.log.LogPath, path);
    QCOMPARE(s.log.LogText, text);
    QCOMPARE(s.log.MultiSelectMode, 0);
    QCOMPARE(s.main.logLength, QString::number(sjis(text).size()));
    QCOMPARE(s.main.pointerLogName, text::fixedWidth(path, 80));
    QCOMPARE(s.main.pointerValue, QString("0"));
    QCOMPARE(s.main.readPointer, QString("0"));
    QCOMPARE(s.unread.PtrNetIndex, 0);
    QCOMPARE(s.ArticleHeader, kHeader);
    QVERIFY(!s.netSelectVisible);
    QCOMPARE(s.main.Board_List.items, QStringList { "No.3 ｢雑談｣" });
    QCOMPARE(s.main.Title.items, QStringList({ "[1]", "[2]" }));
    QCOMPARE(s.main.Title.ListIndex, 0);
    QCOMPARE(f.events.titleClicks, 1);
    QVERIFY(s.main.visible);
    QCOMPARE(s.main.Caption, "Kavrel[" + path + "]");
    QVERIFY(s.main.Search_Pointer_Enabled && s.main.Read_End_Enabled);
    QVERIFY(s.main.Search_Log_Enabled && s.main.Ido_Set_Enabled);
    QVERIFY(!s.moves.MoveFileBase.isEmpty()); // the move table of the net was loaded
    QCOMPARE(s.log.IdListText, QString(" KVR00007:佐藤花子\r\n"));
    QCOMPARE(readFile(s.idListFilePath()), sjis(s.log.IdListText));
    QVERIFY(QFile::exists(s.appFile("LOGPTR.dat")));
    QVERIFY(f.messages.shown.isEmpty());
}

void TestLogOpener::multiOpenJoinsBytes()
{
    LogIndexFixture f;
    // A ends in the lead byte of a double-byte character that B completes:
    // the merge keeps the bytes as they are and decodes them together.
    const QByteArray a = sjis(boardLog(1, QStringLiteral("KVR1:一"))) + QByteArray("\x82");
    const QByteArray b = QByteArray("\xA0") + sjis(boardLog(2, QStringLiteral("KVR2:二")));
    f.writeLogBytes(QStringLiteral("DAV1.LOG"), a);
    f.writeLogBytes(QStringLiteral("DAV2.LOG"), b);
    f.writeLog(QStringLiteral("Temp.log"), QStringLiteral("the previous merge"));

    OpenFromNetScreen(f.session, { QStringLiteral("DAV1.LOG"), QStringLiteral("DAV2.LOG") });

    QCOMPARE(f.session.log.LogPath, f.logPath(QStringLiteral("Temp.log")));
    QCOMPARE(readFile(f.session.log.LogPath), a + b);
    QCOMPARE(f.session.log.LogText, cp932::decode(a + b));
    QVERIFY(f.session.log.LogText.contains(QStringLiteral("\r\nあMain"))); // 0x82 0xA0 is "あ"
    QCOMPARE(f.session.log.MultiSelectMode, 1);
    QVERIFY(!QFile::exists(f.session.appFile("LOGPTR.dat")));
    QCOMPARE(f.session.main.Board_List.items, QStringList({ "No.1 ｢雑談｣", "No.2 ｢雑談｣" }));
    QCOMPARE(f.session.main.Caption, "Kavrel[" + f.session.log.LogPath + "]");
}

void TestLogOpener::openOfNothing()
{
    LogIndexFixture f;
    f.session.netSelectVisible = true;
    f.session.main.Article.addItem(QStringLiteral("old article"));
    OpenFromNetScreen(f.session, {});
    QCOMPARE(readFile(f.logPath(QStringLiteral("Temp.log"))), QByteArray());
    QCOMPARE(f.session.log.LogText, QString());
    QCOMPARE(f.session.log.NoBoardsFlag, 1);
    QCOMPARE(f.messages.texts(), QStringList { kNoBoards });
    QVERIFY(f.session.main.Article.isEmpty());
    QVERIFY(!f.session.main.visible);
    QVERIFY(!f.session.netSelectVisible);
    QCOMPARE(f.session.main.Caption, QString("Kavrel"));
}

void TestLogOpener::searchEndsOnlyForAnotherLog()
{
    LogIndexFixture f;
    f.writeLog(QStringLiteral("DAV1.LOG"), boardLog(1, QStringLiteral("A:a")));
    f.writeLog(QStringLiteral("DAV2.LOG"), boardLog(2, QStringLiteral("B:b")));
    f.writeLog(QStringLiteral("NIF1.LOG"), boardLog(3, QStringLiteral("C:c")));
    OpenFromNetScreen(f.session, { QStringLiteral("DAV1.LOG") });
    f.session.search.StringSearchOn = true;
    OpenFromNetScreen(f.session, { QStringLiteral("DAV1.LOG") });
    QCOMPARE(f.session.search.StringSearchOn, true);
    QVERIFY(f.messages.shown.isEmpty());

    OpenFromNetScreen(f.session, { QStringLiteral("DAV2.LOG") });
    QCOMPARE(f.session.search.StringSearchOn, false);
    QCOMPARE(f.messages.texts(), QStringList { kSearchEnded });

    // Another net: the previous log is forgotten, so even an equal path ends the search.
    f.session.search.DateSearchOn = true;
    f.chooseNet(1);
    OpenFromNetScreen(f.session, { QStringLiteral("NIF1.LOG") });
    QCOMPARE(f.session.log.PrevLogPath, QString());
    QCOMPARE(f.session.log.LeftLogPath, f.logPath(QStringLiteral("DAV2.LOG")));
    QCOMPARE(f.session.log.PrevOpenNetIndex, 1);
    QCOMPARE(f.session.search.DateSearchOn, false);
    QCOMPARE(f.messages.shown.size(), 2);
}

void TestLogOpener::unreadableLogChangesNothing()
{
    LogIndexFixture f;
    f.writeLog(QStringLiteral("DAV1.LOG"), boardLog(1, QStringLiteral("A:a")));
    OpenFromNetScreen(f.session, { QStringLiteral("DAV1.LOG") });
    f.session.netSelectVisible = true;
    const QString before = f.session.log.LogPath;
    OpenFromNetScreen(f.session, { QStringLiteral("DAV9.LOG") });
    OpenFromNetScreen(f.session, { QStringLiteral("DAV1.LOG"), QStringLiteral("DAV9.LOG") });
    QCOMPARE(f.session.log.LogPath, before);
    QCOMPARE(f.session.log.PrevLogPath, QString());
    QVERIFY(f.session.netSelectVisible);
    QCOMPARE(f.session.main.Board_List.ListCount(), 1);
    QVERIFY(!QFile::exists(f.logPath(QStringLiteral("Temp.log"))));
}

void TestLogOpener::idList_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("expected");

    const QString m = QStringLiteral("mail (00001/00003)  26/12/07  80 bytes ");
    QTest::newRow("new ID appended") << QString(" A:あ\r\n") << QString(m + "B:い \r\n")
                                     << QString(" A:あ\r\n B:い\r\n");
    QTest::newRow("three lines of one key keep the last, at the end")
        << QString(" A:古\r\n C:他\r\n") << QString(m + "A:一 \r\n" + m + "A:二 \r\n" + m + "A:三 \r\n")
        << QString(" C:他\r\n A:三\r\n");
    QTest::newRow("older line in another position is cut")
        << QString(" X:1\r\n A:old\r\n Y:2\r\n") << QString(m + "A:new \r\n")
        << QString(" X:1\r\n Y:2\r\n A:new\r\n");
    QTest::newRow("prefix keys are distinct")
        << QString(" AB:1\r\n A:2\r\n") << QString(m + "A:3 \r\n") << QString(" AB:1\r\n A:3\r\n");
    QTest::newRow("line without colon skipped") << QString() << QString(m + "名無し \r\n") << QString();
    QTest::newRow("bytes at the line end") << QString() << QString("x bytes \r\n") << QString();
    QTest::newRow("last bytes line without CR LF") << QString() << QString(m + "A:cut") << QString();
    QTest::newRow("two tokens on a line take the first")
        << QString() << QString("1 bytes A:x 2 bytes B:y \r\n") << QString(" A:x 2 bytes B:y\r\n");
    QTest::newRow("NUL in an ID line is not taken")
        << QString(" A:1\r\n") << QString(m + "B:" + QChar(u'\0') + "z \r\n") << QString(" A:1\r\n");
    QTest::newRow("unfinished last line of the list gets its end")
        << QString(" A:1\r\n B:2") << QString(m + "C:3 \r\n") << QString(" A:1\r\n B:2\r\n C:3\r\n");
    QTest::newRow("unfinished last line cut as its key returns")
        << QString(" A:1\r\n B:2") << QString(m + "B:3 \r\n") << QString(" A:1\r\n B:3\r\n");
    QTest::newRow("duplicates already in the list all go")
        << QString(" A:1\r\n A:2\r\n B:x\r\n A:3\r\n") << QString(m + "A:4 \r\n")
        << QString(" B:x\r\n A:4\r\n");
    QTest::newRow("nothing in the log keeps the list")
        << QString(" A:1\r\n") << QString("ただの行\r\n") << QString(" A:1\r\n");
}

void TestLogOpener::idList()
{
    QFETCH(QString, list);
    QFETCH(QString, log);
    QFETCH(QString, expected);
    QCOMPARE(IdList::update(list, log), expected);
}

void TestLogOpener::idListFile()
{
    LogIndexFixture f;
    // Cut at the first NUL when read.
    writeFile(f.session.idListFilePath(), sjis(" A:一\r\n") + QByteArray("\0 B:garbage\r\n", 13));
    f.session.log.LogText = QStringLiteral("K(1/2) 9 bytes C:三 \r\n");
    logindex::UpdateIdList(f.session);
    QCOMPARE(f.session.log.IdListText, QString(" A:一\r\n C:三\r\n"));
    QCOMPARE(readFile(f.session.idListFilePath()), sjis(" A:一\r\n C:三\r\n"));

    // A missing file is an empty list and is created.
    LogIndexFixture g;
    g.session.log.LogText = f.session.log.LogText;
    logindex::UpdateIdList(g.session);
    QCOMPARE(readFile(g.session.idListFilePath()), sjis(" C:三\r\n"));
    QCOMPARE(QDir(g.blDir()).entryList(QDir::Files), QStringList { "DAV.id" });

    // A net without an ID list file name still collects, and writes nothing.
    LogIndexFixture h;
    h.session.NetTable[0][settings::NetRecord::ID_LIST_FILE_NAME] = QString(80, u' ');
    h.session.log.LogText = f.session.log.LogText;
    logindex::UpdateIdList(h.session);
    QCOMPARE(h.session.log.IdListText, QString(" C:三\r\n"));
    QVERIFY(QDir(h.blDir()).entryList(QDir::Files).isEmpty());
}

void TestLogOpener::idListMatchesStepByStep_data()
{
    QTest::addColumn<int>("variant");
    for (int variant = 1; variant <= 12; ++variant)
        QTest::newRow(qPrintable(QStringLiteral("random %1").arg(variant))) << variant;
    QTest::newRow("generated logs") << 0;
}

void TestLogOpener::idListMatchesStepByStep()
{
    QFETCH(int, variant);
    QString list, log;
    if (variant == 0) {
        LogGeneratorOptions o;
        o.senders = 40;
        o.boards = 8;
        o.mails = 12;
        list = IdList::update(QString(), LogGenerator(o).text());
        o.variant = 99;
        log = LogGenerator(o).text();
    } else {
        randomIdInput(quint32(variant), &list, &log);
    }
    const QString fast = IdList::update(list, log);
    QCOMPARE(fast, slowIdListUpdate(list, log));
    QCOMPARE(fast, slowLineIdListUpdate(list, log));
    // One line per key.
    QStringList keys;
    for (const QString &line : fast.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        keys << line.left(line.indexOf(u':') + 1);
    keys.removeDuplicates();
    QCOMPARE(keys.size(), fast.count(QStringLiteral("\r\n")));
}

void TestLogOpener::idListKeyInsideAnotherLine()
{
    int cutElsewhere = 0;
    for (quint32 variant = 1; variant <= 20; ++variant) {
        QString list, log;
        randomIdInput(variant, &list, &log, true);
        const QString fast = IdList::update(list, log);
        QCOMPARE(fast, slowLineIdListUpdate(list, log));
        cutElsewhere += fast != slowIdListUpdate(list, log);
    }
    QVERIFY(cutElsewhere > 10); // the inputs do meet keys inside other lines

    // The key " B:" also stands inside A's line. Cutting from there would end
    // A's line early and join it to C's; only B's own line goes.
    const QString list = QStringLiteral(" A:宛先 B:です\r\n C:3\r\n B:old\r\n");
    const QString log = QStringLiteral("K(1/2) 9 bytes B:new \r\n");
    QCOMPARE(IdList::update(list, log), QString(" A:宛先 B:です\r\n C:3\r\n B:new\r\n"));
    // The search then goes on inside the joined line and finds B's own line too.
    QCOMPARE(slowIdListUpdate(list, log), QString(" A:宛先 C:3\r\n B:new\r\n"));
}

void TestLogOpener::logPattern_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");

    QTest::newRow("star") << "DAV20261207.LOG"
                          << "DAV*.LOG" << true;
    QTest::newRow("either case") << "dav1.log"
                                 << "DAV*.LOG" << true;
    QTest::newRow("empty star") << "DAV.LOG"
                                << "DAV*.LOG" << true;
    QTest::newRow("longer extension") << "DAV1.LOGX"
                                      << "DAV*.LOG" << false;
    QTest::newRow("prefix differs") << "XDAV1.LOG"
                                    << "DAV*.LOG" << false;
    QTest::newRow("question mark") << "DAV1.LOG"
                                   << "DAV?.LOG" << true;
    QTest::newRow("question mark needs one") << "DAV.LOG"
                                             << "DAV?.LOG" << false;
    QTest::newRow("star dot star") << "README"
                                   << "*.*" << true;
    QTest::newRow("brackets are plain") << "[a].LOG"
                                        << "[a].LOG" << true;
    QTest::newRow("brackets are no class") << "a.LOG"
                                           << "[a].LOG" << false;
    QTest::newRow("empty pattern") << "DAV1.LOG"
                                   << "" << false;
    QTest::newRow("Japanese") << "ログ１.txt"
                              << "ログ*.TXT" << true;
    QTest::newRow("fullwidth letters fold") << "ＡＢ.log"
                                            << "ａｂ.LOG" << true;
    QTest::newRow("two stars backtrack") << "a-b-c.log"
                                         << "*-*.log" << true;
}

void TestLogOpener::logPattern()
{
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    QCOMPARE(logindex::matchesLogPattern(name, pattern), matches);
}

void TestLogOpener::logFilesInListOrder()
{
    LogIndexFixture f;
    for (const char *name : { "DAV10.LOG", "dav2.log", "DAV1.LOG", "Temp.log", "NIF1.LOG", "DAV3.TXT" })
        f.writeLog(QLatin1String(name), QStringLiteral("x"));
    QDir(f.logDir()).mkdir(QStringLiteral("DAV9.LOG"));
    QCOMPARE(logindex::listLogFiles(f.session), QStringList({ "DAV1.LOG", "DAV10.LOG", "dav2.log" }));
    f.chooseNet(1);
    QCOMPARE(logindex::listLogFiles(f.session), QStringList { "NIF1.LOG" });
    f.session.Dir[settings::DirRecord::LOG_Dir] = f.logDir() + QStringLiteral("/none");
    QCOMPARE(logindex::listLogFiles(f.session), QStringList());
}

QTEST_GUILESS_MAIN(TestLogOpener)
void TestLogOpener::logReadInPieces_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray log = sjis(boardLog(3, QStringLiteral("KVR00007:佐藤花子")));
    QTest::addRow("a log") << log;
    QTest::addRow("no line end at the end") << log + sjis(QStringLiteral("途中まで"));
    QTest::addRow("a cut lead byte at the end") << log + QByteArray("\x82");
    QTest::addRow("a lead byte before a line feed") << QByteArray("a\x82\nb\x82\r\n\x82\xA0\n");
    QTest::addRow("one long line") << sjis(QString(300, QChar(u'あ')) + QStringLiteral("\r\n"));
    QTest::addRow("empty") << QByteArray();
}

void TestLogOpener::logReadInPieces()
{
    // Pieces end after a line feed; the text is the decode of the whole file
    // for every piece size, also pieces smaller than a character.
    QFETCH(QByteArray, bytes);
    LogIndexFixture f;
    f.writeLogBytes(QStringLiteral("DAV1.LOG"), bytes);
    for (const qint64 piece : { 1, 2, 3, 7, 64, 1 << 20 }) {
        QString text;
        qint64 length = -1;
        qint64 last = -1;
        qint64 reports = 0;
        const auto progress = [&](qint64 done, qint64 total) {
            // Never backwards, never past the whole.
            if (done < last || done > total || total != bytes.size())
                return false;
            last = done;
            ++reports;
            return true;
        };
        QVERIFY(
            logindex::readLogText(f.logPath(QStringLiteral("DAV1.LOG")), &text, &length, progress, piece));
        QCOMPARE(text, cp932::decode(bytes));
        QCOMPARE(length, qint64(bytes.size()));
        QCOMPARE(last, qint64(bytes.size()));
        QVERIFY(reports >= 2);

        QString fromBytes;
        last = -1;
        QVERIFY(logindex::decodeLogBytes(bytes, &fromBytes, progress, piece));
        QCOMPARE(fromBytes, cp932::decode(bytes));
    }
    QString text;
    qint64 length = 0;
    QVERIFY(!logindex::readLogText(f.logPath(QStringLiteral("DAV9.LOG")), &text, &length));
}

void TestLogOpener::cancelledOpenChangesNothing_data()
{
    QTest::addColumn<QStringList>("logs");
    QTest::addColumn<int>("cancelAt"); // the progress report that answers cancel
    QTest::addRow("one log, at once") << QStringList { "DAV2.LOG" } << 0;
    QTest::addRow("one log, when decoded whole") << QStringList { "DAV2.LOG" } << 1;
    QTest::addRow("a merge, at once") << QStringList { "DAV1.LOG", "DAV2.LOG" } << 0;
    QTest::addRow("a merge, when decoded whole") << QStringList { "DAV1.LOG", "DAV2.LOG" } << 1;
}

void TestLogOpener::cancelledOpenChangesNothing()
{
    QFETCH(QStringList, logs);
    QFETCH(int, cancelAt);
    LogIndexFixture f;
    f.events.rowsPerBoard = 2;
    const QString first = boardLog(3, QStringLiteral("KVR00007:佐藤花子"));
    f.writeLog(QStringLiteral("DAV1.LOG"), first);
    QString big;
    for (int i = 0; i < 2000; ++i)
        big += boardLog(i % 50 + 1, QStringLiteral("KVR%1:名前").arg(i));
    f.writeLog(QStringLiteral("DAV2.LOG"), big);
    f.writeLog(QStringLiteral("Temp.log"), QStringLiteral("the previous merge"));
    QVERIFY(OpenFromNetScreen(f.session, { QStringLiteral("DAV1.LOG") }));
    f.session.reading.LastWrittenKind = ReaderMode::None;

    // Every file of the app, list and log folders, byte for byte.
    const auto snapshot = [&f] {
        QMap<QString, QByteArray> files;
        for (const QString &dir : { f.appDir(), f.blDir(), f.logDir() }) {
            for (const QString &name : QDir(dir).entryList(QDir::Files))
                files.insert(dir + u'/' + name, readFile(dir + u'/' + name));
        }
        return files;
    };
    const auto before = snapshot();
    const QString pathBefore = f.session.log.LogPath;
    const QStringList boardsBefore = f.session.main.Board_List.items;
    const QStringList titlesBefore = f.session.main.Title.items;

    int reports = 0;
    const auto cancel = [&](qint64, qint64) { return reports++ < cancelAt; };
    QVERIFY(!OpenFromNetScreen(f.session, logs, cancel));
    QCOMPARE(reports, cancelAt + 1);

    QCOMPARE(snapshot(), before);
    QCOMPARE(f.session.log.LogPath, pathBefore);
    QCOMPARE(f.session.log.LogText, first);
    QCOMPARE(f.session.main.Board_List.items, boardsBefore);
    QCOMPARE(f.session.main.Title.items, titlesBefore);
    QVERIFY(f.messages.shown.isEmpty());
}

#include "tst_logopener.moc"
