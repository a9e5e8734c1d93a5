#include "program/WaitingCommandKeys.h"

#include "commands/WaitingCommandDelete.h"
#include "commands/WaitingCommandRewrite.h"
#include "program/Program.h"
#include "reader/WaitingCommandRow.h"

#include <algorithm>

namespace kavrel {

void runOnWaitingCommand(Program &program, int n, ReaderCommand command)
{
    Session &session = program.session;
    if (reader::chooseWaitingCommand(program.reader, session, n)) {
        program.reader.press(command);
        return;
    }
    const bool changed = command == ReaderCommand::Delete
        ? commands::deleteWaitingCommand(session, n)
        : commands::rewriteWaitingCommand(session, program.drafts, n);
    MainWindowState &main = session.main;
    if (!changed || main.Board_List.ListIndex < 0)
        return;
    const int row = main.Title.ListIndex;
    program.reader.BuildTitleList();
    program.reader.chooseRow(std::min(row, main.rowCount() - 1));
}

} // namespace kavrel
