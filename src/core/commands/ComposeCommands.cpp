#include "commands/ComposeCommands.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "commands/BatchSet.h"
#include "commands/BoardItem.h"
#include "commands/DraftOffer.h"
#include "commands/EditorLaunch.h"
#include "commands/StartingText.h"
#include "commands/TempFile.h"
#include "moveres/MoveTable.h"
#include "session/LogBoards.h"
#include "session/Session.h"

#include <QFileInfo>

namespace kavrel::commands {

using namespace kavrel::text;
using boarditem::between;
using startingtext::TrailingLineEnd;

namespace {

// The own-mark test: 0 for an ordinary article row.
qsizetype ownMarks(const QString &row, bool withChatAndMail)
{
    qsizetype sum = findFrom(row, QStringLiteral("[手紙")) + findFrom(row, QStringLiteral("[書込"))
        + findFrom(row, QStringLiteral("[レス"));
    if (withChatAndMail)
        sum += findFrom(row, boarditem::kChatPrefix) + findFrom(row, QStringLiteral("[mail"));
    return sum;
}

// The sequence number of a mark row: "[書込 2]" is the second waiting write.
qint64 markNumber(const QString &row)
{
    return val(between(row, 4, findFrom(row, u']')));
}

// The text between the first "[" of a row and the next "]".
QString bracketText(const QString &row)
{
    const qsizetype open = findFrom(row, u'[');
    if (open == 0)
        return {};
    return between(row, open + 1, findFrom(row, u']', open + 1));
}

// Names each character with its code point, for the user.
QString describeCharacters(const QString &chars)
{
    QStringList parts;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const bool pair = chars.at(i).isHighSurrogate() && i + 1 < chars.size();
        const QString one = chars.mid(i, pair ? 2 : 1);
        const char32_t code
            = pair ? QChar::surrogateToUcs4(chars.at(i), chars.at(i + 1)) : char32_t(chars.at(i).unicode());
        parts << QStringLiteral("「%1」(U+%2)")
                     .arg(one, QString::number(quint32(code), 16).toUpper().rightJustified(4, u'0'));
        if (pair)
            ++i;
    }
    return parts.join(QStringLiteral("、"));
}

} // namespace

ComposeCommands::ComposeCommands(Session &session)
    : m_session(session)
    , m_idList(session)
    , m_move(session)
{
    m_session.compose = this;
}

ComposeCommands::~ComposeCommands()
{
    if (m_session.compose == this)
        m_session.compose = nullptr;
}

void ComposeCommands::runCommand(ReaderCommand command, ComposeDone done)
{
    if (m_editing)
        return; // the editor of another command is still open
    m_result = ComposeResult { command };
    m_done = std::move(done);
    m_waitingForRecipients = false;
    switch (command) {
    case ReaderCommand::Write:
        Write();
        break;
    case ReaderCommand::Respond:
        Response();
        break;
    case ReaderCommand::RespondElsewhere:
        TemporaryMoveResponse();
        break;
    case ReaderCommand::Rewrite:
        Rewrite();
        break;
    case ReaderCommand::Delete:
        Delete();
        break;
    case ReaderCommand::Mail:
        Mail();
        break;
    case ReaderCommand::ToggleBatch:
        ToggleBatchSet(m_session);
        break;
    case ReaderCommand::Undo:
    case ReaderCommand::Redo:
        stepHistory(command == ReaderCommand::Undo ? HistoryStep::Undo : HistoryStep::Redo);
        break;
    default:
        break;
    }
    if (!m_waitingForRecipients)
        finish();
}

void ComposeCommands::finish()
{
    m_waitingForRecipients = false;
    const ComposeResult result = m_result;
    if (const ComposeDone done = std::exchange(m_done, nullptr))
        done(result);
}

// ---------------------------------------------------------------------------
// The editor, TEMP.TXT and the waiting command being rewritten.

ComposeCommands::EditResult ComposeCommands::runEditor(ReaderMode storing)
{
    if (m_drafts) {
        const ReaderMode kind = storing != ReaderMode::None ? storing : m_session.reading.LastWrittenKind;
        m_drafts->begin(draftOfCommand(m_session, kind, storeOptions(), m_cutCommand));
    }
    m_editing = true;
    EditResult result = EditResult::Edited;
    for (;;) {
        if (!LaunchEditor(m_session)) {
            result = EditResult::Failed;
            break;
        }
        QString text;
        if (!tempfile::exists(m_session) || !tempfile::read(m_session, &text))
            break;
        const QString bad = cp932::unencodable(text);
        if (bad.isEmpty())
            break;
        // The host would receive these characters garbled: ask before going on.
        const QString kept = keepUnsentText(text);
        const MsgAnswer answer = m_session.message(
            QStringLiteral("次の文字はシフトJISで表せないため、このままでは送れません。\r\n")
                + describeCharacters(bad) + QStringLiteral("\r\n\r\n")
                + QStringLiteral("入力した文章は次のファイルに保存してあります。\r\n") + kept
                + QStringLiteral("\r\n\r\n")
                + QStringLiteral("ＯＫで編集し直します。キャンセルで書き込みを中止します。"),
            MsgButtons::OkCancel, MsgIcon::Exclamation);
        if (answer != MsgAnswer::Ok) {
            result = EditResult::Cancelled;
            break;
        }
    }
    m_editing = false;
    m_result.outcome
        = result == EditResult::Failed ? ComposeResult::Outcome::Failed : ComposeResult::Outcome::Cancelled;
    return result;
}

void ComposeCommands::storeOrRestore(EditResult result)
{
    // Only a text the editor really saved is stored; otherwise a command cut
    // out for rewriting goes back where it was.
    if (result == EditResult::Edited && tempfile::changedSinceStamp(m_session))
        store();
    else
        restoreCut();
}

void ComposeCommands::editThenStore(int savedRow)
{
    const EditResult result = runEditor();
    clickRow(m_session.main, savedRow);
    storeOrRestore(result);
    m_result.refocus = true;
    endCommand();
}

QString ComposeCommands::keepUnsentText(const QString &text)
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    const QString base = QStringLiteral("UNSENT_") + now.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = m_session.appFile(base + QStringLiteral(".TXT"));
    for (int i = 2; QFileInfo::exists(path); ++i)
        path = m_session.appFile(base + QLatin1Char('_') + QString::number(i) + QStringLiteral(".TXT"));
    if (!fileio::writeAtomic(path, text.toUtf8()))
        return tempfile::path(m_session); // the text still stands in TEMP.TXT
    return path;
}

bool ComposeCommands::writeTemp(const QString &text)
{
    QString error;
    if (tempfile::write(m_session, text, &error))
        return true;
    m_result.outcome = ComposeResult::Outcome::Failed;
    m_session.message(
        QStringLiteral("TEMP.TXTを書き込めませんでした。\r\n") + error, MsgButtons::Ok, MsgIcon::Critical);
    return false;
}

void ComposeCommands::cutWaiting(const upfile::Span &span)
{
    if (!span.found())
        return;
    if (!m_beforeCut) {
        m_beforeCut = m_session.upFile.text();
        m_cutCommand = m_session.upFile.text().mid(span.start - 1, span.length);
    }
    m_cutReference = span.reference;
    m_session.upFile.cut(span.start - 1, span.length);
    // A rewrite to an empty text stores nothing and the store leaves an
    // empty up file text unwritten: the file would still send the command.
    m_removeEmptiedUpFile = true;
}

void ComposeCommands::restoreCut()
{
    if (m_beforeCut) {
        m_session.upFile.replace(*m_beforeCut);
        m_beforeCut.reset();
        m_removeEmptiedUpFile = false;
    }
}

void ComposeCommands::endCommand()
{
    if (m_removeEmptiedUpFile && m_session.upFile.isEmpty())
        saveUpFile(m_session, UpFileStore::WhenEmpty::RemoveFile);
    m_beforeCut.reset();
    m_cutReference.clear();
    m_cutCommand.clear();
    m_removeEmptiedUpFile = false;
    if (m_drafts)
        m_drafts->end(); // stored or given up
}

StoreOptions ComposeCommands::storeOptions() const
{
    StoreOptions options;
    options.clock = m_clock;
    if (m_session.composing.RewriteFlag)
        options.keptReference = m_cutReference;
    return options;
}

void ComposeCommands::store()
{
    StoreComposedText(m_session, storeOptions());
    // The up file is written; the reader shows the command on the result.
    m_result.outcome = ComposeResult::Outcome::Stored;
}

QString ComposeCommands::rowAboveReference(int row) const
{
    const auto &title = m_session.main.Title;
    for (int i = row - 1; i >= 0 && i < title.ListCount(); --i) {
        QString text = bracketText(title.item(i));
        if (!text.startsWith(QStringLiteral("レス")))
            return text;
    }
    return {};
}

// ---------------------------------------------------------------------------
// W: a new article, or the rewrite of a waiting write.

void ComposeCommands::Write()
{
    auto &main = m_session.main;
    const BoardItem item = selectedBoardItem(m_session);
    if (item.isMailBox())
        return;
    const bool chat = item.isChat();
    if (chat) {
        int last = -1;
        for (int i = 0; i < main.rowCount(); ++i) {
            if (main.Title.item(i).startsWith(QStringLiteral("[書込")))
                last = i;
        }
        if (last >= 0)
            clickRow(main, last);
    }

    const MsgAnswer answer = m_session.message(
        QStringLiteral("書き込みを書き換えますか？"), MsgButtons::OkCancel, MsgIcon::Critical);
    const QString row = main.Title.selectedText();
    if (row.contains(QStringLiteral("[書込")) && answer == MsgAnswer::Ok) {
        tempfile::remove(m_session);
        cutWaiting(chat ? upfile::findChat(m_session.upFile.text(), item.number)
                        : upfile::findWrite(m_session.upFile.text(), item.boardNumber(), markNumber(row)));
        m_session.composing.RewriteFlag = true;
    }
    if (main.Board_List.ListIndex < 0) {
        m_session.message(QStringLiteral("ボードタイトルが選択されていません"));
        restoreCut();
        endCommand();
        return;
    }

    const bool moveRes = m_session.reading.LastWrittenKind == ReaderMode::MoveResponse;
    const QStringList lines = main.Article.items;
    bool prepared = true;
    if (!moveRes && !m_session.composing.RewriteFlag) {
        tempfile::remove(m_session); // a new write starts from an empty file
    } else if (moveRes) {
        prepared = writeTemp(startingtext::quote(lines, TrailingLineEnd::Keep));
    } else if (chat) {
        prepared = writeTemp(startingtext::chatCopy(lines, TrailingLineEnd::Keep));
    } else {
        prepared = writeTemp(startingtext::plainCopy(lines, TrailingLineEnd::Remove));
    }

    const EditResult result
        = prepared ? runEditor(moveRes ? ReaderMode::MoveResponse : ReaderMode::Write) : EditResult::Failed;
    if (result != EditResult::Edited) {
        restoreCut();
        m_session.reading.LastWrittenKind = ReaderMode::Write;
        endCommand();
        return;
    }
    if (!moveRes) {
        m_session.reading.LastWrittenKind = ReaderMode::Write;
        storeOrRestore(result); // a rewrite left unsaved keeps its place
    } else {
        if (tempfile::changedSinceStamp(m_session)) {
            m_session.reading.LastWrittenKind = ReaderMode::Write;
            store();
        } else {
            restoreCut();
        }
        m_session.reading.LastWrittenKind = ReaderMode::Write;
    }
    endCommand();
}

// ---------------------------------------------------------------------------
// P: a response, a rewritten response, or a reply to a received mail.

void ComposeCommands::Response()
{
    auto &main = m_session.main;
    const BoardItem item = selectedBoardItem(m_session);
    if (item.isChat() || main.Board_List.isEmpty())
        return;
    const QString row = main.Title.selectedText();
    bool marked = ownMarks(row, false) > 0;
    if (row.contains(QStringLiteral("[レス"))) {
        cutWaiting(upfile::findResponse(m_session.upFile.text(), item.boardNumber(), markNumber(row)));
        m_removeEmptiedUpFile = true;
        m_session.composing.RewriteFlag = true;
        marked = false;
    }

    if (main.MoveTarget > 0) {
        // A move-response target is set: the response goes on as a write
        // there, run by the reader once this command has ended. A response
        // cut for rewriting stays cut until that write ends.
        m_session.reading.LastWrittenKind = ReaderMode::MoveResponse;
        m_result.next = ReaderCommand::Write;
        return;
    }

    if (main.Board_List.ListIndex < 0 || main.Title.ListIndex < 0 || marked) {
        restoreCut();
        endCommand();
        return;
    }
    m_session.reading.LastWrittenKind = ReaderMode::Response;
    const QStringList lines = main.Article.items;
    QString start;
    if (m_session.composing.RewriteFlag)
        start = startingtext::plainCopy(lines, TrailingLineEnd::Keep);
    else if (m_session.Flags[settings::OptionFlags::ResBlankQuoteDelete] == u"0")
        start = startingtext::quote(lines, TrailingLineEnd::Keep);
    else
        start = startingtext::quoteWithoutBlanks(lines, TrailingLineEnd::Keep);
    if (!writeTemp(startingtext::dropDoubledTrailingLineEnd(start))) {
        restoreCut();
        endCommand();
        return;
    }

    const int saved = main.Title.ListIndex;
    if (!m_session.composing.RewriteFlag) {
        if (row.contains(QStringLiteral("[mail"))) {
            // A reply to a received mail goes to its sender alone.
            m_session.reading.LastWrittenKind = ReaderMode::Mail;
            const QString second = lines.value(1);
            const qsizetype colon = findFrom(second, u':');
            const qsizetype bytes = findFrom(second, QStringLiteral("bytes"));
            const QString id = bytes > 0 ? between(second, bytes + 5, colon)
                                         : between(second, findFrom(second, QStringLiteral("KB")) + 2, colon);
            if (id.trimmed().isEmpty()) {
                // The sender cannot be read from the mail: rather than a mail
                // to nobody, the user names the recipient.
                openIdListForMail();
                return;
            }
            m_session.composing.Recipients = id + CRLF;
        } else {
            const QString first = lines.value(0);
            const qsizetype open = findFrom(first, u'(');
            const qsizetype slash = findFrom(first, u'/');
            if (open > 0 && slash > 0)
                m_session.composing.ResponseRef = between(first, open + 1, slash);
        }
    } else {
        m_session.composing.ResponseRef = rowAboveReference(saved);
        if (m_session.Sirial_Flg == 0 && !m_cutReference.isEmpty())
            m_session.composing.ResponseRef = m_cutReference;
    }

    editThenStore(saved);
}

// ---------------------------------------------------------------------------
// G: a response written on another board, chosen in the move-response window.

void ComposeCommands::TemporaryMoveResponse()
{
    auto &main = m_session.main;
    if (selectedBoardItem(m_session).isChat() || main.Title.isEmpty())
        return;
    if (ownMarks(main.Title.selectedText(), true) > 0)
        return;
    m_session.reading.LastWrittenKind = ReaderMode::MoveResponse;
    m_move.open();
    m_move.ido_board_list.enabled = false;
    const int index = main.Board_List.ListIndex;
    m_move.selectTarget(index < m_move.ido_board_list2.ListCount() ? index : -1);
}

// ---------------------------------------------------------------------------
// E: the rewrite of a waiting mail, write or response.

void ComposeCommands::Rewrite()
{
    auto &main = m_session.main;
    const BoardItem item = selectedBoardItem(m_session);
    const QString row = main.Title.selectedText();
    const qint64 n = markNumber(row);

    if (row.contains(QStringLiteral("[手紙"))) {
        m_session.reading.LastWrittenKind = ReaderMode::Mail;
        cutWaiting(upfile::findMail(m_session.upFile.text(), n));
        m_session.composing.RewriteFlag = true;
        if (!writeTemp(startingtext::plainCopy(main.Article.items, TrailingLineEnd::Remove))) {
            restoreCut();
            endCommand();
            return;
        }
        openIdListForMail();
        return;
    }

    if (row.contains(QStringLiteral("[書込"))) {
        tempfile::remove(m_session);
        cutWaiting(upfile::findWrite(m_session.upFile.text(), item.boardNumber(), n));
        m_session.composing.RewriteFlag = true;
        if (main.Board_List.ListIndex < 0) {
            m_session.message(QStringLiteral("ボードタイトルが選択されていません"));
            restoreCut();
        } else {
            m_session.reading.LastWrittenKind = ReaderMode::Write;
            const bool prepared
                = writeTemp(startingtext::plainCopy(main.Article.items, TrailingLineEnd::Remove));
            storeOrRestore(prepared ? runEditor() : EditResult::Failed);
        }
        endCommand();
        return;
    }

    if (row.contains(QStringLiteral("[レス"))) {
        cutWaiting(upfile::findResponse(m_session.upFile.text(), item.boardNumber(), n));
        m_removeEmptiedUpFile = true;
        m_session.composing.RewriteFlag = true;
    }
    if (main.Board_List.ListIndex < 0 || main.Title.ListIndex < 0) {
        restoreCut();
        endCommand();
        return;
    }
    m_session.reading.LastWrittenKind = ReaderMode::Response;
    if (!writeTemp(startingtext::dropDoubledTrailingLineEnd(
            startingtext::plainCopy(main.Article.items, TrailingLineEnd::Keep)))) {
        restoreCut();
        endCommand();
        return;
    }
    const int saved = main.Title.ListIndex;
    m_session.composing.ResponseRef = rowAboveReference(saved);
    if (m_session.composing.RewriteFlag && m_session.Sirial_Flg == 0 && !m_cutReference.isEmpty())
        m_session.composing.ResponseRef = m_cutReference;

    editThenStore(saved);
}

// ---------------------------------------------------------------------------
// D: the deletion of a waiting command.

void ComposeCommands::Delete()
{
    auto &main = m_session.main;
    const QString row = main.Title.selectedText();
    if (ownMarks(row, true) == 0 || main.Board_List.ListIndex < 0 || main.Title.ListIndex < 0)
        return;
    const BoardItem item = selectedBoardItem(m_session);
    const QString &up = m_session.upFile.text();
    const qint64 n = markNumber(row);
    upfile::Span span;
    if (row.contains(QStringLiteral("[レス")))
        span = upfile::findResponse(up, item.boardNumber(), n);
    else if (row.contains(QStringLiteral("[書込")))
        span = item.isChat() ? upfile::findChat(up, item.number)
                             : upfile::findWrite(up, item.boardNumber(), n);
    else if (row.contains(QStringLiteral("[手紙")))
        span = upfile::findMail(up, n);
    else
        return;

    const MsgAnswer answer = m_session.message(QStringLiteral("書き込みを削除しますか？"),
        MsgButtons::OkCancel, MsgIcon::Critical, MsgAnswer::Cancel);
    if (answer == MsgAnswer::Ok) {
        if (span.found())
            m_session.upFile.cut(span.start - 1, span.length);
        m_result.outcome = ComposeResult::Outcome::Deleted;
        m_result.row = main.Title.ListIndex - 1;
    }
    saveUpFile(m_session);
}

// ---------------------------------------------------------------------------
// Ctrl+Z and Ctrl+Y: the up file's undo history.

void ComposeCommands::stepHistory(HistoryStep step)
{
    const UpFileRestore restore = stepUpFileHistory(m_session, step);
    m_session.reading.StatusText = restore.status;
    if (restore.outcome == UpFileRestore::Outcome::Restored) {
        m_result.outcome = ComposeResult::Outcome::Restored;
        m_result.restoredCommand = restore.command;
    }
}

// ---------------------------------------------------------------------------
// M: a mail, a rewritten mail, or a mail reply set up by the move-response
// window; the recipient window finishes it.

void ComposeCommands::Mail()
{
    auto &main = m_session.main;
    if (main.Board_List.isEmpty() || boardItemAt(m_session, 0).boardNumber() != 0) {
        m_session.message(QStringLiteral("メールを処理するボードが見つかりません") + CRLF + CRLF
            + QStringLiteral("一度メールのタイトルを読み込んで下さい"));
        return;
    }
    const QString row = main.Title.selectedText();
    bool prepared = true;
    if (m_session.reading.LastWrittenKind == ReaderMode::MailReply) {
        prepared = writeTemp(startingtext::quote(main.Article.items, TrailingLineEnd::Remove));
    } else if (row.contains(QStringLiteral("[手紙"))) {
        const MsgAnswer answer = m_session.message(
            QStringLiteral("メール内容の書き換えですか？"), MsgButtons::YesNo, MsgIcon::Question);
        if (answer == MsgAnswer::Yes) {
            clickRow(main, main.Title.ListIndex);
            cutWaiting(upfile::findMail(m_session.upFile.text(), markNumber(row)));
            m_session.composing.RewriteFlag = true;
        }
        prepared = writeTemp(startingtext::plainCopy(main.Article.items, TrailingLineEnd::Remove));
    } else {
        tempfile::remove(m_session);
    }
    if (!prepared) {
        restoreCut();
        endCommand();
        return;
    }
    m_session.reading.LastWrittenKind = ReaderMode::Mail;
    openIdListForMail();
}

void ComposeCommands::openIdListForMail()
{
    m_idList.mailAccepted = [this] { finishMail(); };
    m_idList.closedWithoutMail = [this] {
        restoreCut();
        endCommand();
        m_result.outcome = ComposeResult::Outcome::Cancelled;
        finish();
    };
    m_waitingForRecipients = true;
    m_idList.open(IdListWindow::Mode::Mail);
}

void ComposeCommands::finishMail()
{
    storeOrRestore(runEditor());
    endCommand();
    m_result.mailFinished = true;
    finish();
}

void ComposeCommands::showIdList()
{
    m_idList.mailAccepted = nullptr;
    m_idList.closedWithoutMail = nullptr;
    m_idList.open(IdListWindow::Mode::Viewer);
}

void ComposeCommands::showMoveSettings()
{
    m_move.open();
}

} // namespace kavrel::commands
