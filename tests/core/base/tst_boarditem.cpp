#include "base/BoardItem.h"
#include "base/BoardItemText.h"

#include <QTest>

using namespace kavrel;
using Kind = BoardItem::Kind;

Q_DECLARE_METATYPE(BoardItem::Kind)

class TestBoardItem : public QObject
{
    Q_OBJECT

private slots:
    void readOnceAsTheHelpersRead_data();
    void readOnceAsTheHelpersRead();
};

void TestBoardItem::readOnceAsTheHelpersRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("name");

    QTest::newRow("mail box") << QStringLiteral("No.0 ｢メールボックス｣") << Kind::Mail << qint64(0)
                              << QStringLiteral("メールボックス");
    QTest::newRow("mail box after a blank")
        << QStringLiteral("No. 0 ｢メール｣") << Kind::Mail << qint64(0) << QStringLiteral("メール");
    QTest::newRow("board") << QStringLiteral("No.12 ｢ソフト｣") << Kind::Board << qint64(12)
                           << QStringLiteral("ソフト");
    QTest::newRow("board without a blank")
        << QStringLiteral("No.3｢雑談｣") << Kind::Board << qint64(3) << QStringLiteral("雑談");
    QTest::newRow("number of six digits")
        << QStringLiteral("No.123456 ｢長い｣") << Kind::Board << qint64(123456) << QStringLiteral("長い");
    QTest::newRow("cut before the closing bracket")
        << QStringLiteral("No.7 ｢切れた") << Kind::Board << qint64(7) << QStringLiteral("切れた");
    QTest::newRow("no bracket") << QStringLiteral("No.7 雑談") << Kind::Board << qint64(0) << QString();
    QTest::newRow("a zero that starts the number reads as the mail box")
        << QStringLiteral("No.05 ｢五｣") << Kind::Mail << qint64(5) << QStringLiteral("五");
    QTest::newRow("chat room") << QStringLiteral("[XCHAT] No 3.雑談ルーム (5人)") << Kind::Chat << qint64(3)
                               << QString();
    QTest::newRow("chat room with brackets")
        << QStringLiteral("[XCHAT] No12.｢部屋｣") << Kind::Chat << qint64(12) << QString();
    QTest::newRow("chat room without a dot")
        << QStringLiteral("[XCHAT] No 5 ｢昼｣") << Kind::Chat << qint64(0) << QString();
    QTest::newRow("empty") << QString() << Kind::Board << qint64(0) << QString();
}

void TestBoardItem::readOnceAsTheHelpersRead()
{
    QFETCH(QString, text);
    QFETCH(Kind, kind);
    QFETCH(qint64, number);
    QFETCH(QString, name);
    const BoardItem item = BoardItem::fromText(text, QStringLiteral("KEY"));
    QCOMPARE(item.text, text);
    QCOMPARE(item.kind, kind);
    QCOMPARE(item.number, number);
    QCOMPARE(item.name, name);
    QCOMPARE(item.key, item.isChat() ? QString() : QStringLiteral("KEY"));
    // The same answers as reading the text each time.
    QCOMPARE(item.isChat(), boarditem::isChat(text));
    QCOMPARE(item.isMailBox(), !boarditem::isChat(text) && boarditem::isMailBox(text));
    QCOMPARE(item.boardNumber(), boarditem::boardNumber(text));
    QCOMPARE(item.batchNumber, boarditem::fiveDigitBoardNumber(text));
    if (item.isChat())
        QCOMPARE(item.number, boarditem::chatNumber(text));
}

QTEST_GUILESS_MAIN(TestBoardItem)
#include "tst_boarditem.moc"
