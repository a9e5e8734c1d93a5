#pragma once

#include "commands/Drafts.h"

namespace kavrel::commands {

// The draft of the command about to open its editor, to be stored as kind
// (Write, MoveResponse, Response or Mail). replaces is the waiting command a
// rewrite cut out of the up file.
Draft draftOfCommand(
    const Session &session, ReaderMode kind, const StoreOptions &options, const QString &replaces);

// The draft of a rewrite of the waiting command replaces, to be stored as
// target (without a signature: the text has its own), starting from text.
Draft rewriteDraft(const Session &session, const ComposeTarget &target, const QString &replaces,
    const QString &text, const Clock &clock = {});

// Stores a draft's text as its command would have stored it: a rewrite
// replaces its waiting command when that is still there. The board and the
// article need not be in the open log. The up file is written.
void storeDraft(Session &session, const Draft &draft, const QString &text, const Clock &clock = {});

// The editor on a draft's text; what it saves is stored as storeDraft does,
// and what it leaves unsaved stores nothing. A draft not yet recorded in
// the folder (recorded false) is recorded while the editor runs. False when
// TEMP.TXT could not be written or the editor could not start.
bool editDraft(Session &session, Drafts &drafts, const Draft &draft, bool recorded);

// The drafts of the net just chosen, the newest first, each offered in turn:
// はい opens the editor on it and stores what is saved, いいえ keeps it, 破棄
// removes it after asking again. A record that cannot be read is offered as
// a text file.
void OfferDrafts(Session &session, Drafts &drafts);

inline const QString kDiscardDraftQuestion = QStringLiteral("書きかけの文章を破棄しますか？");

} // namespace kavrel::commands
