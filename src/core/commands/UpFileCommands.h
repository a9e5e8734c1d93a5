#pragma once

#include "base/Text.h"

#include <QString>
#include <QStringList>

// The commands of the up file, as the terminal program sends them to the host
// (CR LF ends every line; "\" is the net's board command, not a path), and the
// search for a waiting command that the title list numbers as its n-th.
namespace kavrel::commands::upfile {

// "\" n ⏎ "W" text ⏎ sig "." ⏎ "yQ", where sig is empty or ends with ⏎.
QString writeCommand(qint64 board, const QString &text, const QString &sig);
// "\" n ⏎ ref ⏎ "P" text ⏎ sig "." ⏎ "yQ".
QString responseCommand(qint64 board, const QString &ref, const QString &text, const QString &sig);
// A recipient entry as the mail command names it: an ID of digits as its
// number after one blank (" 200" for "0200"); an ID with other characters
// (as on nets whose IDs read "KAV00123") as it stands after one blank, since
// its numeric value would address the mail to nobody.
QString recipientText(const QString &entry);
// "mw" ⏎, m ⏎ ⏎ for each recipient, then ⏎ text ⏎ sig "." ⏎ "y".
QString mailCommand(const QStringList &recipients, const QString &text, const QString &sig);
// "X" c ⏎ text' ⏎ "." ⏎, text' without empty lines (nor a last line end).
QString chatCommand(qint64 chat, const QString &text);
// "\" b ⏎ a ⏎ "SQ".
QString batchCommand(qint64 board, qint64 article);

// The recipient entries of Recipients (each ended by CR LF) up to the first
// empty one.
QStringList recipientEntries(const QString &recipients);

// Where a waiting command lies in the up file text: 1-based start and length;
// start 0 when it is not there.
struct Span
{
    qsizetype start = 0;
    qsizetype length = 0;
    // The reference line of a response (without its line end).
    QString reference;

    bool found() const { return start > 0; }
};

// The n-th (from 1) write of a board.
Span findWrite(const QString &up, qint64 board, qint64 n);
// The n-th response of a board.
Span findResponse(const QString &up, qint64 board, qint64 n);
// The n-th mail.
Span findMail(const QString &up, qint64 n);
// The first chat write of a chat room.
Span findChat(const QString &up, qint64 chat);

// The text without the span (unchanged when the span was not found).
QString cut(const QString &up, const Span &span);

} // namespace kavrel::commands::upfile
