#include "session/Session.h"

#include "base/FileIo.h"
#include "base/Text.h"

#include <QDir>

namespace kavrel {

Session::Session() = default;

QString Session::netField(settings::NetRecord::Field field) const
{
    return text::trimTrailingBlanks(currentNet()[field]);
}

QString Session::upFilePath() const
{
    return fileio::joinPath(
        directory(settings::DirRecord::Up_Dir), netField(settings::NetRecord::Up_File_Name));
}

QString Session::boardListFilePath() const
{
    return fileio::joinPath(
        directory(settings::DirRecord::BL_Dir), netField(settings::NetRecord::Board_list_File_Name));
}

QString Session::idListFilePath() const
{
    return fileio::joinPath(
        directory(settings::DirRecord::BL_Dir), netField(settings::NetRecord::ID_LIST_FILE_NAME));
}

QString Session::directory(settings::DirRecord::Index which) const
{
    const QString &dir = Dir[which];
    if (!dir.isEmpty())
        return dir;
    return AppDir.isEmpty() ? QStringLiteral(".") : AppDir;
}

QString Session::signatureFilePath() const
{
    QString path = netField(settings::NetRecord::Sign_Path);
    if (path.isEmpty() || QDir::isAbsolutePath(path) || AppDir.isEmpty())
        return path;
    return fileio::joinPath(AppDir, path);
}

QString Session::appFile(const QString &name) const
{
    return fileio::joinPath(AppDir, name);
}

} // namespace kavrel
