#pragma once

#include <QString>

namespace kavrel {

// The reader's mode: what a later row change, title focus or store is to do.
enum class ReaderMode {
    None,
    UnreadSearch, // the next row change runs the unread search
    MovedUp, // moved up out of a board: the preceding board opens on its last row
    // The compose kind; the rebuilt title list selects the command just written.
    Write,
    Response,
    Mail,
    MoveResponse, // a move-response waits for the title list to regain the focus
    MailReply, // a mail reply waits likewise
};

// The reader's own mode between key presses. Changed by the reader; the
// compose commands and the move-response window set the compose kind.
struct ReaderState
{
    ReaderMode LastWrittenKind = ReaderMode::None;
    bool TitleBuildSuppress = false;
    // What the last undo or redo of the up file did, for the status bar.
    QString StatusText;
};

} // namespace kavrel
