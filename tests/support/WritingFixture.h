#pragma once

#include "EditorScript.h"
#include "TestSupport.h"

#include "commands/ComposeCommands.h"
#include "commands/ProcessEditor.h"
#include "reader/Reader.h"
#include "session/MainWindowState.h"
#include "session/Session.h"

#include <QStringList>
#include <QTemporaryDir>

namespace kavrel::test {

// The logs of the writing flows, as the hosts print them (Japanese, CRLF).
namespace writinglogs {

// A net whose members have numeric IDs: a mail box with two mails from 0200
// and 0300 and the numbered notice 3 from 0001; board 1 (article 12); board 7
// (article 50); board 12 (305 with its response 306, then 307, and 308 whose
// text was not read); chat room 1.
QString standardLog();
// The mail box item and the board items of the standard log.
inline const QString kMailBox = QStringLiteral("No.0 ｢メールボックス｣");
inline const QString kBoard1 = QStringLiteral("No.1 ｢雑談｣");
inline const QString kBoard7 = QStringLiteral("No.7 ｢お知らせ｣");
inline const QString kBoard12 = QStringLiteral("No.12 ｢趣味の部屋｣");

// A net with serial headers ("■■" and a six-digit number before each
// article): board 5 with 5010, its response 5011, and 5012.
QString serialLog();

} // namespace writinglogs

// One net with its directories in a temporary folder; its log written as the
// host's Shift-JIS bytes and opened the way the net selection screen opens it
// (ID list, scan, board list, move table); the real reader on the main
// window; the writing commands; a real editor (a script that saves a prepared
// text) and scripted message boxes. Keys are pressed in the title list as the
// user presses them.
struct WritingFixture
{
    enum class Net { Standard, Serial };
    // The net's folders are made in root, or in dir when root is empty.
    explicit WritingFixture(Net net = Net::Standard, const QString &root = {});

    QTemporaryDir dir;
    Session session;
    ScriptedMessages messages;
    commands::ProcessEditor editor;
    EditorScript script;
    reader::Reader reader { session };
    commands::ComposeCommands compose { session };

    QString upPath() const;
    QString tempPath() const;
    QByteArray upBytes() const;
    QString idListPath() const;

    // Writes the log file and opens it; the main window then shows the
    // first board. The up file, the ID list and the move file that are to
    // be there must be written before.
    void open(const QString &logText);
    // Board items without a log, for the parts that read only the item
    // (nothing is selected, nothing is built).
    void setBoards(const QStringList &items);
    // Writes the up file and loads it, as choosing the net does.
    void setUpFile(const QString &text);

    // The Board_List index of a board number (chat rooms aside), -1 when none.
    int boardOf(int number) const;
    // The Board_List index of the first chat room, -1 when none.
    int chatRoom() const;
    // Chooses a board in the board list (the title list then takes the focus
    // and shows its first row) and, with row >= 0, clicks that row.
    void select(int boardIndex, int row = -1);
    // Clicks the first row whose Title item begins with titleStart; fails the
    // test when there is none.
    void click(const QString &titleStart);
    // Presses a letter key in the title list.
    void press(char letter, int shift = 0);
    // The row index whose Title item begins with text; -1 when none.
    int rowOf(const QString &titleStart) const;
    // The Title items of the current board.
    QStringList titles() const;
    // The mark rows of the current board ("[書込 1]", "[レス 1]", ...).
    QStringList marks() const;
};

} // namespace kavrel::test
