#pragma once

#include "session/ReaderCommand.h"

namespace kavrel {

class Program;

// E (Rewrite) or D (Delete) in the send preview on its n-th (from 1)
// command: through the command's mark row in the title list when it has
// one, as the title list runs them; otherwise on the command as it stands
// in the up file, after which the title list is built again, so that its
// mark rows number the commands that are left.
void runOnWaitingCommand(Program &program, int n, ReaderCommand command);

} // namespace kavrel
