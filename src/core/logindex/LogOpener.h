#pragma once

#include <QStringList>

namespace kavrel {
class Session;
}

namespace kavrel::logindex {

// Opens the log entries selected on the net selection screen (one log, or
// the merge of several into Temp.log) and closes that screen.
void OpenFromNetScreen(Session &session, const QStringList &selectedEntries);

} // namespace kavrel::logindex
