#pragma once

#include "session/ReaderCommand.h"

#include <QString>

namespace kavrel {

// Starts the user's editor on a file and returns when it has finished.
// The real one runs Editor_Path as a process; tests may use a script.
class EditorHost
{
public:
    virtual ~EditorHost() = default;
    // True when the editor ran and exited; otherwise error says why.
    virtual bool edit(const QString &editorPath, const QString &filePath, QString *error) = 0;
};

// The writing commands and the batch mark (W P G E D M S) reach the compose
// commands through here, after the reader's own steps.
class ComposeHost
{
public:
    virtual ~ComposeHost() = default;
    virtual void runCommand(ReaderCommand command) = 0;
};

} // namespace kavrel
