#pragma once

#include "reader/TitleRows.h"

#include <QString>
#include <QStringList>

namespace kavrel::reader {

class LogMarkerIndex;

// What the article view shows for a row of a title list when the row is
// chosen outside any search.
struct ArticleView
{
    // Whether the row has text of its own to show: false for an article
    // never read, a mail or chat visit the log holds fewer of than rows, and
    // a waiting command's mark row.
    bool found = false;
    QStringList lines; // the view's lines; a chat visit not found shows unshowableText()
    qsizetype start = 0; // where the first line shown begins in the log (1-based); 0 for none
    qsizetype end = 0; // where an article or mail ends in the log; 0 at its end or for none
};

// Where a board's articles are found: its key (the start of its article
// lines), a chat room's key, and the command prompt whose answer tells
// whether an article was read.
struct BoardPlace
{
    QString boardKey;
    QString roomKey;
    QString prompt;
};

// The view of row (an index into list) of the board at place, read from the
// log the index is synced with.
ArticleView viewOfRow(LogMarkerIndex &index, const TitleList &list, int row, const BoardPlace &place);

} // namespace kavrel::reader
