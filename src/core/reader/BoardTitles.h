#pragma once

#include "reader/TitleRows.h"

namespace kavrel {
class MainWindowState;
class Session;
} // namespace kavrel

namespace kavrel::reader {

class LogMarkerIndex;

// Builds the title list of the main window's chosen board from the session's
// open log, up file and markers, and shows it: the rows go into BatchSet,
// Title, InfoColumn and SubjectColumn, and the empty-board messages into the
// article view (which is otherwise left as the caller left it). Returns the
// row of a command just written that the list selects, or -1; the caller
// selects it. With the reader's marker index, the chat visits come from the
// walk it keeps once per log and room.
int showBoardTitles(Session &session, LogMarkerIndex *index = nullptr);

// The chosen board's title list, made from the session's values.
TitleList boardTitles(Session &session, LogMarkerIndex *index = nullptr);

// Puts the rows into the four title columns, replacing what they held.
void loadTitleRows(MainWindowState &main, const TitleList &list);

} // namespace kavrel::reader
