#include "fulltext/SearchWindowState.h"

#include "fulltext/Archive.h"

#include <algorithm>
#include <limits>

namespace kavrel::fulltext {

int SearchWindowState::startSearch(const QString &text, Query *query, bool byUser)
{
    if (byUser)
        m_notice.clear();
    *query = parseQuery(text);
    m_searching = query->isValid();
    if (!m_searching) {
        m_hits.clear();
        m_resultText = query->error;
    }
    return ++m_serial;
}

bool SearchWindowState::takeHits(int serial, bool ok, const QVector<Hit> &hits, const QString &error)
{
    if (serial != m_serial)
        return false;
    m_searching = false;
    if (!ok) {
        m_hits.clear();
        m_resultText = error;
        return true;
    }
    const bool more = hits.size() > shownHits;
    m_hits = more ? hits.mid(0, shownHits) : hits;
    m_resultText = hits.isEmpty() ? QStringLiteral("見つかりませんでした。")
        : more                    ? QStringLiteral("%1 件を超えて見つかりました。新しい %1 件を表示しています。").arg(shownHits)
                                  : QStringLiteral("%1 件見つかりました。").arg(hits.size());
    return true;
}

bool SearchWindowState::findArticles(FullTextIndex &index, const Query &query, int limit, QVector<Hit> *hits)
{
    // An article captured by many logs takes that many of the captures: ask
    // for more until enough articles are there or every capture is.
    for (qint64 captures = limit;; captures *= 4) {
        const int asked = int(std::min<qint64>(captures, std::numeric_limits<int>::max()));
        if (!index.find(query, hits, true, asked))
            return false;
        const bool every = hits->size() < asked || asked == std::numeric_limits<int>::max();
        if (!onePerArticle(index, hits))
            return false;
        if (every || hits->size() >= limit)
            break;
    }
    if (hits->size() > limit)
        hits->resize(limit);
    return true;
}

bool SearchWindowState::startUpdate()
{
    if (m_updating)
        return false;
    m_updating = true;
    m_updateFailed = false;
    m_updateText = QStringLiteral("索引を更新しています…");
    return true;
}

void SearchWindowState::updateProgress(
    int done, int total, const QString &net, const QString &log, int percent)
{
    m_updateText = QStringLiteral("索引を更新しています… %1/%2 %3 %4").arg(done).arg(total).arg(net, log);
    if (percent >= 0)
        m_updateText += QStringLiteral(" %1%").arg(percent);
}

bool SearchWindowState::updateFinished(
    bool ok, const QString &error, const QStringList &notices, const QString &queryText)
{
    m_updating = false;
    m_updateFailed = !ok;
    QStringList texts = notices;
    texts << (ok ? QStringLiteral("索引は最新です。")
                 : QStringLiteral("索引を更新できませんでした: ") + error);
    m_updateText = texts.join(u' ');
    return ok && !queryText.trimmed().isEmpty();
}

void SearchWindowState::openFailed()
{
    m_notice = QStringLiteral("この記事を開けませんでした。ログが変わった可能性があります。");
}

QString SearchWindowState::statusText() const
{
    QStringList parts { m_notice };
    const QString found = m_searching ? QStringLiteral("検索しています…") : m_resultText;
    parts << found;
    if (m_updating || m_updateFailed || found.isEmpty())
        parts << m_updateText;
    parts.removeAll(QString());
    return parts.join(u' ');
}

} // namespace kavrel::fulltext
