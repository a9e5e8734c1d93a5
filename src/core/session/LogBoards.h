#pragma once

#include "base/BoardItem.h"

#include <QStringList>

#include <vector>

namespace kavrel {

class Session;

// The board list's items as values, each numbered board paired with its key
// as BoardKeys pairs them (the k-th item that is no chat room with slot k).
std::vector<BoardItem> readBoardItems(const QStringList &items, const QStringList &keys);

// The values of main.Board_List: those the board scan made while the list
// still shows their texts, else read from the list as it stands (a list
// filled another way). An index outside the list gives the value of "".
std::vector<BoardItem> boardItems(const Session &session);
BoardItem boardItemAt(const Session &session, int index);
BoardItem selectedBoardItem(const Session &session);

} // namespace kavrel
