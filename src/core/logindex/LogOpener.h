#pragma once

#include "base/FileIo.h"

#include <QByteArray>
#include <QStringList>

#include <functional>

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
//
// progress, when given, is told how far the open is, as a share of the log's
// size in bytes: reading and decoding, finding the articles, then the board
// scan and the first board's title list. Answering false while the log is
// read or its articles are found cancels the open, which then ends with no
// file and nothing of the session changed; once the log is taken into use
// the open goes on to its end and the answers are not looked at. False when
// the open did not happen (a file could not be read, or it was cancelled).
using OpenProgress = std::function<bool(qint64 done, qint64 total)>;
bool OpenFromNetScreen(
    Session &session, const QStringList &selectedEntries, const OpenProgress &progress = {});

// Reads and decodes a log file piece by piece, so that the file's bytes and
// its text are never held whole at once. The pieces are decoded straight into
// the text, a character cut between two pieces joined again, so the text is
// the decode of the whole file. False when the file cannot be read or
// progress cancels.
bool readLogText(const QString &path, QString *text, qint64 *length, const OpenProgress &progress = {},
    qint64 pieceSize = 4 << 20, fileio::FileError *error = nullptr);
// The same over bytes already read.
bool decodeLogBytes(
    const QByteArray &bytes, QString *text, const OpenProgress &progress = {}, qint64 pieceSize = 4 << 20);

// Loads LogText from LogPath, shows the file's length, brings the ID list up
// to date and settles the unread pointer. False when the log cannot be read.
bool LoadLog(Session &session);

// The same with the log's bytes already read.
void LoadLogBytes(Session &session, const QByteArray &bytes);
// The same with the log already decoded; length is the file's size in bytes.
void LoadLogText(Session &session, QString text, qint64 length);

// Adds the sender lines of LogText to the current net's ID list file.
void UpdateIdList(Session &session);

} // namespace kavrel::logindex
