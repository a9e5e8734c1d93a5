#include "commands/UpFileWriter.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "commands/TempFile.h"
#include "commands/UpFileCommands.h"
#include "commands/UpFileUndo.h"
#include "session/LogBoards.h"
#include "session/Session.h"

#include <QFileInfo>

namespace kavrel::commands {

using namespace kavrel::text;
using settings::NetRecord;
using settings::OptionFlags;

namespace {

void reportFileError(Session &session, const QString &what, const fileio::FileError &error)
{
    session.message(what + CRLF + error.toString(), MsgButtons::Ok, MsgIcon::Critical);
}

// Loads the net's signature file, when the option asks for it.
void loadSignature(Session &session, const Clock &clock)
{
    const QString signPath = session.signatureFilePath();
    if (!session.flag(OptionFlags::SignatureOn))
        return; // SignatureText keeps its earlier value
    if (signPath.isEmpty()) {
        // This net signs nothing; an earlier net's signature is not its own.
        session.composing.SignatureText.clear();
        return;
    }
    QByteArray bytes;
    if (!QFileInfo::exists(signPath) || !fileio::readAll(signPath, &bytes)) {
        session.composing.SignatureText.clear();
        return;
    }
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    session.composing.SignatureText = cp932::decode(bytes);
    ExpandSignature(session, clock);
}

// The board a write or response goes to: the move-response target when
// there is one, else the current board. A rewrite replaces a command
// waiting for the current board and stays there: moved to the target, a
// response would answer an article of another board.
qint64 targetBoard(const Session &session)
{
    const qint64 target = session.main.MoveTarget;
    if (target > 0 && !session.composing.RewriteFlag)
        return target;
    return selectedBoardItem(session).boardNumber();
}

QString responseReference(const Session &session, const StoreOptions &options)
{
    if (!options.keptReference.isEmpty())
        return options.keptReference;
    if (session.Sirial_Flg == 0)
        return session.composing.ResponseRef;
    const int row = session.main.Title.ListIndex;
    const QString title3 = (row >= 0 && row < session.main.SubjectColumn.ListCount())
        ? session.main.SubjectColumn.item(row)
        : QString();
    // The title list keeps the serial number at the end of the title: the
    // reference is that number whole. Its last six characters alone would
    // carry blanks for a shorter number and name another article for a
    // longer one; for six digits both are the same.
    qsizetype digits = 0;
    while (digits < title3.size() && title3.at(title3.size() - 1 - digits).isDigit())
        ++digits;
    if (digits == 0)
        return QStringLiteral("%") + right(title3, 6);
    return QStringLiteral("%") + right(title3, digits);
}

} // namespace

bool saveUpFile(Session &session, UpFileStore::WhenEmpty whenEmpty)
{
    const bool removing = whenEmpty == UpFileStore::WhenEmpty::RemoveFile && session.upFile.isEmpty();
    fileio::FileError error;
    if (!session.upFile.save(session.upFilePath(), whenEmpty, &error)) {
        reportFileError(session,
            removing ? QStringLiteral("アップファイルを削除できませんでした。")
                     : QStringLiteral("アップファイルを書き込めませんでした。"),
            error);
        return false;
    }
    reportUnkeptHistory(session);
    return true;
}

ComposeTarget composeTarget(const Session &session, ReaderMode kind, const StoreOptions &options)
{
    ComposeTarget target;
    target.kind = kind;
    target.rewrite = session.composing.RewriteFlag;
    if (target.kind == ReaderMode::Mail) {
        target.recipients = session.composing.Recipients;
    } else if (target.kind == ReaderMode::Write || target.kind == ReaderMode::MoveResponse) {
        const BoardItem item = selectedBoardItem(session);
        target.chat = item.isChat();
        target.board = target.chat ? item.number : targetBoard(session);
    } else if (target.kind == ReaderMode::Response) {
        target.board = targetBoard(session);
        target.reference = responseReference(session, options);
    }
    return target;
}

bool appendComposed(Session &session, const ComposeTarget &target, QString text, const Clock &clock)
{
    if (text.startsWith(CRLF))
        text.prepend(QStringLiteral("タイトルなし"));

    loadSignature(session, clock);

    const qsizetype firstLineEnd = findFrom(text, CRLF);
    const bool hasBody = firstLineEnd > 0 && text.size() >= firstLineEnd + 2;
    const bool withSignature = !target.rewrite && !session.composing.SignatureText.isEmpty()
        && ((hasBody && session.flag(OptionFlags::SignatureOn))
            || (!hasBody && session.flag(OptionFlags::TitleOnlySignature)));
    const QString sig = withSignature ? session.composing.SignatureText + CRLF : QString();

    if (target.kind == ReaderMode::Mail) {
        // A mail saved empty has neither title nor text: it is given up, as
        // an empty write is, instead of queueing a blank mail.
        if (text.isEmpty())
            return false;
        session.upFile.append(upfile::mailCommand(upfile::recipientEntries(target.recipients), text, sig));
        return true;
    }
    if (target.kind == ReaderMode::Write) {
        if (text.isEmpty() || text == CRLF)
            return false;
        session.upFile.append(target.chat ? upfile::chatCommand(target.board, text)
                                          : upfile::writeCommand(target.board, text, sig));
        return true;
    }
    if (target.kind == ReaderMode::Response) {
        // A response with neither text nor signature is dropped. Only that
        // case: a text line ending in "P" followed by one starting with "."
        // is a real response.
        if (text.isEmpty() && sig.isEmpty())
            return false;
        session.upFile.append(upfile::responseCommand(target.board, target.reference, text, sig));
        return true;
    }
    return false;
}

void StoreComposedText(Session &session, const StoreOptions &options)
{
    if (!tempfile::exists(session) || session.reading.LastWrittenKind == ReaderMode::None)
        return;

    QString text;
    if (!tempfile::read(session, &text)) {
        session.message(QStringLiteral("TEMP.TXTを読み込めませんでした。") + CRLF + tempfile::path(session),
            MsgButtons::Ok, MsgIcon::Critical);
        return;
    }

    const ReaderMode kind = session.reading.LastWrittenKind;
    const bool appended = appendComposed(session, composeTarget(session, kind, options), text, options.clock);
    if (kind == ReaderMode::Mail) {
        tempfile::remove(session);
    } else if (kind == ReaderMode::Write) {
        if (!appended)
            session.main.Article.clear();
        tempfile::remove(session);
    } else if (kind == ReaderMode::Response) {
        session.reading.LastWrittenKind = ReaderMode::None;
    }

    // An empty text is left unsaved: a rewrite that emptied it removes the
    // file when the command ends.
    if (!session.upFile.isEmpty())
        saveUpFile(session);
}

} // namespace kavrel::commands
