#pragma once

#include <QString>
#include <QStringList>

namespace kavrel::cli {

// Runs one command in the working directory appDir; answers the exit status
// or throws CliExit.
int runCommand(const QString &appDir, const QString &command, const QStringList &args);

// With --progress, opening a log tells on stderr how much of it is read.
void setShowProgress(bool on);

} // namespace kavrel::cli
