#pragma once

#include "session/ServiceHosts.h"

#include <QStringList>

namespace kavrel::commands {

// Starts the user's editor as a process on the scratch file and waits for it
// to exit, processing events meanwhile so that the program's other windows
// stay alive.
class ProcessEditor : public EditorHost
{
public:
    bool edit(const QString &editorPath, const QString &filePath, QString *error) override;

    // How a path is started: a path that names an existing program is
    // started as it is (blanks and all) with the file as its one argument;
    // anything else is split as a shell would split it, so that an editor
    // with options works, and the file is added as the last argument.
    // False when there is nothing to start.
    static bool commandLine(
        const QString &editorPath, const QString &filePath, QString *program, QStringList *arguments);
};

} // namespace kavrel::commands
