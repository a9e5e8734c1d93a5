#pragma once

#include <QByteArray>
#include <QStringList>

namespace kavrel {
class Session;
}

namespace kavrel::logindex {

// Opens the log files chosen on the net selection screen: one entry opens
// that file, none or several open their merge, Temp.log in LOG_Dir (the
// files' bytes one after another, in list order). Loads the log, settles the
// unread pointer, takes the net's markers into use, scans the boards and
// brings up the main window on the first board. The entries are file names
// in LOG_Dir. When a chosen file cannot be read (or Temp.log written) the open
// ends there and nothing has changed.
void OpenFromNetScreen(Session &session, const QStringList &selectedEntries);

// Loads LogText from LogPath, shows the file's length, brings the ID list up
// to date and settles the unread pointer. False when the log cannot be read.
bool LoadLog(Session &session);

// The same with the log's bytes already read.
void LoadLogBytes(Session &session, const QByteArray &bytes);

// Adds the sender lines of LogText to the current net's ID list file.
void UpdateIdList(Session &session);

} // namespace kavrel::logindex
