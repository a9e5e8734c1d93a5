#pragma once

#include "commands/Signature.h"

#include <QString>

namespace kavrel {
class Session;
}

namespace kavrel::commands {

struct StoreOptions
{
    Clock clock; // for the signature; the system clock when empty
    // The reference line of a response being rewritten, taken from the
    // waiting command itself; used instead of the reference of the row.
    QString keptReference;
};

// Reads TEMP.TXT, adds the signature, appends the command of the compose
// kind (LastWrittenKind: Mail, Write or Response) to UpFileText and rewrites
// the up file. The title list is the caller's to rebuild.
void StoreComposedText(Session &session, const StoreOptions &options = {});

// The up file is written whole and atomically; the generation it replaces is
// kept beside it as up file + ".bak". A failure is shown to the user with the
// path and the reason. The file is written even when UpFileText is empty.
bool writeUpFile(Session &session);
// Removes the up file, keeping its last content as the backup.
bool removeUpFile(Session &session);

inline const QString kUpFileBackupSuffix = QStringLiteral(".bak");

} // namespace kavrel::commands
