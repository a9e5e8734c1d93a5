#include "LogIndexFixture.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "settings/NetMarkers.h"

#include <QDir>
#include <QFile>

namespace kavrel::test {

using settings::NetRecord;

settings::NetRecord netRecord(const QString &name, const QString &filePrefix)
{
    NetRecord r;
    auto plain = [&](NetRecord::Field f, const QString &v) { r[f] = text::fixedWidth(v, 80); };
    auto terminated
        = [&](NetRecord::Field f, const QString &v) { r[f] = text::fixedWidth(v + QChar(u'\0'), 80); };
    plain(NetRecord::Net_Name, name);
    plain(NetRecord::Header, QStringLiteral("-,-,-,-,-,-,-,-,- "));
    terminated(NetRecord::Main_Prompt, QStringLiteral("Main Command(?:Help)>"));
    terminated(NetRecord::Read_End, QStringLiteral("読み終わりました。"));
    terminated(NetRecord::Subcommand, QStringLiteral("command (?:説明):"));
    terminated(NetRecord::Delete, QStringLiteral("本当にメッセージを削除するんですか？ (y/n):"));
    plain(NetRecord::Up_File_Name, filePrefix + QStringLiteral(".up"));
    plain(NetRecord::Board_list_File_Name, filePrefix + QStringLiteral(".bl"));
    plain(NetRecord::Log_File_Name, filePrefix + QStringLiteral("*.LOG"));
    plain(NetRecord::ID_LIST_FILE_NAME, filePrefix + QStringLiteral(".id"));
    plain(NetRecord::Reserved1, QStringLiteral(" "));
    plain(NetRecord::Sirial_Flg, QStringLiteral("0"));
    plain(NetRecord::SirialHeader, QString());
    terminated(NetRecord::Xchat, QStringLiteral("何番に入りますか？ ([RET]:終了):"));
    plain(NetRecord::Sign_Path, QString());
    plain(NetRecord::Reserved2, QStringLiteral(" "));
    return r;
}

void RecordingEvents::showChosenBoard()
{
    ++boardClicks;
    if (!main)
        return;
    boardIndexes.append(main->Board_List.ListIndex);
    main->clearTitleColumns();
    for (int i = 0; i < rowsPerBoard; ++i)
        main->appendRow(QStringLiteral(" "), QStringLiteral("[%1]").arg(i + 1), QString(), QString());
}

void RecordingEvents::showChosenRow()
{
    ++titleClicks;
}

LogIndexFixture::LogIndexFixture()
{
    for (const char *sub : { "app", "log", "bl", "up" })
        QDir(dir.path()).mkpath(QLatin1String(sub));
    session.AppDir = appDir();
    session.Dir[settings::DirRecord::LOG_Dir] = fileio::joinPath(dir.path(), QStringLiteral("log"));
    session.Dir[settings::DirRecord::Up_Dir] = fileio::joinPath(dir.path(), QStringLiteral("up"));
    session.Dir[settings::DirRecord::BL_Dir] = blDir();
    session.NetTable = { netRecord(QStringLiteral("ＤＡＶネット"), QStringLiteral("DAV")),
        netRecord(QStringLiteral("NIF"), QStringLiteral("NIF")) };
    session.messages = &messages;
    events.main = &session.main;
    session.main.events = &events;
    chooseNet(0);
}

QString LogIndexFixture::appDir() const
{
    return fileio::joinPath(dir.path(), QStringLiteral("app"));
}

QString LogIndexFixture::logDir() const
{
    return session.Dir[settings::DirRecord::LOG_Dir];
}

QString LogIndexFixture::blDir() const
{
    return fileio::joinPath(dir.path(), QStringLiteral("bl"));
}

QString LogIndexFixture::logPath(const QString &name) const
{
    return fileio::joinPath(logDir(), name);
}

QString LogIndexFixture::writeLog(const QString &name, const QString &text) const
{
    writeLogBytes(name, sjis(text));
    return logPath(name);
}

void LogIndexFixture::writeLogBytes(const QString &name, const QByteArray &bytes) const
{
    writeFile(logPath(name), bytes);
}

void LogIndexFixture::setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(time, QFileDevice::FileModificationTime))
        qFatal("cannot set the time of %s", qPrintable(path));
}

void LogIndexFixture::chooseNet(int i)
{
    session.NetIndex = i;
    settings::takeMarkersIntoUse(session);
}

} // namespace kavrel::test
