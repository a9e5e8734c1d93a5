#pragma once

#include "commands/Signature.h"
#include "session/ReaderState.h"
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

// What a composed text becomes: the kind of command and where it goes, as
// the writing command set it up when its editor started.
struct ComposeTarget
{
    // Write, Response or Mail; a move-response (MoveResponse) is stored as a
    // write on its board.
    ReaderMode kind = ReaderMode::None;
    qint64 board = 0; // a write's or response's board; a chat write's room
    bool chat = false;
    QString reference; // a response's reference line
    QString recipients; // a mail's recipient entries, each ended by CR LF
    bool rewrite = false; // a rewritten command gets no signature
};

// The target of the text being composed now as a command of the kind given.
ComposeTarget composeTarget(const Session &session, ReaderMode kind, const StoreOptions &options = {});

// Adds the signature and appends text (CR LF line ends) to the up file as the
// target's command, without writing the file. False when the text was given
// up (an empty write or mail, a response with neither text nor signature).
bool appendComposed(Session &session, const ComposeTarget &target, QString text, const Clock &clock);

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
