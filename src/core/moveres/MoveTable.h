#pragma once

#include "session/ReaderCommand.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace kavrel {
class Session;
}

// The move-response table of the open net: for every board number 0 to 500 a
// target board, kept in BL_Dir as <board list file name up to its first ".">
// + ".IDO", 501 entries of 3 Shift-JIS bytes each, entry 0 first.
namespace kavrel::moveres {

constexpr int kMoveEntries = 501;
constexpr int kMoveEntryBytes = 3;

// The board number of a Board_List item: the numeric value of the text
// between its first "." and its first "｢" (0 without either).
qint64 boardNumberOfItem(const QString &item);

// MoveFileBase and the path of the move file of the open net.
QString moveFileBase(const Session &session);
QString moveFilePath(const Session &session);

// The table from the bytes of a move file; a short file leaves the rest
// without targets.
QStringList decodeMoveTable(const QByteArray &bytes);
// The 1503 bytes of the file.
QByteArray encodeMoveTable(const QStringList &table);

// The target of board n in the table; 0 for none (and for boards above 500).
qint64 targetOf(const QStringList &table, qint64 board);

// Derives MoveFileBase and reads the move file into MoveTable.
void LoadMoveTable(Session &session);
// Writes the whole table, atomically; a failure is shown with path and reason.
bool SaveMoveTable(Session &session);

// Shows the current board's target in To_No: the window's IDO_TEXT while a
// temporary move-response is set up ("move Res"), else the table's entry.
// The mail box shows "なし" and disables the label.
void ShowMoveTarget(Session &session, const QString &idoText = QString());

// What the main window does next when its title list gets the focus with a
// reply pending: a temporary move-response is written (Write), a mail reply
// opens the mail (Mail); nothing otherwise. The reader runs it.
std::optional<ReaderCommand> replyPending(const Session &session);
// After a move-response's write: the table reloaded and the target shown again.
void moveResponseWritten(Session &session);

} // namespace kavrel::moveres
