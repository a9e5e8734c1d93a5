// Whole writing flows: a key in the title list, the real editor (a script that
// saves a prepared text), and the bytes of the up file afterwards.
#include "WritingFixture.h"

#include "base/Text.h"
#include "commands/StartingText.h"
#include "moveres/MoveTable.h"

#include <QFile>
#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using commands::startingtext::TrailingLineEnd;

namespace {

const QString kMailBox = QStringLiteral("No.0 ｢メールボックス｣");
const QString kBoard12 = QStringLiteral("No.12 ｢雑談｣");
const QString kBoard7 = QStringLiteral("No.7 ｢技術｣");
const QString kChat1 = QStringLiteral("[XCHAT] No1.チャット");

const QStringList kArticle100
    = { QStringLiteral("(100/120) 0012 yamada     1234 bytes 96/12/06 12:34:56 Hello"),
          QStringLiteral("  [雑談] Hello"), QString(), QStringLiteral("World line") };
const QStringList kArticle101
    = { QStringLiteral("(101/120) 0034 suzuki      321 bytes 96/12/06 13:00:00 Re: Hello"),
          QStringLiteral("  [雑談] Re: Hello"), QStringLiteral("reply") };
const QStringList kArticle345
    = { QStringLiteral("(345/400) 0099 tanaka      777 bytes 96/12/07 09:00:00 Files"),
          QStringLiteral("  [雑談] Files"), QStringLiteral("big file") };
const QStringList kReceivedMail = { QStringLiteral("mail (1/1) 96/12/06 08:00:00"),
    QStringLiteral("From    512 bytes  0200:山田 96/12/06"), QStringLiteral("Subject line"),
    QStringLiteral("Hi there") };
const QStringList kNotice = { QStringLiteral("(3/5) 0003 admin 100 bytes 96/12/05 10:00:00 Notice"),
    QStringLiteral("  [mail] Notice"), QStringLiteral("body") };

const QString kW1 = QStringLiteral("\\ 12\r\nWOne\r\nfirst\r\n.\r\nyQ");
const QString kW2 = QStringLiteral("\\ 12\r\nWTwo\r\nsecond\r\n.\r\nyQ");
const QString kW3 = QStringLiteral("\\ 12\r\nWThree\r\nthird\r\n.\r\nyQ");
const QString kResp1 = QStringLiteral("\\ 12\r\n100\r\nPRe: Hello\r\nfirst reply\r\n.\r\nyQ");

void standardNet(WritingFixture &f)
{
    f.setBoards({ kMailBox, kBoard12, kBoard7, kChat1 });
    f.setRows(0,
        { { QStringLiteral("[mail ]"), QStringLiteral("from 0200"), QStringLiteral("Subject line"),
              kReceivedMail },
            { QStringLiteral("[3]"), QStringLiteral("Notice info"), QStringLiteral("Notice"), kNotice } });
    f.setRows(1,
        { { QStringLiteral("[100]"), QStringLiteral("info"), QStringLiteral("Hello"), kArticle100 },
            { QStringLiteral("  [101]"), QStringLiteral("info"), QStringLiteral("Re: Hello"), kArticle101 },
            { QStringLiteral("[345]"), QStringLiteral("info"), QStringLiteral("Files"), kArticle345 } });
    f.session.IdListText = QStringLiteral("  100:太郎\r\n  200:花子\r\n");
}

QByteArray b(const QString &text)
{
    return sjis(text);
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
    void moveResponseToAnotherBoard();
    void moveResponseCancelled();
    void moveResponseFromMailBox();
    void rewriteSecondOfThreeWrites();
    void deleteSecondOfThreeWrites_data();
    void deleteSecondOfThreeWrites();
    void deleteTheLastCommandLeavesAnEmptyUpFile();
    void responseOnAWriteMarkDoesNothing();
    void mailToSixteenAndSeventeenRecipients();
    void replyToReceivedMail();
    void batchSetTwice();
    void serialNetResponse();
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
};

void tst_ComposeFlows::writeOnBoard()
{
    WritingFixture f;
    standardNet(f);
    f.select(1, 0);
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
    QVERIFY(f.rowOf(QStringLiteral("[書込 1]")) >= 0);
    QCOMPARE(f.session.LastWrittenKind, QStringLiteral("Write"));
    QVERIFY(f.session.main.visible);
}

void tst_ComposeFlows::writeOnMailBoxDoesNothing()
{
    WritingFixture f;
    standardNet(f);
    f.select(0, 0);
    f.press('W');
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(f.script.runs(), 0);
    QVERIFY(!QFile::exists(f.upPath()));
}

void tst_ComposeFlows::responseWithoutMoveTarget()
{
    WritingFixture f;
    standardNet(f);
    f.select(1, 0);
    f.script.willWrite(QStringLiteral("Re: Hello\r\n>World line\r\nThanks"));
    f.press('P');

    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(
        f.script.lastStartingBytes(), b(commands::startingtext::quote(kArticle100, TrailingLineEnd::Keep)));
    QCOMPARE(
        f.upBytes(), b(QStringLiteral("\\ 12\r\n100\r\nPRe: Hello\r\n>World line\r\nThanks\r\n.\r\nyQ")));
    // The mark goes below the whole thread of article 100.
    QCOMPARE(f.session.main.Title.item(2), QStringLiteral("[レス 1]"));
    QVERIFY(f.session.main.titleHasFocus);
    QVERIFY(QFile::exists(f.tempPath())); // a response leaves TEMP.TXT in place
}

void tst_ComposeFlows::responseWithMoveTarget()
{
    WritingFixture f;
    standardNet(f);
    f.session.MoveTable[12] = QStringLiteral("7  ");
    f.select(1, 0);
    QCOMPARE(f.session.main.To_No.Caption, QStringLiteral("7"));
    f.script.willWrite(QStringLiteral("Re: Hello\r\nmoved here"));
    f.press('P');

    QCOMPARE(f.messages.texts(), QStringList { QStringLiteral("書き込みを書き換えますか？") });
    QCOMPARE(
        f.script.lastStartingBytes(), b(commands::startingtext::quote(kArticle100, TrailingLineEnd::Keep)));
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 7\r\nWRe: Hello\r\nmoved here\r\n.\r\nyQ")));
    QCOMPARE(f.session.LastWrittenKind, QStringLiteral("Write"));
}

void tst_ComposeFlows::moveResponseToAnotherBoard()
{
    WritingFixture f;
    standardNet(f);
    f.select(1, 0);
    f.press('G');

    auto &w = f.compose.moveWindow();
    QVERIFY(w.visible);
    QVERIFY(!f.session.main.enabled);
    QVERIFY(!w.ido_board_list.enabled);
    QCOMPARE(w.ido_board_list.items, QStringList { kBoard12 });
    QCOMPARE(w.ido_board_list2.items, (QStringList { kMailBox, kBoard12, kBoard7 }));
    QCOMPARE(w.ido_board_list2.ListIndex, 1);
    QCOMPARE(w.IDO_TEXT, QStringLiteral("なし"));

    w.selectTarget(2);
    f.script.willWrite(QStringLiteral("Re: Hello\r\nover there"));
    w.IDO_OK_Click();

    QVERIFY(!w.visible);
    QVERIFY(f.session.main.enabled);
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 7\r\nWRe: Hello\r\nover there\r\n.\r\nyQ")));
    // One response only: the table is reloaded and was never saved.
    QCOMPARE(f.session.main.To_No.Caption, QStringLiteral("なし"));
    QVERIFY(!QFile::exists(moveres::moveFilePath(f.session)));
    QCOMPARE(f.session.LastWrittenKind, QStringLiteral("Write"));
}

void tst_ComposeFlows::moveResponseCancelled()
{
    WritingFixture f;
    standardNet(f);
    f.select(1, 0);
    f.press('G');
    f.compose.moveWindow().Command2_Click();
    QVERIFY(f.session.LastWrittenKind.isEmpty());
    QCOMPARE(f.script.runs(), 0);
    QVERIFY(f.session.main.enabled);
    QVERIFY(!QFile::exists(f.upPath()));
}

void tst_ComposeFlows::moveResponseFromMailBox()
{
    WritingFixture f;
    standardNet(f);
    f.select(0, 1); // a numbered mail: G is open to it
    f.press('G');
    auto &w = f.compose.moveWindow();
    QCOMPARE(w.IDO_TEXT, QStringLiteral("不可"));
    QVERIFY(!w.IDO_TEXT_Enabled);

    w.selectTarget(2);
    w.IDO_OK_Click();
    // The move-response became a mail reply: the recipient window is open.
    auto &ids = f.compose.idListWindow();
    QVERIFY(ids.visible);
    QCOMPARE(ids.Caption, QStringLiteral("宛先ＩＤ選択"));
    QCOMPARE(f.session.LastWrittenKind, QStringLiteral("mail"));
    QCOMPARE(f.session.main.To_No.Caption, QStringLiteral("なし"));
    QVERIFY(!f.session.main.To_No.enabled);

    ids.setSelected(1, true);
    f.script.willWrite(QStringLiteral("Re: Notice\r\n>body\r\nthanks"));
    ids.OK_Click();
    QCOMPARE(
        f.script.lastStartingBytes(), b(commands::startingtext::quote(kNotice, TrailingLineEnd::Remove)));
    QCOMPARE(f.upBytes(), b(QStringLiteral("mw\r\n 200\r\n\r\n\r\nRe: Notice\r\n>body\r\nthanks\r\n.\r\ny")));
    QVERIFY(!ids.visible);
    QVERIFY(f.session.main.enabled);
}

void tst_ComposeFlows::rewriteSecondOfThreeWrites()
{
    WritingFixture f;
    standardNet(f);
    const QString signPath = f.dir.path() + QStringLiteral("/sign.txt");
    writeFile(signPath, "-- sig");
    f.session.NetTable[0][settings::NetRecord::Sign_Path] = signPath;
    f.session.Flags[settings::OptionFlags::SignatureOn] = QStringLiteral("1");
    f.setUpFile(kW1 + kW2 + kW3);
    f.select(1, -1);
    f.session.main.selectTitle(f.rowOf(QStringLiteral("[書込 2]")));
    QCOMPARE(f.session.main.Article.items, (QStringList { QStringLiteral("Two"), QStringLiteral("second") }));

    f.script.willWrite(QStringLiteral("Two again\r\nsecond, better"));
    f.press('E');

    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(f.script.lastStartingBytes(), QByteArray("Two\r\nsecond"));
    // The rewrite goes to the end and gets no signature.
    QCOMPARE(f.upBytes(), b(kW1 + kW3 + QStringLiteral("\\ 12\r\nWTwo again\r\nsecond, better\r\n.\r\nyQ")));
    QCOMPARE(readFile(f.upPath() + QStringLiteral(".bak")), b(kW1 + kW2 + kW3));
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
    standardNet(f);
    f.setUpFile(kW1 + kW2 + kW3);
    f.select(1, -1);
    const int row = f.rowOf(QStringLiteral("[書込 2]"));
    f.session.main.selectTitle(row);
    f.messages.answers = { answer };
    f.press('D');

    QCOMPARE(f.messages.texts(), QStringList { QStringLiteral("書き込みを削除しますか？") });
    QCOMPARE(f.messages.shown.first().icon, MsgIcon::Critical);
    QCOMPARE(f.session.UpFileText, expected);
    QCOMPARE(f.upBytes(), b(expected));
    QCOMPARE(f.script.runs(), 0);
    if (answer == MsgAnswer::Ok) {
        QCOMPARE(f.session.main.Title.ListIndex, row - 1);
        QCOMPARE(f.rowOf(QStringLiteral("[書込 3]")), -1);
        QCOMPARE(readFile(f.upPath() + QStringLiteral(".bak")), b(kW1 + kW2 + kW3));
    }
}

void tst_ComposeFlows::deleteTheLastCommandLeavesAnEmptyUpFile()
{
    WritingFixture f;
    standardNet(f);
    f.setUpFile(kW1);
    f.select(1, -1);
    f.session.main.selectTitle(f.rowOf(QStringLiteral("[書込 1]")));
    f.messages.answers = { MsgAnswer::Ok };
    f.press('D');
    QVERIFY(QFile::exists(f.upPath()));
    QCOMPARE(f.upBytes(), QByteArray());
    QCOMPARE(f.rowOf(QStringLiteral("[書込")), -1);
}

void tst_ComposeFlows::responseOnAWriteMarkDoesNothing()
{
    WritingFixture f;
    standardNet(f);
    f.setUpFile(kW1);
    f.select(1, -1);
    f.session.main.selectTitle(f.rowOf(QStringLiteral("[書込 1]")));
    f.press('P');
    QCOMPARE(f.script.runs(), 0);
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(f.upBytes(), b(kW1));
}

void tst_ComposeFlows::mailToSixteenAndSeventeenRecipients()
{
    WritingFixture f;
    standardNet(f);
    QString ids;
    for (int i = 1; i <= 17; ++i)
        ids += QStringLiteral("  %1:会員%2\r\n").arg(100 + i).arg(i);
    f.session.IdListText = ids;
    f.select(0, 0);
    f.press('M');
    auto &w = f.compose.idListWindow();
    QVERIFY(w.visible);
    QCOMPARE(w.items.size(), 17);
    for (int i = 0; i < 17; ++i)
        w.setSelected(i, true);
    w.OK_Click();
    QCOMPARE(f.messages.texts(), QStringList { QStringLiteral("同報メールは１６件までです") });
    QVERIFY(w.visible);
    QCOMPARE(f.script.runs(), 0);

    w.setSelected(16, false);
    f.script.willWrite(QStringLiteral("Meeting\r\nTomorrow at ten"));
    w.OK_Click();
    QString expected = QStringLiteral("mw\r\n");
    for (int i = 1; i <= 16; ++i)
        expected += QStringLiteral(" %1\r\n\r\n").arg(100 + i);
    expected += QStringLiteral("\r\nMeeting\r\nTomorrow at ten\r\n.\r\ny");
    QCOMPARE(f.upBytes(), b(expected));
    QVERIFY(!w.visible);
    QVERIFY(f.rowOf(QStringLiteral("[手紙 1]")) >= 0);
}

void tst_ComposeFlows::replyToReceivedMail()
{
    WritingFixture f;
    standardNet(f);
    f.session.Recipients = QStringLiteral("  100\r\n  300\r\n"); // an earlier mail's
    f.select(0, 0);
    f.script.willWrite(QStringLiteral("Re: Subject line\r\n>Hi there\r\nSee you"));
    f.press('P');

    QCOMPARE(f.session.Recipients, QStringLiteral("  0200\r\n"));
    QCOMPARE(
        f.script.lastStartingBytes(), b(commands::startingtext::quote(kReceivedMail, TrailingLineEnd::Keep)));
    QCOMPARE(f.upBytes(),
        b(QStringLiteral("mw\r\n 200\r\n\r\n\r\nRe: Subject line\r\n>Hi there\r\nSee you\r\n.\r\ny")));
    QVERIFY(!f.compose.idListWindow().visible);
}

void tst_ComposeFlows::batchSetTwice()
{
    WritingFixture f;
    standardNet(f);
    f.setUpFile(kW1);
    f.select(1, 2);
    f.press('S');
    QCOMPARE(f.upBytes(), b(kW1 + QStringLiteral("\\ 12\r\n 345\r\nSQ")));
    QCOMPARE(f.session.main.BatchSet.item(2), QStringLiteral("S"));
    f.press('S', 2); // Ctrl+S is not the batch mark
    QCOMPARE(f.session.main.BatchSet.item(2), QStringLiteral("S"));
    f.press('S');
    QCOMPARE(f.upBytes(), b(kW1));
    QCOMPARE(f.session.main.BatchSet.item(2), QStringLiteral(" "));
}

void tst_ComposeFlows::serialNetResponse()
{
    WritingFixture f;
    standardNet(f);
    f.session.Sirial_Flg = 1;
    f.setRows(1,
        { { QStringLiteral("[100]"), QStringLiteral("info"),
            QStringLiteral("Hello") + QString(100, u' ') + QStringLiteral("000123"), kArticle100 } });
    f.select(1, 0);
    f.script.willWrite(QStringLiteral("Re: Hello\r\nserial reply"));
    f.press('P');
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 12\r\n%000123\r\nPRe: Hello\r\nserial reply\r\n.\r\nyQ")));
    QCOMPARE(f.session.main.Title.item(1), QStringLiteral("[レス 1]"));
}

void tst_ComposeFlows::chatWrite_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<QString>("expected");
    const QString waiting = QStringLiteral("X1\r\nhello\r\n.\r\n");
    const QString written = QStringLiteral("X1\r\nhello again\r\nsecond line\r\n.\r\n");
    QTest::newRow("ok replaces") << MsgAnswer::Ok << written;
    QTest::newRow("cancel adds") << MsgAnswer::Cancel << waiting + written;
}

void tst_ComposeFlows::chatWrite()
{
    QFETCH(MsgAnswer, answer);
    QFETCH(QString, expected);
    WritingFixture f;
    standardNet(f);
    f.setUpFile(QStringLiteral("X1\r\nhello\r\n.\r\n"));
    f.select(3, -1);
    f.messages.answers = { answer };
    f.script.willWrite(QStringLiteral("hello again\r\n\r\nsecond line"));
    f.press('E'); // E on a chat board is W
    QCOMPARE(f.upBytes(), b(expected));
    if (answer == MsgAnswer::Ok)
        QCOMPARE(f.script.lastStartingBytes(), QByteArray("hello\r\n"));
    else
        QVERIFY(!f.script.lastStartedWithFile());
}

void tst_ComposeFlows::mailRewrite()
{
    WritingFixture f;
    standardNet(f);
    const QString mail1 = QStringLiteral("mw\r\n 100\r\n\r\n\r\nFirst\r\nhello\r\n.\r\ny");
    // A text line beginning with "y" does not end the waiting mail.
    const QString mail2 = QStringLiteral("mw\r\n 200\r\n\r\n\r\nSecond\r\nyoroshiku\r\nbye\r\n.\r\ny");
    f.setUpFile(mail1 + mail2);
    f.select(0, -1);
    f.session.main.selectTitle(f.rowOf(QStringLiteral("[手紙 2]")));
    f.press('E');
    auto &w = f.compose.idListWindow();
    QVERIFY(w.visible);
    QCOMPARE(readFile(f.tempPath()), QByteArray("Second\r\nyoroshiku\r\nbye"));
    w.setSelected(0, true);
    f.script.willWrite(QStringLiteral("Second\r\nyoroshiku\r\nsee you"));
    w.OK_Click();
    QCOMPARE(f.upBytes(),
        b(mail1 + QStringLiteral("mw\r\n 100\r\n\r\n\r\nSecond\r\nyoroshiku\r\nsee you\r\n.\r\ny")));
}

void tst_ComposeFlows::mailRewriteEscapedKeepsTheMail()
{
    WritingFixture f;
    standardNet(f);
    const QString mail1 = QStringLiteral("mw\r\n 100\r\n\r\n\r\nFirst\r\nhello\r\n.\r\ny");
    f.setUpFile(mail1);
    f.select(0, -1);
    f.session.main.selectTitle(f.rowOf(QStringLiteral("[手紙 1]")));
    f.messages.answers = { MsgAnswer::Yes };
    f.press('M');
    QCOMPARE(f.messages.texts(), QStringList { QStringLiteral("メール内容の書き換えですか？") });
    QVERIFY(f.session.UpFileText.isEmpty()); // cut while the recipients are chosen
    f.compose.idListWindow().ID_LIST_KeyDown(27);
    QCOMPARE(f.session.UpFileText, mail1);
    QCOMPARE(f.upBytes(), b(mail1));
    QVERIFY(f.session.main.enabled);
}

void tst_ComposeFlows::editorThatCannotStartKeepsTheWaitingCommand()
{
    WritingFixture f;
    standardNet(f);
    const QString missing = f.dir.path() + QStringLiteral("/no such/editor");
    f.session.Dir[settings::DirRecord::Editor_Path] = missing;
    f.setUpFile(kW1 + kW2 + kW3);
    f.select(1, -1);
    f.session.main.selectTitle(f.rowOf(QStringLiteral("[書込 2]")));
    f.press('E');

    QCOMPARE(f.messages.shown.size(), 1);
    const QString text = f.messages.shown.first().text;
    QVERIFY(text.contains(QStringLiteral("エディタを起動できませんでした")));
    QVERIFY(text.contains(missing));
    QVERIFY(f.session.main.visible);
    QCOMPARE(f.session.UpFileText, kW1 + kW2 + kW3);
    QCOMPARE(f.upBytes(), b(kW1 + kW2 + kW3));
}

void tst_ComposeFlows::unencodableTextCanBeEditedAgain()
{
    WritingFixture f;
    standardNet(f);
    f.select(1, 0);
    f.script.willWriteUtf8(QStringLiteral("Hello \U0001F600\r\nbody"));
    f.script.willWriteUtf8(QStringLiteral("Hello 日本\r\nbody"));
    f.messages.answers = { MsgAnswer::Cancel, MsgAnswer::Ok };
    f.press('W');

    QCOMPARE(f.messages.shown.size(), 2);
    const QString text = f.messages.shown.at(1).text;
    QVERIFY(text.contains(QStringLiteral("\U0001F600")));
    QVERIFY(text.contains(QStringLiteral("U+1F600")));
    QCOMPARE(f.script.runs(), 2);
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 12\r\nWHello 日本\r\nbody\r\n.\r\nyQ")));
}

void tst_ComposeFlows::unencodableTextCancelledIsKept()
{
    WritingFixture f;
    standardNet(f);
    f.select(1, 0);
    const QString typed = QStringLiteral("Hello \U0001F600\r\nbody");
    f.script.willWriteUtf8(typed);
    f.messages.answers = { MsgAnswer::Cancel, MsgAnswer::Cancel };
    f.press('W');

    QCOMPARE(f.messages.shown.size(), 2);
    QVERIFY(!QFile::exists(f.upPath()));
    QVERIFY(f.session.UpFileText.isEmpty());
    // The message names the file that keeps the text.
    const QString text = f.messages.shown.at(1).text;
    const qsizetype at = text.indexOf(f.session.AppDir);
    QVERIFY(at >= 0);
    const QString kept = text.mid(at, text.indexOf(u'\r', at) - at);
    QCOMPARE(QString::fromUtf8(readFile(kept)), typed);
}

void tst_ComposeFlows::utf8EditorText()
{
    WritingFixture f;
    standardNet(f);
    f.select(1, 0);
    f.script.willWriteUtf8(QStringLiteral("日本語のタイトル\n本文です"));
    f.press('W');
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 12\r\nW日本語のタイトル\r\n本文です\r\n.\r\nyQ")));
}

void tst_ComposeFlows::responseRewriteClosedUnsavedKeepsTheResponse()
{
    WritingFixture f;
    standardNet(f);
    f.setUpFile(kResp1);
    f.select(1, -1);
    f.session.main.selectTitle(f.rowOf(QStringLiteral("[レス 1]")));
    f.press('P'); // the editor is closed without saving
    QCOMPARE(f.script.runs(), 1);
    QCOMPARE(f.session.UpFileText, kResp1);
    QCOMPARE(f.upBytes(), b(kResp1));
}

void tst_ComposeFlows::responseRewriteKeepsItsReference()
{
    WritingFixture f;
    standardNet(f);
    f.setUpFile(kResp1);
    f.select(1, -1);
    const int row = f.rowOf(QStringLiteral("[レス 1]"));
    QCOMPARE(f.session.main.Title.item(row - 1), QStringLiteral("  [101]"));
    f.session.main.selectTitle(row);
    f.script.willWrite(QStringLiteral("Re: Hello\r\nbetter reply"));
    f.press('P');
    QCOMPARE(f.script.lastStartingBytes(), QByteArray("Re: Hello\r\nfirst reply\r\n"));
    QCOMPARE(f.upBytes(), b(QStringLiteral("\\ 12\r\n100\r\nPRe: Hello\r\nbetter reply\r\n.\r\nyQ")));
}

void tst_ComposeFlows::emptiedResponseRewriteRemovesTheUpFile()
{
    WritingFixture f;
    standardNet(f);
    f.setUpFile(kResp1);
    f.select(1, -1);
    f.session.main.selectTitle(f.rowOf(QStringLiteral("[レス 1]")));
    f.script.willWrite(QByteArray());
    f.press('E');
    QVERIFY(f.session.UpFileText.isEmpty());
    QVERIFY(!QFile::exists(f.upPath()));
    QCOMPARE(readFile(f.upPath() + QStringLiteral(".bak")), b(kResp1));
}

QTEST_GUILESS_MAIN(tst_ComposeFlows)
#include "tst_composeflows.moc"
