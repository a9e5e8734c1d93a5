#pragma once

#include "session/ReaderCommand.h"

#include <QString>

#include <functional>
#include <optional>

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

// What became of a writing command, for the reader to show.
struct ComposeResult
{
    enum class Outcome {
        Stored, // the text went into the up file
        Deleted, // a waiting command was cut out of the up file
        Cancelled, // nothing changed
        Failed, // TEMP.TXT or the editor failed; nothing changed
        Restored, // an undo or redo wrote a kept generation of the up file
    };
    ReaderCommand command = ReaderCommand::Write;
    Outcome outcome = Outcome::Cancelled;
    // The row to select after the rebuild of a deletion.
    int row = -1;
    // The n-th (from 1) waiting command that an undo or redo brought back,
    // whose mark row is selected after the rebuild; 0 when none.
    int restoredCommand = 0;
    // The command ran the editor: the title list takes the focus again.
    bool refocus = false;
    // A mail whose recipients were chosen in the ID list: the article view
    // and the title list start afresh, whatever the outcome.
    bool mailFinished = false;
    // The command this one goes on as, for the reader to run as a key's
    // command once this one has ended: a response on a board with a
    // move-response target goes on as a write on the target board.
    std::optional<ReaderCommand> next = std::nullopt;
};

using ComposeDone = std::function<void(const ComposeResult &)>;

// The writing commands, the batch mark and undo (W P G E D M S, Ctrl+Z, Ctrl+Y) reach the compose
// commands through here, after the reader's own steps. done runs once with the
// command's result: before runCommand returns, or, for a mail that waits for
// its recipients, when the ID list window closes. A command that cannot run
// now (another one's editor is still open) has no result. A command never
// runs another one itself: it names it in its result (next).
class ComposeHost
{
public:
    virtual ~ComposeHost() = default;
    virtual void runCommand(ReaderCommand command, ComposeDone done) = 0;
};

} // namespace kavrel
