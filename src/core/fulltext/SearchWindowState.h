#pragma once

#include "fulltext/FullTextIndex.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace kavrel::fulltext {

// The headless state of the 全ログ検索 window: which query is the latest and
// its hits, whether the index is being brought up to date, what was said of a
// hit that could not be opened, and the status line made from them. The
// window runs the queries and the update on threads of their own and hands
// their results here.
class SearchWindowState
{
public:
    // How many hits the list shows at most: the newest. A word in nearly
    // every article would otherwise fill it with hundreds of thousands.
    static constexpr int kShownHits = 1000;
    int shownHits = kShownHits;
    // What a query asks of the index: one more hit than is shown tells
    // whether there are more.
    int limit() const { return shownHits + 1; }

    // The window's query: one hit per article, as `find` gives them (each
    // showing the capture the archive shows, with its count of captures),
    // the newest limit of them. The captures are asked for in growing
    // numbers until limit articles are found or there are no more. False on
    // an index error.
    static bool findArticles(FullTextIndex &index, const Query &query, int limit, QVector<Hit> *hits);

    // Starts the query in text. Every query gets a new serial, so that the
    // hits of one it replaced are not shown; a query that is wrong empties
    // the list, says what is wrong and is not run (query->isValid() is
    // false). byUser: a query the user starts drops what was said of a hit.
    int startSearch(const QString &text, Query *query, bool byUser);
    // The hits of the query with this serial. False, and nothing changes,
    // when a later query has been started meanwhile.
    bool takeHits(int serial, bool ok, const QVector<Hit> &hits, const QString &error);

    // False when an update is running already.
    bool startUpdate();
    // percent: how far into the log, or -1 as it is started.
    void updateProgress(int done, int total, const QString &net, const QString &log, int percent = -1);
    // True when the query is to be run again: what the update added is found too.
    bool updateFinished(bool ok, const QString &error, const QStringList &notices, const QString &queryText);

    // A hit whose log has changed or gone since it was indexed: said until
    // the user's next query; the index is to be brought up to date.
    void openFailed();

    const QVector<Hit> &hits() const { return m_hits; }
    bool searching() const { return m_searching; }
    bool updating() const { return m_updating; }
    // What was said of a hit, what the query found (or that it runs), and how
    // the index's update goes: while it runs, when it failed, or when there is
    // nothing else to say.
    QString statusText() const;

private:
    int m_serial = 0; // of the latest query
    QVector<Hit> m_hits;
    bool m_searching = false;
    bool m_updating = false;
    bool m_updateFailed = false;
    QString m_updateText;
    QString m_resultText; // what the last query found, or what was wrong with it
    QString m_notice;
};

} // namespace kavrel::fulltext
