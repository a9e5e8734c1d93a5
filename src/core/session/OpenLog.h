#pragma once

#include "base/BoardItem.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace kavrel {

namespace logindex {
class ParsedLog;
}

// The open log and its index. Changed by logindex (opening and scanning a
// log); the reader, the commands and the windows read it.
struct OpenLog
{
    QString LogText;
    QString LogPath;
    QStringList BoardKeys; // slot k belongs to board item k of Board_List
    // The board list's items as the board scan read them (see session/LogBoards.h).
    std::vector<BoardItem> LogBoards;
    bool NoBoardsFlag = false; // the log holds no board: nothing to read
    bool MultiSelectMode = false; // several logs were merged into Temp.log
    QString PrevLogPath;
    int PrevOpenNetIndex = 255;
    // The log open before the current open, of whatever net: the unread pointer of a net being left is
    // raised only when ReadPointer counts in that net's pointer log.
    QString LeftLogPath;
    QString IdListText;
    // The parsed form of LogText, built on first use (logindex::parsedLog).
    std::shared_ptr<const logindex::ParsedLog> ParsedLogModel;
};

} // namespace kavrel
