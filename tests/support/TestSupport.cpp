#include "TestSupport.h"

#include "base/Cp932.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace kavrel::test {

MsgAnswer ScriptedMessages::show(
    const QString &text, MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer)
{
    shown.append({ text, buttons, icon, defaultAnswer });
    if (onShow)
        onShow();
    if (!answers.isEmpty())
        return answers.takeFirst();
    return closedAnswer(buttons);
}

bool copyDemo(const QString &dir)
{
    const QString demo = qEnvironmentVariable("KAVREL_SOURCE_DIR") + QStringLiteral("/demo");
    QDirIterator it(demo, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = QDir(dir).filePath(QDir(demo).relativeFilePath(from));
        if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !QFile::copy(from, to))
            return false;
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    }
    const auto setTime = [&dir](const QString &name, const QDateTime &t) {
        QFile f(QDir(dir).filePath(name));
        return f.open(QIODevice::ReadWrite) && f.setFileTime(t, QFileDevice::FileModificationTime);
    };
    return setTime(QStringLiteral("LOG/KAB0605.LOG"), QDateTime(QDate(2026, 12, 5), QTime(21, 30)))
        && setTime(QStringLiteral("LOG/KAB0606.LOG"), QDateTime(QDate(2026, 12, 6), QTime(23, 10)));
}

QStringList ScriptedMessages::texts() const
{
    QStringList out;
    for (const auto &s : shown)
        out << s.text;
    return out;
}

QByteArray sjis(const QString &text)
{
    return cp932::encode(text);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString crlfLines(const QStringList &lines)
{
    QString out;
    for (const auto &l : lines)
        out += l + QStringLiteral("\r\n");
    return out;
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_oldLimit = qint64(limit.rlim_cur);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        qFatal("cannot limit the file size");
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_oldLimit);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_oldHandler);
}

CliRun runCli(const QString &dir, const QStringList &args, qint64 fileSizeLimit)
{
    QProcess p;
    if (fileSizeLimit >= 0) {
        p.setChildProcessModifier([fileSizeLimit] {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit {};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = rlim_t(fileSizeLimit);
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    p.start(qEnvironmentVariable("KAVREL_BINARY_DIR") + QStringLiteral("/src/cli/kavrel-cli"),
        QStringList { QStringLiteral("-C"), dir } + args);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        qFatal("kavrel-cli did not finish");
    return { p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
        QString::fromUtf8(p.readAllStandardError()) };
}

} // namespace kavrel::test
