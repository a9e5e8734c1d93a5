#pragma once

#include "base/KeyCodes.h"
#include "reader/LogMarkerIndex.h"
#include "search/SearchFilter.h"
#include "session/MainWindowState.h"
#include "session/ReaderCommand.h"
#include "session/ServiceHosts.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kavrel {
class Session;
}

namespace kavrel::reader {

// The key codes of the title list's thin key entry.
using keys::Key;
using keys::ShiftMask;
using enum keys::Key;
using enum keys::ShiftMask;

// An article row that the view showed: board item, row, and how the running
// search judged it (NoSearch when none runs).
struct ShownArticle
{
    int item = -1;
    int row = -1;
    search::Verdict verdict = search::Verdict::NoSearch;
    QString title; // the Title item of the row
    QString plainTitle; // the SubjectColumn item without a serial net's blanks and number
};

// The reader of the main window: the board list's and the title list's
// handling (title list build, article view, mark rows, keys, the unread
// search and the search advance) on a session's headless main window. It
// connects itself as the window's event handler.
//
// Chains of selections made from code (the unread search passing over
// thousands of rows and many boards, the search advance, skipping empty
// boards) run as loops: a title selection that the article view makes as its
// last act is run by the loop in showChosenRow instead of a nested call.
class Reader : public MainWindowEvents
{
public:
    explicit Reader(Session &session);
    ~Reader() override;
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    // The main window's handlers.
    void showChosenBoard() override;
    void showChosenRow() override;
    void titleListFocused() override;
    void BuildTitleList() override;
    // Runs a command of the title list.
    void execute(ReaderCommand command);
    // A key of the title list that stands for no command (the windows map
    // the others to commands): the reader's steps before every key.
    void keyDownInTitleList(int keyCode, int shift) override;
    // Clicking a row of the information or title column: all four columns
    // take the row, and Title gets the focus.
    void chooseRowInInfoColumn(int row);
    void chooseRowInTitleColumn(int row);
    // The focus rule: Title keeps the keyboard focus. The window marks the
    // title list as having lost it (MainWindowState::loseTitleFocus) when
    // another control takes it, then calls these.
    void keyInBoardList();
    void batchColumnFocused();
    void articleViewFocused();

    // One key press in the title list that stands for a command: the
    // command, then the list box's own move (↑ up a row, ↓ down a row).
    void press(ReaderCommand command);
    // One press of a key that is no command: key down, then the list box's
    // own move (Home, End).
    void pressKey(int keyCode, int shift = Shift_None);

    // Menu commands.
    void markLogRead();
    void resetReadPointer();
    void showKeyList();
    void showVersion();
    static QString keyListText();

    // Shows the move-response target of the current board in To_No.
    void showMoveTarget();

    // For kavrel-cli and the windows.
    // The first board item whose board number is number (chat rooms aside), or -1.
    int boardItemOfNumber(int number) const;
    // Chooses a board item as the user does in the board list: the title
    // list then gets the focus and its first row is selected.
    void chooseBoard(int item);
    // Selects a row of the title list (shows it, or runs the search from it).
    void chooseRow(int row);
    // Selects a board item and shows its title list, the focus staying where
    // it is.
    void showBoard(int item);
    // Title takes the focus: its handling runs when the focus was elsewhere.
    void focusTitleList();
    // One line per row: BatchSet, Title, InfoColumn, SubjectColumn, separated by TABs.
    QStringList titleRows() const;
    // The title without the blanks and serial number that serial nets add.
    QString plainTitle(int row) const;
    // Where the first line that the article view shows begins in LogText
    // (1-based); 0 when the view shows no lines of the log (a mark row, a
    // garbled row, an article not found).
    qsizetype shownArticleStart() const { return m_shownStart; }
    // What a board shows, for features that read whole boards: its title
    // rows as titleRows() gives them and, for each row, the lines the
    // article view shows for it when it is chosen outside any search.
    // The windows' state, the read position and the reader's mode are left
    // as they were.
    struct BoardView
    {
        QStringList rows;
        QList<QStringList> articles; // parallel to rows
    };
    BoardView viewOfBoard(int item);
    // Walks the running search as repeated ↓ presses from the first board's
    // row 0 would, and answers the articles it showed as hits.
    QList<ShownArticle> walkSearch();
    // From the first board's row 0, one Shift+↓: the unread search.
    void unreadFromFirstBoard();

    // Where the environment comes in.
    // The modification time of a file; invalid when it is absent. Logs are
    // ordered by full timestamps, so a log of 1999 comes before one of 2026.
    std::function<QDateTime(const QString &path)> fileTime;
    // Esc in the title list: the reader window is to close.
    std::function<void()> closeRequested;
    // Called for every article row shown.
    std::function<void(const ShownArticle &)> articleShown;

private:
    // One run of the article view on the selected row; true when it chose
    // another row to be shown next.
    bool titleClickOnce(bool &unreadBoardMoved, bool &advancing);
    bool clickMarkRow(int row, bool &unreadBoardMoved, bool &advancing);
    enum class Located { Found, NotFound, MoveOn, Rerun };
    // The text a row of the log shows: its key for the searches, and a view
    // into the log or into the fixed message.
    struct RowText
    {
        QString key;
        QString message;
        QStringView article;
        qsizetype start = 0;
        bool chatLines = false; // a chat visit's lines are in the view already
    };
    Located findRowText(int row, const QString &item, RowText &text);
    bool showRowText(int row, const RowText &text, bool &advancing);
    qsizetype showChatLines(int row);
    qsizetype articleEnd(qsizetype start, const QString &titleItem);
    Located locateArticle(const QString &key, const QString &titleItem, qsizetype &start);
    bool moveOnUnread(int row, bool &unreadBoardMoved);
    bool searchAdvance(int row);
    void advanceToNextNonEmptyBoard();
    void selectNextNonEmptyBoard();
    void selectLastVisibleLine();
    void refreshDateTexts();
    bool atLastRowOfLastBoard() const;
    bool onLastBoard() const;
    enum class RowMove { Up, Down, First, Last };
    void moveRow(RowMove move);
    // The unread search runs within the move it starts; when the list could
    // not move, or the search ran out, it must not wait for a later click.
    void dropPendingUnreadSearch();
    // A key without a command still ends the pending modes of the reader.
    // A writing command that goes on as another runs that one afterwards.
    void run(std::optional<ReaderCommand> command);
    void runOne(std::optional<ReaderCommand> command);
    // The steps of a command before its own work: the notice at the end of
    // the log, Space's paging, and ↑ and ↓ across boards (true when the
    // command ends there).
    void noticeEndOfLog(std::optional<ReaderCommand> command);
    void pageOn();
    bool moveAcrossBoards(std::optional<ReaderCommand> command);
    void compose(ReaderCommand command);
    // On a writing command's result: the rebuild, the row and the focus.
    void showComposed(const ComposeResult &result);
    // On an undo's or redo's result: the rebuild and the row of the command.
    void showRestored(const ComposeResult &result);

    Session &m_s;
    LogMarkerIndex m_index;
    QDateTime m_logDate;
    QDateTime m_ptrLogDate;
    qsizetype m_shownStart = 0;
    // The command the last writing command goes on as (ComposeResult::next).
    std::optional<ReaderCommand> m_nextCommand;
};

} // namespace kavrel::reader
