#include "commands/DraftOffer.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "commands/EditorLaunch.h"
#include "commands/TempFile.h"
#include "commands/UpFileCommands.h"
#include "session/LogBoards.h"
#include "session/Session.h"

#include <QFile>
#include <QFileInfo>

namespace kavrel::commands {

namespace {

// The board as the question names it.
QString boardName(const Session &session, const ComposeTarget &target)
{
    if (target.kind == ReaderMode::Mail)
        return QStringLiteral("宛先 ") + upfile::recipientEntries(target.recipients).join(u' ').trimmed();
    if (target.chat)
        return selectedBoardItem(session).text;
    const int count = session.main.Board_List.ListCount();
    for (int i = 0; i < count; ++i) {
        const BoardItem item = boardItemAt(session, i);
        if (!item.isChat() && item.number == target.board)
            return QStringLiteral("No.%1 %2").arg(target.board).arg(item.name).trimmed();
    }
    return QStringLiteral("No.%1").arg(target.board);
}

DraftKind kindOf(const Session &session, ReaderMode kind)
{
    if (session.composing.RewriteFlag)
        return DraftKind::Rewrite;
    switch (kind) {
    case ReaderMode::Response:
        return DraftKind::Response;
    case ReaderMode::MoveResponse:
        return DraftKind::MoveResponse;
    case ReaderMode::Mail:
        return DraftKind::Mail;
    default:
        return DraftKind::Write;
    }
}

// The text of a record that cannot be read, kept as a file beside TEMP.TXT.
QString keepAsText(Session &session, const Draft &draft)
{
    const QString base = QStringLiteral("DRAFT_")
        + QFileInfo(draft.file).lastModified().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = session.appFile(base + QStringLiteral(".TXT"));
    for (int i = 2; QFileInfo::exists(path); ++i)
        path = session.appFile(base + u'_' + QString::number(i) + QStringLiteral(".TXT"));
    fileio::FileError error;
    if (!fileio::writeAtomic(path, draft.raw, &error)) {
        session.reportFileError(fileio::FileAccess::Write, error);
        return {};
    }
    return path;
}

void offerUnreadable(Session &session, Drafts &drafts, const Draft &draft)
{
    const MsgAnswer answer = session.message(QStringLiteral("書きかけの文章の記録を読み取れませんでした（")
            + draft.unreadable + QStringLiteral("）。\r\n") + draft.file
            + QStringLiteral("\r\n\r\n中身をテキストファイルとして取り出しますか？"),
        MsgButtons::YesNoDiscard, MsgIcon::Exclamation);
    if (answer == MsgAnswer::Yes) {
        const QString path = keepAsText(session, draft);
        if (path.isEmpty())
            return;
        drafts.remove(draft);
        session.message(QStringLiteral("書きかけの文章を次のファイルに保存しました。\r\n") + path,
            MsgButtons::Ok, MsgIcon::Information);
    } else if (answer == MsgAnswer::Cancel
        && session.message(kDiscardDraftQuestion, MsgButtons::YesNo, MsgIcon::Critical, MsgAnswer::No)
            == MsgAnswer::Yes) {
        drafts.remove(draft);
    }
}

} // namespace

bool editDraft(Session &session, Drafts &drafts, const Draft &draft, bool recorded)
{
    QString text = draft.text;
    if (!draft.hasText && !draft.editedFile.isEmpty()) {
        QByteArray bytes;
        if (fileio::readAll(draft.editedFile, &bytes, nullptr, true))
            text = tempfile::decodeEdited(bytes);
    }
    QString error;
    if (!tempfile::write(session, text, &error)) {
        session.message(QStringLiteral("TEMP.TXTを書き込めませんでした。\r\n") + error, MsgButtons::Ok,
            MsgIcon::Critical);
        return false;
    }
    // Dated back, so that a save in the same millisecond is still told from
    // the text as it was given.
    {
        QFile file(tempfile::path(session));
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    }
    session.composing.TempStamp = tempfile::stamp(session);

    Draft current = draft;
    current.editedFile = tempfile::path(session);
    if (recorded)
        drafts.resume(current);
    else
        drafts.begin(current);
    if (!LaunchEditor(session)) {
        if (recorded)
            drafts.resume(Draft()); // the draft stays for another time
        else
            drafts.end(); // nothing was written: the command stands as it was
        return false;
    }
    QString edited;
    if (tempfile::changedSinceStamp(session) && tempfile::read(session, &edited))
        storeDraft(session, draft, edited);
    tempfile::remove(session);
    drafts.end();
    return true;
}

Draft draftOfCommand(
    const Session &session, ReaderMode kind, const StoreOptions &options, const QString &replaces)
{
    Draft draft;
    draft.kind = kindOf(session, kind);
    draft.target = composeTarget(session, kind, options);
    if (draft.target.kind == ReaderMode::MoveResponse)
        draft.target.kind = ReaderMode::Write;
    draft.netName = session.netField(settings::NetRecord::Net_Name);
    draft.boardName = boardName(session, draft.target);
    draft.replaces = replaces;
    draft.started = options.clock ? options.clock() : QDateTime::currentDateTime();
    draft.editedFile = tempfile::path(session);
    return draft;
}

Draft rewriteDraft(const Session &session, const ComposeTarget &target, const QString &replaces,
    const QString &text, const Clock &clock)
{
    Draft draft;
    draft.kind = DraftKind::Rewrite;
    draft.target = target;
    draft.target.rewrite = true;
    draft.netName = session.netField(settings::NetRecord::Net_Name);
    draft.boardName = boardName(session, draft.target);
    draft.replaces = replaces;
    draft.started = clock ? clock() : QDateTime::currentDateTime();
    draft.hasText = true;
    draft.text = text;
    return draft;
}

void storeDraft(Session &session, const Draft &draft, const QString &text, const Clock &clock)
{
    if (!draft.replaces.isEmpty()) {
        const qsizetype at = session.upFile.text().indexOf(draft.replaces);
        if (at >= 0)
            session.upFile.cut(at, draft.replaces.size());
    }
    appendComposed(session, draft.target, text, clock);
    saveUpFile(session, UpFileStore::WhenEmpty::RemoveFile);
}

void OfferDrafts(Session &session, Drafts &drafts)
{
    const QList<Draft> offered = drafts.offered(session.netField(settings::NetRecord::Net_Name));
    for (const Draft &draft : offered) {
        if (!draft.unreadable.isEmpty()) {
            offerUnreadable(session, drafts, draft);
            continue;
        }
        const MsgAnswer answer
            = session.message(draft.offerQuestion(), MsgButtons::YesNoDiscard, MsgIcon::Question);
        if (answer == MsgAnswer::Yes)
            editDraft(session, drafts, draft, true);
        else if (answer == MsgAnswer::Cancel
            && session.message(kDiscardDraftQuestion, MsgButtons::YesNo, MsgIcon::Critical, MsgAnswer::No)
                == MsgAnswer::Yes)
            drafts.remove(draft);
    }
}

} // namespace kavrel::commands
