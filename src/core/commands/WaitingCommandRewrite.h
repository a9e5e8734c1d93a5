#pragma once

#include <QString>

namespace kavrel {
class Session;
}

namespace kavrel::commands {

class Drafts;

// E on the n-th (from 1) command Kavrel wrote in the up file, as the send
// preview numbers them, for a command that has no row in the title list (a
// mail or a write of a board not in the open log, a response to an article
// of no open log, a chat write): the editor opens on its title and text,
// signature included, and what it saves replaces the command, with the same
// board, reference or recipients, at the end of the up file as the title
// list's rewrite puts it. A text saved empty deletes the command. A batch
// mark has no text and a command without its closing line is not Kavrel's
// to cut: both are said and left as they are. True when the up file changed.
bool rewriteWaitingCommand(Session &session, Drafts &drafts, int n);

inline const QString kBatchMarkHasNoText
    = QStringLiteral("バッチ指定には書き直す文章がありません。いらなければＤで削除してください。");
inline const QString kUnclosedNotRewritten = QStringLiteral(
    "この書き込みは終わりの行がないため、書き直せません。アップファイルをエディタで直接直してください。");

} // namespace kavrel::commands
