#pragma once

#include <QString>

namespace kavrel {
class Session;
}

namespace kavrel::commands {

// What an undo, a redo or a restore of the up file did, for the reader and
// kavrel-cli to show.
struct UpFileRestore
{
    enum class Outcome {
        Restored, // the up file holds the generation
        Nothing, // no generation to go to
        Declined, // the user kept the file rather than send commands again
        Failed, // the history or the up file could not be read or written: told
    };
    Outcome outcome = Outcome::Nothing;
    // For the status bar: "レス 3 の削除を元に戻しました".
    QString status;
    // The n-th (from 1) waiting command the restore brought back, for its
    // mark row; 0 when it brought back none.
    int command = 0;
};

enum class HistoryStep { Undo, Redo };

// 元に戻す and やり直し: the current net's up file goes one readable
// generation back or forward in its history (damaged ones are skipped with a
// notice). Bringing back commands that a change outside Kavrel took away
// (the terminal program sent them) is asked first.
UpFileRestore stepUpFileHistory(Session &session, HistoryStep step);

// Restores the kept generation number of the current net's up file, as
// undo and redo do, asking the same.
UpFileRestore restoreUpFileGeneration(Session &session, qint64 number);

// Tells the user that the up file was written but the change could not be
// kept in its history, when the last write of the up file said so.
void reportUnkeptHistory(Session &session);

} // namespace kavrel::commands
