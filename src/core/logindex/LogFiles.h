#pragma once

#include <QStringList>

namespace kavrel {
class Session;
}

namespace kavrel::logindex {

// The names of the current net's log files in LOG_Dir, by name.
QStringList listLogFiles(const Session &session);

} // namespace kavrel::logindex
