#pragma once

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

// The compose letters and the batch mark of the reader's keys (W P G E D M S)
// reach the writing commands through here.
class ComposeHost
{
public:
    virtual ~ComposeHost() = default;
    virtual void composeKey(int keyCode, int shift) = 0;
};

} // namespace kavrel
