#include "settings/NetContext.h"

namespace kavrel::settings {

NetContext::NetContext()
{
    for (auto &value : Flags.values)
        value = QStringLiteral("0");
}

MsgAnswer NetContext::message(
    const QString &text, MsgButtons buttons, MsgIcon icon, std::optional<MsgAnswer> defaultAnswer)
{
    if (messages)
        return messages->show(text, buttons, icon, defaultAnswer.value_or(firstAnswer(buttons)));
    return closedAnswer(buttons);
}

NetContext::FileReportRound::FileReportRound(NetContext &context)
    : m_context(context)
{
    if (m_context.m_fileReportRounds++ == 0)
        m_context.m_fileFailuresToldFrom = m_context.FileFailures.size();
}

NetContext::FileReportRound::~FileReportRound()
{
    --m_context.m_fileReportRounds;
}

void NetContext::reportFileError(fileio::FileAccess access, const fileio::FileError &error)
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

const NetRecord &NetContext::currentNet() const
{
    static const NetRecord empty;
    if (NetIndex < 0 || NetIndex >= NetTable.size())
        return empty;
    return NetTable.at(NetIndex);
}

} // namespace kavrel::settings
