// Opening a hit of the full-text index in the program without its windows,
// on a copy of the bundled demo: the same effects as choosing the net and the
// log on the net selection screen, then the board and the row.

#include "TestSupport.h"

#include "fulltext/FullTextIndex.h"
#include "program/OpenHit.h"
#include "program/Program.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kavrel;
using namespace kavrel::test;

namespace {

HitPlace placeOf(const fulltext::Hit &hit)
{
    return { hit.net, hit.logFile, hit.boardNo, hit.board, hit.number, hit.row };
}

} // namespace

class TestOpenHit : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        const QString demo = qEnvironmentVariable("KAVREL_SOURCE_DIR") + QStringLiteral("/demo");
        QDirIterator it(demo, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = m_dir->filePath(QDir(demo).relativeFilePath(from));
            QDir().mkpath(QFileInfo(to).absolutePath());
            QVERIFY(QFile::copy(from, to));
            QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
        }
        m_previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }
    void cleanup()
    {
        QDir::setCurrent(m_previousDir);
        m_dir.reset();
    }

    void openHit_data()
    {
        QTest::addColumn<QString>("openFirst"); // a log of かぶらネット open before, or none
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("logPath");
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("row"); // the Title item selected
        QTest::addColumn<QStringList>("asked");

        const QString upQuestion = QStringLiteral("アップファイルが存在します！削除しますか？");
        QTest::newRow("no net chosen yet") << QString() << QStringLiteral("スレッド表示") << "LOG/KAB0606.LOG"
                                           << QStringLiteral("No.3 ｢パソコン通信の話題｣")
                                           << QStringLiteral(" [1202]") << QStringList { upQuestion };
        QTest::newRow("the same net, another log")
            << "KAB0606.LOG" << QStringLiteral("ようこそ") << "LOG/KAB0605.LOG"
            << QStringLiteral("No.0 ｢メールボックス｣") << QStringLiteral("[mail ]") << QStringList {};
        QTest::newRow("another net") << "KAB0605.LOG" << QStringLiteral("灯台") << "LOG/mnt1206.log"
                                     << QStringLiteral("No.5 ｢港町だより｣") << QStringLiteral("[5012]")
                                     << QStringList {};
        QTest::newRow("the second mail")
            << "KAB0606.LOG" << QStringLiteral("ログ整理ソフト") << "LOG/KAB0606.LOG"
            << QStringLiteral("No.0 ｢メールボックス｣") << QStringLiteral("[mail ]") << QStringList {};
    }

    void openHit()
    {
        QFETCH(QString, openFirst);
        QFETCH(QString, query);
        QFETCH(QString, logPath);
        QFETCH(QString, board);
        QFETCH(QString, row);
        QFETCH(QStringList, asked);

        Program p;
        ScriptedMessages messages;
        p.session.messages = &messages;
        p.load(m_dir->path());
        if (!openFirst.isEmpty()) {
            p.netSelect.Show();
            p.netSelect.Select_menu.ListIndex = 0;
            messages.answers = { MsgAnswer::Cancel };
            p.netSelect.chooseNet();
            p.netSelect.Log_List_File.ListIndex = int(p.netSelect.Log_List_File.items.indexOf(openFirst));
            p.netSelect.openChosenLog();
            QCOMPARE(p.session.log.LogPath, QStringLiteral("LOG/") + openFirst);
            messages.shown.clear();
        }

        fulltext::FullTextIndex index(m_dir->path());
        QVERIFY(index.update());
        QVector<fulltext::Hit> hits;
        QVERIFY(index.find(fulltext::parseQuery(query), &hits));
        QCOMPARE(hits.size(), 1);

        messages.answers = { MsgAnswer::Cancel };
        QVERIFY(kavrel::openHit(p, placeOf(hits.first())));
        QCOMPARE(messages.texts(), asked);
        QCOMPARE(p.session.log.LogPath, logPath);
        QVERIFY(!p.netSelect.loaded);
        QVERIFY(p.session.main.enabled);
        QCOMPARE(p.session.main.Board_List.selectedText(), board);
        QCOMPARE(p.session.main.Title.selectedText(), row);
        // The article view shows the article the index holds.
        const QVector<fulltext::IndexedArticle> held
            = index.articlesOf(hits.first().net, hits.first().logFile);
        const auto article = std::find_if(held.cbegin(), held.cend(), [&](const fulltext::IndexedArticle &a) {
            return a.title == hits.first().title && a.number == hits.first().number
                && a.row == hits.first().row;
        });
        QVERIFY(article != held.cend());
        QCOMPARE(p.session.main.Article.items, article->lines);

        // A hit whose log is gone leaves the reader as it is.
        const QStringList titles = p.session.main.Title.items;
        QVERIFY(QFile::remove(m_dir->filePath(logPath)));
        QVERIFY(!kavrel::openHit(p, placeOf(hits.first())));
        QCOMPARE(p.session.main.Title.items, titles);
        QCOMPARE(p.session.log.LogPath, logPath);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
};

QTEST_GUILESS_MAIN(TestOpenHit)
#include "tst_openhit.moc"
