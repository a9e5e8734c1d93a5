#include "commands/BatchSet.h"

#include "base/Text.h"
#include "commands/UpFileCommands.h"
#include "commands/UpFileWriter.h"
#include "session/LogBoards.h"
#include "session/Session.h"
#include "session/UpFile.h"

namespace kavrel::commands {

using namespace kavrel::text;

namespace {

// Whether the article view shows the selected row's article: on hosts that
// print a "[" as the third character of an article's second line, that
// line tells; on the others, the first line carries the article's number
// as "(" + number + "/" right after the board's key.
bool articleShown(const MainWindowState &main, const QString &row)
{
    const ListBox &article = main.Article;
    if (article.ListCount() >= 2 && charAt(article.item(1), 3) == u'[')
        return true;
    const qsizetype open = findFrom(row, u'[');
    const qsizetype close = findFrom(row, u']', open + 1);
    if (open == 0 || close <= open + 1 || article.isEmpty())
        return false;
    return findFrom(article.item(0), u'(' + mid(row, open + 1, close - open - 1) + u'/') > 0;
}

} // namespace

void ToggleBatchSet(Session &session)
{
    auto &main = session.main;
    const int i = main.Title.ListIndex;
    if (i < 0 || i >= main.rowCount())
        return;
    const qint64 board = selectedBoardItem(session).batchNumber;
    const QString row = main.Title.item(i);
    // The whole article number, as the title list reads it back: five
    // characters alone would name another article from 100000 on.
    const qint64 article = val(mid(row, findFrom(row, u'[') + 1));

    // Only while an article is shown.
    if (!articleShown(main, row))
        return;

    const QString command = upfile::batchCommand(board, article);
    if (main.BatchSet.item(i) == u"S") {
        main.BatchSet.items[i] = QStringLiteral(" ");
        const UpFile up(session.upFile.text());
        if (const UpCommand *mark = up.batchMark(board, article))
            session.upFile.cut(mark->start, mark->length);
    } else {
        main.BatchSet.items[i] = QStringLiteral("S");
        session.upFile.append(command);
    }
    saveUpFile(session);
}

} // namespace kavrel::commands
