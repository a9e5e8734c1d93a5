#pragma once

#include "settings/NetContext.h"

#include <QString>

namespace kavrel::settings {

// A working directory is a folder that holds DIR.DEF; SET.def, DATA.DEF and
// the folders DIR.DEF names live beside it.
class WorkingDirectory
{
public:
    // Why path cannot be opened as a working directory (missing, not
    // readable, no DIR.DEF), as the user is told; empty when it can.
    static QString problemOf(const QString &path);

    // Makes the folder path (made first when it does not exist) a new
    // working directory: DIR.DEF, SET.def and an empty DATA.DEF, and the
    // folders LOG, UP and BL. Files and folders already there are kept.
    // context's AppDir becomes path; a failure is told through context.
    static bool create(NetContext &context, const QString &path);

    // Where the program starts: the folder named on the command line, else
    // the one opened last. problem says why it cannot be opened; the
    // first-start dialog is shown when there is a problem or no folder.
    struct Start
    {
        QString path;
        QString problem;
        bool needsDialog() const { return path.isEmpty() || !problem.isEmpty(); }
    };
    static Start startIn(const QString &named, const QString &openedLast);
};

} // namespace kavrel::settings
