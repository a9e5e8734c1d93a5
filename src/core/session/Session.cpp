#include "session/Session.h"

#include "base/FileIo.h"
#include "base/Text.h"

namespace kavrel {

Session::Session() = default;

QString Session::netField(settings::NetRecord::Field field) const
{
    return text::trimTrailingBlanks(currentNet()[field]);
}

QString Session::upFilePath() const
{
    return fileio::joinPath(Dir[settings::DirRecord::Up_Dir], netField(settings::NetRecord::Up_File_Name));
}

QString Session::boardListFilePath() const
{
    return fileio::joinPath(
        Dir[settings::DirRecord::BL_Dir], netField(settings::NetRecord::Board_list_File_Name));
}

QString Session::idListFilePath() const
{
    return fileio::joinPath(
        Dir[settings::DirRecord::BL_Dir], netField(settings::NetRecord::ID_LIST_FILE_NAME));
}

QString Session::appFile(const QString &name) const
{
    return fileio::joinPath(AppDir, name);
}

} // namespace kavrel
