#include "commands/BatchSet.h"

#include "base/Text.h"
#include "commands/UpFileCommands.h"
#include "commands/UpFileWriter.h"
#include "session/Session.h"

namespace kavrel::commands {

using namespace kavrel::text;

void ToggleBatchSet(Session &session)
{
    auto &main = session.main;
    const int i = main.Title.ListIndex;
    if (i < 0 || i >= main.rowCount())
        return;
    const qint64 board = val(mid(main.Board_List.selectedText(), 4, 5));
    const QString row = main.Title.item(i);
    const qint64 article = val(mid(row, findFrom(row, u'[') + 1, 5));

    // Only while an article is shown.
    if (main.Article.ListCount() < 2 || charAt(main.Article.item(1), 3) != u'[')
        return;

    const QString command = upfile::batchCommand(board, article);
    if (main.BatchSet.item(i) == u"S") {
        main.BatchSet.items[i] = QStringLiteral(" ");
        const qsizetype start = findFrom(session.UpFileText, command);
        if (start > 0) {
            const qsizetype q = findFrom(session.UpFileText, u'Q', start);
            session.UpFileText = left(session.UpFileText, start - 1) + mid(session.UpFileText, q + 1);
        }
    } else {
        main.BatchSet.items[i] = QStringLiteral("S");
        session.UpFileText += command;
    }
    writeUpFile(session);
}

} // namespace kavrel::commands
