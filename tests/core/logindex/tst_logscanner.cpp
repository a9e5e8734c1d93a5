#include "LogGenerator.h"
#include "LogIndexFixture.h"
#include "TestSupport.h"
#include "base/Cp932.h"
#include "base/Text.h"
#include "logindex/BoardListFile.h"
#include "logindex/LogScanner.h"
#include "session/LogBoards.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using logindex::BoardListFile;
using logindex::LogScanner;

namespace {

const QString kHeader = QStringLiteral("-\t-\t-\t-\t-\t-\t-\t-\t-");
const QString kReadEnd = QStringLiteral("読み終わりました。");
const QString kPrompt = QStringLiteral("Main Command(?:Help)>");
const QString kNoBoards = QStringLiteral("指定されたＬＯＧファイルはボードタイトルがありませんでした！");

// One board as the host prints it: the board line, one article, the read-end message.
QStringList boardBlock(const QString &boardLine, const QString &key, int article = 101)
{
    return { kPrompt + QStringLiteral("B"), boardLine, QString(), kHeader,
        key
            + QStringLiteral("(%1/00200)  26/12/07  120 bytes KVR00001:山田太郎 ")
                  .arg(article, 5, 10, QLatin1Char('0')),
        QStringLiteral("12:34 モデムの設定"), QStringLiteral("本文です。"), kReadEnd };
}

QString logOf(const QList<QStringList> &blocks)
{
    QStringList lines = { QStringLiteral("CONNECT 9600"), QStringLiteral("ようこそ") };
    for (const auto &b : blocks)
        lines += b;
    lines << kPrompt + QStringLiteral("BYE");
    return crlfLines(lines);
}

// Step by step the way the scan reads board lines out of a log, searching
// from every board line anew; the scanner must find the same candidates.
void slowBoardsOfLog(const Session &s, QStringList *entries, QStringList *keys)
{
    using namespace kavrel::text;
    const QString &log = s.log.LogText;
    const QString crlf = QStringLiteral("\r\n");
    qsizetype from = 1;
    for (;;) {
        const qsizetype found = findFrom(log, crlf + QStringLiteral("No."), from);
        if (found == 0)
            break;
        const qsizetype start = found + 2;
        const qsizetype end = findFrom(log, crlf, start + 3);
        QString entry = mid(log, start, end - start);
        const qsizetype h = findFrom(log, s.ArticleHeader, start);
        const qsizetype t = findFrom(log, crlf + s.ReadEndMarker, start);
        if (h == 0 || t < h)
            entry.clear();
        QString key;
        if (mid(entry, 4, 2) == QLatin1String("0 ") || mid(entry, 4, 2) == QLatin1String(" 0")) {
            key = QStringLiteral("mail ");
        } else {
            const qsizetype h2 = findFrom(log, s.ArticleHeader, end);
            const qsizetype e2 = findFrom(log, crlf, h2 + 3);
            const qsizetype p = findFrom(log, QStringLiteral("("), e2);
            key = mid(log, e2 + 2, p - e2 - 2);
        }
        entries->append(entry);
        keys->append(entry.isEmpty() ? QString() : key);
        from = start + 2;
    }
}

// Steps 4 and 5 of the board merge exactly as the scan was first written:
// the exchange sort, then the removal of incomplete and repeated candidates,
// each comparing every pair.
void literalSortAndRemove(QStringList &entries, QStringList &keys)
{
    using namespace kavrel::text;
    const qsizetype n = entries.size();
    const auto chat = [](const QString &e) { return e.startsWith(QStringLiteral("[XCHAT]")); };
    for (qsizetype i = 0; i < n; ++i) {
        for (qsizetype j = i + 1; j < n; ++j) {
            const qint64 a = val(mid(entries.at(i), 4, 5));
            const qint64 b = val(mid(entries.at(j), 4, 5));
            if (!entries.at(j).isEmpty() && a > b && !chat(entries.at(j))) {
                entries.swapItemsAt(i, j);
                keys.swapItemsAt(i, j);
            }
        }
    }
    for (qsizetype i = 0; i < n; ++i) {
        if (findFrom(entries.at(i), QStringLiteral("｢")) == 0)
            entries[i].clear();
        if (entries.at(i).isEmpty())
            continue;
        const QString prefix = left(entries.at(i), findFrom(entries.at(i), QStringLiteral("｢")) - 1);
        for (qsizetype j = i + 1; j < n; ++j) {
            const qsizetype bracket = findFrom(entries.at(j), QStringLiteral("｢"));
            if (!entries.at(j).isEmpty() && bracket != 0 && !chat(entries.at(j))
                && left(entries.at(j), bracket - 1) == prefix)
                entries[j].clear();
        }
    }
}

// Steps 8 and 9 step by step: every room of the log walks the whole list for
// the earlier items of its number (the whole number before the first "."
// after any "[XCHAT] No" of an item), and the rooms are exchange sorted by
// their keys.
QStringList literalChatRooms(QStringList list, const QString &log, const QString &question)
{
    using namespace kavrel::text;
    const QString crlf = QStringLiteral("\r\n");
    const QString chatItem = QStringLiteral("[XCHAT] No");
    const auto roomNumber = [](const QString &text) {
        const qsizetype dot = findFrom(text, QStringLiteral("."));
        return val(dot == 0 ? text : left(text, dot - 1));
    };
    qsizetype g = 1;
    for (;;) {
        g = findFrom(log, question, g + 1);
        if (g == 0)
            break;
        const qsizetype e1 = findFrom(log, crlf, g);
        const qsizetype e2 = e1 == 0 ? 0 : findFrom(log, crlf, e1 + 1);
        if (e2 == 0)
            break;
        qsizetype e3 = findFrom(log, crlf, e2 + 1);
        if (e3 == 0)
            e3 = log.size() + 1;
        const QString room = mid(log, e2 + 2, e3 - e2 - 2);
        if (val(room) == 0)
            continue;
        const qint64 number = roomNumber(room);
        for (qsizetype i = list.size() - 1; i >= 0; --i) {
            const QString &item = list.at(i);
            for (qsizetype p = item.indexOf(chatItem); p >= 0; p = item.indexOf(chatItem, p + 1)) {
                if (roomNumber(item.mid(p + chatItem.size())) == number) {
                    list.removeAt(i);
                    break;
                }
            }
        }
        list << QStringLiteral("[XCHAT] No") + room;
    }
    const auto key = [](const QString &item) {
        const qsizetype d = findFrom(item, QStringLiteral("."), 13);
        return d == 0 ? mid(item, 12) : mid(item, 12, d - 12);
    };
    const auto chat = [](const QString &e) { return e.startsWith(QStringLiteral("[XCHAT]")); };
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!chat(list.at(i)))
            continue;
        for (qsizetype j = i; j < list.size(); ++j) {
            if (chat(list.at(j)) && key(list.at(i)) > key(list.at(j)))
                list.swapItemsAt(i, j);
        }
    }
    return list;
}

} // namespace

class TestLogScanner : public QObject
{
    Q_OBJECT

private slots:
    void boardListFile_data();
    void boardListFile();
    void boardListRoundTrip();
    void boardsSortedAndSaved();
    void mailBoxKey_data();
    void mailBoxKey();
    void fileAndLogSameNumber();
    void enteredButNotRead();
    void frozenBoardList();
    void noBoards();
    void chatRooms();
    void chatRoomRemembered_data();
    void chatRoomRemembered();
    void malformedLogs_data();
    void malformedLogs();
    void tablesGrowBeyondFixedSizes();
    void keysStayAlignedWithOldSlots();
    void candidatesMatchStepByStepSearch_data();
    void candidatesMatchStepByStepSearch();
    void cutBoardLineNeverReplacesARememberedOne();
    void rememberedChatRoomsStay();
    void rememberedLinesKeepTheirBytes_data();
    void rememberedLinesKeepTheirBytes();
    void blankLinesBeforeTheKeyLine_data();
    void blankLinesBeforeTheKeyLine();
    void sortOrderMatchesTheExchangeSort_data();
    void sortOrderMatchesTheExchangeSort();
    void mergeMatchesTheLiteralSteps_data();
    void mergeMatchesTheLiteralSteps();
    void chatRoomsMatchTheLiteralSteps_data();
    void chatRoomsMatchTheLiteralSteps();
    void boardsAsValues();
};

void TestLogScanner::boardListFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("empty") << QString() << QStringList() << QStringList();
    QTest::newRow("two lines") << "No.1 ｢雑談｣BRD001 \r\nNo.0 ｢メール｣mail \r\n"
                               << QStringList { "No.1 ｢雑談｣", "No.0 ｢メール｣" }
                               << QStringList { "BRD001", "mail" };
    QTest::newRow("no blank after key")
        << "No.1 ｢a｣K1\r\nNo.2 ｢b｣K2 \r\n"
        << QStringList { "No.1 ｢a｣", "No.2 ｢b｣" } << QStringList { "K1", "K2" };
    QTest::newRow("last line without CR LF")
        << "No.1 ｢a｣K1 \r\nNo.2 ｢b｣K2" << QStringList { "No.1 ｢a｣", "No.2 ｢b｣" }
        << QStringList { "K1", "K2" };
    QTest::newRow("text after the key is dropped") << "No.1 ｢a｣K1 extra words\r\n"
                                                   << QStringList { "No.1 ｢a｣" } << QStringList { "K1" };
    QTest::newRow("cut after the first bracket") << "No.1 ｢a｣b｣K \r\n"
                                                 << QStringList { "No.1 ｢a｣" } << QStringList { "b｣K" };
    QTest::newRow("board line without bracket is skipped, not joined")
        << "No.3 ｢切れた\r\nNo.4 ｢d｣K4 \r\n"
        << QStringList { "No.4 ｢d｣" } << QStringList { "K4" };
    QTest::newRow("chat room without bracket is read back")
        << "[XCHAT] No 3.雑談 \r\nNo.4 ｢d｣K4 \r\n"
        << QStringList { "[XCHAT] No 3.雑談", "No.4 ｢d｣" } << QStringList { "", "K4" };
    QTest::newRow("chat room keeps its own trailing blank")
        << "[XCHAT] No1.雑談ルーム  \r\n"
        << QStringList { "[XCHAT] No1.雑談ルーム " } << QStringList { "" };
    QTest::newRow("chat room with brackets") << "[XCHAT] No 3.｢雑談｣ \r\n"
                                             << QStringList { "[XCHAT] No 3.｢雑談｣" } << QStringList { "" };
    QTest::newRow("blank lines") << "\r\n\r\nNo.1 ｢a｣K \r\n\r\n"
                                 << QStringList { "No.1 ｢a｣" } << QStringList { "K" };
    QTest::newRow("no line end at all") << "No.1 ｢a｣" << QStringList { "No.1 ｢a｣" } << QStringList { "" };
}

void TestLogScanner::boardListFile()
{
    QFETCH(QString, text);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, keys);
    QStringList gotEntries, gotKeys;
    for (const auto &e : BoardListFile::parse(text)) {
        gotEntries << e.text;
        gotKeys << e.key;
    }
    QCOMPARE(gotEntries, entries);
    QCOMPARE(gotKeys, keys);
}

void TestLogScanner::boardListRoundTrip()
{
    const QStringList items = { "No.0 ｢メール｣", "No.1 ｢雑談｣", "No.12 ｢ソフト｣", "[XCHAT] No 2.｢部屋｣" };
    const QStringList keys = { "mail", "BRD001", "SOFT", "stale key of no board" };
    const QString text = BoardListFile::format(items, keys);
    QCOMPARE(text,
        QString("No.0 ｢メール｣mail \r\nNo.1 ｢雑談｣BRD001 \r\nNo.12 ｢ソフト｣SOFT \r\n"
                "[XCHAT] No 2.｢部屋｣ \r\n"));
    const auto back = BoardListFile::parse(text);
    QCOMPARE(back.size(), items.size());
    for (qsizetype i = 0; i < 3; ++i) {
        QCOMPARE(back.at(i).text, items.at(i));
        QCOMPARE(back.at(i).key, keys.at(i));
    }
    QCOMPARE(back.at(3).key, QString());
}

void TestLogScanner::boardsSortedAndSaved()
{
    LogIndexFixture f;
    f.session.log.LogText = logOf({ boardBlock("No.3 ｢ソフト｣", "SOFT"), boardBlock("No.1 ｢雑談｣", "CHAT") });
    logindex::ScanLog(f.session);

    QCOMPARE(f.session.main.Board_List.items, QStringList({ "No.1 ｢雑談｣", "No.3 ｢ソフト｣" }));
    QCOMPARE(f.session.log.BoardKeys.mid(0, 2), QStringList({ "CHAT", "SOFT" }));
    QVERIFY(f.session.log.BoardKeys.size() >= 1001);
    QCOMPARE(f.session.log.NoBoardsFlag, false);
    QCOMPARE(f.events.boardIndexes, QList<int> { 0 });
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(readFile(f.session.boardListFilePath()), sjis("No.1 ｢雑談｣CHAT \r\nNo.3 ｢ソフト｣SOFT \r\n"));

    // Corner brackets are the single-byte ones.
    QVERIFY(readFile(f.session.boardListFilePath()).contains("\xA2"));
}

void TestLogScanner::mailBoxKey_data()
{
    QTest::addColumn<QString>("boardLine");
    QTest::newRow("No.0 and a blank") << "No.0 ｢メールボックス｣";
    QTest::newRow("blank and No.0") << "No. 0 ｢メールボックス｣";
}

void TestLogScanner::mailBoxKey()
{
    QFETCH(QString, boardLine);
    LogIndexFixture f;
    f.session.log.LogText = logOf({ boardBlock(boardLine, "mail ") });
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.items, QStringList { boardLine });
    QCOMPARE(f.session.log.BoardKeys.at(0), QString("mail"));
}

void TestLogScanner::fileAndLogSameNumber()
{
    LogIndexFixture f;
    writeFile(f.session.boardListFilePath(), sjis("No.5 ｢旧名｣OLD \r\nNo.9 ｢残る｣KEEP \r\n"));
    f.session.log.LogText = logOf({ boardBlock("No.5 ｢新名｣", "NEW"), boardBlock("No.2 ｢別｣", "TWO") });
    logindex::ScanLog(f.session);
    // One item per number. The exchange sort is not stable: board 2 from the
    // log swaps with the remembered board 5, so the log's board 5 ends first.
    QCOMPARE(f.session.main.Board_List.items, QStringList({ "No.2 ｢別｣", "No.5 ｢新名｣", "No.9 ｢残る｣" }));
    QCOMPARE(f.session.log.BoardKeys.mid(0, 3), QStringList({ "TWO", "NEW", "KEEP" }));

    // Without a smaller number behind it, the remembered line stays first and wins.
    LogIndexFixture g;
    writeFile(g.session.boardListFilePath(), sjis("No.5 ｢旧名｣OLD \r\n"));
    g.session.log.LogText = logOf({ boardBlock("No.5 ｢新名｣", "NEW") });
    logindex::ScanLog(g.session);
    QCOMPARE(g.session.main.Board_List.items, QStringList({ "No.5 ｢旧名｣" }));
    QCOMPARE(g.session.log.BoardKeys.at(0), QString("OLD"));
}

void TestLogScanner::enteredButNotRead()
{
    LogIndexFixture f;
    const QStringList skipped = { kPrompt + "B 7", "No.7 ｢空｣", kReadEnd };
    f.session.log.LogText = logOf({ skipped, boardBlock("No.8 ｢読んだ｣", "EIGHT") });
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.items, QStringList { "No.8 ｢読んだ｣" });

    // Remembered from an earlier log, the board stays listed.
    LogIndexFixture g;
    writeFile(g.session.boardListFilePath(), sjis("No.7 ｢空｣SEVEN \r\n"));
    g.session.log.LogText = f.session.log.LogText;
    logindex::ScanLog(g.session);
    QCOMPARE(g.session.main.Board_List.items, QStringList({ "No.7 ｢空｣", "No.8 ｢読んだ｣" }));
    QCOMPARE(g.session.log.BoardKeys.mid(0, 2), QStringList({ "SEVEN", "EIGHT" }));
}

void TestLogScanner::frozenBoardList()
{
    LogIndexFixture f;
    f.session.Flags[settings::OptionFlags::BoardListFrozen] = QStringLiteral("1");
    const QByteArray file = sjis("No.9 ｢後｣NINE \r\nNo.2 ｢前｣TWO \r\n[XCHAT] No 1.｢部屋｣ \r\n");
    writeFile(f.session.boardListFilePath(), file);
    f.session.log.LogText = logOf({ boardBlock("No.4 ｢新｣", "FOUR") });
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.items, QStringList({ "No.9 ｢後｣", "No.2 ｢前｣" }));
    QCOMPARE(f.session.log.BoardKeys.mid(0, 2), QStringList({ "NINE", "TWO" }));
    QCOMPARE(readFile(f.session.boardListFilePath()), file);
}

void TestLogScanner::noBoards()
{
    LogIndexFixture f;
    f.session.log.LogText = crlfLines({ "CONNECT", kPrompt + "BYE" });
    logindex::ScanLog(f.session);
    QVERIFY(f.session.main.Board_List.isEmpty());
    QCOMPARE(f.session.log.NoBoardsFlag, true);
    QCOMPARE(f.messages.texts(), QStringList { kNoBoards });
    QCOMPARE(f.events.boardClicks, 0);
    QVERIFY(!QFile::exists(f.session.boardListFilePath()));
}

void TestLogScanner::chatRooms()
{
    LogIndexFixture f;
    const QString question = QStringLiteral("何番に入りますか？ ([RET]:終了):");
    auto chat = [&](const QString &room) {
        return QStringList { kPrompt + "X", question + "3", QString(), room, "入室しました。" };
    };
    writeFile(f.session.boardListFilePath(), sjis("No.1 ｢雑談｣CHAT \r\n[XCHAT] No 9.｢古い部屋｣ \r\n"));
    f.session.log.LogText = logOf({ chat(" 3.雑談ルーム (2人)"), boardBlock("No.2 ｢ソフト｣", "SOFT"),
        chat(" 3.雑談ルーム (5人)"), chat(" 1.初心者ルーム"), chat("ルームはありません"), chat("0.閉鎖中") });
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.items,
        QStringList({ "No.1 ｢雑談｣", "No.2 ｢ソフト｣", "[XCHAT] No 1.初心者ルーム",
            "[XCHAT] No 3.雑談ルーム (5人)", "[XCHAT] No 9.｢古い部屋｣" }));
    // Chat rooms carry no key in the file.
    QVERIFY(readFile(f.session.boardListFilePath()).endsWith(sjis("[XCHAT] No 9.｢古い部屋｣ \r\n")));
}

void TestLogScanner::chatRoomRemembered_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("rooms"); // the room lines the host echoes, in turn
    QTest::addColumn<QStringList>("chats");

    QTest::newRow("two remembered items of the room both go")
        << "[XCHAT] No 3.｢昼｣ \r\n[XCHAT] No 3.｢夜｣ \r\n"
        << QStringList { " 3.｢今｣" } << QStringList { "[XCHAT] No 3.｢今｣" };
    QTest::newRow("other rooms stay")
        << "[XCHAT] No 3.｢昼｣ \r\n[XCHAT] No 4.｢夜｣ \r\n"
        << QStringList { " 3.｢今｣" } << QStringList { "[XCHAT] No 3.｢今｣", "[XCHAT] No 4.｢夜｣" };
    QTest::newRow("room line without a dot") << "[XCHAT] No 5 ｢昼｣ \r\n"
                                             << QStringList { " 5" } << QStringList { "[XCHAT] No 5" };
    QTest::newRow("room line without a number") << "" << QStringList { "満室です" } << QStringList();
    QTest::newRow("room 1 is not room 12")
        << "[XCHAT] No12.技術ルーム \r\n"
        << QStringList { "1.雑談ルーム" }
        << QStringList { "[XCHAT] No1.雑談ルーム", "[XCHAT] No12.技術ルーム" };
    QTest::newRow("room 12, then room 1")
        << "" << QStringList { "12.技術ルーム", "1.雑談ルーム" }
        << QStringList { "[XCHAT] No1.雑談ルーム", "[XCHAT] No12.技術ルーム" };
    QTest::newRow("room 3 echoed with a blank")
        << "[XCHAT] No3.雑談ルーム \r\n"
        << QStringList { " 3.雑談ルーム" } << QStringList { "[XCHAT] No 3.雑談ルーム" };
    QTest::newRow("room remembered twice") << "[XCHAT] No3.雑談ルーム \r\n[XCHAT] No3.雑談ルーム \r\n"
                                           << QStringList() << QStringList { "[XCHAT] No3.雑談ルーム" };
    QTest::newRow("room remembered under two names") << "[XCHAT] No 3.｢昼｣ \r\n[XCHAT] No3.｢夜｣ \r\n"
                                                     << QStringList() << QStringList { "[XCHAT] No3.｢夜｣" };
}

void TestLogScanner::chatRoomRemembered()
{
    QFETCH(QString, file);
    QFETCH(QStringList, rooms);
    QFETCH(QStringList, chats);
    LogIndexFixture f;
    writeFile(f.session.boardListFilePath(), sjis("No.1 ｢雑談｣CHAT \r\n" + file));
    QList<QStringList> blocks;
    for (const QString &room : std::as_const(rooms))
        blocks.append({ kPrompt + "X", QStringLiteral("何番に入りますか？ ([RET]:終了):3"), QString(), room,
            QStringLiteral("入室しました。") });
    f.session.log.LogText = logOf(blocks);
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.items, QStringList { "No.1 ｢雑談｣" } + chats);
    QString saved = QStringLiteral("No.1 ｢雑談｣CHAT \r\n");
    for (const QString &chat : std::as_const(chats))
        saved += chat + QStringLiteral(" \r\n");
    QCOMPARE(readFile(f.session.boardListFilePath()), sjis(saved));
}

void TestLogScanner::malformedLogs_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("keys");

    const QString h = kHeader;
    QTest::newRow("board line at the very end")
        << QString("x\r\nNo.4 ｢終｣") << QStringList() << QStringList();
    QTest::newRow("header line is the last line")
        << QString("x\r\nNo.4 ｢a｣\r\n" + kReadEnd + "\r\n" + h) << QStringList() << QStringList();
    QTest::newRow("read end before the header")
        << QString("x\r\nNo.4 ｢a｣\r\n" + kReadEnd + "\r\n" + h + "\r\nK(1/2)\r\n") << QStringList()
        << QStringList();
    QTest::newRow("no read end at all")
        << QString("x\r\nNo.4 ｢a｣\r\n" + h + "\r\nK(1/2)\r\n") << QStringList() << QStringList();
    QTest::newRow("key line without parenthesis keeps to its line")
        << QString("x\r\nNo.4 ｢a｣\r\n" + h + "\r\nNOPAREN\r\n(1/2)\r\n\r\n" + kReadEnd + "\r\n")
        << QStringList { "No.4 ｢a｣" } << QStringList { "NOPAREN" };
    QTest::newRow("key line at the end of the log")
        << QString("x\r\nNo.4 ｢a｣\r\n" + h + "\r\n\r\n" + kReadEnd + "\r\nKEY") << QStringList { "No.4 ｢a｣" }
        << QStringList { "" };
    QTest::newRow("board line without bracket")
        << QString("x\r\nNo.4 plain\r\n" + h + "\r\nK(1/2)\r\n" + kReadEnd + "\r\n") << QStringList()
        << QStringList();
    QTest::newRow("board line at position one is not seen")
        << QString("No.4 ｢a｣\r\n" + h + "\r\nK(1/2)\r\n" + kReadEnd + "\r\n") << QStringList()
        << QStringList();
    QTest::newRow("huge board number")
        << QString("x\r\nNo.99999｢a｣\r\n" + h + "\r\nK(1/2)\r\n" + kReadEnd + "\r\nNo.40000｢b｣\r\n" + h
               + "\r\nL(1/2)\r\n" + kReadEnd + "\r\n")
        << QStringList { "No.40000｢b｣", "No.99999｢a｣" } << QStringList { "L", "K" };
    QTest::newRow("two boards share the next header")
        << QString("x\r\nNo.4 ｢a｣\r\nNo.5 ｢b｣\r\n" + h + "\r\nK(1/2)\r\n" + kReadEnd + "\r\n")
        << QStringList { "No.4 ｢a｣", "No.5 ｢b｣" } << QStringList { "K", "K" };
}

void TestLogScanner::malformedLogs()
{
    QFETCH(QString, log);
    QFETCH(QStringList, items);
    QFETCH(QStringList, keys);
    LogIndexFixture f;
    f.session.log.LogText = log;
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.items, items);
    QCOMPARE(f.session.log.BoardKeys.mid(0, keys.size()), keys);
    QCOMPARE(f.session.log.NoBoardsFlag, items.isEmpty());
}

void TestLogScanner::tablesGrowBeyondFixedSizes()
{
    // 1500 remembered boards in falling order and 10500 board lines in the
    // log (each board entered seven times, no article read): more candidates
    // and boards than the fixed tables held.
    LogIndexFixture f;
    QString file;
    for (int n = 1500; n >= 1; --n)
        file += QStringLiteral("No.%1 ｢板%1｣K%1 \r\n").arg(n);
    writeFile(f.session.boardListFilePath(), sjis(file));
    QStringList lines = { "x" };
    for (int round = 0; round < 7; ++round) {
        for (int n = 1; n <= 1500; ++n)
            lines << QStringLiteral("No.%1 ｢板%1｣").arg(n);
    }
    lines << kReadEnd;
    f.session.log.LogText = crlfLines(lines);
    logindex::ScanLog(f.session);

    const ListBox &list = f.session.main.Board_List;
    QCOMPARE(list.ListCount(), 1500);
    QVERIFY(f.session.log.BoardKeys.size() >= 1500);
    for (int k = 0; k < list.ListCount(); ++k) {
        QCOMPARE(list.item(k), QStringLiteral("No.%1 ｢板%1｣").arg(k + 1));
        QCOMPARE(f.session.log.BoardKeys.at(k), QStringLiteral("K%1").arg(k + 1));
    }
}

void TestLogScanner::keysStayAlignedWithOldSlots()
{
    LogIndexFixture f;
    f.session.log.BoardKeys = QStringList(1001, QStringLiteral("old"));
    f.session.log.LogText = logOf({ boardBlock("No.1 ｢a｣", "A") });
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.log.BoardKeys.at(0), QString("A"));
    QCOMPARE(f.session.log.BoardKeys.at(1), QString("old"));
    QCOMPARE(f.session.log.BoardKeys.size(), 1001);
}

void TestLogScanner::candidatesMatchStepByStepSearch_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<bool>("serial");
    QTest::newRow("plain") << 1 << 3 << false;
    QTest::newRow("many skipped boards") << 2 << 40 << false;
    QTest::newRow("serial headers") << 3 << 5 << true;
}

void TestLogScanner::candidatesMatchStepByStepSearch()
{
    QFETCH(int, variant);
    QFETCH(int, skipped);
    QFETCH(bool, serial);
    LogGeneratorOptions o;
    o.variant = quint32(variant);
    o.boards = 60;
    o.skippedBoards = skipped;
    o.articlesPerBoard = 4;
    o.serial = serial;
    LogIndexFixture f;
    f.session.log.LogText = LogGenerator(o).text();

    LogScanner scanner(f.session);
    scanner.collectBoardsOfLog();
    QStringList entries, keys;
    slowBoardsOfLog(f.session, &entries, &keys);
    QCOMPARE(scanner.entries(), entries);
    QCOMPARE(scanner.keys(), keys);

    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.ListCount(), 1 + o.boards + o.chatRooms);
    QCOMPARE(f.session.log.BoardKeys.at(0), QString("mail"));
    for (int n = 1; n <= o.boards; ++n) {
        QCOMPARE(f.session.main.Board_List.item(n),
            QStringLiteral("No.%1 ｢").arg(n) + LogGenerator::boardTitle(n) + QStringLiteral("｣"));
        QCOMPARE(f.session.log.BoardKeys.at(n), LogGenerator::boardKey(n));
    }
}

void TestLogScanner::cutBoardLineNeverReplacesARememberedOne()
{
    LogIndexFixture f;
    writeFile(f.session.boardListFilePath(), sjis("No.5 ｢旧名｣OLD \r\nNo.9 ｢残る｣KEEP \r\n"));
    // Board 2 behind it would carry the log's board 5 before the remembered one.
    f.session.log.LogText = logOf(
        { boardBlock("No.5 ｢新", "NEW"), boardBlock("No.2 ｢別｣", "TWO"), boardBlock("No.7 ｢切れ", "SEVEN") });
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.items,
        QStringList({ "No.2 ｢別｣", "No.5 ｢旧名｣", "No.7 ｢切れ", "No.9 ｢残る｣" }));
    QCOMPARE(f.session.log.BoardKeys.mid(0, 4), QStringList({ "TWO", "OLD", "SEVEN", "KEEP" }));
    // A new board known only by a cut line is shown, but not kept in a form that reads back as another line.
    const QString saved = cp932::decode(readFile(f.session.boardListFilePath()));
    QCOMPARE(saved, QString("No.2 ｢別｣TWO \r\nNo.5 ｢旧名｣OLD \r\nNo.9 ｢残る｣KEEP \r\n"));
    QCOMPARE(BoardListFile::parse(saved).size(), 3);

    // A whole line of the board later in the log wins over a cut one before it.
    LogIndexFixture g;
    g.session.log.LogText = logOf({ boardBlock("No.4 ｢途", "A"), boardBlock("No.4 ｢途中｣", "A") });
    logindex::ScanLog(g.session);
    QCOMPARE(g.session.main.Board_List.items, QStringList { "No.4 ｢途中｣" });
}

void TestLogScanner::rememberedChatRoomsStay()
{
    // A log without chat after one that entered a room: the room stays listed and saved.
    LogIndexFixture f;
    const QByteArray file = sjis("No.1 ｢雑談｣CHAT \r\n[XCHAT] No1.雑談ルーム \r\n");
    writeFile(f.session.boardListFilePath(), file);
    f.session.log.LogText = logOf({ boardBlock("No.1 ｢雑談｣", "CHAT") });
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.items, QStringList({ "No.1 ｢雑談｣", "[XCHAT] No1.雑談ルーム" }));
    QCOMPARE(readFile(f.session.boardListFilePath()), file);
}

void TestLogScanner::rememberedLinesKeepTheirBytes_data()
{
    QTest::addColumn<QByteArray>("bytes"); // in a remembered line, with no Shift-JIS meaning
    QTest::newRow("lead byte before a blank") << QByteArray("\x81\x20");
    QTest::newRow("unassigned 85 40") << QByteArray("\x85\x40");
    QTest::newRow("unassigned E0 30") << QByteArray("\xE0\x30");
    QTest::newRow("FC FC") << QByteArray("\xFC\xFC");
}

void TestLogScanner::rememberedLinesKeepTheirBytes()
{
    // Lines the scan leaves as they were are written back byte for byte,
    // among the line of a board this log entered.
    QFETCH(QByteArray, bytes);
    LogIndexFixture f;
    const QByteArray board = sjis("No.9 ｢") + bytes + sjis("｣KEEP \r\n");
    const QByteArray room = sjis("[XCHAT] No 4.") + bytes + " \r\n";
    writeFile(f.session.boardListFilePath(), sjis("No.1 ｢雑談｣OLD \r\n") + board + room);
    f.session.log.LogText = logOf({ boardBlock("No.2 ｢ソフト｣", "SOFT") });
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.ListCount(), 4);
    QCOMPARE(readFile(f.session.boardListFilePath()),
        sjis("No.1 ｢雑談｣OLD \r\nNo.2 ｢ソフト｣SOFT \r\n") + board + room);
}

void TestLogScanner::blankLinesBeforeTheKeyLine_data()
{
    QTest::addColumn<int>("blankLines");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
}

void TestLogScanner::blankLinesBeforeTheKeyLine()
{
    QFETCH(int, blankLines);
    LogIndexFixture f;
    QStringList block = boardBlock("No.3 ｢ソフト｣", "SOFT");
    for (int i = 0; i < blankLines; ++i)
        block.insert(4, QString()); // after the header line
    f.session.log.LogText = logOf({ block });
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.items, QStringList { "No.3 ｢ソフト｣" });
    QCOMPARE(f.session.log.BoardKeys.at(0), QString("SOFT"));
}

void TestLogScanner::sortOrderMatchesTheExchangeSort_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("numbers");
    QTest::newRow("few numbers, many repeats") << 1 << 200 << 4;
    QTest::newRow("some repeats") << 2 << 300 << 60;
    QTest::newRow("mostly different") << 3 << 300 << 5000;
    QTest::newRow("one number") << 4 << 50 << 1;
    QTest::newRow("empty") << 5 << 0 << 1;
}

void TestLogScanner::sortOrderMatchesTheExchangeSort()
{
    QFETCH(int, variant);
    QFETCH(int, count);
    QFETCH(int, numbers);
    QRandomGenerator random { quint32(variant) };
    for (int round = 0; round < 20; ++round) {
        QVector<qint64> values;
        for (int i = 0; i < count; ++i)
            values << random.bounded(numbers);
        QVector<qsizetype> literal(values.size());
        QVector<qint64> swapped = values;
        for (qsizetype i = 0; i < literal.size(); ++i)
            literal[i] = i;
        for (qsizetype i = 0; i < swapped.size(); ++i) {
            for (qsizetype j = i + 1; j < swapped.size(); ++j) {
                if (swapped.at(i) > swapped.at(j)) {
                    std::swap(swapped[i], swapped[j]);
                    std::swap(literal[i], literal[j]);
                }
            }
        }
        QCOMPARE(logindex::exchangeSortOrder(values), literal);
    }
}

void TestLogScanner::mergeMatchesTheLiteralSteps_data()
{
    QTest::addColumn<int>("variant");
    QTest::newRow("a") << 11;
    QTest::newRow("b") << 12;
    QTest::newRow("c") << 13;
}

void TestLogScanner::mergeMatchesTheLiteralSteps()
{
    // Remembered boards, boards of the log with the same numbers printed the
    // same way or not, removed candidates and chat rooms: wherever no board
    // line is cut before its "｣", the merge keeps what the literal steps keep.
    QFETCH(int, variant);
    QRandomGenerator random { quint32(variant) };
    LogIndexFixture f;
    LogScanner scanner(f.session);
    QString file;
    QStringList lines = { "x" };
    for (int i = 0; i < 150; ++i) {
        const int n = random.bounded(40);
        const QString number = random.bounded(4) == 0 ? QStringLiteral(" %1").arg(n) : QString::number(n);
        const QString line = QStringLiteral("No.%1 ｢板%2｣").arg(number).arg(random.bounded(3));
        switch (random.bounded(5)) {
        case 0:
            file += line + QStringLiteral("F%1 \r\n").arg(i);
            break;
        case 1:
            file += QStringLiteral("[XCHAT] No%1.部屋 \r\n").arg(n);
            break;
        case 2:
            lines << line << kReadEnd; // entered, nothing read
            break;
        default:
            lines << line << kHeader << QStringLiteral("L%1(1/2)").arg(i) << kReadEnd;
        }
    }
    writeFile(f.session.boardListFilePath(), sjis(file));
    f.session.log.LogText = crlfLines(lines);
    scanner.readBoardListFile();
    scanner.collectBoardsOfLog();
    QStringList entries = scanner.entries();
    QStringList keys = scanner.keys();
    literalSortAndRemove(entries, keys);
    scanner.sortByBoardNumber();
    scanner.removeIncompleteAndRepeated();
    QStringList got = scanner.entries();
    // The chat rooms that the literal steps dropped for lacking "｢" are kept now.
    for (qsizetype i = 0; i < got.size(); ++i) {
        if (got.at(i).startsWith(QStringLiteral("[XCHAT]")) && !got.at(i).contains(QStringLiteral("｢")))
            got[i].clear();
    }
    QCOMPARE(got, entries);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (!entries.at(i).isEmpty())
            QCOMPARE(scanner.keys().at(i), keys.at(i));
    }
}

void TestLogScanner::chatRoomsMatchTheLiteralSteps_data()
{
    QTest::addColumn<int>("variant");
    QTest::newRow("a") << 21;
    QTest::newRow("b") << 22;
    QTest::newRow("c") << 23;
}

void TestLogScanner::chatRoomsMatchTheLiteralSteps()
{
    // Rooms 1 to 30 written with and without a blank, rooms whose number
    // begins another's (room 1 and room 12), items that carry "[XCHAT] No"
    // inside, questions without a room line: the same list as the literal steps.
    QFETCH(int, variant);
    QRandomGenerator random { quint32(variant) };
    const QString question = QStringLiteral("何番に入りますか？ ([RET]:終了):");
    const auto room = [&] {
        const int n = 1 + random.bounded(30);
        switch (random.bounded(4)) {
        case 0:
            return QStringLiteral(" %1.部屋%2").arg(n).arg(random.bounded(3));
        case 1:
            return QStringLiteral("%1").arg(n);
        case 2:
            return QStringLiteral("満室");
        default:
            return QStringLiteral("%1.部屋").arg(n);
        }
    };
    QStringList items = { QStringLiteral("No.1 ｢[XCHAT] No2 の話｣"), QStringLiteral("No.4 ｢板｣") };
    for (int i = 0; i < 40; ++i)
        items << QStringLiteral("[XCHAT] No") + room()
                + (random.bounded(5) == 0 ? QStringLiteral(" [XCHAT] No7") : QString());
    QStringList lines = { QStringLiteral("x") };
    for (int i = 0; i < 300; ++i)
        lines << question + QStringLiteral("3") << QString() << room() << QStringLiteral("入室しました。");
    LogIndexFixture f;
    f.session.log.LogText = crlfLines(lines);
    f.session.main.Board_List.items = items;
    LogScanner scanner(f.session);
    scanner.addChatRoomsOfLog();
    scanner.sortChatRooms();
    QCOMPARE(f.session.main.Board_List.items, literalChatRooms(items, f.session.log.LogText, question));
}

void TestLogScanner::boardsAsValues()
{
    // The scan reads each item once: the values stand beside the list, keys
    // paired as BoardKeys pairs them, until the list is filled another way.
    LogIndexFixture f;
    const QString question = QStringLiteral("何番に入りますか？ ([RET]:終了):");
    writeFile(f.session.boardListFilePath(), sjis("No.1 ｢雑談｣CHAT \r\n[XCHAT] No 9.｢古い部屋｣ \r\n"));
    f.session.log.LogText
        = logOf({ boardBlock("No.0 ｢メールボックス｣", "mail "), boardBlock("No.12｢ソフト｣", "SOFT"),
            { kPrompt + "X", question + "3", QString(), " 3.雑談ルーム", "入室しました。" } });
    logindex::ScanLog(f.session);
    QCOMPARE(f.session.main.Board_List.items,
        QStringList({ "No.0 ｢メールボックス｣", "No.1 ｢雑談｣", "No.12｢ソフト｣", "[XCHAT] No 3.雑談ルーム",
            "[XCHAT] No 9.｢古い部屋｣" }));
    const std::vector<BoardItem> &boards = f.session.log.LogBoards;
    QCOMPARE(boards.size(), size_t(5));
    QCOMPARE(boards[0].kind, BoardItem::Kind::Mail);
    QCOMPARE(boards[0].key, QStringLiteral("mail"));
    QCOMPARE(boards[1].kind, BoardItem::Kind::Board);
    QCOMPARE(boards[1].number, qint64(1));
    QCOMPARE(boards[1].name, QStringLiteral("雑談"));
    QCOMPARE(boards[1].key, QStringLiteral("CHAT"));
    QCOMPARE(boards[2].number, qint64(12));
    QCOMPARE(boards[2].key, QStringLiteral("SOFT"));
    QCOMPARE(boards[3].kind, BoardItem::Kind::Chat);
    QCOMPARE(boards[3].number, qint64(3));
    QCOMPARE(boards[3].key, QString());
    QCOMPARE(boards[4].number, qint64(9));
    QCOMPARE(boardItems(f.session), boards);
    QCOMPARE(selectedBoardItem(f.session), boards[0]);
    QCOMPARE(boardItemAt(f.session, 4), boards[4]);
    QCOMPARE(boardItemAt(f.session, 5), BoardItem::fromText(QString()));

    // A list filled another way is read as it stands.
    f.session.main.Board_List.items = QStringList { "[XCHAT] No 2.部屋", "No.4 ｢四｣" };
    f.session.log.BoardKeys[0] = QStringLiteral("FOUR");
    const std::vector<BoardItem> now = boardItems(f.session);
    QCOMPARE(now.size(), size_t(2));
    QCOMPARE(now[0], BoardItem::fromText("[XCHAT] No 2.部屋"));
    QCOMPARE(now[1], BoardItem::fromText("No.4 ｢四｣", "FOUR"));
    QCOMPARE(boardItemAt(f.session, 1), now[1]);
    // A key changed under the same items is the one read.
    f.session.main.Board_List.items = QStringList { "No.0 ｢メールボックス｣" };
    f.session.log.LogBoards = { BoardItem::fromText("No.0 ｢メールボックス｣", "mail") };
    f.session.log.BoardKeys[0] = QStringLiteral("MAIL2");
    QCOMPARE(boardItemAt(f.session, 0).key, QStringLiteral("MAIL2"));
}

QTEST_GUILESS_MAIN(TestLogScanner)
#include "tst_logscanner.moc"
