// The 全ログ検索 window's state without a display: which query's hits count,
// how many are listed, and what the status line says as queries and index
// updates come and go.

#include "fulltext/SearchWindowState.h"

#include <QTest>

using namespace kavrel::fulltext;

namespace {

QVector<Hit> hitsNumbered(int n)
{
    QVector<Hit> hits(n);
    for (int i = 0; i < n; ++i)
        hits[i].number = QString::number(i + 1);
    return hits;
}

} // namespace

class TestSearchWindowState : public QObject
{
    Q_OBJECT

private slots:
    void queriesUpdatesAndTheStatusLine()
    {
        SearchWindowState s;
        s.shownHits = 2;
        QCOMPARE(s.limit(), 3);
        QVERIFY(s.startUpdate());
        QVERIFY(!s.startUpdate()); // one at a time
        QCOMPARE(s.statusText(), QStringLiteral("索引を更新しています…"));

        // A query replaced before its hits come: they are not shown.
        Query q;
        const int first = s.startSearch(QStringLiteral("モデム"), &q, true);
        QVERIFY(q.isValid());
        const int second = s.startSearch(QStringLiteral("モデム 設定"), &q, true);
        QVERIFY(s.searching());
        QCOMPARE(s.statusText(), QStringLiteral("検索しています… 索引を更新しています…"));
        QVERIFY(!s.takeHits(first, true, hitsNumbered(1), {}));
        QVERIFY(s.searching());
        QVERIFY(s.takeHits(second, true, hitsNumbered(3), {}));
        QCOMPARE(s.hits().size(), 2); // the newest two of more
        QCOMPARE(s.hits().first().number, QStringLiteral("1"));

        // While the index is brought up to date, what was found stays said.
        s.updateProgress(1, 4, QStringLiteral("かぶらネット"), QStringLiteral("KAB0606.LOG"));
        const QString found = QStringLiteral("2 件を超えて見つかりました。新しい 2 件を表示しています。");
        QCOMPARE(
            s.statusText(), found + QStringLiteral(" 索引を更新しています… 1/4 かぶらネット KAB0606.LOG"));
        s.updateProgress(1, 4, QStringLiteral("かぶらネット"), QStringLiteral("KAB0606.LOG"), 100);
        QCOMPARE(s.statusText(),
            found + QStringLiteral(" 索引を更新しています… 1/4 かぶらネット KAB0606.LOG 100%"));
        QVERIFY(s.updateFinished(true, {}, {}, QStringLiteral("モデム 設定"))); // run it again
        QCOMPARE(s.statusText(), found);

        // A hit that cannot be opened is said until the user's next query;
        // the query run again after the update keeps it.
        s.openFailed();
        QVERIFY(s.startUpdate());
        const QString notice = QStringLiteral("この記事を開けませんでした。ログが変わった可能性があります。");
        QVERIFY(s.statusText().startsWith(notice + u' ' + found));
        QVERIFY(!s.updateFinished(false, QStringLiteral("LOG: 読めません"), {}, QStringLiteral("モデム")));
        int serial = s.startSearch(QStringLiteral("モデム"), &q, false);
        QVERIFY(s.takeHits(serial, true, {}, {}));
        // A failed update stays said beside what the query found.
        QCOMPARE(s.statusText(),
            notice + QStringLiteral(" 見つかりませんでした。 索引を更新できませんでした: LOG: 読めません"));
        serial = s.startSearch(QStringLiteral("\"モデム"), &q, true);
        QVERIFY(!q.isValid());
        QVERIFY(!s.searching());
        QVERIFY(s.hits().isEmpty());
        QVERIFY(s.statusText().startsWith(q.error));
        QVERIFY(!s.statusText().contains(notice));
        QVERIFY(s.takeHits(serial, false, {}, QStringLiteral("kavrel-index.sqlite: disk I/O error")));
        QVERIFY(s.statusText().startsWith(QStringLiteral("kavrel-index.sqlite: disk I/O error")));
    }
};

QTEST_GUILESS_MAIN(TestSearchWindowState)
#include "tst_searchwindowstate.moc"
