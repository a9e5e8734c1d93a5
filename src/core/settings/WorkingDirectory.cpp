#include "settings/WorkingDirectory.h"

#include "base/FileIo.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace kavrel::settings {

QString WorkingDirectory::problemOf(const QString &path)
{
    const QFileInfo folder(path);
    if (!folder.exists())
        return QStringLiteral("フォルダ %1 がありません。").arg(QDir::toNativeSeparators(path));
    if (!folder.isDir())
        return QStringLiteral("%1 はフォルダではありません。").arg(QDir::toNativeSeparators(path));
    if (!folder.isReadable() || !folder.isExecutable())
        return QStringLiteral("フォルダ %1 を読めません。").arg(QDir::toNativeSeparators(path));
    NetContext probe;
    probe.AppDir = folder.absoluteFilePath();
    if (!QFileInfo(SettingsStore::dirFilePath(probe)).isFile())
        return QStringLiteral("フォルダ %1 は作業フォルダではありません（DIR.DEF がありません）。")
            .arg(QDir::toNativeSeparators(path));
    return {};
}

bool WorkingDirectory::create(NetContext &context, const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    context.AppDir = absolute;
    for (const QString &folder :
        { QString(), QStringLiteral("LOG"), QStringLiteral("UP"), QStringLiteral("BL") }) {
        const QString folderPath = folder.isEmpty() ? absolute : fileio::joinPath(absolute, folder);
        if (!QDir().mkpath(folderPath) || !QFileInfo(folderPath).isDir()) {
            context.reportFileError(
                fileio::FileAccess::Write, { folderPath, QStringLiteral("フォルダを作れません") });
            return false;
        }
    }
    if (!WriteNewSettings(context))
        return false;
    const QString netsPath = NetDefinitionsFile(context).path();
    if (QFileInfo::exists(netsPath))
        return true;
    fileio::FileError error;
    if (!fileio::writeAtomic(netsPath, QByteArray(), &error)) {
        context.reportFileError(fileio::FileAccess::Write, error);
        return false;
    }
    return true;
}

WorkingDirectory::Start WorkingDirectory::startIn(const QString &named, const QString &openedLast)
{
    // A folder named on the command line is never traded for the last one.
    const QString path = named.isEmpty() ? openedLast : named;
    if (path.isEmpty())
        return {};
    return { QFileInfo(path).absoluteFilePath(), problemOf(path) };
}

} // namespace kavrel::settings
