#include "commands/WaitingCommandRewrite.h"

#include "base/Text.h"
#include "commands/DraftOffer.h"
#include "session/Session.h"
#include "session/UpFile.h"

namespace kavrel::commands {

namespace {

// The command a rewrite stores: the same kind, board, reference or recipients.
ComposeTarget targetOf(const UpCommand &c)
{
    ComposeTarget target;
    target.board = c.board;
    switch (c.kind) {
    case UpCommandKind::Response:
        target.kind = ReaderMode::Response;
        target.reference = c.reference;
        break;
    case UpCommandKind::Mail:
        target.kind = ReaderMode::Mail;
        target.board = 0;
        for (const QString &r : c.recipients)
            target.recipients += r + CRLF;
        break;
    case UpCommandKind::ChatWrite:
        target.kind = ReaderMode::Write;
        target.chat = true;
        break;
    default:
        target.kind = ReaderMode::Write;
        break;
    }
    return target;
}

} // namespace

bool rewriteWaitingCommand(Session &session, Drafts &drafts, int n)
{
    const UpFile up(session.upFile.text());
    int seen = 0;
    for (const UpCommand &c : up.commands()) {
        if (c.kind == UpCommandKind::Other || ++seen != n)
            continue;
        if (c.kind == UpCommandKind::BatchMark) {
            session.message(kBatchMarkHasNoText, MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        }
        if (!c.complete) {
            session.message(kUnclosedNotRewritten, MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        }
        const QString before = session.upFile.text();
        const Draft draft
            = rewriteDraft(session, targetOf(c), up.text().mid(c.start, c.length), c.lines().join(CRLF));
        editDraft(session, drafts, draft, false);
        return session.upFile.text() != before;
    }
    return false;
}

} // namespace kavrel::commands
