#pragma once

namespace kavrel {
class Session;
}

namespace kavrel::commands {

// D on the n-th (from 1) command Kavrel wrote in the up file, as the send
// preview numbers them, for a command that has no row in the title list (a
// response to an article of no open log, a chat write, a batch mark): the
// title list's question, then the command cut out and the up file written.
// True when it was deleted.
bool deleteWaitingCommand(Session &session, int n);

} // namespace kavrel::commands
