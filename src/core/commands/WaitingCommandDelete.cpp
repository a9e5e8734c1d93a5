#include "commands/WaitingCommandDelete.h"

#include "commands/UpFileWriter.h"
#include "session/Session.h"
#include "session/UpFile.h"

namespace kavrel::commands {

bool deleteWaitingCommand(Session &session, int n)
{
    const UpFile up(session.upFile.text());
    int seen = 0;
    for (const UpCommand &c : up.commands()) {
        if (c.kind == UpCommandKind::Other || ++seen != n)
            continue;
        if (session.message(QStringLiteral("書き込みを削除しますか？"), MsgButtons::OkCancel,
                MsgIcon::Critical, MsgAnswer::Cancel)
            != MsgAnswer::Ok)
            return false;
        session.upFile.replace(up.without(c));
        return saveUpFile(session);
    }
    return false;
}

} // namespace kavrel::commands
