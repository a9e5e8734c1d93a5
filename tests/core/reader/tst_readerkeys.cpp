#include "ReaderFixtures.h"
#include "ReaderModes.h"
#include "TestKeys.h"

#include "base/BoardItemText.h"
#include "commands/UpFileCommands.h"
#include "reader/Reader.h"

#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
using reader::Reader;

namespace {

struct RecordingCompose : ComposeHost
{
    QList<ReaderCommand> keys;
    // What the command does and reports; nothing by default.
    std::function<ComposeResult(ReaderCommand)> act;
    void runCommand(ReaderCommand command, ComposeDone done) override
    {
        keys.append(command);
        done(act ? act(command) : ComposeResult { command });
    }
};

// A session on the hand log with a reader, the board list showing board 1.
struct Fixture
{
    Session s;
    ScriptedMessages messages;
    RecordingCompose compose;
    Reader reader { s };

    explicit Fixture(int board = 1, bool spaceMoves = true)
    {
        loadHandLog(s);
        s.messages = &messages;
        s.compose = &compose;
        s.Flags[settings::OptionFlags::SpaceMovesOn] = spaceMoves ? "1" : "0";
        s.main.ArticleVisibleLines = 3;
        clickBoard(s.main, board);
    }
    void press(int key, int shift = 0, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            test::pressKey(reader, key, shift);
    }
    int board() const { return s.main.Board_List.ListIndex; }
    int row() const { return s.main.Title.ListIndex; }
    QString firstLine() const { return s.main.Article.isEmpty() ? QString() : s.main.Article.item(0); }
};

} // namespace

class TestReaderKeys : public QObject
{
    Q_OBJECT

private slots:
    void spaceReadsThroughABoardIntoTheNext();
    void spaceOnlyScrollsWithoutTheOption();
    void pageDownAndRightActAsSpace_data();
    void pageDownAndRightActAsSpace();
    void upOutOfTheFirstRowOpensThePrecedingBoardOnItsLastRow();
    void upStopsAtTheFirstBoard();
    void upIntoAnEmptyFirstBoardLeavesNoMoveUpPending();
    void downAtTheLastRowGoesToTheNextNonEmptyBoard();
    void downAtTheEndOfTheLog();
    void shiftDownRunsTheUnreadSearch();
    void searchWalksOverBoardsAndEndsAtTheLastArticle();
    void searchWithoutHitAsksOnce();
    void chainsPassOverWaitingCommands();
    void unreadSearchThatCannotMoveIsNotLeftPending();
    void ctrlSEndsASearch();
    void commandLettersReachTheComposeCommands();
    void theReaderShowsWhatACommandLeft();
    void pendingMoveResponseWritesOnFocus();
    void moveTargetAndOtherColumns();
    void pointerCommands();
    void commandLineHelpers();
    void serialTitlesWithoutTheirPadding();
};

void TestReaderKeys::spaceReadsThroughABoardIntoTheNext()
{
    Fixture f;
    QCOMPARE(f.row(), 0);
    QCOMPARE(f.s.main.Article.ListIndex, 2); // the last line of a three-line screen
    f.press(reader::Key_Space);
    QCOMPARE(f.s.main.Article.ListIndex, 3);
    f.press(reader::Key_Space);
    QCOMPARE(f.s.main.Article.ListIndex, 4); // the end of the article: the next press moves on
    f.press(reader::Key_Space);
    QCOMPARE(f.row(), 1);
    QCOMPARE(f.firstLine(), QString("TALK(1002/1005) 26/12/01 11:00:00 Re:最初の話題"));

    // Two rows on: the last row of board 1.
    f.press(reader::Key_Space, 0, 3);
    QCOMPARE(f.row(), 2);
    f.press(reader::Key_Space, 0, 3);
    QCOMPARE(f.row(), 3);
    QCOMPARE(f.s.main.ArticleCount.Caption, QString("4/4"));
    f.press(reader::Key_Space);
    QCOMPARE(f.board(), 1);
    // Past the end of the board: the empty board 2 is passed over and the
    // first article of board 3 is shown at once.
    f.press(reader::Key_Space);
    QCOMPARE(f.board(), 3);
    QCOMPARE(f.row(), 0);
    QCOMPARE(f.firstLine(), QString("NEWS(2001/2002) 26/12/02 08:00:00 ニュース一"));

    f.press(reader::Key_Space, 0, 3);
    QCOMPARE(f.row(), 1);
    QCOMPARE(f.s.main.Article.ListIndex, 3);
    // The last line of the last article of the last board.
    f.press(reader::Key_Space);
    QCOMPARE(f.s.main.Article.items, QStringList({ "最終アーティクルです。" }));
    QVERIFY(f.messages.shown.isEmpty());
}

void TestReaderKeys::spaceOnlyScrollsWithoutTheOption()
{
    Fixture f(1, false);
    f.press(reader::Key_Space, 0, 5);
    QCOMPARE(f.row(), 0);
    QCOMPARE(f.s.main.Article.ListIndex, 4);
    f.press(reader::Key_Space);
    QCOMPARE(f.row(), 0);
}

void TestReaderKeys::pageDownAndRightActAsSpace_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("PageDown") << int(reader::Key_PageDown);
    QTest::newRow("Right") << int(reader::Key_Right);
}

void TestReaderKeys::pageDownAndRightActAsSpace()
{
    QFETCH(int, key);
    Fixture f;
    f.press(key);
    QCOMPARE(f.s.main.Article.ListIndex, 3);
    QCOMPARE(f.row(), 0);
    f.press(key, 0, 2);
    QCOMPARE(f.row(), 1);
}

void TestReaderKeys::upOutOfTheFirstRowOpensThePrecedingBoardOnItsLastRow()
{
    Fixture f(3);
    QCOMPARE(f.row(), 0);
    f.press(reader::Key_Up);
    // Board 2 has no articles and is passed over.
    QCOMPARE(f.board(), 1);
    QCOMPARE(f.row(), 3);
    QCOMPARE(f.firstLine(), QString("TALK(1003/1005) 26/12/01 12:00:00 別の話題"));
    QCOMPARE(readerModeName(f.s.reading.LastWrittenKind), QString());
    QCOMPARE(f.s.main.ArticleCount.Caption, QString("4/4"));
    // PageUp is ↑: one row up within the board.
    f.press(reader::Key_PageUp);
    QCOMPARE(f.row(), 2);
}

void TestReaderKeys::upStopsAtTheFirstBoard()
{
    Fixture f(1);
    f.press(reader::Key_Up);
    QCOMPARE(f.board(), 0);
    QCOMPARE(f.row(), 1);
    QCOMPARE(f.firstLine(), QString("mail 26/12/02 10:00 From:ABC00004 (田中)"));
    f.press(reader::Key_Up, 0, 2);
    QCOMPARE(f.board(), 0);
    QCOMPARE(f.row(), 0);
}

void TestReaderKeys::upIntoAnEmptyFirstBoardLeavesNoMoveUpPending()
{
    Fixture f(1);
    f.s.log.BoardKeys[0] = QStringLiteral("NOMAIL"); // a log without mail
    clickBoard(f.s.main, 1);
    f.press(reader::Key_Up);
    QCOMPARE(f.board(), 0);
    QCOMPARE(f.row(), -1);
    // The next board chosen opens on its first row, not on its last.
    f.reader.chooseBoard(3);
    QCOMPARE(f.row(), 0);
    QCOMPARE(f.firstLine(), QString("NEWS(2001/2002) 26/12/02 08:00:00 ニュース一"));
}

void TestReaderKeys::downAtTheLastRowGoesToTheNextNonEmptyBoard()
{
    Fixture f(1);
    f.press(reader::Key_Down, 0, 3);
    QCOMPARE(f.row(), 3);
    f.press(reader::Key_Down);
    QCOMPARE(f.board(), 3);
    QCOMPARE(f.row(), 0);
    QCOMPARE(f.firstLine(), QString("NEWS(2001/2002) 26/12/02 08:00:00 ニュース一"));
    f.press(reader::Key_End);
    QCOMPARE(f.row(), 1);
    f.press(reader::Key_Home);
    QCOMPARE(f.row(), 0);
}

void TestReaderKeys::downAtTheEndOfTheLog()
{
    Fixture f(3);
    f.press(reader::Key_Down, 0, 2);
    QCOMPARE(f.row(), 1);
    QCOMPARE(f.s.main.Article.items, QStringList({ "最終アーティクルです。" }));
}

void TestReaderKeys::shiftDownRunsTheUnreadSearch()
{
    Fixture f(1);
    f.s.unread.PtrRec.LogName = f.s.log.LogPath.leftJustified(80);
    f.s.unread.PtrRec.Pointer = positionOf(f.s.log.LogText, "TALK(1003/1005) 26/12/01 12:00:00 別の話題") - 2;
    f.press(reader::Key_Down, reader::Shift_Shift);
    // 1002 lies before the pointer; 1004 beyond it.
    QCOMPARE(f.row(), 2);
    QCOMPARE(f.firstLine(), QString("TALK(1004/1005) 26/12/01 13:00:00 Re:Re:最初の話題"));
    QCOMPARE(readerModeName(f.s.reading.LastWrittenKind), QString());

    // Ctrl+↓ too, and from the last row it goes on into the next board.
    f.s.unread.PtrRec.Pointer = f.s.unread.ReadPointer;
    f.press(reader::Key_Down, reader::Shift_Ctrl);
    QCOMPARE(f.board(), 3);
    QCOMPARE(f.row(), 0);
    QCOMPARE(f.s.unread.ReadPointer,
        positionOf(f.s.log.LogText, "NEWS(2002/2002) 26/12/02 09:30:00 ニュース二") - 2
            - headerLine().size());
}

void TestReaderKeys::searchWalksOverBoardsAndEndsAtTheLastArticle()
{
    Fixture f(1);
    f.s.search.StringSearchOn = true;
    f.s.search.SearchText = "二つ目";
    f.press(reader::Key_Down);
    QCOMPARE(f.board(), 3);
    QCOMPARE(f.row(), 1);
    QCOMPARE(f.s.main.Article.items.at(2), QString("二つ目の本文"));
    // Passed-over articles count as read.
    QCOMPARE(f.s.unread.ReadPointer,
        positionOf(f.s.log.LogText, TestMarkers::readEnd() + "\r\n" + TestMarkers::mainPrompt() + "bye"));
    f.press(reader::Key_Down);
    QCOMPARE(f.s.main.Article.items, QStringList({ "最終アーティクルです。" }));
    QCOMPARE(f.messages.texts(), QStringList({ "検索を終了します。" }));
    QCOMPARE(f.s.search.StringSearchOn, false);

    // A date search finds the articles of a range, both boards.
    Fixture g(1);
    g.s.search.DateSearchOn = true;
    g.s.search.SearchFrom = searchBound("26/12/01 11:30:00");
    g.s.search.SearchTo = searchBound("26/12/02 08:00:00");
    g.press(reader::Key_Down);
    QCOMPARE(g.row(), 2); // 1004 at 13:00
    g.press(reader::Key_Down);
    QCOMPARE(g.row(), 3); // 1003 at 12:00
    g.press(reader::Key_Down);
    QCOMPARE(g.board(), 3);
    QCOMPARE(g.row(), 0); // 2001 at 08:00 the next day
}

void TestReaderKeys::searchWithoutHitAsksOnce()
{
    Fixture f(1);
    f.s.search.StringSearchOn = true;
    f.s.search.SearchText = "どこにもない";
    f.messages.answers = { MsgAnswer::No };
    // While the question is asked, the counter shows the row the advance ended on.
    QString counter;
    f.messages.onShow = [&] { counter = f.s.main.ArticleCount.Caption; };
    f.press(reader::Key_Down);
    QCOMPARE(f.board(), 3);
    QCOMPARE(f.row(), 1);
    QVERIFY(f.s.main.Article.isEmpty());
    QCOMPARE(f.messages.texts(), QStringList({ "検索キーを初期化しますか？" }));
    QCOMPARE(counter, QString("2/%1").arg(f.s.main.rowCount()));
    QCOMPARE(f.messages.shown.first().buttons, MsgButtons::YesNo);
    QCOMPARE(f.s.search.StringSearchOn, true);

    // Clicking a title that is a miss moves on in the same way; Yes ends it.
    f.messages.answers = { MsgAnswer::Yes };
    clickRow(f.s.main, 0);
    QCOMPARE(f.row(), 1);
    QCOMPARE(f.s.search.StringSearchOn, false);
    QCOMPARE(f.messages.shown.size(), 2);
}

void TestReaderKeys::chainsPassOverWaitingCommands()
{
    // A waiting write is the last row of board 1.
    Fixture f(1);
    f.s.upFile.load(QStringLiteral("\\ 1\r\nW書きかけ\r\n本文\r\n.\r\ny"));
    f.reader.chooseBoard(1);
    QCOMPARE(f.s.main.Title.item(4), QString("[書込 1]"));

    // The unread search is not stopped by it: 1003 is read, the write is no
    // article of the log, so the search goes on into board 3.
    f.press(reader::Key_Down, 0, 2);
    QCOMPARE(f.row(), 2);
    f.s.unread.PtrRec.LogName = f.s.log.LogPath.leftJustified(80);
    f.s.unread.PtrRec.Pointer
        = positionOf(f.s.log.LogText, TestMarkers::readEnd() + "\r\n" + TestMarkers::mainPrompt() + "b 3");
    f.press(reader::Key_Down, reader::Shift_Shift);
    QCOMPARE(f.board(), 3);
    QCOMPARE(f.row(), 0);
    QCOMPARE(f.firstLine(), QString("NEWS(2001/2002) 26/12/02 08:00:00 ニュース一"));

    // Nor is the search advance.
    f.reader.chooseBoard(1);
    f.s.search.StringSearchOn = true;
    f.s.search.SearchText = "二つ目";
    f.press(reader::Key_Down);
    QCOMPARE(f.board(), 3);
    QCOMPARE(f.row(), 1);

    // Up out of board 3 during a search that the write's text answers:
    // board 1 opens on its last row, the write.
    f.s.search.StringSearchOn = false;
    f.reader.chooseBoard(3);
    QCOMPARE(f.row(), 0);
    f.s.search.StringSearchOn = true;
    f.s.search.SearchText = "書きかけ";
    f.press(reader::Key_Up);
    QCOMPARE(f.board(), 1);
    QCOMPARE(f.row(), 4);
    QCOMPARE(f.firstLine(), QString("書きかけ"));

    // Chosen by hand while a search runs, the write is shown when its text
    // holds the string, and passed over like an article when not.
    f.s.search.StringSearchOn = false;
    f.reader.chooseBoard(1);
    f.s.search.StringSearchOn = true;
    clickRow(f.s.main, 4);
    QCOMPARE(f.row(), 4);
    QCOMPARE(f.firstLine(), QString("書きかけ"));
    f.s.search.StringSearchOn = false;
    f.reader.chooseBoard(1);
    f.s.search.StringSearchOn = true;
    f.s.search.SearchText = "二つ目";
    clickRow(f.s.main, 4);
    QCOMPARE(f.board(), 3);
    QCOMPARE(f.row(), 1);
}

void TestReaderKeys::unreadSearchThatCannotMoveIsNotLeftPending()
{
    Fixture f(3);
    f.s.unread.PtrRec.LogName = f.s.log.LogPath.leftJustified(80);
    f.s.unread.PtrRec.Pointer = positionOf(f.s.log.LogText, "NEWS(2001/2002) 26/12/02 08:00:00 ニュース一");
    f.press(reader::Key_Down);
    QCOMPARE(f.row(), 1);
    // Shift+↓ on the last row of the last board has no row to go to.
    f.press(reader::Key_Down, reader::Shift_Shift);
    QCOMPARE(f.row(), 1);
    QCOMPARE(readerModeName(f.s.reading.LastWrittenKind), QString());
    // So a board chosen later opens on its first row.
    f.reader.chooseBoard(1);
    QCOMPARE(f.row(), 0);
    QCOMPARE(f.firstLine(), QString("TALK(1001/1005) 26/12/01 10:00:00 最初の話題"));
}

void TestReaderKeys::ctrlSEndsASearch()
{
    Fixture f(1);
    f.press(reader::Key_S, reader::Shift_Ctrl);
    QVERIFY(f.messages.shown.isEmpty());
    QVERIFY(f.compose.keys.isEmpty());
    f.s.search.DateSearchOn = true;
    f.messages.answers = { MsgAnswer::No, MsgAnswer::Yes };
    f.press(reader::Key_S, reader::Shift_Ctrl);
    QCOMPARE(f.s.search.DateSearchOn, true);
    f.press(reader::Key_S, reader::Shift_Ctrl);
    QCOMPARE(f.s.search.DateSearchOn, false);
    QCOMPARE(f.messages.texts(), QStringList({ "検索を終了しますか？", "検索を終了しますか？" }));
}

void TestReaderKeys::commandLettersReachTheComposeCommands()
{
    Fixture f(1);
    bool closed = false;
    f.reader.closeRequested = [&] { closed = true; };
    f.s.composing.RewriteFlag = true;
    for (int key :
        { reader::Key_W, reader::Key_P, reader::Key_G, reader::Key_E, reader::Key_D, reader::Key_M })
        f.press(key);
    f.press(reader::Key_W, reader::Shift_Shift);
    f.press(reader::Key_S);
    QCOMPARE(f.s.composing.RewriteFlag, false);
    // Shift+W writes as W does.
    QCOMPARE(f.compose.keys,
        (QList<ReaderCommand> { ReaderCommand::Write, ReaderCommand::Respond, ReaderCommand::RespondElsewhere,
            ReaderCommand::Rewrite, ReaderCommand::Delete, ReaderCommand::Mail, ReaderCommand::Write,
            ReaderCommand::ToggleBatch }));
    QCOMPARE(f.s.composing.SavedTitleIndex, 0);
    QVERIFY(!closed);
    f.press(reader::Key_Escape);
    QVERIFY(closed);

    // On a chat room E writes, as W does.
    f.s.main.Board_List.items << "[XCHAT] No1.部屋";
    clickBoard(f.s.main, 4);
    f.compose.keys.clear();
    f.press(reader::Key_E);
    QCOMPARE(f.compose.keys, QList<ReaderCommand> { ReaderCommand::Write });

    // Without the writing commands the letters do nothing.
    f.s.compose = nullptr;
    f.press(reader::Key_W);
    QCOMPARE(f.compose.keys.size(), 1);
}

void TestReaderKeys::theReaderShowsWhatACommandLeft()
{
    using Outcome = ComposeResult::Outcome;
    Fixture f(1);
    const int rows = f.s.main.rowCount();
    QVERIFY(rows >= 2);
    clickRow(f.s.main, 1);
    f.s.main.loseTitleFocus();
    const qint64 board = boarditem::boardNumber(f.s.main.Board_List.selectedText());
    // The command queues a write and reports what it did; the reader alone
    // rebuilds the title list on that result.
    Outcome outcome = Outcome::Cancelled;
    f.compose.act = [&](ReaderCommand command) {
        f.s.upFile.append(commands::upfile::writeCommand(board, "本文\r\n", QString()));
        ComposeResult result { command, outcome };
        result.refocus = true;
        return result;
    };
    f.press(reader::Key_W);
    QCOMPARE(f.s.main.rowCount(), rows); // nothing stored, nothing rebuilt
    QCOMPARE(f.row(), 1);
    QVERIFY(f.s.main.titleHasFocus);

    outcome = Outcome::Stored;
    f.s.upFile.load(QString());
    f.s.main.loseTitleFocus();
    f.press(reader::Key_W);
    QCOMPARE(f.s.main.rowCount(), rows + 1);
    QVERIFY(f.s.main.Title.item(rows).startsWith("[書込"));
    QCOMPARE(f.row(), 1); // the row the command started on
    QVERIFY(f.s.main.titleHasFocus);

    // A deletion selects the row the command gives, after the rebuild.
    f.compose.act = [&](ReaderCommand command) {
        f.s.upFile.load(QString());
        ComposeResult result { command, Outcome::Deleted };
        result.row = 0;
        return result;
    };
    clickRow(f.s.main, rows);
    f.press(reader::Key_D);
    QCOMPARE(f.s.main.rowCount(), rows);
    QCOMPARE(f.row(), 0);
}

void TestReaderKeys::pendingMoveResponseWritesOnFocus()
{
    Fixture f(1);
    f.s.moves.MoveTable = { "", "9", "" };
    f.s.reading.LastWrittenKind = ReaderMode::MoveResponse;
    f.s.main.loseTitleFocus();
    clickTitleList(f.s.main);
    QCOMPARE(f.compose.keys, QList<ReaderCommand> { ReaderCommand::Write });
    // The table is read again from the net's file (none here): no target.
    QCOMPARE(f.s.main.To_No.Caption, QString("なし"));
    QCOMPARE(readerModeName(f.s.reading.LastWrittenKind), QString("move Res"));
    f.s.reading.LastWrittenKind = ReaderMode::MailReply;
    f.s.main.loseTitleFocus();
    clickTitleList(f.s.main);
    QVERIFY(f.compose.keys.last() == ReaderCommand::Mail);
}

void TestReaderKeys::moveTargetAndOtherColumns()
{
    Fixture f(1);
    f.s.moves.MoveTable = { "3", "7", "" }; // an entry for the mail box is never shown
    clickBoard(f.s.main, 1);
    QCOMPARE(f.s.main.To_No.Caption, QString("7"));
    QVERIFY(f.s.main.To_No.enabled);
    clickBoard(f.s.main, 0);
    QCOMPARE(f.s.main.To_No.Caption, QString("なし"));
    QVERIFY(!f.s.main.To_No.enabled);
    clickBoard(f.s.main, 3);
    QCOMPARE(f.s.main.To_No.Caption, QString("なし"));
    QVERIFY(f.s.main.To_No.enabled);
    // A board line printed without a blank before its name.
    f.s.main.Board_List.items[1] = QStringLiteral("No.1｢雑談｣");
    clickBoard(f.s.main, 1);
    QCOMPARE(f.s.main.To_No.Caption, QString("7"));
    QVERIFY(f.s.main.To_No.enabled);
    // A chat room named with a number has no target.
    f.s.main.Board_List.items[1] = QStringLiteral("[XCHAT] No1.1人の部屋");
    clickBoard(f.s.main, 1);
    QCOMPARE(f.s.main.To_No.Caption, QString("なし"));
    f.s.main.Board_List.items[1] = QStringLiteral("No.1 ｢雑談｣");

    clickBoard(f.s.main, 1);
    f.reader.chooseRowInTitleColumn(2);
    QCOMPARE(f.s.main.Title.ListIndex, 2);
    QCOMPARE(f.s.main.InfoColumn.ListIndex, 2);
    QCOMPARE(f.s.main.BatchSet.ListIndex, 2);
    QCOMPARE(f.firstLine(), QString("TALK(1004/1005) 26/12/01 13:00:00 Re:Re:最初の話題"));

    // Focus handed back to the title list keeps the row and its counter.
    f.s.main.loseTitleFocus();
    f.reader.batchColumnFocused();
    QVERIFY(f.s.main.titleHasFocus);
    QCOMPARE(f.s.main.ArticleCount.Caption, QString("3/4"));
    QCOMPARE(f.s.main.BatchSet.ListIndex, 2);
    f.s.main.loseTitleFocus();
    f.s.main.Title.enabled = false;
    f.reader.articleViewFocused();
    QVERIFY(!f.s.main.titleHasFocus);
    f.reader.keyInBoardList();
    QVERIFY(f.s.main.titleHasFocus);
}

void TestReaderKeys::pointerCommands()
{
    Fixture f(1);
    f.reader.resetReadPointer();
    QCOMPARE(f.s.unread.PtrRec.LogName, f.s.log.LogPath.leftJustified(80));
    QCOMPARE(f.s.unread.PtrRec.Pointer, 0);
    QCOMPARE(f.s.unread.ReadPointer, 0);
    QCOMPARE(f.s.unread.PtrSavePending, true);
    f.s.unread.PtrSavePending = false;
    // The log is not on disk here: its text's length is the least.
    f.reader.markLogRead();
    QCOMPARE(f.s.unread.PtrRec.Pointer, f.s.log.LogText.size());
    QCOMPARE(f.s.unread.ReadPointer, f.s.log.LogText.size());
    QCOMPARE(f.s.unread.PtrSavePending, true);

    f.reader.showKeyList();
    QVERIFY(f.messages.texts().last().startsWith(
        "キー操作一覧\r\n\r\nW.......アーティクル書き込み&書き直し\r\n"));
    // The classic lines come first; the other keys of the title list follow them.
    QVERIFY(f.messages.texts().last().contains(
        "\r\nS.......バッチセット\r\n[SPACE] or → or Roll(Page)Down 次アーテクル又は次行に移動\r\n"));
    for (const char *line : { "\r\nShift+↓ or Ctrl+↓ 未読検索", "\r\nCtrl+S.......検索終了",
             "\r\nCtrl+F.......全ログ検索", "\r\nCtrl+T.......通し読み", "\r\nL.......ログで表示" })
        QVERIFY2(f.messages.texts().last().contains(QString::fromUtf8(line)), line);
    QVERIFY(f.messages.texts().last().endsWith("\r\nEsc.......Kavrelを終了する"));
}

void TestReaderKeys::commandLineHelpers()
{
    Fixture f(3);
    QCOMPARE(f.reader.boardItemOfNumber(3), 3);
    QCOMPARE(f.reader.boardItemOfNumber(0), 0);
    QCOMPARE(f.reader.boardItemOfNumber(9), -1);
    f.reader.chooseBoard(1);
    QCOMPARE(f.row(), 0); // the board list had the focus: the first row is shown
    QCOMPARE(f.reader.titleRows().at(1), QString(" \t [1002]\tABC00002:鈴木\tRe:最初の話題"));
    QCOMPARE(f.reader.plainTitle(1), QString("Re:最初の話題"));

    // Hits of a search, walking from the first board's first row.
    f.s.search.StringSearchOn = true;
    f.s.search.SearchText = "本文";
    const QList<reader::ShownArticle> hits = f.reader.walkSearch();
    QList<QPair<int, int>> where;
    for (const auto &hit : hits)
        where.append({ hit.item, hit.row });
    // Choosing the mail box shows its first row, a hit; 1001 and 1004 have
    // no "本文" and are passed over.
    QCOMPARE(where, (QList<QPair<int, int>> { { 0, 0 }, { 1, 1 }, { 1, 3 }, { 3, 0 }, { 3, 1 } }));
    QCOMPARE(hits.at(1).title, QString(" [1002]"));
    QCOMPARE(hits.at(1).plainTitle, QString("Re:最初の話題"));
    QCOMPARE(f.s.search.StringSearchOn, false);
    QCOMPARE(f.messages.texts(), QStringList({ "検索を終了します。" }));

    f.s.unread.PtrRec.LogName = f.s.log.LogPath.leftJustified(80);
    f.s.unread.PtrRec.Pointer = positionOf(f.s.log.LogText, "NEWS(2001/2002) 26/12/02 08:00:00 ニュース一");
    f.reader.unreadFromFirstBoard();
    // Mail rows are shown without looking at the pointer; the search does
    // not stay pending for a later click ...
    QCOMPARE(f.board(), 0);
    QCOMPARE(f.row(), 1);
    QCOMPARE(readerModeName(f.s.reading.LastWrittenKind), QString());
    // ... and the next Shift+↓ goes on from the next board.
    f.press(reader::Key_Down, reader::Shift_Shift);
    QCOMPARE(f.board(), 3);
    QCOMPARE(f.row(), 1);
    QCOMPARE(readerModeName(f.s.reading.LastWrittenKind), QString());
}

void TestReaderKeys::serialTitlesWithoutTheirPadding()
{
    Session s;
    TestMarkers::apply(s, true);
    const QString ah = TestMarkers::articleHeader();
    s.log.LogText = crlfLines(
        { ah + "     101 x", "K(1001/2) 26/12/01 10:00:00 親  ", "  5 bytes A:a", ah + "     102 x",
            "K(1002/2) 26/12/01 10:00:00 子", " <1001:A さん", "  5 bytes A:a", TestMarkers::readEnd() });
    s.log.BoardKeys = { "K" };
    s.main.Board_List.items = { "No.1 ｢K｣" };
    Reader r(s);
    clickBoard(s.main, 0);
    QCOMPARE(r.plainTitle(0), QString("親  "));
    QCOMPARE(r.plainTitle(1), QString("子"));
}

QTEST_GUILESS_MAIN(TestReaderKeys)
#include "tst_readerkeys.moc"
