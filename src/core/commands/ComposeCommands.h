#pragma once

#include "commands/IdListWindow.h"
#include "commands/Signature.h"
#include "commands/UpFileCommands.h"
#include "commands/UpFileUndo.h"
#include "commands/UpFileWriter.h"
#include "moveres/MoveResponseWindow.h"
#include "session/ServiceHosts.h"

#include <QString>

#include <optional>

namespace kavrel {
class Session;
}

namespace kavrel::commands {

class Drafts;

// The writing commands of the title list: W (write), P (response), G
// (temporary move-response), E (rewrite), D (delete), M (mail) and S (batch
// mark). Each prepares TEMP.TXT, runs the user's editor and hands the text to
// the up-file writer. The reader calls runCommand after its own
// steps (RewriteFlag reset, SavedTitleIndex taken, E turned into W on chat
// boards) and, on the result, rebuilds the title list itself. Owns the
// headless mail recipient and move-response windows.
//
// A waiting command that a rewrite cut out of the up file text is put back
// when the rewrite ends without a new text (the editor could not start, was
// closed without saving, or the user gave up), so that nothing queued is lost.
class ComposeCommands : public ComposeHost
{
public:
    // Registers itself as the session's compose host.
    explicit ComposeCommands(Session &session);
    ~ComposeCommands() override;

    void runCommand(ReaderCommand command, ComposeDone done) override;

    void Write();
    void Response();
    void TemporaryMoveResponse();
    void Rewrite();
    void Delete();
    void Mail();
    // Ctrl+Z and Ctrl+Y: the up file's previous or next generation.
    void stepHistory(HistoryStep step);

    // The main window's menu: the ID list as a viewer, and the move table.
    void showIdList();
    void showMoveSettings();

    IdListWindow &idListWindow() { return m_idList; }
    moveres::MoveResponseWindow &moveWindow() { return m_move; }

    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Where the text being written is kept as a draft; none when null.
    void setDrafts(Drafts *drafts) { m_drafts = drafts; }
    // True during the editor wait; keys that arrive meanwhile are ignored.
    bool isEditing() const { return m_editing; }

private:
    enum class EditResult { Edited, Failed, Cancelled };
    // storing is the kind of command the text becomes, when the session's
    // compose kind does not say it yet.
    EditResult runEditor(ReaderMode storing = ReaderMode::None);
    void storeOrRestore(EditResult result);
    // The editor, then the row selected again, the text stored (or the cut
    // command restored), the focus back in the title list.
    void editThenStore(int savedRow);
    QString keepUnsentText(const QString &text);

    bool writeTemp(const QString &text);
    void cutWaiting(const upfile::Span &span);
    void restoreCut();
    void endCommand();
    void store();
    StoreOptions storeOptions() const;
    void openIdListForMail();
    void finishMail();
    // Hands the result to the reader, once.
    void finish();

    QString rowAboveReference(int row) const;

    Session &m_session;
    IdListWindow m_idList;
    moveres::MoveResponseWindow m_move;
    Clock m_clock;
    Drafts *m_drafts = nullptr;
    bool m_editing = false;

    // The command running, its result so far, and where the result goes; a
    // mail keeps them until the ID list window closes.
    ComposeResult m_result;
    ComposeDone m_done;
    bool m_waitingForRecipients = false;

    // The up file text before a rewrite cut its waiting command.
    std::optional<QString> m_beforeCut;
    // The reference line of the response being rewritten.
    QString m_cutReference;
    // The waiting command a rewrite cut, as it stood in the up file.
    QString m_cutCommand;
    // A rewrite that empties the up file removes the file.
    bool m_removeEmptiedUpFile = false;
};

} // namespace kavrel::commands
