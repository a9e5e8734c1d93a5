// Opening logs while the net's files really fail: a directory where a file
// should be, a list directory that is a regular file, a board list nobody may
// read, a full disk.

#include "LogIndexFixture.h"
#include "TestSupport.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "logindex/LogFiles.h"
#include "logindex/LogOpener.h"
#include "logindex/PointerStore.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

using namespace kavrel;
using namespace kavrel::test;
using logindex::OpenFromNetScreen;

namespace {

const QString kWriteFailed = QStringLiteral("ファイルに書き込めません: ");
const QString kReadFailed = QStringLiteral("ファイルを読み込めません: ");

QString boardLog(int board, const QString &sender)
{
    return crlfLines({ QStringLiteral("Main Command(?:Help)>B"), QStringLiteral("No.%1 ｢雑談｣").arg(board),
        QStringLiteral("-\t-\t-\t-\t-\t-\t-\t-\t-"),
        QStringLiteral("CHAT(00101/00120)  26/12/07  40 bytes ") + sender + " ",
        QStringLiteral("12:34 こんにちは"), QStringLiteral("本文"), QStringLiteral("読み終わりました。") });
}

QStringList failedPaths(const Session &s)
{
    QStringList paths;
    for (const auto &failure : s.FileFailures)
        paths << failure.error.path;
    return paths;
}

} // namespace

class TestFileFailures : public QObject
{
    Q_OBJECT

private slots:
    void brokenFilesAreToldAndTheOpenGoesOn_data();
    void brokenFilesAreToldAndTheOpenGoesOn();
    void fullDiskKeepsEveryFile();
    void unreadableLogIsTold();
    void emptyDirectoriesMeanTheWorkingDirectory();
};

void TestFileFailures::brokenFilesAreToldAndTheOpenGoesOn_data()
{
    QTest::addColumn<QString>("broken");
    QTest::addColumn<QString>("how"); // "directory", "file" or "unreadable" in its place
    QTest::addColumn<bool>("merge");
    QTest::addColumn<QStringList>("told"); // the message starts, in order
    const QString directory = QStringLiteral("directory");
    QTest::newRow("board list is a directory")
        << "bl/DAV.bl" << directory << false << QStringList { kReadFailed };
    QTest::newRow("ID list is a directory")
        << "bl/DAV.id" << directory << false << QStringList { kReadFailed };
    QTest::newRow("LOGPTR.dat is a directory")
        << "app/LOGPTR.dat" << directory << false << QStringList { kReadFailed };
    QTest::newRow("Temp.log is a directory")
        << "log/Temp.log" << directory << true << QStringList { kWriteFailed };
    QTest::newRow("list directory is a regular file")
        << "bl" << QStringLiteral("file") << false << QStringList { kWriteFailed, kWriteFailed };
    // Boards it could not read are not written over with the few the log shows.
    QTest::newRow("board list unreadable")
        << "bl/DAV.bl" << QStringLiteral("unreadable") << false << QStringList { kReadFailed };
}

void TestFileFailures::brokenFilesAreToldAndTheOpenGoesOn()
{
    QFETCH(QString, broken);
    QFETCH(QString, how);
    QFETCH(bool, merge);
    QFETCH(QStringList, told);
    if (how == u"unreadable" && geteuid() == 0)
        QSKIP("root reads files of mode 000");
    LogIndexFixture f;
    f.writeLog(QStringLiteral("DAV1.LOG"), boardLog(3, QStringLiteral("KVR7:花子")));
    f.writeLog(QStringLiteral("DAV2.LOG"), boardLog(5, QStringLiteral("KVR8:一郎")));
    const QString brokenPath = f.dir.filePath(broken);
    const QByteArray kept = sjis(QStringLiteral("No.9 ｢古い板｣K9 \r\n"));
    if (how == u"file") {
        QVERIFY(QDir(brokenPath).removeRecursively());
        writeFile(brokenPath, "not a folder");
    } else if (how == u"unreadable") {
        writeFile(brokenPath, kept);
        QVERIFY(QFile::setPermissions(brokenPath, {}));
    } else {
        QVERIFY(QDir().mkpath(brokenPath));
    }

    OpenFromNetScreen(f.session,
        merge ? QStringList { QStringLiteral("DAV1.LOG"), QStringLiteral("DAV2.LOG") }
              : QStringList { QStringLiteral("DAV1.LOG") });

    // Each file is told once, by its path; the log is open all the same.
    const QStringList texts = f.messages.texts();
    QCOMPARE(texts.size(), told.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QVERIFY2(texts.at(i).startsWith(told.at(i) + brokenPath), qPrintable(texts.at(i)));
        QCOMPARE(texts.at(i).count(u'\n'), 1); // and the system's reason
    }
    QCOMPARE(failedPaths(f.session).size(), told.size());
    QCOMPARE(f.session.log.NoBoardsFlag, false);
    QCOMPARE(f.session.main.Board_List.items.first(), QStringLiteral("No.3 ｢雑談｣"));
    QVERIFY(f.session.main.visible);
    QVERIFY(f.session.log.IdListText.contains(QStringLiteral("KVR7:花子")));
    if (how == u"file") {
        QCOMPARE(readFile(brokenPath), QByteArray("not a folder"));
    } else if (how == u"unreadable") {
        QVERIFY(QFile::setPermissions(brokenPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(readFile(brokenPath), kept);
    } else {
        QVERIFY(QFileInfo(brokenPath).isDir());
    }
}

void TestFileFailures::fullDiskKeepsEveryFile()
{
    LogIndexFixture f;
    f.writeLog(QStringLiteral("DAV1.LOG"), boardLog(3, QStringLiteral("KVR7:花子")));
    // What the user keeps: a pointer file, an ID list and a board list, each larger than the disk allows.
    const logindex::PointerStore store(f.session.appFile(QStringLiteral("LOGPTR.dat")), f.logDir());
    QVERIFY(store.create());
    PtrRecord other;
    other.LogName = logindex::logNameField(f.logPath(QStringLiteral("NIF1.LOG")));
    other.Pointer = 1234;
    QVERIFY(store.write(2, other));
    QString ids, boards;
    for (int i = 0; i < 300; ++i) {
        ids += QStringLiteral(" KVR%1:名前%1\r\n").arg(i);
        boards += QStringLiteral("No.%1 ｢板%1｣K%1 \r\n").arg(i + 10);
    }
    writeFile(f.session.idListFilePath(), sjis(ids));
    writeFile(f.session.boardListFilePath(), sjis(boards));
    const QByteArray pointersBefore = readFile(f.session.appFile(QStringLiteral("LOGPTR.dat")));
    const QByteArray idsBefore = readFile(f.session.idListFilePath());
    const QByteArray boardsBefore = readFile(f.session.boardListFilePath());
    const QStringList filesBefore = QDir(f.blDir()).entryList(QDir::Files | QDir::Hidden);

    {
        const FileSizeLimit full(2048);
        OpenFromNetScreen(f.session, { QStringLiteral("DAV1.LOG") });
    }

    QCOMPARE(readFile(f.session.appFile(QStringLiteral("LOGPTR.dat"))), pointersBefore);
    QCOMPARE(readFile(f.session.idListFilePath()), idsBefore);
    QCOMPARE(readFile(f.session.boardListFilePath()), boardsBefore);
    QCOMPARE(QDir(f.blDir()).entryList(QDir::Files | QDir::Hidden), filesBefore); // no temporary file left
    QCOMPARE(failedPaths(f.session),
        QStringList({ f.session.idListFilePath(), f.session.appFile(QStringLiteral("LOGPTR.dat")),
            f.session.boardListFilePath() }));
    QCOMPARE(f.messages.shown.size(), 3);
    // The open went on: the log's board is there with the remembered ones.
    QCOMPARE(f.session.main.Board_List.ListCount(), 301);
}

void TestFileFailures::unreadableLogIsTold()
{
    LogIndexFixture f;
    QVERIFY(QDir().mkpath(f.logPath(QStringLiteral("DAV1.LOG"))));
    OpenFromNetScreen(f.session, { QStringLiteral("DAV1.LOG") });
    QCOMPARE(f.messages.texts().size(), 1);
    QVERIFY(f.messages.texts().first().startsWith(kReadFailed + f.logPath(QStringLiteral("DAV1.LOG"))));
    QVERIFY(f.session.log.LogPath.isEmpty());
}

void TestFileFailures::emptyDirectoriesMeanTheWorkingDirectory()
{
    LogIndexFixture f;
    Session &s = f.session;
    for (auto which :
        { settings::DirRecord::LOG_Dir, settings::DirRecord::Up_Dir, settings::DirRecord::BL_Dir })
        s.Dir[which].clear();
    const QString app = f.appDir();
    QCOMPARE(s.boardListFilePath(), app + QStringLiteral("/DAV.bl"));
    QCOMPARE(s.idListFilePath(), app + QStringLiteral("/DAV.id"));
    QCOMPARE(s.upFilePath(), app + QStringLiteral("/DAV.up"));
    s.NetTable[0][settings::NetRecord::Sign_Path] = text::fixedWidth(QStringLiteral("SIGN/dav.sig"), 80);
    QCOMPARE(s.signatureFilePath(), app + QStringLiteral("/SIGN/dav.sig"));

    writeFile(app + QStringLiteral("/DAV1.LOG"), sjis(boardLog(3, QStringLiteral("KVR7:花子"))));
    QCOMPARE(logindex::listLogFiles(s), QStringList { QStringLiteral("DAV1.LOG") });
    OpenFromNetScreen(s, { QStringLiteral("DAV1.LOG") });
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(s.log.LogPath, app + QStringLiteral("/DAV1.LOG"));
    QVERIFY(QFile::exists(app + QStringLiteral("/DAV.bl")));
    QVERIFY(QFile::exists(app + QStringLiteral("/DAV.id")));
}

QTEST_GUILESS_MAIN(TestFileFailures)
#include "tst_filefailures.moc"
