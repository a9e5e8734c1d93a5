#pragma once

#include "commands/Signature.h"
#include "session/UpFileStore.h"

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
// kind (LastWrittenKind: Mail, Write or Response) to the up file and saves it
// unless its text is empty. The title list is the caller's to rebuild.
void StoreComposedText(Session &session, const StoreOptions &options = {});

// Saves the up file's text to the current net's up file when it changed (see
// UpFileStore::save): an empty text is written as an empty file, or with
// RemoveFile removes the file. A failure is shown to the user with the path
// and the reason.
bool saveUpFile(Session &session, UpFileStore::WhenEmpty whenEmpty = UpFileStore::WhenEmpty::WriteEmptyFile);

} // namespace kavrel::commands
