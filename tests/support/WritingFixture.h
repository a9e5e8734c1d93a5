#pragma once

#include "EditorScript.h"
#include "TestSupport.h"

#include "commands/ComposeCommands.h"
#include "commands/ProcessEditor.h"
#include "session/MainWindowState.h"
#include "session/Session.h"

#include <QHash>
#include <QList>
#include <QTemporaryDir>

namespace kavrel::test {

// A stand-in for the reader while the writing commands are tested alone: the
// article rows of each board are given by the test, and the rows of waiting
// commands are derived from the up file the way the title list builder and
// the mark display do it, in a simple form. The key handler does the reader's
// steps that matter to the commands (RewriteFlag, SavedTitleIndex, the
// compose kind, E as W on chat boards) and passes the letter on.
class FakeReader : public MainWindowEvents
{
public:
    struct Row
    {
        QString number; // "[100]", "  [101]", "[mail ]"
        QString info;
        QString title;
        QStringList article;
    };

    explicit FakeReader(Session &session);

    // Rows per Board_List index.
    QHash<int, QList<Row>> boards;
    int builds = 0;

    void board_list_Click() override;
    void Title_Click() override;
    void TITLE_GotFocus() override;
    void BuildTitleList() override;
    void Title_KeyDown(int keyCode, int shift) override;

private:
    void markWrittenRows();
    void showMarkRow(const QString &row);

    Session &m_session;
};

// One net with its directories in a temporary folder, a real editor script,
// scripted message boxes, the fake reader and the compose commands.
struct WritingFixture
{
    WritingFixture();

    QTemporaryDir dir;
    Session session;
    ScriptedMessages messages;
    commands::ProcessEditor editor;
    EditorScript script;
    FakeReader reader { session };
    commands::ComposeCommands compose { session };

    QString upPath() const;
    QString tempPath() const;
    QByteArray upBytes() const;
    // Sets the board items and the rows of board index `index`.
    void setBoards(const QStringList &items);
    void setRows(int boardIndex, const QList<FakeReader::Row> &rows);
    // Loads the up file text as choosing the net does.
    void setUpFile(const QString &text);
    // Selects a board and one of its rows, as the user's clicks do.
    void select(int boardIndex, int row);
    // Presses a letter key in the title list.
    void press(char letter, int shift = 0);
    // The row index whose Title item begins with text; -1 when none.
    int rowOf(const QString &titleStart) const;
};

} // namespace kavrel::test
