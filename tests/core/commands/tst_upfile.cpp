// The up file read into its commands, and the waiting commands that the mark
// rows, the mark display and D find in it when the user's texts look like
// commands themselves.
#include "WritingFixture.h"

#include "session/UpFile.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using namespace kavrel::test::writinglogs;

namespace {

QString describe(const UpCommand &c)
{
    static const char *const kinds[] = { "write", "response", "mail", "chat", "batch", "other" };
    return QString::fromLatin1(kinds[int(c.kind)]) + u' ' + QString::number(c.board) + u'|' + c.reference
        + u'|' + c.recipients.join(u',') + u'|' + c.title + u'|' + c.body.join(u'/') + u'@'
        + QString::number(c.start) + u'+' + QString::number(c.length)
        + (c.complete ? QString() : QStringLiteral(" open"));
}

const QString kW1 = QStringLiteral("\\ 12\r\nW一通目\r\n最初の書き込み\r\n.\r\nyQ");
// A write to board 7 whose title holds a board command of board 12 and whose
// text begins with "W".
const QString kBackslashTitle = QStringLiteral("\\ 7\r\nWC:\\ 12\r\nWindows の話\r\n.\r\nyQ");
const QString kMwLine = QStringLiteral("\\ 12\r\nW件名\r\nmw\r\n.\r\nyQ");
const QString kX1Line = QStringLiteral("\\ 12\r\nW件名\r\nX1\r\n.\r\nyQ");
const QString kMail = QStringLiteral("mw\r\n 200\r\n\r\n\r\n返事\r\n了解です\r\n.\r\ny");
const QString kQuotedMail = QStringLiteral("mw\r\n 200\r\n\r\n\r\n件名\r\n>引用\r\n.\r\nyes\r\n.\r\ny");
const QString kQuotedResponse
    = QStringLiteral("\\ 12\r\n305\r\nPRe:今日の一枚\r\n>鈴木です。\r\n.\r\n>近所の\r\n.\r\nyQ");

} // namespace

class tst_UpFile : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void phantomMarks_data();
    void phantomMarks();
    void rewriteCutsTheRowsCommand();
};

void tst_UpFile::parse_data()
{
    QTest::addColumn<QString>("up");
    QTest::addColumn<QStringList>("commands");

    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("write") << QStringLiteral("\\ 12\r\nWHello\r\nWorld\r\n.\r\nyQ")
                           << QStringList { "write 12|||Hello|World@0+26" };
    QTest::newRow("response, batch mark, title only")
        << QStringLiteral("\\ 3\r\n100\r\nPRe\r\n.\r\nyQ\\ 3\r\n 345\r\nSQ")
        << QStringList { "response 3|100||Re|@0+20", "batch 3| 345|||@20+13" };
    QTest::newRow("mail with two recipients")
        << QStringLiteral("mw\r\n 100\r\n\r\n 200\r\n\r\n\r\nT\r\nB\r\n.\r\ny")
        << QStringList { "mail 0|| 100, 200|T|B@0+32" };
    QTest::newRow("chat") << QStringLiteral("X5\r\none\r\ntwo.\r\n.\r\n")
                          << QStringList { "chat 5|||one|two.@0+18" };
    QTest::newRow("a text line '.' does not end a mail")
        << kQuotedMail + kMail
        << QStringList { "mail 0|| 200|件名|>引用/./yes@0+35", "mail 0|| 200|返事|了解です@35+28" };
    QTest::newRow("a text line '.' does not end a chat")
        << QStringLiteral("X1\r\na\r\n.\r\nb\r\n.\r\n") << QStringList { "chat 1|||a|./b@0+16" };
    QTest::newRow("the user's own commands around ours")
        << QStringLiteral("ATZ\r\n") + kW1 + QStringLiteral("BYE\r\n")
        << QStringList { "other 0||||@0+5", "write 12|||一通目|最初の書き込み@5+26", "other 0||||@31+5" };
    QTest::newRow("the user's text between two of ours")
        << kW1 + QStringLiteral("BYE\r\n") + kW1
        << QStringList { "write 12|||一通目|最初の書き込み@0+26", "other 0||||@26+5",
               "write 12|||一通目|最初の書き込み@31+26" };
    QTest::newRow("a write without its end shows its complete lines") << QStringLiteral(
        "\\ 12\r\nWtitle\r\nline\r\n.\r\nyes") << QStringList { "write 12|||title|line@0+26 open" };
    QTest::newRow("a write cut off in its title")
        << QStringLiteral("\\ 12\r\nWcut off") << QStringList { "write 12|||cut off|@0+14 open" };
    QTest::newRow("board line that is no number")
        << QStringLiteral("\\ ab\r\nWx\r\n.\r\nyQ") << QStringList { "other 0||||@0+15" };
    QTest::newRow("mail without its empty lines")
        << QStringLiteral("mw\r\n 100\r\nT\r\n.\r\ny") << QStringList { "other 0||||@0+17" };
}

void tst_UpFile::parse()
{
    QFETCH(QString, up);
    QFETCH(QStringList, commands);
    const UpFile file(up);
    QStringList got;
    for (const UpCommand &c : file.commands())
        got << describe(c);
    QCOMPARE(got, commands);
    // Written back, every character stays; cut, every other one does.
    QCOMPARE(file.toText(), up);
    for (const UpCommand &c : file.commands())
        QCOMPARE(file.without(c), up.left(c.start) + up.mid(c.start + c.length));
}

void tst_UpFile::phantomMarks_data()
{
    QTest::addColumn<QString>("up");
    QTest::addColumn<int>("board"); // -1: the chat room
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QStringList>("shown"); // the first mark row clicked
    QTest::addColumn<QString>("afterDelete");

    QTest::newRow("a title that contains a board command")
        << kBackslashTitle + kW1 << 12 << QStringList { "[書込 1]" }
        << QStringList { "一通目", "最初の書き込み" } << kBackslashTitle;
    QTest::newRow("a text line mw") << kMwLine + kMail << 0 << QStringList { "[手紙 1]" }
                                    << QStringList { "返事", "了解です" } << kMwLine;
    QTest::newRow("a text line X1") << kX1Line << -1 << QStringList() << QStringList() << kX1Line;
    QTest::newRow("a line '.' in a quoted mail")
        << kQuotedMail + kMail << 0 << QStringList { "[手紙 1]", "[手紙 2]" }
        << QStringList { "件名", ">引用", ".", "yes" } << kMail;
    QTest::newRow("a line '.' in a quoted response")
        << kQuotedResponse << 12 << QStringList { "[レス 1]" }
        << QStringList { "Re:今日の一枚", ">鈴木です。", ".", ">近所の" } << QString();
}

void tst_UpFile::phantomMarks()
{
    QFETCH(QString, up);
    QFETCH(int, board);
    QFETCH(QStringList, marks);
    QFETCH(QStringList, shown);
    QFETCH(QString, afterDelete);
    WritingFixture f;
    f.setUpFile(up);
    f.open(standardLog());
    f.select(board < 0 ? f.chatRoom() : f.boardOf(board));
    QStringList got = f.marks();
    if (board < 0)
        got = f.titles().filter(QStringLiteral("[書込"));
    QCOMPARE(got, marks);
    if (marks.isEmpty())
        return;

    f.click(marks.first());
    QCOMPARE(f.session.main.Article.items, shown);
    f.messages.answers = { MsgAnswer::Ok };
    f.press('D');
    QCOMPARE(f.session.upFile.text(), afterDelete);
    QCOMPARE(f.upBytes(), sjis(afterDelete));
}

void tst_UpFile::rewriteCutsTheRowsCommand()
{
    WritingFixture f;
    f.setUpFile(kBackslashTitle + kW1);
    f.open(standardLog());
    f.select(f.boardOf(12));
    f.click(QStringLiteral("[書込 1]"));
    f.script.willWrite(QStringLiteral("改\r\n書き直し"));
    f.press('E');
    QCOMPARE(
        f.session.upFile.text(), kBackslashTitle + QStringLiteral("\\ 12\r\nW改\r\n書き直し\r\n.\r\nyQ"));
}

QTEST_GUILESS_MAIN(tst_UpFile)
#include "tst_upfile.moc"
