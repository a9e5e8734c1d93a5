#pragma once

#include <QString>

namespace kavrel {

// The current net's up file as held in memory. Changed by the compose
// commands (writing, rewriting, deleting and batch marks); loaded when a net
// is chosen; the reader's mark rows read it.
struct UpFileState
{
    QString UpFileText;
    QString UpFilePath; // where it was last written
    bool UpFileDirty = false; // changed since it was last written
};

} // namespace kavrel
