#pragma once

namespace kavrel {
class Session;
}

namespace kavrel::commands {

// S on the title list: marks the selected article for fetching whole (the
// batch column shows "S" and the up file gets a batch-set command), or
// removes the mark and the command. The up file is rewritten at once.
void ToggleBatchSet(Session &session);

} // namespace kavrel::commands
