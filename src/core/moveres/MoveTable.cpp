#include "moveres/MoveTable.h"

#include "base/BoardItemText.h"
#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "session/Session.h"

namespace kavrel::moveres {

using namespace kavrel::text;

qint64 boardNumberOfItem(const QString &item)
{
    return boarditem::boardNumber(item);
}

QString moveFileBase(const Session &session)
{
    const QString name = session.netField(settings::NetRecord::Board_list_File_Name);
    const qsizetype dot = findFrom(name, u'.');
    return dot == 0 ? name : left(name, dot - 1);
}

QString moveFilePath(const Session &session)
{
    return fileio::joinPath(
        session.directory(settings::DirRecord::BL_Dir), moveFileBase(session) + QStringLiteral(".IDO"));
}

QStringList decodeMoveTable(const QByteArray &bytes)
{
    QStringList table;
    table.reserve(kMoveEntries);
    for (int i = 0; i < kMoveEntries; ++i)
        table << cp932::decode(bytes.mid(qsizetype(i) * kMoveEntryBytes, kMoveEntryBytes));
    return table;
}

QByteArray encodeMoveTable(const QStringList &table)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(kMoveEntries) * kMoveEntryBytes);
    for (int i = 0; i < kMoveEntries; ++i)
        bytes += cp932::encodeField(i < table.size() ? table.at(i) : QString(), kMoveEntryBytes);
    return bytes;
}

qint64 targetOf(const QStringList &table, qint64 board)
{
    if (board < 0 || board >= kMoveEntries || board >= table.size())
        return 0;
    return val(table.at(board));
}

void LoadMoveTable(Session &session)
{
    session.moves.MoveFileBase = moveFileBase(session);
    QByteArray bytes;
    fileio::FileError error;
    if (!fileio::readAll(moveFilePath(session), &bytes, &error, true))
        session.reportFileError(fileio::FileAccess::Read, error);
    session.moves.MoveTable = decodeMoveTable(bytes);
}

bool SaveMoveTable(Session &session)
{
    fileio::FileError error;
    if (!fileio::writeAtomic(moveFilePath(session), encodeMoveTable(session.moves.MoveTable), &error)) {
        session.reportFileError(fileio::FileAccess::Write, error);
        return false;
    }
    return true;
}

void ShowMoveTarget(Session &session, const QString &idoText)
{
    auto &toNo = session.main.To_No;
    const qint64 n = boardNumberOfItem(session.main.Board_List.selectedText());
    const qint64 target = session.reading.LastWrittenKind == ReaderMode::MoveResponse
        ? val(idoText)
        : targetOf(session.moves.MoveTable, n);
    toNo.Caption = target > 0 ? QString::number(target) : QStringLiteral("なし");
    session.main.MoveTarget = n != 0 && target > 0 ? target : 0;
    if (n == 0) {
        toNo.Caption = QStringLiteral("なし");
        toNo.enabled = false;
    } else {
        toNo.enabled = true;
    }
}

std::optional<ReaderCommand> replyPending(const Session &session)
{
    switch (session.reading.LastWrittenKind) {
    case ReaderMode::MoveResponse:
        return ReaderCommand::Write;
    case ReaderMode::MailReply:
        return ReaderCommand::Mail;
    default:
        return std::nullopt;
    }
}

void moveResponseWritten(Session &session)
{
    LoadMoveTable(session);
    ShowMoveTarget(session);
}

} // namespace kavrel::moveres
