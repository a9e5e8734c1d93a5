// Atomic writes against files that really fail: a directory where the file
// should be, a path under a regular file, a file-size limit, a read-only folder.

#include "TestSupport.h"

#include "base/FileIo.h"
#include "session/Session.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <optional>
#include <unistd.h>

using namespace kavrel;
using namespace kavrel::test;

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestFileIo : public QObject
{
    Q_OBJECT

private slots:
    void replacesAndKeepsPermissions();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();
    void readOnlyFolder();
    void existingButUnreadable();
    void failuresAreToldOncePerRound();
};

void TestFileIo::replacesAndKeepsPermissions()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DAV.bl"));
    writeFile(path, "old");
    QVERIFY(QFile::setPermissions(
        path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    fileio::FileError error;
    QVERIFY(fileio::writeAtomic(path, "new content", &error));
    QCOMPARE(readFile(path), QByteArray("new content"));
    QCOMPARE(QFile::permissions(path) & 0x0FFF,
        QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup);
    QCOMPARE(entries(dir.path()), QStringList { QStringLiteral("DAV.bl") });
}

void TestFileIo::failedWriteChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("size");
    // Small enough to sit in a write buffer until the end: the failure shows only at the flush.
    QTest::newRow("file-size limit, buffered write") << "limit" << 10000;
    QTest::newRow("file-size limit, large write") << "limit" << 300000;
    QTest::newRow("directory in place of the file") << "directory" << 100;
    QTest::newRow("path under a regular file") << "under file" << 100;
    QTest::newRow("the flush to disk fails") << "sync" << 100;
    // The up file is written with its backup: no backup, no write.
    QTest::newRow("backup is a directory") << "backup" << 100;
}

void TestFileIo::failedWriteChangesNothing()
{
    QFETCH(QString, kind);
    QFETCH(int, size);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("LOGPTR.dat"));
    const QByteArray old = QByteArray("remembered pointers ").repeated(20);
    if (kind == u"directory")
        QVERIFY(QDir().mkpath(path));
    else
        writeFile(path, old);
    if (kind == u"under file")
        path += QStringLiteral("/DAV.id");
    const QString backup = path + QStringLiteral(".bak");
    if (kind == u"backup")
        QVERIFY(QDir().mkpath(backup));
    const QStringList before = entries(dir.path());

    fileio::FileError error;
    bool written = true;
    {
        std::optional<FileSizeLimit> limit;
        if (kind == u"limit")
            limit.emplace(4096);
        if (kind == u"sync")
            fileio::syncFile = [](int) {
                errno = EIO;
                return -1;
            };
        if (kind == u"backup")
            written
                = fileio::writeAtomicWithBackup(path, QByteArray(size, 'x'), QStringLiteral(".bak"), &error);
        else
            written = fileio::writeAtomic(path, QByteArray(size, 'x'), &error);
        fileio::syncFile = ::fsync;
    }
    QVERIFY(!written);
    const QString failed = kind == u"backup" ? backup : path;
    QCOMPARE(error.path, failed);
    QVERIFY(!error.reason.isEmpty());
    if (kind == u"sync")
        QCOMPARE(error.reason, qt_error_string(EIO));
    QVERIFY2(error.toString().startsWith(failed + QStringLiteral(": ")), qPrintable(error.toString()));
    if (kind != u"directory")
        QCOMPARE(readFile(dir.filePath(QStringLiteral("LOGPTR.dat"))), old);
    QCOMPARE(entries(dir.path()), before); // no temporary file left
}

void TestFileIo::readOnlyFolder()
{
    if (geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("BL"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/DAV.bl");
    writeFile(path, "old");
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    fileio::FileError error;
    const bool written = fileio::writeAtomic(path, "new", &error);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!written);
    QCOMPARE(error.path, path);
    QCOMPARE(readFile(path), QByteArray("old"));
}

void TestFileIo::existingButUnreadable()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DAV.id"));
    QByteArray bytes = "left over";
    fileio::FileError error;
    // Missing is empty when asked; a directory never is.
    QVERIFY(fileio::readAll(path, &bytes, &error, true));
    QVERIFY(bytes.isEmpty());
    QVERIFY(!error.isError());
    QVERIFY(QDir().mkpath(path));
    QVERIFY(!fileio::readAll(path, &bytes, &error, true));
    QCOMPARE(error.path, path);
}

void TestFileIo::failuresAreToldOncePerRound()
{
    Session session;
    ScriptedMessages messages;
    session.messages = &messages;
    const fileio::FileError error { QStringLiteral("/x/LOGPTR.dat"), QStringLiteral("File too large") };
    {
        const Session::FileReportRound round(session);
        session.reportFileError(fileio::FileAccess::Write, error);
        session.reportFileError(fileio::FileAccess::Write, error);
        session.reportFileError(fileio::FileAccess::Read, error);
    }
    QCOMPARE(messages.texts(),
        QStringList { QStringLiteral("ファイルに書き込めません: /x/LOGPTR.dat\nFile too large") });
    QCOMPARE(messages.shown.first().icon, MsgIcon::Critical);
    // Outside a round (a save the user asks for again) every failure is told.
    session.reportFileError(fileio::FileAccess::Read, error);
    session.reportFileError(fileio::FileAccess::Remove, error);
    QCOMPARE(messages.texts().mid(1),
        QStringList({ QStringLiteral("ファイルを読み込めません: /x/LOGPTR.dat\nFile too large"),
            QStringLiteral("ファイルを削除できません: /x/LOGPTR.dat\nFile too large") }));
    QCOMPARE(session.FileFailures.size(), 3);
}

QTEST_GUILESS_MAIN(TestFileIo)
#include "tst_fileio.moc"
