#include "reader/WaitingCommandRow.h"

#include "reader/Reader.h"
#include "session/Session.h"
#include "session/UpFile.h"

namespace kavrel::reader {

bool chooseWaitingCommand(Reader &reader, const Session &session, int n)
{
    const UpFile up(session.upFile.text());
    const UpCommand *chosen = nullptr;
    int seen = 0;
    qint64 sameKind = 0; // its place among the marks of its board
    for (const UpCommand &c : up.commands()) {
        if (c.kind == UpCommandKind::Other)
            continue;
        if (++seen == n) {
            chosen = &c;
            break;
        }
    }
    if (!chosen)
        return false;
    QString mark;
    qint64 board = chosen->board;
    switch (chosen->kind) {
    case UpCommandKind::Write:
        mark = QStringLiteral("[書込 ");
        break;
    case UpCommandKind::Response:
        mark = QStringLiteral("[レス ");
        break;
    case UpCommandKind::Mail:
        mark = QStringLiteral("[手紙 ");
        board = 0;
        break;
    default:
        return false;
    }
    for (const UpCommand &c : up.commands()) {
        if (c.kind == chosen->kind && (c.kind == UpCommandKind::Mail || c.board == chosen->board))
            ++sameKind;
        if (&c == chosen)
            break;
    }
    const int item = reader.boardItemOfNumber(int(board));
    if (item < 0)
        return false;
    reader.chooseBoard(item);
    mark += QString::number(sameKind) + u']';
    const auto &title = session.main.Title;
    for (int row = 0; row < title.ListCount(); ++row) {
        if (title.item(row).startsWith(mark)) {
            reader.chooseRow(row);
            return true;
        }
    }
    return false;
}

} // namespace kavrel::reader
