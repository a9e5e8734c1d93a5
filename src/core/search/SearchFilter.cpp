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

QString articleDateTime(const QString &article, const QString &key)
{
    if (key == boarditem::kChatArticleKey || key == u"(?\?\?\?/")
        return {};
    const qsizetype s1 = findFrom(article, u' ');
    const qsizetype s2 = s1 ? findFrom(article, u' ', s1 + 1) : 0;
    const qsizetype s3 = s2 ? findFrom(article, u' ', s2 + 1) : 0;
    if (s3 == 0)
        return {};
    QString text = mid(article, s1 + 1, s3 - s1 - 1);
    if (text.size() == 15)
        text += QStringLiteral(":00");
    return text;
}

Verdict hitTest(const Session &session, const QString &article, const QString &key)
{
    if (!searchActive(session))
        return Verdict::NoSearch;
    if (session.search.StringSearchOn && article.contains(session.search.SearchText))
        return Verdict::Hit;
    if (session.search.DateSearchOn) {
        const QString when = articleDateTime(article, key);
        if (!when.isEmpty() && when >= session.search.SearchFrom && when <= session.search.SearchTo)
            return Verdict::Hit;
    }
    return Verdict::Miss;
}

} // namespace kavrel::search
