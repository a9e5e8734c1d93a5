// The move table, its file and the target shown for the current board.
#include "ReaderModes.h"
#include "WritingFixture.h"

#include "commands/BoardItem.h"
#include "moveres/MoveTable.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using namespace kavrel::moveres;

class tst_MoveTable : public QObject
{
    Q_OBJECT

private slots:
    void boardNumber_data();
    void boardNumber();
    void fileRoundTrip();
    void shortAndMissingFiles();
    void loadUsesTheBoardListName_data();
    void loadUsesTheBoardListName();
    void showTarget_data();
    void showTarget();
};

void tst_MoveTable::boardNumber_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<qint64>("number");
    QTest::newRow("board") << QStringLiteral("No.12 ｢雑談｣") << qint64(12);
    QTest::newRow("no blank before the bracket") << QStringLiteral("No.12｢雑談｣") << qint64(12);
    QTest::newRow("mail box") << QStringLiteral("No.0 ｢メール｣") << qint64(0);
    QTest::newRow("no bracket") << QStringLiteral("No.12 chat") << qint64(0);
    QTest::newRow("no dot") << QStringLiteral("No12 ｢x｣") << qint64(0);
    QTest::newRow("empty") << QString() << qint64(0);
}

void tst_MoveTable::boardNumber()
{
    QFETCH(QString, item);
    QFETCH(qint64, number);
    QCOMPARE(boardNumberOfItem(item), number);
    // The writing commands read the same number off a board item.
    if (item.contains(QStringLiteral("｢")) && item.startsWith(QStringLiteral("No.")))
        QCOMPARE(commands::boarditem::boardNumber(item), number);
}

void tst_MoveTable::fileRoundTrip()
{
    QStringList table = decodeMoveTable({});
    QCOMPARE(table.size(), 501);
    table[0] = QStringLiteral("0");
    table[12] = QStringLiteral("7");
    table[500] = QStringLiteral("123");
    const QByteArray bytes = encodeMoveTable(table);
    QCOMPARE(bytes.size(), 1503);
    QCOMPARE(bytes.left(3), QByteArray("0  "));
    QCOMPARE(bytes.mid(36, 3), QByteArray("7  "));
    QCOMPARE(bytes.mid(1500, 3), QByteArray("123"));
    const QStringList back = decodeMoveTable(bytes);
    QCOMPARE(targetOf(back, 12), qint64(7));
    QCOMPARE(targetOf(back, 500), qint64(123));
    QCOMPARE(targetOf(back, 0), qint64(0));
    QCOMPARE(targetOf(back, 501), qint64(0));
    QCOMPARE(encodeMoveTable(back), bytes);
    // A double-byte entry is cut without splitting a character.
    table[1] = QStringLiteral("なし");
    QCOMPARE(encodeMoveTable(table).mid(3, 3), QByteArray("\x82\xc8 "));
}

void tst_MoveTable::shortAndMissingFiles()
{
    const QStringList table = decodeMoveTable(QByteArray("5  7"));
    QCOMPARE(targetOf(table, 0), qint64(5));
    QCOMPARE(targetOf(table, 1), qint64(7));
    QCOMPARE(targetOf(table, 2), qint64(0));
    QCOMPARE(table.size(), 501);
}

void tst_MoveTable::loadUsesTheBoardListName_data()
{
    QTest::addColumn<QString>("boardListName");
    QTest::addColumn<QString>("base");
    QTest::newRow("extension dropped") << QStringLiteral("DAV.bl") << QStringLiteral("DAV");
    QTest::newRow("first dot") << QStringLiteral("a.b.c") << QStringLiteral("a");
    QTest::newRow("no dot: the whole name") << QStringLiteral("NIFTY") << QStringLiteral("NIFTY");
}

void tst_MoveTable::loadUsesTheBoardListName()
{
    QFETCH(QString, boardListName);
    QFETCH(QString, base);
    WritingFixture f;
    f.session.NetTable[0][settings::NetRecord::Board_list_File_Name] = boardListName;
    QByteArray bytes(1503, ' ');
    bytes.replace(9, 3, "42 ");
    writeFile(f.session.Dir[settings::DirRecord::BL_Dir] + u'/' + base + QStringLiteral(".IDO"), bytes);
    LoadMoveTable(f.session);
    QCOMPARE(f.session.moves.MoveFileBase, base);
    QCOMPARE(targetOf(f.session.moves.MoveTable, 3), qint64(42));

    QVERIFY(SaveMoveTable(f.session));
    QCOMPARE(readFile(moveFilePath(f.session)), bytes);
}

void tst_MoveTable::showTarget_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("idoText");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    const QString board = QStringLiteral("No.12 ｢雑談｣");
    QTest::newRow("target") << board << "7  "
                            << ""
                            << ""
                            << "7" << true;
    QTest::newRow("target 0") << board << "0  "
                              << ""
                              << ""
                              << "なし" << true;
    QTest::newRow("blank") << board << "   "
                           << ""
                           << ""
                           << "なし" << true;
    QTest::newRow("move Res uses the window") << board << "7  "
                                              << "move Res"
                                              << "3"
                                              << "3" << true;
    QTest::newRow("move Res, なし") << board << "7  "
                                    << "move Res"
                                    << "なし"
                                    << "なし" << true;
    QTest::newRow("mail box") << QStringLiteral("No.0 ｢メール｣") << "7  "
                              << ""
                              << ""
                              << "なし" << false;
    QTest::newRow("board above 500") << QStringLiteral("No.777 ｢x｣") << "7  "
                                     << ""
                                     << ""
                                     << "なし" << true;
}

void tst_MoveTable::showTarget()
{
    QFETCH(QString, item);
    QFETCH(QString, entry);
    QFETCH(QString, kind);
    QFETCH(QString, idoText);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    WritingFixture f;
    f.setBoards({ item });
    f.session.main.Board_List.ListIndex = 0;
    f.session.moves.MoveTable[12] = entry;
    f.session.moves.MoveTable[0] = entry;
    f.session.reading.LastWrittenKind = readerMode(kind);
    ShowMoveTarget(f.session, idoText);
    QCOMPARE(f.session.main.To_No.Caption, caption);
    QCOMPARE(f.session.main.To_No.enabled, enabled);
}

QTEST_GUILESS_MAIN(tst_MoveTable)
#include "tst_movetable.moc"
