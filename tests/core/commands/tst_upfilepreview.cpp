// The rows of the send preview: every command kind and every warning.
#include "TestSupport.h"

#include "commands/UpFileCommands.h"
#include "commands/UpFilePreview.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
namespace upfile = kavrel::commands::upfile;
namespace preview = kavrel::commands::preview;

namespace {

// The row of a lone command: its fields with the command's Shift-JIS size.
QString row(const QString &command, const QString &fields, const QString &warnings = {})
{
    return QString(fields).replace(QStringLiteral("%1"), QString::number(sjis(command).size())) + u'\t'
        + warnings;
}

} // namespace

class tst_UpFilePreview : public QObject
{
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
    void shownCells_data();
    void shownCells();
};

void tst_UpFilePreview::rows_data()
{
    QTest::addColumn<QString>("up");
    QTest::addColumn<QStringList>("expected");

    const QString write = upfile::writeCommand(12, QStringLiteral("T\r\nB"), QString());
    QTest::newRow("write, its bytes as sent")
        << write << QStringList { QStringLiteral("1\twrite\t12\t\tT\t18\t") };
    const QString response
        = upfile::responseCommand(12, QStringLiteral("305"), QStringLiteral("Re:題\r\n本文"), QString());
    QTest::newRow("response to an article in the logs")
        << response << QStringList { row(response, QStringLiteral("1\tresponse\t12\t305\tRe:題\t%1")) };
    const QString serial
        = upfile::responseCommand(12, QStringLiteral("%000306"), QStringLiteral("Re\r\nx"), QString());
    QTest::newRow("serial reference")
        << serial << QStringList { row(serial, QStringLiteral("1\tresponse\t12\t%000306\tRe\t%1")) };
    const QString mail = upfile::mailCommand(
        { QStringLiteral("100"), QStringLiteral("KAV00123") }, QStringLiteral("件名\r\n本文"), QString());
    QTest::newRow("mail to two") << mail
                                 << QStringList { row(
                                        mail, QStringLiteral("1\tmail\t0\t100,KAV00123\t件名\t%1")) };
    const QString chat = upfile::chatCommand(2, QStringLiteral("こんにちは\r\n元気です"));
    QTest::newRow("chat write in room 2")
        << chat << QStringList { row(chat, QStringLiteral("1\tchat\t2\t\tこんにちは\t%1")) };
    const QString batch = upfile::batchCommand(12, 307);
    QTest::newRow("batch mark: no text, no warning")
        << batch << QStringList { row(batch, QStringLiteral("1\tbatch\t12\t307\t\t%1")) };

    const QString titleOnly = upfile::writeCommand(12, QStringLiteral("題だけ"), QString());
    QTest::newRow("empty: title only")
        << titleOnly << QStringList { row(titleOnly, QStringLiteral("1\twrite\t12\t\t題だけ\t%1"), "empty") };
    const QString signedOnly
        = upfile::writeCommand(12, QStringLiteral("題\r\n"), QStringLiteral("-- 山田 26/12/07\r\n"));
    QTest::newRow("empty: nothing beyond the signature")
        << signedOnly << QStringList { row(signedOnly, QStringLiteral("1\twrite\t12\t\t題\t%1"), "empty") };
    const QString signedText
        = upfile::writeCommand(12, QStringLiteral("題\r\n本文"), QStringLiteral("-- 山田 26/12/07\r\n"));
    QTest::newRow("signed text is not empty")
        << signedText << QStringList { row(signedText, QStringLiteral("1\twrite\t12\t\t題\t%1")) };
    const QString emptyChat = upfile::chatCommand(2, QStringLiteral(" "));
    QTest::newRow("empty chat write")
        << emptyChat << QStringList { row(emptyChat, QStringLiteral("1\tchat\t2\t\t \t%1"), "empty") };

    const QString unknownBoard = upfile::writeCommand(99, QStringLiteral("T\r\nB"), QString());
    QTest::newRow("unknown board") << unknownBoard
                                   << QStringList { row(unknownBoard, QStringLiteral("1\twrite\t99\t\tT\t%1"),
                                          "unknown-board") };
    const QString unknownArticle
        = upfile::responseCommand(12, QStringLiteral("999"), QStringLiteral("Re\r\nx"), QString());
    QTest::newRow("unknown article") << unknownArticle
                                     << QStringList { row(unknownArticle,
                                            QStringLiteral("1\tresponse\t12\t999\tRe\t%1"),
                                            "unknown-article") };
    const QString neither
        = upfile::responseCommand(99, QStringLiteral("305"), QStringLiteral("Re\r\nx"), QString());
    QTest::newRow("unknown board and article")
        << neither
        << QStringList { row(
               neither, QStringLiteral("1\tresponse\t99\t305\tRe\t%1"), "unknown-board,unknown-article") };
    const QString nobody = upfile::mailCommand({}, QStringLiteral("件名\r\n本文"), QString());
    QTest::newRow("mail without a recipient")
        << nobody << QStringList { row(nobody, QStringLiteral("1\tmail\t0\t\t件名\t%1"), "no-recipient") };

    // 80 half-width columns pass, 81 do not; a full-width character takes two.
    const QString at80
        = upfile::writeCommand(12, QStringLiteral("T\r\n") + QString(40, QChar(0x3042)), QString());
    QTest::newRow("line of 80 columns")
        << at80 << QStringList { row(at80, QStringLiteral("1\twrite\t12\t\tT\t%1")) };
    const QString at81 = upfile::writeCommand(12, QStringLiteral("T\r\n") + QString(81, u'a'), QString());
    QTest::newRow("line of 81 columns")
        << at81 << QStringList { row(at81, QStringLiteral("1\twrite\t12\t\tT\t%1"), "long-line") };
    const QString longTitle
        = upfile::writeCommand(12, QString(41, QChar(0x3042)) + QStringLiteral("\r\nB"), QString());
    QTest::newRow("long title") << longTitle
                                << QStringList { row(longTitle,
                                       QStringLiteral("1\twrite\t12\t\t") + QString(41, QChar(0x3042))
                                           + QStringLiteral("\t%1"),
                                       "long-line") };

    const QString unclosed = QStringLiteral("\\ 12\r\nWT\r\nB\r\n");
    QTest::newRow("closing line missing")
        << unclosed << QStringList { row(unclosed, QStringLiteral("1\twrite\t12\t\tT\t%1"), "unclosed") };

    QTest::newRow("numbered in send order, the user's own text left out")
        << QStringLiteral("メモ\r\n") + write + batch + mail
        << QStringList { QStringLiteral("1\twrite\t12\t\tT\t18\t"),
               row(batch, QStringLiteral("2\tbatch\t12\t307\t\t%1")),
               row(mail, QStringLiteral("3\tmail\t0\t100,KAV00123\t件名\t%1")) };
    QTest::newRow("nothing waiting") << QString() << QStringList {};
}

void tst_UpFilePreview::rows()
{
    QFETCH(QString, up);
    QFETCH(QStringList, expected);

    preview::Facts facts;
    facts.signature = QStringLiteral("-- 山田 %_YEAR_%/%_MONTH_%/%_DAY_%\r\n");
    facts.boardKnown = [](qint64 board) { return board == 12 || board == 1; };
    facts.articleKnown = [](qint64 board, const QString &reference) {
        return board == 12 && (reference == u"305" || reference == u"%000306");
    };
    QStringList got;
    const QList<preview::Row> rows = preview::rows(UpFile(up), facts);
    for (const preview::Row &r : rows) {
        got << r.fields().join(u'\t');
        QCOMPARE(r.text.size() > 0, true);
    }
    QCOMPARE(got, expected);
    if (!rows.isEmpty() && expected.size() == 1)
        QCOMPARE(rows.first().text, up);
}

void tst_UpFilePreview::shownCells_data()
{
    QTest::addColumn<QString>("up");
    QTest::addColumn<QStringList>("cells"); // number, kind, board, reference, title, bytes aside
    QTest::addColumn<QString>("text");

    QTest::newRow("board named by the board list, two first lines")
        << upfile::writeCommand(12, QStringLiteral("T\r\n一\r\n二\r\n三"), QString())
        << QStringList { QStringLiteral("書込"), QStringLiteral("12 趣味の部屋"), QStringLiteral("一↵ 二"),
               {} }
        << QStringLiteral("\\ 12↵\nWT↵\n一↵\n二↵\n三↵\n.↵\nyQ");
    QTest::newRow("board in no board list: its number alone")
        << upfile::writeCommand(99, QStringLiteral("T\r\nB"), QString())
        << QStringList { QStringLiteral("書込"), QStringLiteral("99"), QStringLiteral("B"),
               QStringLiteral("ボードがありません") }
        << QStringLiteral("\\ 99↵\nWT↵\nB↵\n.↵\nyQ");
    QTest::newRow("mail: the mail box")
        << upfile::mailCommand({ QStringLiteral("100") }, QStringLiteral("件名"), QString())
        << QStringList { QStringLiteral("手紙"), QStringLiteral("0 メールボックス"), {},
               QStringLiteral("本文なし") }
        << QStringLiteral("mw↵\n 100↵\n↵\n↵\n件名↵\n.↵\ny");
    QTest::newRow("chat write: the room")
        << upfile::chatCommand(2, QStringLiteral("やあ\r\n元気"))
        << QStringList { QStringLiteral("チャット"), QStringLiteral("2 [XCHAT] No2.雑談"),
               QStringLiteral("元気"), {} }
        << QStringLiteral("X2↵\nやあ↵\n元気↵\n.↵\n");
}

void tst_UpFilePreview::shownCells()
{
    QFETCH(QString, up);
    QFETCH(QStringList, cells);
    QFETCH(QString, text);

    preview::Facts facts;
    facts.boardKnown = [](qint64 board) { return board == 12; };
    facts.boardNames = { { 0, QStringLiteral("メールボックス") }, { 12, QStringLiteral("趣味の部屋") } };
    facts.chatRoomNames = { { 2, QStringLiteral("[XCHAT] No2.雑談") } };
    const QList<preview::Row> rows = preview::rows(UpFile(up), facts);
    QCOMPARE(rows.size(), 1);
    const QStringList shown = preview::shownCells(rows.first());
    QCOMPARE(shown.size(), 8);
    QCOMPARE((QStringList { shown.at(1), shown.at(2), shown.at(6), shown.at(7) }), cells);
    QCOMPARE(preview::shownText(rows.first()), text);
}

QTEST_GUILESS_MAIN(tst_UpFilePreview)
#include "tst_upfilepreview.moc"
