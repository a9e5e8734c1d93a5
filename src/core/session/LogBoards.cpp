#include "session/LogBoards.h"

#include "session/Session.h"

namespace kavrel {

std::vector<BoardItem> readBoardItems(const QStringList &items, const QStringList &keys)
{
    std::vector<BoardItem> boards;
    boards.reserve(size_t(items.size()));
    qsizetype k = 0;
    for (const QString &item : items) {
        BoardItem board = BoardItem::fromText(item);
        if (!board.isChat())
            board.key = keys.value(k++);
        boards.push_back(std::move(board));
    }
    return boards;
}

namespace {

// Whether the scan's values still stand for the list and its keys.
bool scannedValuesHold(const Session &session)
{
    const QStringList &items = session.main.Board_List.items;
    const std::vector<BoardItem> &scanned = session.log.LogBoards;
    if (qsizetype(scanned.size()) != items.size())
        return false;
    qsizetype k = 0;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const BoardItem &board = scanned[size_t(i)];
        if (board.text != items.at(i) || (!board.isChat() && board.key != session.log.BoardKeys.value(k++)))
            return false;
    }
    return true;
}

} // namespace

std::vector<BoardItem> boardItems(const Session &session)
{
    if (scannedValuesHold(session))
        return session.log.LogBoards;
    return readBoardItems(session.main.Board_List.items, session.log.BoardKeys);
}

BoardItem boardItemAt(const Session &session, int index)
{
    const QStringList &items = session.main.Board_List.items;
    if (index < 0 || index >= items.size())
        return BoardItem::fromText(QString());
    if (scannedValuesHold(session))
        return session.log.LogBoards[size_t(index)];
    return readBoardItems(items, session.log.BoardKeys)[size_t(index)];
}

BoardItem selectedBoardItem(const Session &session)
{
    return boardItemAt(session, session.main.Board_List.ListIndex);
}

} // namespace kavrel
