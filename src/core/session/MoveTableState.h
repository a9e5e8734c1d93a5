#pragma once

#include <QString>
#include <QStringList>

namespace kavrel {

// The move-response table of the open net. Read and written by moveres; the
// reader looks up a board's target.
struct MoveTableState
{
    QStringList MoveTable; // entry n is the target of board n ("" or a number)
    QString MoveFileBase;
};

} // namespace kavrel
