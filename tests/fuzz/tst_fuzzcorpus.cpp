// Replays the checked-in fuzz corpus through the read path in every build:
// every input must run through without a crash (the sanitizer build also
// without a memory or undefined-behaviour fault).

#include "ReadPathFuzz.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestFuzzCorpus : public QObject
{
    Q_OBJECT

private slots:
    void replay_data();
    void replay();
};

void TestFuzzCorpus::replay_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(qEnvironmentVariable("KAVREL_SOURCE_DIR") + QStringLiteral("/tests/fuzz/corpus"));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY2(!names.isEmpty(), qPrintable(corpus.path()));
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

void TestFuzzCorpus::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const int rows = kavrel::fuzz::runReadPath(file.readAll());
    // The demo logs reach every reader of the path.
    if (QFileInfo(path).fileName().startsWith(QLatin1String("demo-")))
        QVERIFY(rows > 3);
}

QTEST_GUILESS_MAIN(TestFuzzCorpus)
#include "tst_fuzzcorpus.moc"
