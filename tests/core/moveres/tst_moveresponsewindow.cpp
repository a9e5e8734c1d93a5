// The move-response window in table editing; the temporary move-response
// runs in the writing flows.
#include "ReaderModes.h"
#include "WritingFixture.h"

#include "moveres/MoveResponseWindow.h"
#include "moveres/MoveTable.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using namespace kavrel::moveres;

namespace {
const QString kMail = writinglogs::kMailBox;
const QString kB1 = writinglogs::kBoard1;
const QString kB7 = writinglogs::kBoard7;
const QString kB12 = writinglogs::kBoard12;

// The standard net's log open (boards 0, 1, 7 and 12 and a chat room), board
// 12 shown.
void net(WritingFixture &f)
{
    f.open(writinglogs::standardLog());
    QCOMPARE(f.session.main.Board_List.items,
        (QStringList { kMail, kB1, kB7, kB12, QStringLiteral("[XCHAT] No1.雑談ルーム") }));
    f.select(3);
}
} // namespace

class tst_MoveResponseWindow : public QObject
{
    Q_OBJECT

private slots:
    void openForTableEditing();
    void targetSelectsFirstItemWithItsDigits();
    void acceptSavesTheTable();
    void sourceAsItsOwnTargetClears();
    void targetTooLongForItsEntry();
    void upDownKeepTypedNumbers();
    void escapeAndCancel();
    void okWithoutBoardsIsNoMailReply();
};

void tst_MoveResponseWindow::openForTableEditing()
{
    WritingFixture f;
    net(f);
    f.compose.showMoveSettings();
    auto &w = f.compose.moveWindow();
    QVERIFY(w.visible);
    QVERIFY(!f.session.main.enabled);
    QCOMPARE(w.ido_board_list.items, (QStringList { kB1, kB7, kB12 }));
    QCOMPARE(w.ido_board_list2.items, (QStringList { kB1, kB7, kB12 }));
    QCOMPARE(w.ido_board_list.ListIndex, 0);
    QCOMPARE(w.ido_board_list2.ListIndex, 0);
    QCOMPARE(w.IDO_TEXT, QStringLiteral("なし"));
}

void tst_MoveResponseWindow::targetSelectsFirstItemWithItsDigits()
{
    WritingFixture f;
    net(f);
    f.session.moves.MoveTable[12] = QStringLiteral("1  ");
    f.compose.showMoveSettings();
    auto &w = f.compose.moveWindow();
    w.selectSource(2);
    QCOMPARE(w.IDO_TEXT, QStringLiteral("1"));
    QCOMPARE(w.ido_board_list2.selectedText(), kB1);
}

void tst_MoveResponseWindow::acceptSavesTheTable()
{
    WritingFixture f;
    net(f);
    f.compose.showMoveSettings();
    auto &w = f.compose.moveWindow();
    w.selectSource(2); // board 12
    w.selectTarget(1); // board 7
    w.saveMoveTable();
    QVERIFY(!w.visible);
    QVERIFY(f.session.main.enabled);
    const QByteArray bytes = readFile(moveFilePath(f.session));
    QCOMPARE(bytes.size(), 1503);
    QCOMPARE(bytes.mid(36, 3), QByteArray("7  "));
    QCOMPARE(f.session.main.To_No.Caption, QStringLiteral("7")); // the current board is 12
}

void tst_MoveResponseWindow::sourceAsItsOwnTargetClears()
{
    WritingFixture f;
    net(f);
    f.session.moves.MoveTable[12] = QStringLiteral("7  ");
    f.compose.showMoveSettings();
    auto &w = f.compose.moveWindow();
    w.selectSource(2);
    w.selectTarget(2);
    w.saveMoveTable();
    QCOMPARE(readFile(moveFilePath(f.session)).mid(36, 3), QByteArray("0  "));
    QCOMPARE(f.session.main.To_No.Caption, QStringLiteral("なし"));
}

void tst_MoveResponseWindow::targetTooLongForItsEntry()
{
    // An entry holds three characters: board 1000 would be kept as 100, a
    // board the user did not choose. The entry keeps what it had.
    WritingFixture f;
    f.setBoards({ kB1, kB12, QStringLiteral("No.1000 ｢千番目｣") });
    f.session.moves.MoveTable = decodeMoveTable({});
    f.session.moves.MoveTable[12] = QStringLiteral("1  ");
    f.compose.showMoveSettings();
    auto &w = f.compose.moveWindow();
    w.selectSource(1); // board 12
    w.selectTarget(2); // board 1000
    w.saveMoveTable();
    QCOMPARE(f.session.moves.MoveTable.at(12), QStringLiteral("1  "));
    QCOMPARE(readFile(moveFilePath(f.session)).mid(36, 3), QByteArray("1  "));

    // Three digits fit.
    f.setBoards({ kB1, kB12, QStringLiteral("No.500 ｢五百番目｣") });
    f.compose.showMoveSettings();
    w.selectSource(1);
    w.selectTarget(2);
    w.saveMoveTable();
    QCOMPARE(readFile(moveFilePath(f.session)).mid(36, 3), QByteArray("500"));
}

void tst_MoveResponseWindow::upDownKeepTypedNumbers()
{
    WritingFixture f;
    net(f);
    f.compose.showMoveSettings();
    auto &w = f.compose.moveWindow();
    // Board 1: type 12 over "なし", Down keeps it and shows board 7's entry.
    w.typeIntoIdoText(u'1');
    w.typeIntoIdoText(u'2');
    QCOMPARE(w.IDO_TEXT, QStringLiteral("12"));
    w.keyInTargetField(40);
    QCOMPARE(f.session.moves.MoveTable[1], QStringLiteral("12"));
    QCOMPARE(w.ido_board_list.ListIndex, 1);
    QCOMPARE(w.IDO_TEXT, QStringLiteral("なし"));
    // Board 7: a number that is no listed board is not kept.
    w.typeIntoIdoText(u'9');
    w.typeIntoIdoText(u'9');
    w.keyInTargetField(40);
    QCOMPARE(targetOf(f.session.moves.MoveTable, 7), qint64(0));
    QCOMPARE(w.ido_board_list.ListIndex, 2);
    // Up at the top stays; the field keeps at most three characters.
    w.selectSource(0);
    QCOMPARE(w.IDO_TEXT, QStringLiteral("12"));
    w.keyInTargetField(38);
    QCOMPARE(w.ido_board_list.ListIndex, 0);
    w.typeIntoIdoText(u'3');
    w.typeIntoIdoText(u'4');
    QCOMPARE(w.IDO_TEXT, QStringLiteral("123"));
    // Closing without OK keeps the memory change but saves nothing.
    w.pressKey(27);
    QVERIFY(!QFile::exists(moveFilePath(f.session)));
}

void tst_MoveResponseWindow::escapeAndCancel()
{
    WritingFixture f;
    net(f);
    f.session.reading.LastWrittenKind = ReaderMode::Write;
    f.compose.showMoveSettings();
    f.compose.moveWindow().pressCancelButton(); // table editing: the kind stays
    QCOMPARE(readerModeName(f.session.reading.LastWrittenKind), QStringLiteral("Write"));
    f.compose.showMoveSettings();
    f.compose.moveWindow().pressKey(27);
    QCOMPARE(readerModeName(f.session.reading.LastWrittenKind), QStringLiteral("Write"));
    f.compose.showMoveSettings();
    f.compose.moveWindow().keyInTargetList(27);
    QVERIFY(f.session.reading.LastWrittenKind == ReaderMode::None);
    QVERIFY(f.session.main.enabled);
    QVERIFY(!QFile::exists(moveFilePath(f.session)));
}

void tst_MoveResponseWindow::okWithoutBoardsIsNoMailReply()
{
    WritingFixture f;
    // A log whose only board is the mail box.
    f.open(crlfLines({ QStringLiteral("Main Command(?:Help)>MR"), kMail,
        QStringLiteral("======================================="),
        QStringLiteral("mail 26/12/06 21:03:11 (0200) こんにちは"),
        QStringLiteral("    412 bytes 0200:山田花子 "), QStringLiteral("本文"),
        QStringLiteral("読み終わりました。") }));
    QCOMPARE(f.session.main.Board_List.items, QStringList { kMail });
    f.select(0);
    f.compose.showMoveSettings();
    auto &w = f.compose.moveWindow();
    QVERIFY(w.ido_board_list.isEmpty());
    w.saveMoveTable();
    QVERIFY(f.session.reading.LastWrittenKind != ReaderMode::MailReply);
    QVERIFY(!f.compose.idListWindow().visible);
}

QTEST_GUILESS_MAIN(tst_MoveResponseWindow)
#include "tst_moveresponsewindow.moc"
