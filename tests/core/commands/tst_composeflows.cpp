// Whole writing flows on a real log: the board chosen and the article shown by
// the reader, a letter key pressed in the title list, the real editor (a
// script that saves a prepared text), the bytes of the up file afterwards and
// the mark rows that the rebuilt title list shows for them.
#include "ReaderModes.h"
#include "WritingFixture.h"

#include "base/Text.h"
#include "commands/StartingText.h"
#include "moveres/MoveTable.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

#include <algorithm>

using namespace kavrel;
using namespace kavrel::test;
using namespace kavrel::test::writinglogs;
using commands::startingtext::TrailingLineEnd;

namespace {

const QString kW1 = QStringLiteral("\\ 12\r\nW一通目\r\n最初の書き込み\r\n.\r\nyQ");
const QString kW2 = QStringLiteral("\\ 12\r\nW二通目\r\n二番目の書き込み\r\n.\r\nyQ");
const QString kW3 = QStringLiteral("\\ 12\r\nW三通目\r\n三番目の書き込み\r\n.\r\nyQ");
const QString kResp1 = QStringLiteral("\\ 12\r\n305\r\nPRe:今日の一枚\r\n最初のレス\r\n.\r\nyQ");

// The standard net with its log open and, when given, an up file.
void standardNet(WritingFixture &f, const QString &upFile = QString())
{
    if (!upFile.isEmpty())
        f.setUpFile(upFile);
    f.open(standardLog());
}

QByteArray b(const QString &text)
{
    return sjis(text);
}

// Passes the reader's commands on to the compose commands and notes how deep
// they run inside each other.
struct NestingProbe : ComposeHost
{
    ComposeHost *inner = nullptr;
    QList<ReaderCommand> commands;
    int depth = 0;
    int deepest = 0;
    void runCommand(ReaderCommand command, ComposeDone done) override
    {
        commands.append(command);
        deepest = std::max(deepest, ++depth);
        inner->runCommand(command, std::move(done));
        --depth;
    }
};

// The ID list item whose entry is the given ID.
int idItem(const commands::IdListWindow &w, const QString &id)
{
    for (int i = 0; i < w.items.size(); ++i) {
        if (w.items.at(i).contains(id + u':'))
            return i;
    }
    return -1;
}

} // namespace

class tst_ComposeFlows : public QObject
{
    Q_OBJECT

private slots:
    void writeOnBoard();
    void writeOnMailBoxDoesNothing();
    void responseWithoutMoveTarget();
    void responseWithMoveTarget();
    void moveTargetOfTheFirstBoardShown();
    void moveResponseToAnotherBoard();
    void moveResponseCancelled();
    void moveResponseFromMailBox();
    void rewriteSecondOfThreeWrites();
    void deleteSecondOfThreeWrites_data();
    void deleteSecondOfThreeWrites();
    void deleteTheLastCommandLeavesAnEmptyUpFile();
    void cancelledDeleteLeavesTheUpFileAndItsBackup_data();
    void cancelledDeleteLeavesTheUpFileAndItsBackup();
    void responseOnAWriteMarkDoesNothing();
    void mailToSixteenAndSeventeenRecipients();
    void replyToReceivedMail();
    void batchSetTwice();
    void serialNetResponse();
    void serialNumbersOfOtherLengths_data();
    void serialNumbersOfOtherLengths();
    void chatWrite_data();
    void chatWrite();
    void mailRewrite();
    void mailRewriteEscapedKeepsTheMail();

    // Mends.
    void editorThatCannotStartKeepsTheWaitingCommand();
    void unencodableTextCanBeEditedAgain();
    void unencodableTextCancelledIsKept();
    void utf8EditorText();
    void responseRewriteClosedUnsavedKeepsTheResponse();
    void responseRewriteKeepsItsReference();
    void emptiedResponseRewriteRemovesTheUpFile();
    void writeRewrittenToNothing_data();
    void writeRewrittenToNothing();
    void rewriteStaysOnItsBoard_data();
    void rewriteStaysOnItsBoard();
    void writeRewriteClosedUnsavedKeepsItsPlace_data();
    void writeRewriteClosedUnsavedKeepsItsPlace();
    void replyToMailWithoutReadableSender();
    void responsesToArticlesOfAnEarlierLog();
};

void tst_ComposeFlows::writeOnBoard()
{
    WritingFixture f;
    standardNet(f);
    f.select(f.boardOf(12), 0);
    f.script.willWrite(QStringLiteral("Hello\r\nWorld"));
    f.press('W');

    QCOMPARE(f.messages.texts(), QStringList { QStringLiteral("書き込みを書き換えますか？") });
    QCOMPARE(f.messages.shown.first().buttons, MsgButtons::OkCancel);
    QCOMPARE(f.messages.shown.first().icon, MsgIcon::Critical);
    // The example write: backslash, blank, 12 / W Hello / World / . / yQ.
    QCOMPARE(f.upBytes(), QByteArray("\\ 12\r\nWHello\r\nWorld\r\n.\r\nyQ"));
    // The editor got TEMP.TXT as its one argument, from a path with blanks,
    // and a new write starts without a file.
    QCOMPARE(f.script.lastArguments(), QStringList { f.tempPath() });
    QVERIFY(!f.script.lastStartedWithFile());
    QVERIFY(!QFile::exists(f.tempPath()));
    QCOMPARE(f.titles(), (QStringList { "[305]", " [306]", "[307]", "[書込 1]" }));
    QCOMPARE(readerModeName(f.session.reading.LastWrittenKind), QStringLiteral("Write"));
    QVERIFY(f.session.main.visible);

    // A second write, in Japanese, follows the first; the mark shows it.
    f.script.willWrite(QStringLiteral("週末の予定\r\n釣りに行きます。"));
    f.press('W');
    QCOMPARE(f.upBytes(),
        b(QStringLiteral(
            "\\ 12\r\nWHello\r\nWorld\r\n.\r\nyQ\\ 12\r\nW週末の予定\r\n釣りに行きます。\r\n.\r\nyQ")));
    QCOMPARE(f.marks(), (QStringList { "[書込 1]", "[書込 2]" }));
    f.click(QStringLiteral("[書込 2]"));
    QCOMPARE(f.session.main.Article.items, (QStringList { "週末の予定", "釣りに行きます。" }));
    // Board 1 is not board 12.
    f.select(f.boardOf(1));
    QCOMPARE(f.marks(), QStringList {});
}

void tst_ComposeFlows::writeOnMailBoxDoesNothing()
{
    WritingFixture f;
    standardNet(f);
    f.select(f.boardOf(0), 0);
    f.press('W');
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(f.script.runs(), 0);
    QVERIFY(!QFile::exists(f.upPath()));
}

void tst_ComposeFlows::responseWithoutMoveTarget()
{
    WritingFixture f;
    standardNet(f);
    f.select(f.boardOf(12), 0);
    const QStringList article = f.session.main.Article.items;
    QCOMPARE(article.first(), QStringLiteral("HOBBY(305/308) 26/12/06 09:00:12 今日の一枚"));
    f.script.willWrite(QStringLiteral("Re:今日の一枚\r\n>近所の公園で撮った夕焼けです。\r\nきれいですね"));
    f.press('P');

    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(f.script.lastStartingBytes(), b(commands::startingtext::quote(article, TrailingLineEnd::Keep)));
    QVERIFY(f.script.lastStartingBytes().startsWith(b(QStringLiteral(">HOBBY(305/308) 26/12/06"))));
    QCOMPARE(f.upBytes(),
        b(QStringLiteral(
            "\\ 12\r\n305\r\nPRe:今日の一枚\r\n>近所の公園で撮った夕焼けです。\r\nきれいですね\r\n.\r\nyQ")));
    // The mark goes below the whole thread of article 305.
    QCOMPARE(f.titles(), (QStringList { "[305]", " [306]", "[レス 1]", "[307]" }));
    QVERIFY(f.session.main.titleHasFocus);
    QVERIFY(QFile::exists(f.tempPath())); // a response leaves TEMP.TXT in place
    f.click(QStringLiteral("[レス 1]"));
    QCOMPARE(f.session.main.Article.items,
        (QStringList { "Re:今日の一枚", ">近所の公園で撮った夕焼けです。", "きれいですね" }));
    // A response to board 12 is no response to board 1.
    f.select(f.boardOf(1));
    QCOMPARE(f.marks(), QStringList {});
}

void tst_ComposeFlows::responseWithMoveTarget()
{
    WritingFixture f;
    QStringList table = moveres::decodeMoveTable({});
    table[12] = QStringLiteral("7");
    writeFile(moveres::moveFilePath(f.session), moveres::encodeMoveTable(table));
    standardNet(f);
    f.select(f.boardOf(12), 0);
    QCOMPARE(f.session.main.To_No.Caption, QStringLiteral("7"));
    const QStringList article = f.session.main.Article.items;
    f.script.willWrite(QStringLiteral("Re:今日の一枚\r\nこちらに書きます"));
    NestingProbe probe;
    probe.inner = &f.compose;
    f.session.compose = &probe;
    f.press('P');

    // The response ends before the write it goes on as begins.
    QCOMPARE(probe.commands, (QList<ReaderCommand> { ReaderCommand::Respond, ReaderCommand::Write }));
    QCOMPARE(probe.deepest, 1);
    QCOMPARE(f.messages.texts(), QStringList { QStringLiteral("書き込みを書き換えますか？") });
    QCOMPARE(f.script.lastStartingBytes(), b(commands::startingtext::quote(article, TrailingLineEnd::Keep)));
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 7\r\nWRe:今日の一枚\r\nこちらに書きます\r\n.\r\nyQ")));
    QCOMPARE(readerModeName(f.session.reading.LastWrittenKind), QStringLiteral("Write"));
    QCOMPARE(f.marks(), QStringList {});
    f.select(f.boardOf(7));
    QCOMPARE(f.titles(), (QStringList { "[50]", "[書込 1]" }));
}

void tst_ComposeFlows::moveTargetOfTheFirstBoardShown()
{
    // A log without a mail box opens on board 12, whose target is 7.
    WritingFixture f;
    QStringList table = moveres::decodeMoveTable({});
    table[12] = QStringLiteral("7");
    writeFile(moveres::moveFilePath(f.session), moveres::encodeMoveTable(table));
    QString log = standardLog();
    log.remove(0, log.indexOf(QStringLiteral("Main Command(?:Help)>RN 12")));
    f.open(log);
    QCOMPARE(f.session.main.Board_List.selectedText(), kBoard12);
    QCOMPARE(f.session.main.Title.selectedText(), QStringLiteral("[305]"));
    QCOMPARE(f.session.main.To_No.Caption, QStringLiteral("7"));
    f.script.willWrite(QStringLiteral("Re:今日の一枚\r\nこちらに書きます"));
    f.press('P');
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 7\r\nWRe:今日の一枚\r\nこちらに書きます\r\n.\r\nyQ")));
}

void tst_ComposeFlows::moveResponseToAnotherBoard()
{
    WritingFixture f;
    standardNet(f);
    f.select(f.boardOf(12), 0);
    const QStringList article = f.session.main.Article.items;
    f.press('G');

    auto &w = f.compose.moveWindow();
    QVERIFY(w.visible);
    QVERIFY(!f.session.main.enabled);
    QVERIFY(!w.ido_board_list.enabled);
    QCOMPARE(w.ido_board_list.items, QStringList { kBoard12 });
    QCOMPARE(w.ido_board_list2.items, (QStringList { kMailBox, kBoard1, kBoard7, kBoard12 }));
    QCOMPARE(w.ido_board_list2.ListIndex, 3);
    QCOMPARE(w.IDO_TEXT, QStringLiteral("なし"));

    w.selectTarget(2);
    f.script.willWrite(QStringLiteral("Re:今日の一枚\r\nお知らせ板へ"));
    w.saveMoveTable();

    QVERIFY(!w.visible);
    QVERIFY(f.session.main.enabled);
    QCOMPARE(f.script.lastStartingBytes(), b(commands::startingtext::quote(article, TrailingLineEnd::Keep)));
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 7\r\nWRe:今日の一枚\r\nお知らせ板へ\r\n.\r\nyQ")));
    // One response only: the table is reloaded and was never saved.
    QCOMPARE(f.session.main.To_No.Caption, QStringLiteral("なし"));
    QVERIFY(!QFile::exists(moveres::moveFilePath(f.session)));
    QCOMPARE(readerModeName(f.session.reading.LastWrittenKind), QStringLiteral("Write"));
    QCOMPARE(f.marks(), QStringList {});
    f.select(f.boardOf(7));
    QCOMPARE(f.marks(), QStringList { "[書込 1]" });
}

void tst_ComposeFlows::moveResponseCancelled()
{
    WritingFixture f;
    standardNet(f);
    f.select(f.boardOf(12), 0);
    f.press('G');
    f.compose.moveWindow().pressCancelButton();
    QVERIFY(f.session.reading.LastWrittenKind == ReaderMode::None);
    QCOMPARE(f.script.runs(), 0);
    QVERIFY(f.session.main.enabled);
    QVERIFY(!QFile::exists(f.upPath()));
}

void tst_ComposeFlows::moveResponseFromMailBox()
{
    WritingFixture f;
    standardNet(f);
    f.select(f.boardOf(0));
    QCOMPARE(f.titles(), (QStringList { "[mail ]", "[mail ]", "[3]" }));
    // A received mail row is no article to move a response from.
    f.press('G');
    QVERIFY(!f.compose.moveWindow().visible);

    f.click(QStringLiteral("[3]")); // a numbered mail: G is open to it
    const QStringList article = f.session.main.Article.items;
    QCOMPARE(article.first(), QStringLiteral("mail(3/5) 26/12/05 10:00:00 メンテナンスのお知らせ"));
    f.press('G');
    auto &w = f.compose.moveWindow();
    QCOMPARE(w.IDO_TEXT, QStringLiteral("不可"));
    QVERIFY(!w.IDO_TEXT_Enabled);

    w.selectTarget(2);
    w.saveMoveTable();
    // The move-response became a mail reply: the recipient window is open.
    auto &ids = f.compose.idListWindow();
    QVERIFY(ids.visible);
    QCOMPARE(ids.Caption, QStringLiteral("宛先ＩＤ選択"));
    QCOMPARE(readerModeName(f.session.reading.LastWrittenKind), QStringLiteral("mail"));
    QCOMPARE(f.session.main.To_No.Caption, QStringLiteral("なし"));
    QVERIFY(!f.session.main.To_No.enabled);

    ids.setSelected(idItem(ids, QStringLiteral("0001")), true);
    f.script.willWrite(QStringLiteral("Re:メンテナンス\r\n了解しました"));
    ids.takeChosenIds();
    QCOMPARE(
        f.script.lastStartingBytes(), b(commands::startingtext::quote(article, TrailingLineEnd::Remove)));
    QCOMPARE(f.upBytes(), b(QStringLiteral("mw\r\n 1\r\n\r\n\r\nRe:メンテナンス\r\n了解しました\r\n.\r\ny")));
    QVERIFY(!ids.visible);
    QVERIFY(f.session.main.enabled);
    QCOMPARE(f.titles(), (QStringList { "[mail ]", "[mail ]", "[3]", "[手紙 1]" }));
}

void tst_ComposeFlows::rewriteSecondOfThreeWrites()
{
    WritingFixture f;
    const QString signPath = f.dir.path() + QStringLiteral("/sign.txt");
    writeFile(signPath, b(QStringLiteral("-- 署名")));
    f.session.NetTable[0][settings::NetRecord::Sign_Path] = signPath;
    f.session.Flags[settings::OptionFlags::SignatureOn] = QStringLiteral("1");
    standardNet(f, kW1 + kW2 + kW3);
    f.select(f.boardOf(12));
    QCOMPARE(f.marks(), (QStringList { "[書込 1]", "[書込 2]", "[書込 3]" }));
    f.click(QStringLiteral("[書込 2]"));
    QCOMPARE(f.session.main.Article.items, (QStringList { "二通目", "二番目の書き込み" }));

    f.script.willWrite(QStringLiteral("二通目（改）\r\n書き直しました"));
    f.press('E');

    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(f.script.lastStartingBytes(), b(QStringLiteral("二通目\r\n二番目の書き込み")));
    // The rewrite goes to the end and gets no signature.
    QCOMPARE(
        f.upBytes(), b(kW1 + kW3 + QStringLiteral("\\ 12\r\nW二通目（改）\r\n書き直しました\r\n.\r\nyQ")));
    QCOMPARE(readFile(f.upPath() + QStringLiteral(".bak")), b(kW1 + kW2 + kW3));
    QCOMPARE(f.marks(), (QStringList { "[書込 1]", "[書込 2]", "[書込 3]" }));
    f.click(QStringLiteral("[書込 2]"));
    QCOMPARE(f.session.main.Article.items, (QStringList { "三通目", "三番目の書き込み" }));
    f.click(QStringLiteral("[書込 3]"));
    QCOMPARE(f.session.main.Article.items, (QStringList { "二通目（改）", "書き直しました" }));
}

void tst_ComposeFlows::deleteSecondOfThreeWrites_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ok") << MsgAnswer::Ok << kW1 + kW3;
    QTest::newRow("cancel") << MsgAnswer::Cancel << kW1 + kW2 + kW3;
}

void tst_ComposeFlows::deleteSecondOfThreeWrites()
{
    QFETCH(MsgAnswer, answer);
    QFETCH(QString, expected);
    WritingFixture f;
    standardNet(f, kW1 + kW2 + kW3);
    f.select(f.boardOf(12));
    const int row = f.rowOf(QStringLiteral("[書込 2]"));
    f.click(QStringLiteral("[書込 2]"));
    f.messages.answers = { answer };
    f.press('D');

    QCOMPARE(f.messages.texts(), QStringList { QStringLiteral("書き込みを削除しますか？") });
    QCOMPARE(f.messages.shown.first().icon, MsgIcon::Critical);
    QCOMPARE(f.messages.shown.first().defaultAnswer, MsgAnswer::Cancel);
    QCOMPARE(f.session.upFile.text(), expected);
    QCOMPARE(f.upBytes(), b(expected));
    QCOMPARE(f.script.runs(), 0);
    if (answer == MsgAnswer::Ok) {
        QCOMPARE(f.session.main.Title.ListIndex, row - 1);
        QCOMPARE(f.marks(), (QStringList { "[書込 1]", "[書込 2]" }));
        QCOMPARE(f.session.main.Article.items, (QStringList { "一通目", "最初の書き込み" }));
        f.click(QStringLiteral("[書込 2]"));
        QCOMPARE(f.session.main.Article.items, (QStringList { "三通目", "三番目の書き込み" }));
        QCOMPARE(readFile(f.upPath() + QStringLiteral(".bak")), b(kW1 + kW2 + kW3));
    } else {
        QCOMPARE(f.marks(), (QStringList { "[書込 1]", "[書込 2]", "[書込 3]" }));
    }
}

void tst_ComposeFlows::deleteTheLastCommandLeavesAnEmptyUpFile()
{
    WritingFixture f;
    standardNet(f, kW1);
    f.select(f.boardOf(12));
    f.click(QStringLiteral("[書込 1]"));
    f.messages.answers = { MsgAnswer::Ok };
    f.press('D');
    QVERIFY(QFile::exists(f.upPath()));
    QCOMPARE(f.upBytes(), QByteArray());
    QCOMPARE(f.marks(), QStringList {});
}

void tst_ComposeFlows::cancelledDeleteLeavesTheUpFileAndItsBackup_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QByteArray>("edited"); // what the editor saves; empty: closed unsaved
    QTest::newRow("after W") << QStringLiteral("[307]") << QStringLiteral("W")
                             << b(QStringLiteral("新しい話\r\n本文"));
    QTest::newRow("after E closed unsaved")
        << QStringLiteral("[書込 2]") << QStringLiteral("E") << QByteArray();
    QTest::newRow("after S twice") << QStringLiteral("[307]") << QStringLiteral("SS") << QByteArray();
}

void tst_ComposeFlows::cancelledDeleteLeavesTheUpFileAndItsBackup()
{
    // Nothing is deleted, so nothing is written: the backup keeps the
    // generation before the last change.
    QFETCH(QString, row);
    QFETCH(QString, keys);
    QFETCH(QByteArray, edited);
    WritingFixture f;
    standardNet(f, kW1 + kW2 + kW3);
    f.select(f.boardOf(12));
    f.click(row);
    if (!edited.isEmpty())
        f.script.willWrite(edited);
    for (const QChar key : keys)
        f.press(char(key.unicode()));
    const QString bak = f.upPath() + QStringLiteral(".bak");
    const QByteArray up = f.upBytes();
    const bool hadBackup = QFile::exists(bak);
    const QByteArray backup = readFile(bak);

    f.click(QStringLiteral("[書込 1]"));
    f.messages.answers = { MsgAnswer::Cancel };
    f.press('D');
    QCOMPARE(f.messages.texts().last(), QStringLiteral("書き込みを削除しますか？"));
    QCOMPARE(f.upBytes(), up);
    QCOMPARE(QFile::exists(bak), hadBackup);
    QCOMPARE(readFile(bak), backup);
}

void tst_ComposeFlows::responseOnAWriteMarkDoesNothing()
{
    WritingFixture f;
    standardNet(f, kW1);
    f.select(f.boardOf(12));
    f.click(QStringLiteral("[書込 1]"));
    f.press('P');
    QCOMPARE(f.script.runs(), 0);
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(f.upBytes(), b(kW1));
}

void tst_ComposeFlows::mailToSixteenAndSeventeenRecipients()
{
    WritingFixture f;
    QString ids;
    for (int i = 1; i <= 17; ++i)
        ids += QStringLiteral("%1:会員%2\r\n").arg(100 + i).arg(i);
    writeFile(f.idListPath(), b(ids));
    standardNet(f);
    f.select(f.boardOf(0), 0);
    f.press('M');
    auto &w = f.compose.idListWindow();
    QVERIFY(w.visible);
    // The list file's entries, then the senders of the log.
    QCOMPARE(w.items.size(), 17 + 4);
    QCOMPARE(w.items.first(), QStringLiteral("  101:会員1"));
    for (int i = 0; i < 17; ++i)
        w.setSelected(i, true);
    w.takeChosenIds();
    QCOMPARE(f.messages.texts(), QStringList { QStringLiteral("同報メールは１６件までです") });
    QVERIFY(w.visible);
    QCOMPARE(f.script.runs(), 0);

    w.setSelected(16, false);
    f.script.willWrite(QStringLiteral("会議\r\n明日十時からです"));
    w.takeChosenIds();
    QString expected = QStringLiteral("mw\r\n");
    QString recipients;
    for (int i = 1; i <= 16; ++i) {
        expected += QStringLiteral(" %1\r\n\r\n").arg(100 + i);
        recipients += QStringLiteral(" %1").arg(100 + i);
    }
    expected += QStringLiteral("\r\n会議\r\n明日十時からです\r\n.\r\ny");
    QCOMPARE(f.upBytes(), b(expected));
    QVERIFY(!w.visible);
    const int mark = f.rowOf(QStringLiteral("[手紙 1]"));
    QCOMPARE(mark, 3);
    QCOMPARE(f.session.main.InfoColumn.item(mark), recipients);
    QCOMPARE(f.session.main.SubjectColumn.item(mark), QStringLiteral("会議"));
}

void tst_ComposeFlows::replyToReceivedMail()
{
    WritingFixture f;
    standardNet(f);
    f.session.composing.Recipients = QStringLiteral("  100\r\n  300\r\n"); // an earlier mail's
    f.select(f.boardOf(0), 0);
    const QStringList article = f.session.main.Article.items;
    QCOMPARE(article.value(1), QStringLiteral("    412 bytes 0200:山田花子 "));
    f.script.willWrite(
        QStringLiteral("Re:来週の集まりについて\r\n>オフ会は駅前の喫茶店に１４時集合です。\r\n参加します"));
    f.press('P');

    QCOMPARE(f.session.composing.Recipients, QStringLiteral(" 0200\r\n"));
    QCOMPARE(f.script.lastStartingBytes(), b(commands::startingtext::quote(article, TrailingLineEnd::Keep)));
    QCOMPARE(f.upBytes(),
        b(QStringLiteral("mw\r\n 200\r\n\r\n\r\nRe:来週の集まりについて\r\n"
                         ">オフ会は駅前の喫茶店に１４時集合です。\r\n参加します\r\n.\r\ny")));
    QVERIFY(!f.compose.idListWindow().visible);
    QCOMPARE(f.marks(), QStringList { "[手紙 1]" });
    f.click(QStringLiteral("[手紙 1]"));
    QCOMPARE(f.session.main.Article.items,
        (QStringList { "Re:来週の集まりについて", ">オフ会は駅前の喫茶店に１４時集合です。", "参加します" }));
}

void tst_ComposeFlows::batchSetTwice()
{
    WritingFixture f;
    standardNet(f, kW1);
    f.select(f.boardOf(12));
    const int row = f.rowOf(QStringLiteral("[307]"));
    f.reader.chooseRow(row);
    f.press('S');
    QCOMPARE(f.upBytes(), b(kW1 + QStringLiteral("\\ 12\r\n 307\r\nSQ")));
    QCOMPARE(f.session.main.BatchSet.item(row), QStringLiteral("S"));
    // The mark comes back from the up file when the board is built again.
    f.select(f.boardOf(1));
    f.select(f.boardOf(12), row);
    QCOMPARE(f.session.main.BatchSet.items, (QStringList { " ", " ", "S", " " }));
    QCOMPARE(f.marks(), QStringList { "[書込 1]" });
    f.press('S', 2); // Ctrl+S is not the batch mark
    QCOMPARE(f.session.main.BatchSet.item(row), QStringLiteral("S"));
    f.press('S');
    QCOMPARE(f.upBytes(), b(kW1));
    QCOMPARE(f.session.main.BatchSet.item(row), QStringLiteral(" "));
    f.select(f.boardOf(1));
    f.select(f.boardOf(12));
    QCOMPARE(f.session.main.BatchSet.items, (QStringList { " ", " ", " ", " " }));
}

void tst_ComposeFlows::serialNetResponse()
{
    WritingFixture f(WritingFixture::Net::Serial);
    f.open(serialLog());
    f.select(0, 0);
    QCOMPARE(f.session.main.SubjectColumn.item(0).right(6), QStringLiteral("204501"));
    f.script.willWrite(QStringLiteral("Re:朝市の案内\r\n行ってみます"));
    f.press('P');
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 5\r\n%204501\r\nPRe:朝市の案内\r\n行ってみます\r\n.\r\nyQ")));
    QCOMPARE(f.titles(), (QStringList { "[5010]", " [5011]", "[レス 1]", "[5012]" }));
    QVERIFY(f.session.main.SubjectColumn.item(2).startsWith(QStringLiteral("Re:朝市の案内")));
    QVERIFY(f.session.main.SubjectColumn.item(2).endsWith(QString(200, u' ') + QStringLiteral("204501")));

    // The rewrite keeps the serial reference.
    f.click(QStringLiteral("[レス 1]"));
    f.script.willWrite(QStringLiteral("Re:朝市の案内\r\n家族で行きます"));
    f.press('E');
    QCOMPARE(
        f.upBytes(), b(QStringLiteral("\\ 5\r\n%204501\r\nPRe:朝市の案内\r\n家族で行きます\r\n.\r\nyQ")));
    QCOMPARE(f.titles(), (QStringList { "[5010]", " [5011]", "[レス 1]", "[5012]" }));
}

void tst_ComposeFlows::serialNumbersOfOtherLengths_data()
{
    QTest::addColumn<QString>("serial");
    QTest::newRow("four digits") << QStringLiteral("4501");
    QTest::newRow("seven digits") << QStringLiteral("1204501");
}

void tst_ComposeFlows::serialNumbersOfOtherLengths()
{
    // The reference names the serial number whole: no blanks, no digits cut.
    QFETCH(QString, serial);
    WritingFixture f(WritingFixture::Net::Serial);
    f.open(serialLog().replace(QStringLiteral("■■204501"), QStringLiteral("■■") + serial));
    f.select(0, 0);
    f.script.willWrite(QStringLiteral("Re:朝市の案内\r\n行ってみます"));
    f.press('P');
    QCOMPARE(f.upBytes(),
        b(QStringLiteral("\\ 5\r\n%") + serial
            + QStringLiteral("\r\nPRe:朝市の案内\r\n行ってみます\r\n.\r\nyQ")));
    QCOMPARE(f.titles(), (QStringList { "[5010]", " [5011]", "[レス 1]", "[5012]" }));
}

void tst_ComposeFlows::chatWrite_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<QString>("expected");
    const QString waiting = QStringLiteral("X1\r\nこんばんは\r\n.\r\n");
    const QString written = QStringLiteral("X1\r\nこんばんは、また来ました\r\n二行目\r\n.\r\n");
    QTest::newRow("ok replaces") << MsgAnswer::Ok << written;
    QTest::newRow("cancel adds") << MsgAnswer::Cancel << waiting + written;
}

void tst_ComposeFlows::chatWrite()
{
    QFETCH(MsgAnswer, answer);
    QFETCH(QString, expected);
    WritingFixture f;
    standardNet(f, QStringLiteral("X1\r\nこんばんは\r\n.\r\n"));
    f.select(f.chatRoom());
    QCOMPARE(f.titles(), (QStringList { "[XCHAT]", "[書込]" }));
    f.messages.answers = { answer };
    f.script.willWrite(QStringLiteral("こんばんは、また来ました\r\n\r\n二行目"));
    f.press('E'); // E on a chat board is W
    QCOMPARE(f.upBytes(), b(expected));
    if (answer == MsgAnswer::Ok)
        QCOMPARE(f.script.lastStartingBytes(), b(QStringLiteral("こんばんは\r\n")));
    else
        QVERIFY(!f.script.lastStartedWithFile());
    QCOMPARE(f.titles(), (QStringList { "[XCHAT]", "[書込]" }));
}

void tst_ComposeFlows::mailRewrite()
{
    WritingFixture f;
    const QString mail1 = QStringLiteral("mw\r\n 300\r\n\r\n\r\n一通目\r\nこんにちは\r\n.\r\ny");
    // A text line beginning with "y" does not end the waiting mail.
    const QString mail2 = QStringLiteral("mw\r\n 200\r\n\r\n\r\n二通目\r\nyoroshiku\r\nではまた\r\n.\r\ny");
    standardNet(f, mail1 + mail2);
    f.select(f.boardOf(0));
    QCOMPARE(f.marks(), (QStringList { "[手紙 1]", "[手紙 2]" }));
    f.click(QStringLiteral("[手紙 2]"));
    f.press('E');
    auto &w = f.compose.idListWindow();
    QVERIFY(w.visible);
    QCOMPARE(readFile(f.tempPath()), b(QStringLiteral("二通目\r\nyoroshiku\r\nではまた")));
    w.setSelected(idItem(w, QStringLiteral("0300")), true);
    f.script.willWrite(QStringLiteral("二通目\r\nyoroshiku\r\nまた明日"));
    w.takeChosenIds();
    QCOMPARE(f.upBytes(),
        b(mail1 + QStringLiteral("mw\r\n 300\r\n\r\n\r\n二通目\r\nyoroshiku\r\nまた明日\r\n.\r\ny")));
    QCOMPARE(f.marks(), (QStringList { "[手紙 1]", "[手紙 2]" }));
}

void tst_ComposeFlows::mailRewriteEscapedKeepsTheMail()
{
    WritingFixture f;
    const QString mail1 = QStringLiteral("mw\r\n 300\r\n\r\n\r\n一通目\r\nこんにちは\r\n.\r\ny");
    standardNet(f, mail1);
    f.select(f.boardOf(0));
    f.click(QStringLiteral("[手紙 1]"));
    f.messages.answers = { MsgAnswer::Yes };
    f.press('M');
    QCOMPARE(f.messages.texts(), QStringList { QStringLiteral("メール内容の書き換えですか？") });
    QVERIFY(f.session.upFile.text().isEmpty()); // cut while the recipients are chosen
    f.compose.idListWindow().keyInIdList(27);
    QCOMPARE(f.session.upFile.text(), mail1);
    QCOMPARE(f.upBytes(), b(mail1));
    QVERIFY(f.session.main.enabled);
    QCOMPARE(f.marks(), QStringList { "[手紙 1]" });
}

void tst_ComposeFlows::editorThatCannotStartKeepsTheWaitingCommand()
{
    WritingFixture f;
    const QString missing = f.dir.path() + QStringLiteral("/no such/editor");
    f.session.Dir[settings::DirRecord::Editor_Path] = missing;
    standardNet(f, kW1 + kW2 + kW3);
    f.select(f.boardOf(12));
    f.click(QStringLiteral("[書込 2]"));
    f.press('E');

    QCOMPARE(f.messages.shown.size(), 1);
    const QString text = f.messages.shown.first().text;
    QVERIFY(text.contains(QStringLiteral("エディタを起動できませんでした")));
    QVERIFY(text.contains(missing));
    QVERIFY(f.session.main.visible);
    QCOMPARE(f.session.upFile.text(), kW1 + kW2 + kW3);
    QCOMPARE(f.upBytes(), b(kW1 + kW2 + kW3));
}

void tst_ComposeFlows::unencodableTextCanBeEditedAgain()
{
    WritingFixture f;
    standardNet(f);
    f.select(f.boardOf(12), 0);
    f.script.willWriteUtf8(QStringLiteral("今日の一枚 \U0001F600\r\n本文"));
    f.script.willWriteUtf8(QStringLiteral("今日の一枚 日本\r\n本文"));
    f.messages.answers = { MsgAnswer::Cancel, MsgAnswer::Ok };
    f.press('W');

    QCOMPARE(f.messages.shown.size(), 2);
    const QString text = f.messages.shown.at(1).text;
    QVERIFY(text.contains(QStringLiteral("\U0001F600")));
    QVERIFY(text.contains(QStringLiteral("U+1F600")));
    QCOMPARE(f.script.runs(), 2);
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 12\r\nW今日の一枚 日本\r\n本文\r\n.\r\nyQ")));
    QCOMPARE(f.marks(), QStringList { "[書込 1]" });
}

void tst_ComposeFlows::unencodableTextCancelledIsKept()
{
    WritingFixture f;
    standardNet(f);
    // Two texts given up within the same second keep a file each.
    f.compose.setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(21, 30, 5)); });
    const QStringList typed
        = { QStringLiteral("今日の一枚 \U0001F600\r\n本文"), QStringLiteral("もう一枚 \U0001F601\r\n本文") };
    QStringList kept;
    for (const QString &text : typed) {
        f.select(f.boardOf(12), 0);
        f.script.willWriteUtf8(text);
        f.messages.shown.clear();
        f.messages.answers = { MsgAnswer::Cancel, MsgAnswer::Cancel };
        f.press('W');

        QCOMPARE(f.messages.shown.size(), 2);
        QVERIFY(!QFile::exists(f.upPath()));
        QVERIFY(f.session.upFile.text().isEmpty());
        // The message names the file that keeps the text.
        const QString message = f.messages.shown.at(1).text;
        const qsizetype at = message.indexOf(f.session.AppDir);
        QVERIFY(at >= 0);
        kept << message.mid(at, message.indexOf(u'\r', at) - at);
    }
    QCOMPARE(kept.at(0), f.session.appFile(QStringLiteral("UNSENT_20261207_213005.TXT")));
    QCOMPARE(kept.at(1), f.session.appFile(QStringLiteral("UNSENT_20261207_213005_2.TXT")));
    QCOMPARE(QString::fromUtf8(readFile(kept.at(0))), typed.at(0));
    QCOMPARE(QString::fromUtf8(readFile(kept.at(1))), typed.at(1));
    QCOMPARE(f.marks(), QStringList {});
}

void tst_ComposeFlows::utf8EditorText()
{
    WritingFixture f;
    standardNet(f);
    f.select(f.boardOf(12), 0);
    f.script.willWriteUtf8(QStringLiteral("日本語のタイトル\n本文です"));
    f.press('W');
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 12\r\nW日本語のタイトル\r\n本文です\r\n.\r\nyQ")));
    QCOMPARE(f.marks(), QStringList { "[書込 1]" });
}

void tst_ComposeFlows::responseRewriteClosedUnsavedKeepsTheResponse()
{
    WritingFixture f;
    standardNet(f, kResp1);
    f.select(f.boardOf(12));
    f.click(QStringLiteral("[レス 1]"));
    f.press('P'); // the editor is closed without saving
    QCOMPARE(f.script.runs(), 1);
    QCOMPARE(f.session.upFile.text(), kResp1);
    QCOMPARE(f.upBytes(), b(kResp1));
    QCOMPARE(f.titles(), (QStringList { "[305]", " [306]", "[レス 1]", "[307]" }));
}

void tst_ComposeFlows::responseRewriteKeepsItsReference()
{
    WritingFixture f;
    standardNet(f, kResp1);
    f.select(f.boardOf(12));
    const int row = f.rowOf(QStringLiteral("[レス 1]"));
    QCOMPARE(f.session.main.Title.item(row - 1), QStringLiteral(" [306]"));
    f.click(QStringLiteral("[レス 1]"));
    f.script.willWrite(QStringLiteral("Re:今日の一枚\r\n書き直したレス"));
    f.press('P');
    QCOMPARE(f.script.lastStartingBytes(), b(QStringLiteral("Re:今日の一枚\r\n最初のレス\r\n")));
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 12\r\n305\r\nPRe:今日の一枚\r\n書き直したレス\r\n.\r\nyQ")));
    QCOMPARE(f.titles(), (QStringList { "[305]", " [306]", "[レス 1]", "[307]" }));
}

void tst_ComposeFlows::emptiedResponseRewriteRemovesTheUpFile()
{
    WritingFixture f;
    standardNet(f, kResp1);
    f.select(f.boardOf(12));
    f.click(QStringLiteral("[レス 1]"));
    f.script.willWrite(QByteArray());
    f.press('E');
    QVERIFY(f.session.upFile.text().isEmpty());
    QVERIFY(!QFile::exists(f.upPath()));
    QCOMPARE(readFile(f.upPath() + QStringLiteral(".bak")), b(kResp1));
    QCOMPARE(f.marks(), QStringList {});
}

void tst_ComposeFlows::writeRewrittenToNothing_data()
{
    QTest::addColumn<char>("key");
    QTest::addColumn<QList<MsgAnswer>>("answers");
    QTest::newRow("E") << 'E' << QList<MsgAnswer> {};
    QTest::newRow("W, OK") << 'W' << QList<MsgAnswer> { MsgAnswer::Ok };
}

void tst_ComposeFlows::writeRewrittenToNothing()
{
    // The waiting write is rewritten to an empty text: it is gone from the
    // title list, so it must be gone from the file the terminal sends too.
    QFETCH(char, key);
    QFETCH(QList<MsgAnswer>, answers);
    WritingFixture f;
    standardNet(f, kW1);
    f.select(f.boardOf(12));
    f.click(QStringLiteral("[書込 1]"));
    f.messages.answers = answers;
    f.script.willWrite(QByteArray());
    f.press(key);
    QCOMPARE(f.script.runs(), 1);
    QVERIFY(f.session.upFile.text().isEmpty());
    QCOMPARE(f.marks(), QStringList {});
    QVERIFY(!QFile::exists(f.upPath()));
    QCOMPARE(readFile(f.upPath() + QStringLiteral(".bak")), b(kW1));

    // With another command waiting, the file keeps only that one.
    WritingFixture g;
    standardNet(g, kW1 + kResp1);
    g.select(g.boardOf(12));
    g.click(QStringLiteral("[書込 1]"));
    g.messages.answers = answers;
    g.script.willWrite(QByteArray());
    g.press(key);
    QCOMPARE(g.upBytes(), b(kResp1));
}

void tst_ComposeFlows::rewriteStaysOnItsBoard_data()
{
    QTest::addColumn<QString>("waiting");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<char>("key");
    QTest::addColumn<QString>("expected");
    const QString write = QStringLiteral("\\ 12\r\nW一通目（改）\r\n書き直し\r\n.\r\nyQ");
    QTest::newRow("E on a write") << kW1 << QStringLiteral("[書込 1]") << 'E' << write;
    QTest::newRow("W on a write") << kW1 << QStringLiteral("[書込 1]") << 'W' << write;
    QTest::newRow("E on a response") << kResp1 << QStringLiteral("[レス 1]") << 'E'
                                     << QStringLiteral(
                                            "\\ 12\r\n305\r\nP一通目（改）\r\n書き直し\r\n.\r\nyQ");
}

void tst_ComposeFlows::rewriteStaysOnItsBoard()
{
    // Board 12 got its move target after these commands were queued: a
    // rewrite replaces the command where it is, it does not move it to the
    // target (a response there would answer another board's article).
    QFETCH(QString, waiting);
    QFETCH(QString, mark);
    QFETCH(char, key);
    QFETCH(QString, expected);
    WritingFixture f;
    QStringList table = moveres::decodeMoveTable({});
    table[12] = QStringLiteral("7");
    writeFile(moveres::moveFilePath(f.session), moveres::encodeMoveTable(table));
    standardNet(f, waiting);
    f.select(f.boardOf(12));
    QCOMPARE(f.session.main.To_No.Caption, QStringLiteral("7"));
    f.click(mark);
    f.messages.answers = { MsgAnswer::Ok };
    f.script.willWrite(QStringLiteral("一通目（改）\r\n書き直し"));
    f.press(key);
    QCOMPARE(f.upBytes(), b(expected));
    QCOMPARE(f.marks(), QStringList { mark });
}

void tst_ComposeFlows::writeRewriteClosedUnsavedKeepsItsPlace_data()
{
    QTest::addColumn<char>("key");
    QTest::newRow("E") << 'E';
    QTest::newRow("W, OK") << 'W';
}

void tst_ComposeFlows::writeRewriteClosedUnsavedKeepsItsPlace()
{
    // Nothing was rewritten: the waiting write keeps its place and number,
    // as a response does.
    QFETCH(char, key);
    WritingFixture f;
    standardNet(f, kW1 + kW2 + kW3);
    f.select(f.boardOf(12));
    f.click(QStringLiteral("[書込 2]"));
    f.messages.answers = { MsgAnswer::Ok };
    f.press(key); // the editor is closed without saving
    QCOMPARE(f.script.runs(), 1);
    QCOMPARE(f.session.upFile.text(), kW1 + kW2 + kW3);
    QCOMPARE(f.upBytes(), b(kW1 + kW2 + kW3));
    f.click(QStringLiteral("[書込 2]"));
    QCOMPARE(f.session.main.Article.items, (QStringList { "二通目", "二番目の書き込み" }));
}

void tst_ComposeFlows::replyToMailWithoutReadableSender()
{
    // The sender line lost its ":" in the log: rather than a mail to nobody,
    // the user names the recipient in the recipient window.
    QString log = standardLog();
    log.replace(
        QStringLiteral("    412 bytes 0200:山田花子 "), QStringLiteral("    412 bytes 0200 山田花子 "));
    WritingFixture f;
    f.open(log);
    f.select(f.boardOf(0), 0);
    const QStringList article = f.session.main.Article.items;
    f.press('P');
    auto &ids = f.compose.idListWindow();
    QVERIFY(ids.visible);
    QCOMPARE(ids.Caption, QStringLiteral("宛先ＩＤ選択"));
    QCOMPARE(f.script.runs(), 0);

    ids.setSelected(idItem(ids, QStringLiteral("0300")), true);
    f.script.willWrite(QStringLiteral("Re:来週の集まりについて\r\n参加します"));
    ids.takeChosenIds();
    QCOMPARE(f.script.lastStartingBytes(), b(commands::startingtext::quote(article, TrailingLineEnd::Keep)));
    QCOMPARE(f.upBytes(),
        b(QStringLiteral("mw\r\n 300\r\n\r\n\r\nRe:来週の集まりについて\r\n参加します\r\n.\r\ny")));
    QVERIFY(!ids.visible);
}

void tst_ComposeFlows::responsesToArticlesOfAnEarlierLog()
{
    // Responses written from yesterday's log still wait: their articles are
    // not in today's log, so they have no rows, but they keep their numbers.
    const QString earlier = QStringLiteral("\\ 12\r\n290\r\nPRe:昨日の記事\r\n昨日のレス\r\n.\r\nyQ");
    const QString earlier2 = QStringLiteral("\\ 12\r\n291\r\nPRe:もう一つ\r\n二つ目\r\n.\r\nyQ");
    WritingFixture f;
    standardNet(f, earlier + kResp1 + earlier2);
    f.select(f.boardOf(12));
    QCOMPARE(f.titles(), (QStringList { "[305]", " [306]", "[レス 2]", "[307]" }));
    f.click(QStringLiteral("[レス 2]"));
    QCOMPARE(f.session.main.Article.items, (QStringList { "Re:今日の一枚", "最初のレス" }));

    // E rewrites that one, not yesterday's.
    f.script.willWrite(QStringLiteral("Re:今日の一枚\r\n書き直し"));
    f.press('E');
    const QString rewritten = QStringLiteral("\\ 12\r\n305\r\nPRe:今日の一枚\r\n書き直し\r\n.\r\nyQ");
    QCOMPARE(f.upBytes(), b(earlier + earlier2 + rewritten));
    QCOMPARE(f.titles(), (QStringList { "[305]", " [306]", "[レス 3]", "[307]" }));

    // D deletes it, and only it.
    f.click(QStringLiteral("[レス 3]"));
    f.messages.answers = { MsgAnswer::Ok };
    f.press('D');
    QCOMPARE(f.upBytes(), b(earlier + earlier2));
    QCOMPARE(f.marks(), QStringList {});
}

QTEST_GUILESS_MAIN(tst_ComposeFlows)
#include "tst_composeflows.moc"
