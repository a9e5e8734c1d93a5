#pragma once

#include "base/ChangeSignal.h"
#include "session/ListBox.h"
#include "session/ReaderCommand.h"

#include <QString>

#include <memory>

namespace kavrel {

// The handling of the user's choices in the main window. The reader
// implements it; code that acts as the user calls it through clickBoard,
// clickRow and clickTitleList below.
class MainWindowEvents
{
public:
    virtual ~MainWindowEvents() = default;
    virtual void showChosenBoard() = 0;
    virtual void showChosenRow() = 0;
    virtual void titleListFocused() = 0;
    // The reader's title list build and key handling, used by the writing
    // commands and the toolbar.
    virtual void BuildTitleList() = 0;
    virtual void keyDownInTitleList(int keyCode, int shift) = 0;
};

// The main window without a display: the board combo box, the four columns of
// the title list kept in step, the article view, the two labels, the hidden
// text fields, the caption and the menu items that open and close.
class MainWindowState
{
public:
    ListBox Board_List;
    ListBox BatchSet;
    TitleColumn Title;
    TextColumn InfoColumn;
    TextColumn SubjectColumn;
    ListBox Article;

    Label ArticleCount { QStringLiteral("0/0"), true };
    Label To_No { QStringLiteral("なし"), true };
    // The board that writes and responses go to instead of the current one
    // (0: none); To_No shows it.
    qint64 MoveTarget = 0;

    QString pointerLogName, pointerValue, readPointer, logLength;
    QString Caption = QStringLiteral("Kavrel");

    // Menu items that a log opening enables.
    bool Search_Pointer_Enabled = false;
    bool Read_End_Enabled = false;
    bool Search_Log_Enabled = false;
    bool Ido_Set_Enabled = false;

    bool visible = false; // hidden while the editor runs
    bool enabled = true; // disabled while a window that must be finished first is open
    bool titleHasFocus = false;
    int NetSelectShown = 0;

    // How many article lines the view shows at once; the window sets it from
    // its height, tests set it directly.
    int ArticleVisibleLines = 20;

    MainWindowEvents *events = nullptr;

    // Selections: they set the data and run nothing. What a user's choice
    // does is the reader's (the click functions below).
    void selectBoard(int index) { Board_List.ListIndex = index; }
    // The row; the counter follows it.
    void selectTitle(int index);
    void focusTitle() { titleHasFocus = true; }
    void loseTitleFocus() { titleHasFocus = false; }
    // While a window that must be finished first is open: a disabled window
    // has no focus; Title gets it back, with its handling, when the window
    // is enabled and active again.
    void disable()
    {
        enabled = false;
        titleHasFocus = false;
    }
    // The counter: the selected row (0 for none) and the row count.
    void showRowCounter();

    // Clears the four title columns together.
    void clearTitleColumns();
    // Appends or inserts one row in all four columns.
    void appendRow(const QString &batch, const QString &number, const QString &info, const QString &title);
    // The same with the number's indent given as a count of blanks.
    void appendRow(
        const QString &batch, int indent, const QString &number, const QString &info, const QString &title);
    void insertRow(
        int index, const QString &batch, const QString &number, const QString &info, const QString &title);
    int rowCount() const { return Title.ListCount(); }

    // Puts the Article selection on the last line of the first screenful
    // (the last item when the article is shorter than a screenful).
    void selectLastVisibleArticleLine();
    // resizeArticleView: the view now shows visibleLines lines at once; the
    // selection goes back to the last line of the first screenful.
    void resizeArticleView(int visibleLines);

    // Tells the main window that what it shows changed (made on first use; a
    // copy of the state has a signal of its own).
    ChangeSignal &changes();

private:
    bool takeChange();
    struct Look;
    // Copies start without a signal: the signal's state is the one it was made for.
    struct Changes
    {
        Changes() = default;
        Changes(const Changes & /*other*/) { }
        // NOLINTNEXTLINE(bugprone-unhandled-self-assignment): takes nothing from other
        Changes &operator=(const Changes & /*other*/) { return *this; }
        std::shared_ptr<Look> reported;
        std::shared_ptr<ChangeSignal> signal;
    };
    Changes m_changes;
};

// For code that acts as the user would: the selection set, then the handling
// of the user's choice by the reader that shows the state (none without one).
void clickBoard(MainWindowState &main, int index);
void clickRow(MainWindowState &main, int index);
// Title takes the focus; its handling runs when the focus was elsewhere.
void clickTitleList(MainWindowState &main);

} // namespace kavrel
