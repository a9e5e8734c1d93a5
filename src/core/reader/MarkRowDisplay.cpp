#include "reader/MarkRowDisplay.h"

#include "base/Text.h"
#include "session/LogBoards.h"
#include "session/Session.h"
#include "session/UpFile.h"

using namespace kavrel::text;

namespace kavrel::reader {

void ShowMarkRow(Session &session)
{
    MainWindowState &m = session.main;
    ListBox &article = m.Article;
    article.clear();
    const QString item = m.Title.selectedText();
    const BoardItem board = selectedBoardItem(session);
    const UpFile up(session.upFile.text());
    const qint64 n = val(mid(item, 4));
    const QString kind = mid(item, 2, 2);

    if (kind == u"書込" && board.isChat()) {
        const UpCommand *chat = up.chatWrite(board.number);
        if (chat == nullptr)
            return;
        // The host ends a chat line at its first line that ends in ".".
        for (const QString &line : chat->lines()) {
            if (line.isEmpty() || line.endsWith(u'.'))
                return;
            article.addItem(QStringLiteral("[書込                   ]") + line);
        }
        return;
    }

    const qint64 number = board.boardNumber();
    const UpCommand *command = nullptr;
    if (kind == u"手紙")
        command = up.mail(n);
    else if (kind == u"書込")
        command = up.write(number, n);
    else if (kind == u"レス")
        command = up.response(number, n);
    if (command != nullptr)
        article.items << command->lines();
}

} // namespace kavrel::reader
