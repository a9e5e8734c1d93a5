#pragma once

#include "fulltext/FullTextIndex.h"

namespace kavrel {
class Program;
}

namespace kavrel::fulltext {

// Opens the log of a hit as choosing it on the net selection screen would
// (choosing its net first, with the up-file question, when it is not the
// current one), then chooses the hit's board and row, which shows the
// article. False when the net, the log, the board or the article is not
// there any more; the reader then shows what the open left.
bool openHit(Program &program, const Hit &hit);

} // namespace kavrel::fulltext
