#include "settings/NetContext.h"

namespace kavrel::settings {

NetContext::NetContext()
{
    for (auto &value : Flags.values)
        value = QStringLiteral("0");
}

MsgAnswer NetContext::message(const QString &text, MsgButtons buttons, MsgIcon icon)
{
    if (messages)
        return messages->show(text, buttons, icon);
    return closedAnswer(buttons);
}

const NetRecord &NetContext::currentNet() const
{
    static const NetRecord empty;
    if (NetIndex < 0 || NetIndex >= NetTable.size())
        return empty;
    return NetTable.at(NetIndex);
}

} // namespace kavrel::settings
