#pragma once

namespace kavrel {
class Session;
}

namespace kavrel::reader {

class Reader;

// Chooses in the main window the mark row ("[書込 2]", "[レス 1]", "[手紙 3]")
// of the n-th (from 1) command Kavrel wrote in the up file text, as the send
// preview numbers them: its board, then its row, so that E and D work on it.
// False for a command without a mark row (a chat write, a batch mark, a
// response to an article of no open log) or whose board is not in the open
// log; a board that is there is chosen all the same.
bool chooseWaitingCommand(Reader &reader, const Session &session, int n);

} // namespace kavrel::reader
