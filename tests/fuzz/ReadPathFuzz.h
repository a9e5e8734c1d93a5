#pragma once

#include <QByteArray>

// The read path under arbitrary bytes: the same input is opened as a log
// (scan, every board's title list, article view, string and date search,
// unread search) and handed to the readers of the board list, the ID list,
// LOGPTR.dat, DIR.DEF, SET.def, DATA.DEF and the move table. Used by the
// libFuzzer target and by the test that replays the checked-in corpus.
namespace kavrel::fuzz {

// Answers how many title rows were shown, so that a test can tell that the
// corpus reaches the title list and the article view.
int runReadPath(const QByteArray &input);

} // namespace kavrel::fuzz
