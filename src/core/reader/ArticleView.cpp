#include "reader/ArticleView.h"

#include "base/BoardItemText.h"
#include "base/Text.h"
#include "reader/ArticlePlaces.h"
#include "reader/LogMarkerIndex.h"

namespace kavrel::reader {

namespace {

// The lines of a chat visit, the first of the room's visits from the third
// position of the log on being row 0.
ArticleView chatView(LogMarkerIndex &index, int row, const BoardPlace &place)
{
    ArticleView view;
    const std::vector<qsizetype> &starts = index.chatStarts(place.roomKey, 3);
    if (row < 0 || size_t(row) >= starts.size()) {
        view.lines.append(unshowableText());
        return view;
    }
    view.found = true;
    view.start = starts[size_t(row)];
    appendChatLines(index.text(), view.start, view.lines);
    return view;
}

// Where the article or mail of a row starts: the first read article of its
// number on the board, the mail line of its row. 0 when there is none.
qsizetype articleStart(
    LogMarkerIndex &index, const QString &key, const QString &item, int row, const BoardPlace &place)
{
    if (key == u"(mail /")
        return mailStart(index, row);
    return firstReadArticle(
        index, place.boardKey, key, place.prompt, [&](qsizetype p) { return articleEnd(index, p, item); });
}

} // namespace

ArticleView viewOfRow(LogMarkerIndex &index, const TitleList &list, int row, const BoardPlace &place)
{
    const TitleRow &r = list.rows[size_t(row)];
    // The number column's text, with one blank for any indent, tells the row's kind.
    const QString item = r.depth == 0 ? r.bracketed() : u' ' + r.bracketed();
    if (item == boarditem::kChatPrefix)
        return chatView(index, row, place);
    if (isMarkRow(item))
        return {};

    ArticleView view;
    const QString key = u'(' + bracketText(item) + u'/';
    QString message;
    QStringView article;
    if (key == kGarbledKey) {
        message = garbledRowText();
        article = message;
    } else {
        const qsizetype start = articleStart(index, key, item, row, place);
        if (start == 0)
            return view;
        view.end = articleEnd(index, start, item);
        view.start = start;
        const QString &log = index.text();
        article = view.end == 0 ? text::midView(log, start) : text::midView(log, start, view.end - start);
    }
    view.found = true;
    appendArticleLines(article, view.lines);
    if (view.lines.size() >= 2 && view.lines.first().isEmpty()) {
        view.lines.removeFirst();
        if (view.start != 0)
            view.start += 2;
    }
    if (view.lines.isEmpty()) {
        view.lines.append(unshowableText());
        view.start = 0;
    }
    return view;
}

} // namespace kavrel::reader
