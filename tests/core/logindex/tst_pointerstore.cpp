#include "LogIndexFixture.h"
#include "TestSupport.h"
#include "base/Cp932.h"
#include "base/FileIo.h"
#include "logindex/PointerStore.h"

#include <QDir>
#include <QTest>
#include <QtEndian>

using namespace kavrel;
using namespace kavrel::test;
using logindex::LoadPointerForLog;
using logindex::logNameField;
using logindex::logNamePath;
using logindex::PointerStore;
using logindex::SavePointerAtExit;

namespace {

QByteArray record(const QByteArray &name, qint32 pointer)
{
    QByteArray r = name.leftJustified(80, ' ', true);
    char p[4];
    qToLittleEndian(pointer, p);
    return r + QByteArray(p, 4);
}

QString ptrFile(const LogIndexFixture &f)
{
    return f.session.appFile(QStringLiteral("LOGPTR.dat"));
}

PointerStore storeOf(const LogIndexFixture &f)
{
    return PointerStore(ptrFile(f), f.logDir());
}

const QDateTime kOld(QDate(1999, 12, 31), QTime(23, 0, 5));
const QDateTime kNew(QDate(2026, 1, 2), QTime(3, 4, 5));
const QDateTime kNewer(QDate(2026, 1, 2), QTime(13, 4, 5));

// A log of the net with Japanese text, so that bytes and characters differ.
QString writeDatedLog(LogIndexFixture &f, const QString &name, const QDateTime &time, int lines = 3)
{
    QStringList text;
    for (int i = 0; i < lines; ++i)
        text << QStringLiteral("No.%1 ｢ボード｣ 本文の行です").arg(i);
    const QString path = f.writeLog(name, crlfLines(text));
    LogIndexFixture::setModified(path, time);
    return path;
}

// Opens a log the way a single-file open does before the scan.
void openLog(LogIndexFixture &f, const QString &path)
{
    f.session.log.LeftLogPath = f.session.log.LogPath;
    f.session.log.PrevLogPath = f.session.log.LogPath;
    if (f.session.NetIndex != f.session.log.PrevOpenNetIndex) {
        f.session.log.PrevLogPath.clear();
        f.session.log.PrevOpenNetIndex = f.session.NetIndex;
    }
    f.session.log.MultiSelectMode = 0;
    f.session.log.LogPath = path;
    f.session.log.LogText = cp932::decode(readFile(path));
    LoadPointerForLog(f.session);
    f.session.unread.PtrNetIndex = f.session.NetIndex;
}

} // namespace

class TestPointerStore : public QObject
{
    Q_OBJECT

private slots:
    void readMalformed_data();
    void readMalformed();
    void writeExtendsAndPatches();
    void nameRoundTrip_data();
    void nameRoundTrip();
    void nameThatCannotBeStored();
    void firstLogOfNet();
    void reopenAndRaise();
    void neverLowered();
    void newerLogTakesOver();
    void olderLogCountsAsRead();
    void centuriesOrderByTime();
    void missingPointerLogIsTakenOver();
    void switchingNets();
    void switchingNetsAfterMerge();
    void pendingSaveGoesToItsNet();
    void multiSelectLeavesPointerAlone();
    void longLogDirectory();
};

void TestPointerStore::readMalformed_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("recordNumber");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("pointer");

    const QByteArray good = record("/logs/DAV1.LOG", 1234);
    QTest::newRow("good") << good << 1 << "/logs/DAV1.LOG" << qint64(1234);
    QTest::newRow("second record") << good + record("/logs/DAV2.LOG", 7) << 2 << "/logs/DAV2.LOG"
                                   << qint64(7);
    QTest::newRow("beyond the end") << good << 2 << "" << qint64(0);
    QTest::newRow("empty file") << QByteArray() << 1 << "" << qint64(0);
    QTest::newRow("never written: zero bytes") << good + QByteArray(84, '\0') << 2 << "" << qint64(0);
    QTest::newRow("name begins with NUL")
        << record(QByteArray("\0/logs/X.LOG", 12), 9) << 1 << "" << qint64(9);
    QTest::newRow("NUL after the name")
        << record(QByteArray("/logs/X.LOG\0\0garbage", 20), 9) << 1 << "/logs/X.LOG" << qint64(9);
    QTest::newRow("pointer cut off") << good.left(82) << 1 << "/logs/DAV1.LOG" << qint64(0);
    QTest::newRow("name cut off") << good.left(9) << 1 << "/logs/DAV" << qint64(0);
    QTest::newRow("Japanese name") << record(sjis("/ログ/DAV1.LOG"), 5) << 1 << "/ログ/DAV1.LOG" << qint64(5);
    QTest::newRow("relative name") << record("DAV1.LOG", 5) << 1 << "LOGDIR/DAV1.LOG" << qint64(5);
    QTest::newRow("negative pointer") << record("/a", -3) << 1 << "/a" << qint64(-3);
}

void TestPointerStore::readMalformed()
{
    QFETCH(QByteArray, file);
    QFETCH(int, recordNumber);
    QFETCH(QString, name);
    QFETCH(qint64, pointer);
    LogIndexFixture f;
    writeFile(ptrFile(f), file);
    const PtrRecord r = storeOf(f).read(recordNumber);
    name.replace(QStringLiteral("LOGDIR"), f.logDir());
    QCOMPARE(logNamePath(r), name);
    QCOMPARE(r.Pointer, pointer);
    QVERIFY(r.LogName.size() >= 80);
}

void TestPointerStore::writeExtendsAndPatches()
{
    LogIndexFixture f;
    const PointerStore store = storeOf(f);
    // A cut-off first record and nothing else.
    writeFile(ptrFile(f), record("/logs/A.LOG", 11).left(50));
    PtrRecord r;
    r.LogName = logNameField(QStringLiteral("/logs/C.LOG"));
    r.Pointer = 99;
    QVERIFY(store.write(3, r));
    const QByteArray bytes = readFile(ptrFile(f));
    QCOMPARE(bytes.size(), 3 * 84);
    QCOMPARE(bytes.left(84), record("/logs/A.LOG", 0));
    QCOMPARE(bytes.mid(84, 84), record("", 0));
    QCOMPARE(bytes.mid(168), record("/logs/C.LOG", 99));

    r.Pointer = 100;
    QVERIFY(store.write(1, r));
    QCOMPARE(readFile(ptrFile(f)).left(84), record("/logs/C.LOG", 100));
    QCOMPARE(readFile(ptrFile(f)).mid(168), record("/logs/C.LOG", 99));
    // Written whole and renamed: nothing left beside it.
    QCOMPARE(QDir(f.appDir()).entryList(QDir::Files), QStringList { "LOGPTR.dat" });
}

void TestPointerStore::nameRoundTrip_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("stored"); // empty: hashed

    QTest::newRow("short path stored whole") << "DAV1.LOG" << QByteArray("FULL");
    QTest::newRow("long name relative") << QString("DAV_%1.LOG").arg(QString(60, u'x')) << QByteArray("REL");
    QTest::newRow("name over 80 bytes") << QString("DAV_%1.LOG").arg(QString(40, u'ロ')) << QByteArray();
    QTest::newRow("name Shift-JIS cannot spell") << QString("DAV_\U0001F600.LOG") << QByteArray();
}

void TestPointerStore::nameRoundTrip()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, stored);
    LogIndexFixture f;
    const QString path = f.writeLog(fileName, QStringLiteral("x"));
    f.writeLog(QStringLiteral("other.LOG"), QStringLiteral("y"));
    const PointerStore store = storeOf(f);
    QByteArray field;
    QVERIFY(store.encodeName(path, &field));
    QCOMPARE(field.size(), 80);
    if (stored == "FULL")
        QCOMPARE(field.trimmed(), cp932::encode(path));
    else if (stored == "REL")
        QCOMPARE(field.trimmed(), cp932::encode(fileName));
    else
        QVERIFY(field.startsWith("*SHA1*"));
    QCOMPARE(store.resolveName(field), path);

    PtrRecord r;
    r.LogName = logNameField(path);
    r.Pointer = 4321;
    QVERIFY(store.write(2, r));
    const PtrRecord back = store.read(2);
    QCOMPARE(logNamePath(back), path);
    QCOMPARE(back.Pointer, qint64(4321));
}

void TestPointerStore::nameThatCannotBeStored()
{
    LogIndexFixture f;
    const PointerStore store = storeOf(f);
    const QByteArray before = record("/logs/A.LOG", 5);
    writeFile(ptrFile(f), before);
    PtrRecord r;
    r.LogName = logNameField(QStringLiteral("/elsewhere/") + QString(90, u'd') + QStringLiteral("/A.LOG"));
    r.Pointer = 6;
    // Outside the log directory and too long: the record keeps what it had.
    QVERIFY(!store.write(1, r));
    QCOMPARE(readFile(ptrFile(f)), before);
}

void TestPointerStore::firstLogOfNet()
{
    LogIndexFixture f;
    f.chooseNet(1);
    const QString log = writeDatedLog(f, QStringLiteral("NIF1.LOG"), kNew);
    openLog(f, log);
    const QByteArray bytes = readFile(ptrFile(f));
    QCOMPARE(bytes.size(), 51 * 84);
    QCOMPARE(bytes.left(84), record("", 0));
    QCOMPARE(bytes.mid(84, 84), record(cp932::encode(log), 0));
    QCOMPARE(logNamePath(f.session.unread.PtrRec), log);
    QCOMPARE(f.session.unread.PtrRec.Pointer, qint64(0));
    QCOMPARE(f.session.unread.ReadPointer, qint64(0));
}

void TestPointerStore::reopenAndRaise()
{
    LogIndexFixture f;
    const QString log = writeDatedLog(f, QStringLiteral("DAV1.LOG"), kNew);
    openLog(f, log);
    f.session.unread.ReadPointer = 40;
    openLog(f, log); // the same log again keeps what was read
    QCOMPARE(f.session.unread.PtrRec.Pointer, qint64(40));
    QCOMPARE(storeOf(f).read(1).Pointer, qint64(40));
    QCOMPARE(f.session.unread.ReadPointer, qint64(0));

    // Read further, then leave for another (older) log of the net: raised.
    f.session.unread.ReadPointer = 70;
    const QString older = writeDatedLog(f, QStringLiteral("DAV0.LOG"), kOld);
    openLog(f, older);
    QCOMPARE(logNamePath(storeOf(f).read(1)), log);
    QCOMPARE(storeOf(f).read(1).Pointer, qint64(70));
}

void TestPointerStore::neverLowered()
{
    LogIndexFixture f;
    const QString log = writeDatedLog(f, QStringLiteral("DAV1.LOG"), kNew);
    openLog(f, log);
    f.session.unread.ReadPointer = 80;
    openLog(f, log);
    f.session.unread.ReadPointer = 10; // this visit read less
    openLog(f, log);
    QCOMPARE(storeOf(f).read(1).Pointer, qint64(80));
    f.session.unread.ReadPointer = 5;
    SavePointerAtExit(f.session);
    QCOMPARE(storeOf(f).read(1).Pointer, qint64(80));
}

void TestPointerStore::newerLogTakesOver()
{
    LogIndexFixture f;
    const QString first = writeDatedLog(f, QStringLiteral("DAV1.LOG"), kNew);
    openLog(f, first);
    f.session.unread.ReadPointer = 30;
    const QString second = writeDatedLog(f, QStringLiteral("DAV2.LOG"), kNewer);
    openLog(f, second);
    QCOMPARE(logNamePath(storeOf(f).read(1)), second);
    QCOMPARE(storeOf(f).read(1).Pointer, qint64(0));
    QCOMPARE(f.session.unread.ReadPointer, qint64(0));
    f.session.unread.ReadPointer = 12;
    SavePointerAtExit(f.session);
    QCOMPARE(storeOf(f).read(1).Pointer, qint64(12));
}

void TestPointerStore::olderLogCountsAsRead()
{
    LogIndexFixture f;
    const QString newer = writeDatedLog(f, QStringLiteral("DAV2.LOG"), kNewer);
    openLog(f, newer);
    f.session.unread.ReadPointer = 25;
    const QString older = writeDatedLog(f, QStringLiteral("DAV1.LOG"), kNew, 4);
    openLog(f, older);
    QCOMPARE(logNamePath(f.session.unread.PtrRec), newer);
    QCOMPARE(f.session.unread.PtrRec.Pointer, qint64(25));
    const qint64 bytes = QFileInfo(older).size();
    QVERIFY(bytes > f.session.log.LogText.size()); // Japanese: more bytes than characters
    QCOMPARE(f.session.unread.ReadPointer, bytes - 1);

    const QByteArray before = readFile(ptrFile(f));
    f.session.unread.ReadPointer = 100000;
    SavePointerAtExit(f.session);
    QCOMPARE(readFile(ptrFile(f)), before);
}

void TestPointerStore::centuriesOrderByTime()
{
    // As two-digit-year texts "99/12/31" sorts after "26/01/02"; by time it is older.
    LogIndexFixture f;
    const QString y1999 = writeDatedLog(f, QStringLiteral("DAV1999.LOG"), kOld);
    const QString y2026 = writeDatedLog(f, QStringLiteral("DAV2026.LOG"), kNew);
    openLog(f, y1999);
    openLog(f, y2026);
    QCOMPARE(logNamePath(storeOf(f).read(1)), y2026);
    openLog(f, y1999);
    QCOMPARE(logNamePath(storeOf(f).read(1)), y2026);
    QVERIFY(f.session.unread.ReadPointer > 0);
    QVERIFY(logindex::RefreshDateTexts(f.session).pointerLogIsNewer());
    QCOMPARE(logindex::LogDates::text(kOld), QString("99/12/31 23:00:05"));
    QCOMPARE(logindex::LogDates::text(kNew), QString("26/01/02 03:04:05"));
}

void TestPointerStore::missingPointerLogIsTakenOver()
{
    LogIndexFixture f;
    // Net 0 holds a newer log; net 1's slot names a log that is gone.
    const QString dav = writeDatedLog(f, QStringLiteral("DAV9.LOG"), kNewer);
    openLog(f, dav);
    PtrRecord gone;
    gone.LogName = logNameField(f.logPath(QStringLiteral("NIF0.LOG")));
    gone.Pointer = 500;
    storeOf(f).write(2, gone);

    f.chooseNet(1);
    const QString nif = writeDatedLog(f, QStringLiteral("NIF1.LOG"), kOld);
    openLog(f, nif);
    QCOMPARE(logNamePath(storeOf(f).read(2)), nif);
    QCOMPARE(storeOf(f).read(2).Pointer, qint64(0));
    // The other net's newer log says nothing about this one: nothing is read yet.
    QCOMPARE(f.session.unread.ReadPointer, qint64(0));
}

void TestPointerStore::switchingNets()
{
    LogIndexFixture f;
    const QString dav = writeDatedLog(f, QStringLiteral("DAV1.LOG"), kNew);
    openLog(f, dav);
    f.session.unread.ReadPointer = 33;
    f.chooseNet(1);
    const QString nif = writeDatedLog(f, QStringLiteral("NIF1.LOG"), kNew);
    openLog(f, nif);
    QCOMPARE(storeOf(f).read(1).Pointer, qint64(33));
    QCOMPARE(logNamePath(storeOf(f).read(2)), nif);

    // Back to net 0 having read less of net 1's log than saved: not lowered.
    f.session.unread.ReadPointer = 20;
    f.chooseNet(0);
    openLog(f, dav);
    QCOMPARE(f.session.unread.PtrRec.Pointer, qint64(33));
    QCOMPARE(storeOf(f).read(2).Pointer, qint64(20));
    f.session.unread.ReadPointer = 0;
    f.chooseNet(1);
    openLog(f, nif);
    QCOMPARE(storeOf(f).read(1).Pointer, qint64(33));
    QCOMPARE(f.session.unread.PtrRec.Pointer, qint64(20));
}

void TestPointerStore::switchingNetsAfterMerge()
{
    LogIndexFixture f;
    const QString dav = writeDatedLog(f, QStringLiteral("DAV1.LOG"), kNew);
    openLog(f, dav);
    f.session.unread.ReadPointer = 10;
    // A merge of net 0 is read far: its positions count in Temp.log, not in DAV1.LOG.
    const QString merge = writeDatedLog(f, QStringLiteral("Temp.log"), kNewer, 50);
    f.session.log.LeftLogPath = f.session.log.PrevLogPath = f.session.log.LogPath;
    f.session.log.MultiSelectMode = 1;
    f.session.log.LogPath = merge;
    LoadPointerForLog(f.session);
    f.session.unread.ReadPointer = 900;

    f.chooseNet(1);
    openLog(f, writeDatedLog(f, QStringLiteral("NIF1.LOG"), kNew));
    QCOMPARE(logNamePath(storeOf(f).read(1)), dav);
    // What was read of DAV1.LOG before the merge stays read; the merge's
    // positions are not taken for DAV1.LOG's.
    QCOMPARE(storeOf(f).read(1).Pointer, qint64(10));
}

void TestPointerStore::pendingSaveGoesToItsNet()
{
    LogIndexFixture f;
    const QString dav = writeDatedLog(f, QStringLiteral("DAV1.LOG"), kNew);
    openLog(f, dav);
    // The reader's "mark all read" on net 0's log.
    f.session.unread.PtrRec.Pointer = 777;
    f.session.unread.ReadPointer = 777;
    f.session.unread.PtrSavePending = 1;
    f.chooseNet(1);
    const QString nif = writeDatedLog(f, QStringLiteral("NIF1.LOG"), kOld);
    openLog(f, nif);
    QCOMPARE(f.session.unread.PtrSavePending, 0);
    QCOMPARE(logNamePath(storeOf(f).read(1)), dav);
    QCOMPARE(storeOf(f).read(1).Pointer, qint64(777));
    QCOMPARE(logNamePath(storeOf(f).read(2)), nif);
    QCOMPARE(storeOf(f).read(2).Pointer, qint64(0));
}

void TestPointerStore::multiSelectLeavesPointerAlone()
{
    LogIndexFixture f;
    f.session.log.MultiSelectMode = 1;
    f.session.log.LogPath = writeDatedLog(f, QStringLiteral("Temp.log"), kNew);
    f.session.unread.ReadPointer = 55;
    LoadPointerForLog(f.session);
    QVERIFY(!QFile::exists(ptrFile(f)));
    QCOMPARE(f.session.unread.ReadPointer, qint64(55));
    f.session.unread.PtrRec.LogName = logNameField(f.session.log.LogPath);
    f.session.unread.PtrNetIndex = 0;
    SavePointerAtExit(f.session);
    QVERIFY(!QFile::exists(ptrFile(f)));
}

void TestPointerStore::longLogDirectory()
{
    // A log directory whose paths do not fit in the 80-byte name.
    LogIndexFixture f;
    const QString deep = fileio::joinPath(f.dir.path(), QStringLiteral("通信ログ/") + QString(30, u'深'));
    QVERIFY(QDir().mkpath(deep));
    f.session.Dir[settings::DirRecord::LOG_Dir] = deep;
    const QString log = writeDatedLog(f, QStringLiteral("DAV1.LOG"), kNew);
    QVERIFY(cp932::byteLength(log) > 80);
    openLog(f, log);
    f.session.unread.ReadPointer = 64;
    SavePointerAtExit(f.session);
    QCOMPARE(readFile(ptrFile(f)).left(80).trimmed(), QByteArray("DAV1.LOG"));

    // A new run finds the pointer again.
    LogIndexFixture g;
    g.session.AppDir = f.session.AppDir;
    g.session.Dir[settings::DirRecord::LOG_Dir] = deep;
    openLog(g, log);
    QCOMPARE(logNamePath(g.session.unread.PtrRec), log);
    QCOMPARE(g.session.unread.PtrRec.Pointer, qint64(64));
}

QTEST_GUILESS_MAIN(TestPointerStore)
#include "tst_pointerstore.moc"
