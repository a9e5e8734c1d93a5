// A board's title list as a value, made from a few log lines, the board, the
// up file and the markers alone: each row's kind, indent, number, info, title,
// serial, batch mark and the log line its text starts on.

#include "ReaderFixtures.h"

#include "reader/TitleRows.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::test;

namespace {

settings::NetMarkers testMarkers()
{
    return { TestMarkers::articleHeader(), TestMarkers::mainPrompt(), TestMarkers::readEnd(),
        TestMarkers::subcommand(), TestMarkers::xchat() };
}

// "A  [2] B:b | 二 #102+200 S @5": kind (Article, Mail, Chat, Waiting
// command), the indent, the number, info, title, a serial net's number and
// blanks, the batch mark, and the line (1-based) where the row's text starts.
QString described(const reader::TitleRow &row, const QString &log)
{
    static const char kinds[] = { 'A', 'M', 'C', 'W' };
    QString out = QChar::fromLatin1(kinds[int(row.kind)]) + u' ' + QString(row.depth, u' ') + row.bracketed()
        + u' ' + row.info.toString() + QStringLiteral(" | ") + row.title.toString();
    if (row.serial)
        out += QStringLiteral(" #%1+%2").arg(*row.serial).arg(row.blanks);
    if (row.batchMarked)
        out += QStringLiteral(" S");
    if (row.logPosition > 0)
        out += QStringLiteral(" @%1").arg(log.left(row.logPosition - 1).count(QStringLiteral("\r\n")) + 1);
    return out;
}

} // namespace

class TestTitleRows : public QObject
{
    Q_OBJECT

private slots:
    void rowsOfALog_data();
    void rowsOfALog();
};

void TestTitleRows::rowsOfALog_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("board");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("up");
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("rows");

    const QString h = headerLine();
    const QString end = TestMarkers::readEnd();
    const QString sub = TestMarkers::subcommand();
    const QString talk = QStringLiteral("No.1 ｢雑談｣");
    const QStringList thread = { h, "K(1/9) 26/12/01 10:00:00 一", "  5 bytes A:a", h,
        "K(2/9) 26/12/01 10:00:00 二", " <1:A へ", "  5 bytes B:b", h, "K(1/9) 26/12/01 10:00:00 一",
        "  5 bytes A:a", h, "K(3/9) 26/12/01 10:00:00 三", "  5 bytes C:c", end };
    QTest::newRow("a thread, an article captured twice")
        << thread << talk << "K" << QString() << false
        << QStringList({ "A [1] A:a | 一 @2", "A  [2] B:b | 二 @5", "A [3] C:c | 三 @12" });
    QTest::newRow("an article not read is left out")
        << QStringList({ h, "K(1/9) 26/12/01 10:00:00 一", "  5 bytes A:a", sub + "n", h,
               "K(2/9) 26/12/01 10:00:00 二", "  5 bytes B:b", sub + "r", end })
        << talk << "K" << QString() << false << QStringList({ "A [2] B:b | 二 @6" });
    QTest::newRow("a garbled number")
        << QStringList({ h, "K(?\?\?\?/9) 26/12/01 10:00:00 化け", "  5 bytes A:a", end }) << talk << "K"
        << QString() << false << QStringList({ "A [????] 不明です | 化け @2" });
    QTest::newRow("another board's articles") << thread << "No.2 ｢他｣"
                                              << "L" << QString() << false << QStringList();
    QTest::newRow("a serial net") << QStringList({ TestMarkers::articleHeader() + "   00101 x",
        "K(1/9) 26/12/01 10:00:00 一", "  5 bytes A:a", TestMarkers::articleHeader() + "     102 x",
        "K(2/9) 26/12/01 10:00:00 二", " <1:A へ", "  5 bytes B:b", end })
                                  << talk << "K" << QString() << true
                                  << QStringList(
                                         { "A [1] A:a | 一 #101+100 @2", "A  [2] B:b | 二 #102+200 @5" });
    QTest::newRow("mails") << QStringList({ h, "mail 26/12/01 09:00 From:X (佐)", "  100 bytes X:佐", "本文",
        end }) << "No.0 ｢メール｣"
                           << "mail"
                           << "mw\r\n 100\r\n\r\n 200\r\n\r\n\r\n題一\r\n本文\r\n.\r\ny" << false
                           << QStringList({ "M [mail ] X:佐 | 佐) @2", "W [手紙 1]  100 200 | 題一" });
    const QString write = "\\ 1\r\nW書いた\r\n本文\r\n.\r\nyQ";
    const QString respond = "\\ 1\r\n%1\r\nP%2\r\n.\r\nyQ";
    QTest::newRow("waiting commands")
        << thread << talk << "K"
        << write + respond.arg("1", "返事") + respond.arg("99", "ない記事へ") + respond.arg("3", "三へ")
            + "\\ 1\r\n 3\r\nSQ"
        << false
        << QStringList({ "A [1] A:a | 一 @2", "A  [2] B:b | 二 @5", "W [レス 1]   | 返事",
               "A [3] C:c | 三 S @12", "W [レス 3]   | 三へ", "W [書込 1]   | 書いた" });
    QTest::newRow("a response on a serial net")
        << QStringList({ TestMarkers::articleHeader() + "   00101 x", "K(1/9) 26/12/01 10:00:00 一",
               "  5 bytes A:a", end })
        << talk << "K" << respond.arg("%101", "返事") << true
        << QStringList({ "A [1] A:a | 一 #101+100 @2", "W [レス 1]   | 返事" + QString(200, u' ') + "101" });
    const QStringList visit = { TestMarkers::xchat(), "1", "1.部屋", "入室", "参加者", "一覧", "[A] やあ",
        "退室", TestMarkers::xchat(), "1", "1.部屋", "入室", "参加者", "一覧", "誰もいません", "退室" };
    QTest::newRow("a chat room's visits, and its chat write")
        << visit + visit.mid(0, 6) + QStringList({ "[B] どうも" }) << "[XCHAT] No1.部屋" << QString()
        << "X1\r\nこんにちは\r\n.\r\n"
        << false << QStringList({ "C [XCHAT]   |   @7", "C [XCHAT]   |   @23", "W [書込]   |  " });
}

void TestTitleRows::rowsOfALog()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, board);
    QFETCH(QString, key);
    QFETCH(QString, up);
    QFETCH(bool, serial);
    QFETCH(QStringList, rows);
    const settings::NetMarkers markers = testMarkers();
    const QString text = crlfLines(lines);
    const logindex::ParsedLog log(text, markers.ArticleHeader, markers.ReadEndMarker, serial);
    const UpFile upFile(up);
    const reader::TitleList list
        = reader::titleListOf({ log, BoardItem::fromText(board, key), key, upFile, markers, serial });
    QStringList shown;
    for (const reader::TitleRow &row : list.rows)
        shown << described(row, text);
    QCOMPARE(shown, rows);
}

QTEST_GUILESS_MAIN(TestTitleRows)
#include "tst_titlerows.moc"
