#include "reader/MarkRowDisplay.h"

#include "base/Text.h"
#include "session/Session.h"

using namespace kavrel::text;

namespace kavrel::reader {

namespace {

const QString kCrlf = QStringLiteral("\r\n");

// Adds the lines from the line starting at from up to the line "." (not
// shown); a last line without its line end is not shown.
void addLinesUntilDot(ListBox &article, const QString &up, qsizetype from)
{
    for (;;) {
        const qsizetype e = findFrom(up, kCrlf, from);
        if (e == 0)
            return;
        const QString line = mid(up, from, e - from);
        if (line == u".")
            return;
        article.addItem(line);
        from = e + 2;
    }
}

} // namespace

void ShowMarkRow(Session &session)
{
    MainWindowState &m = session.main;
    ListBox &article = m.Article;
    article.clear();
    const QString item = m.Title.selectedText();
    const QString board = m.Board_List.selectedText();
    const QString &up = session.UpFileText;
    const qint64 n = val(mid(item, 4));
    const QString kind = mid(item, 2, 2);

    if (kind == u"手紙") {
        const QString start = QStringLiteral("mw") + kCrlf;
        qsizetype p = 0;
        for (qint64 i = 0; i < n; ++i) {
            p = findFrom(up, start, p == 0 ? 1 : p + start.size());
            if (p == 0)
                return;
        }
        if (p == 0)
            return;
        const qsizetype e = findFrom(up, kCrlf + kCrlf + kCrlf, p);
        if (e == 0)
            return;
        addLinesUntilDot(article, up, e + 6);
        return;
    }

    if (kind == u"書込" && board.startsWith(QLatin1String("[XCHAT]"))) {
        const qsizetype dot = findFrom(board, u'.');
        const QString command = u'X' + QString::number(val(mid(board, 11, dot - 11))) + kCrlf;
        const qsizetype p = findFrom(up, command);
        if (p == 0)
            return;
        qsizetype from = p + command.size();
        for (;;) {
            const qsizetype e = findFrom(up, kCrlf, from);
            if (e == 0)
                return;
            const QString line = mid(up, from, e - from);
            if (line.isEmpty() || line.endsWith(u'.'))
                return;
            article.addItem(QStringLiteral("[書込                   ]") + line);
            from = e + 2;
        }
    }

    // The board number is the text between "No." and the "｢" of the name
    // (the blank before it, when the line has one, ends the number anyway):
    // stopping one character short would read board 12 of "No.12｢" as 1.
    const qsizetype bracket = findFrom(board, QStringLiteral("｢"));
    const QString command = u'\\' + numberWithBlank(val(mid(board, 4, bracket - 4))) + kCrlf;

    if (kind == u"書込") {
        const QString write = command + u'W';
        qsizetype p = 0;
        for (qint64 i = 0; i < n; ++i) {
            p = findFrom(up, write, p + 1);
            if (p == 0)
                return;
        }
        if (p == 0)
            return;
        addLinesUntilDot(article, up, p + write.size());
        return;
    }

    if (kind == u"レス") {
        qint64 count = 0;
        for (qsizetype p = findFrom(up, command); p != 0; p = findFrom(up, command, p + 1)) {
            const qsizetype refEnd = findFrom(up, kCrlf, p + command.size());
            if (refEnd == 0 || charAt(up, refEnd + 2) != u'P')
                continue;
            if (++count == n) {
                addLinesUntilDot(article, up, refEnd + 3);
                return;
            }
        }
    }
}

} // namespace kavrel::reader
