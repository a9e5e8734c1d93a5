#pragma once

#include <QString>

namespace kavrel {

// What the command being composed writes. Owned by the compose commands; the
// reader resets the rewrite and keeps the row a command starts on.
struct ComposeState
{
    bool RewriteFlag = false; // a waiting command is being rewritten
    QString ResponseRef; // the number a response refers to
    QString Recipients; // a mail's recipient entries, each ended by CR LF
    QString SignatureText; // the current net's signature, expanded
    QString TempStamp; // TEMP.TXT as the editor was given it
    int SavedTitleIndex = -1; // the title row the command started on
};

} // namespace kavrel
