#include "commands/UpFileUndo.h"

#include "base/Text.h"
#include "session/Session.h"
#include "session/UpFileChange.h"
#include "session/UpFileHistory.h"

namespace kavrel::commands {

namespace {

UpFileRestore failed(Session &session, const QString &what, const fileio::FileError &error)
{
    session.message(what + CRLF + error.toString(), MsgButtons::Ok, MsgIcon::Critical);
    return { UpFileRestore::Outcome::Failed, {}, 0 };
}

// Reads the history with the up file as it stands kept as its current generation.
bool readHistory(Session &session, UpFileHistory &history)
{
    fileio::FileError error;
    if (session.upFile.keepFound(session.upFilePath(), &error) && history.read(&error))
        return true;
    failed(session, QStringLiteral("アップファイルの履歴を読み書きできません。元に戻せません。"), error);
    return false;
}

void tellSkipped(Session &session, const QList<qint64> &skipped)
{
    for (const qint64 number : skipped) {
        session.message(
            QStringLiteral("アップファイルの履歴の世代 %1 は壊れているため、飛ばしました。").arg(number),
            MsgButtons::Ok, MsgIcon::Exclamation);
    }
}

// Writes the generation to the up file, after asking when it would bring back
// commands already sent.
UpFileRestore restoreTo(
    Session &session, const UpFileHistory &history, const UpFileGeneration &target, const QString &status)
{
    if (const int sent = history.sentCommandsBroughtBack(target.number); sent > 0) {
        const QString question = QStringLiteral("アップファイルはこの時点のあと、Kavrel の外で変わりました"
                                                "（通信ソフトが送信したなど）。")
            + CRLF
            + QStringLiteral("元に戻すと、送信済みのコマンド %1 件が戻り、次の接続でもう一度送られます。")
                  .arg(sent)
            + CRLF + QStringLiteral("元に戻しますか？");
        if (session.message(question, MsgButtons::OkCancel, MsgIcon::Critical, MsgAnswer::Cancel)
            != MsgAnswer::Ok)
            return { UpFileRestore::Outcome::Declined, {}, 0 };
    }
    const QString before = session.upFile.text();
    fileio::FileError error;
    if (!session.upFile.restore(session.upFilePath(), target.number, &error))
        return failed(session, QStringLiteral("アップファイルを書き込めませんでした。"), error);
    reportUnkeptHistory(session);
    return { UpFileRestore::Outcome::Restored, status, firstCommandAdded(before, session.upFile.text()) };
}

} // namespace

UpFileRestore stepUpFileHistory(Session &session, HistoryStep step)
{
    if (session.netField(settings::NetRecord::Up_File_Name).isEmpty())
        return { UpFileRestore::Outcome::Nothing, {}, 0 };
    UpFileHistory history(session.upFilePath());
    if (!readHistory(session, history))
        return { UpFileRestore::Outcome::Failed, {}, 0 };
    QList<qint64> skipped;
    const UpFileGeneration *from = history.current();
    const UpFileGeneration *to
        = step == HistoryStep::Undo ? history.previous(&skipped) : history.next(&skipped);
    tellSkipped(session, skipped);
    if (!from || !to) {
        return { UpFileRestore::Outcome::Nothing,
            step == HistoryStep::Undo ? QStringLiteral("元に戻せる変更はありません")
                                      : QStringLiteral("やり直せる変更はありません"),
            0 };
    }
    // Undo takes back the change that made the current generation; redo
    // makes the next one's change again.
    const QString status = step == HistoryStep::Undo ? from->change + QStringLiteral("を元に戻しました")
                                                     : to->change + QStringLiteral("をやり直しました");
    return restoreTo(session, history, *to, status);
}

UpFileRestore restoreUpFileGeneration(Session &session, qint64 number)
{
    UpFileHistory history(session.upFilePath());
    if (!readHistory(session, history))
        return { UpFileRestore::Outcome::Failed, {}, 0 };
    const UpFileGeneration *target = history.find(number);
    if (target && target->damaged) {
        session.message(
            QStringLiteral("アップファイルの履歴の世代 %1 は壊れているため、戻せません。").arg(number),
            MsgButtons::Ok, MsgIcon::Exclamation);
    }
    if (!target || target->damaged)
        return { UpFileRestore::Outcome::Nothing, QStringLiteral("世代 %1 はありません").arg(number), 0 };
    return restoreTo(session, history, *target, QStringLiteral("世代 %1 に戻しました").arg(number));
}

void reportUnkeptHistory(Session &session)
{
    if (const auto &error = session.upFile.historyError()) {
        session.message(QStringLiteral("アップファイルの履歴を残せませんでした。この変更は元に戻せません。")
                + CRLF + error->toString(),
            MsgButtons::Ok, MsgIcon::Exclamation);
    }
}

} // namespace kavrel::commands
