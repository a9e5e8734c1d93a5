#include "search/SearchFilter.h"

#include "base/BoardItemText.h"
#include "base/Text.h"
#include "session/Session.h"

using namespace kavrel::text;

namespace kavrel::search {

bool searchActive(const Session &session)
{
    return session.search.StringSearchOn || session.search.DateSearchOn;
}

void endSearch(Session &session)
{
    session.search.DateSearchOn = false;
    session.search.StringSearchOn = false;
}

QString articleDateTime(QStringView article, const QString &key)
{
    if (key == boarditem::kChatArticleKey || key == u"(?\?\?\?/")
        return {};
    const qsizetype s1 = findFrom(article, u' ');
    const qsizetype s2 = s1 ? findFrom(article, u' ', s1 + 1) : 0;
    const qsizetype s3 = s2 ? findFrom(article, u' ', s2 + 1) : 0;
    if (s3 == 0)
        return {};
    QString text = midView(article, s1 + 1, s3 - s1 - 1).toString();
    if (text.size() == 15)
        text += QStringLiteral(":00");
    return text;
}

bool inDateRange(const SearchState &search, const QString &when)
{
    if (when.isEmpty() || !search.SearchFrom || !search.SearchTo)
        return false;
    if (const auto time = searchBound(when))
        return *search.SearchFrom <= *time && *time <= *search.SearchTo;
    // A time the log garbled is compared with the bounds as text.
    return when >= searchBoundText(search.SearchFrom) && when <= searchBoundText(search.SearchTo);
}

Verdict hitTest(const Session &session, QStringView article, const QString &key)
{
    if (!searchActive(session))
        return Verdict::NoSearch;
    if (session.search.StringSearchOn && article.contains(session.search.SearchText))
        return Verdict::Hit;
    if (session.search.DateSearchOn && inDateRange(session.search, articleDateTime(article, key)))
        return Verdict::Hit;
    return Verdict::Miss;
}

Verdict commandHitTest(const Session &session, const QStringList &lines)
{
    if (!searchActive(session))
        return Verdict::NoSearch;
    if (session.search.StringSearchOn) {
        // The string may run over a line end, as it may in an article.
        if (lines.join(QStringLiteral("\r\n")).contains(session.search.SearchText))
            return Verdict::Hit;
    }
    return Verdict::Miss;
}

} // namespace kavrel::search
