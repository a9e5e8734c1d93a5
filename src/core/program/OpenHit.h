#pragma once

#include <QString>

namespace kavrel {

class Program;

// Where a hit of the full-text index lies: its net and log, its board and
// the article's number (a mail's or chat visit's row on its board).
struct HitPlace
{
    QString net;
    QString logFile; // the file name in LOG_Dir
    int boardNo = 0; // -1 for a chat room
    QString board; // "12", "0", "X1"
    QString number; // "-" for a chat-room visit
    int row = 0; // mails and chat-room visits: their row on the board
};

// Opens the log of a hit as choosing it on the net selection screen would
// (choosing its net first, with the up-file question, when it is not the
// current one), then chooses the hit's board and row, which shows the
// article. False when the net, the log, the board or the article is not
// there any more; the reader then shows what the open left.
bool openHit(Program &program, const HitPlace &hit);

} // namespace kavrel
