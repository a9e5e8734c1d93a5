#include "session/Session.h"

#include "base/FileIo.h"
#include "base/Text.h"

#include <QDir>

namespace kavrel {

Session::Session()
{
    for (auto &value : Flags.values)
        value = QStringLiteral("0");
}

MsgAnswer Session::message(
    const QString &text, MsgButtons buttons, MsgIcon icon, std::optional<MsgAnswer> defaultAnswer)
{
    if (messages)
        return messages->show(text, buttons, icon, defaultAnswer.value_or(firstAnswer(buttons)));
    return closedAnswer(buttons);
}

Session::FileReportRound::FileReportRound(Session &session)
    : m_session(session)
{
    if (m_session.m_fileReportRounds++ == 0)
        m_session.m_fileFailuresToldFrom = m_session.FileFailures.size();
}

Session::FileReportRound::~FileReportRound()
{
    --m_session.m_fileReportRounds;
}

void Session::reportFileError(fileio::FileAccess access, const fileio::FileError &error)
{
    for (qsizetype i = m_fileReportRounds > 0 ? m_fileFailuresToldFrom : FileFailures.size();
         i < FileFailures.size(); ++i) {
        // A file that cannot be read mostly cannot be written either: one box is enough.
        if (FileFailures.at(i).error.path == error.path)
            return;
    }
    FileFailures.append({ access, error });
    QString what;
    switch (access) {
    case fileio::FileAccess::Read:
        what = QStringLiteral("ファイルを読み込めません: ");
        break;
    case fileio::FileAccess::Write:
        what = QStringLiteral("ファイルに書き込めません: ");
        break;
    case fileio::FileAccess::Remove:
        what = QStringLiteral("ファイルを削除できません: ");
        break;
    }
    message(what + error.path + QLatin1Char('\n') + error.reason, MsgButtons::Ok, MsgIcon::Critical);
}

const settings::NetRecord &Session::currentNet() const
{
    static const settings::NetRecord empty;
    if (NetIndex < 0 || NetIndex >= NetTable.size())
        return empty;
    return NetTable.at(NetIndex);
}

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
    const QString path = netField(settings::NetRecord::Sign_Path);
    if (path.isEmpty() || QDir::isAbsolutePath(path) || AppDir.isEmpty())
        return path;
    return fileio::joinPath(AppDir, path);
}

QString Session::appFile(const QString &name) const
{
    return fileio::joinPath(AppDir, name);
}

} // namespace kavrel
