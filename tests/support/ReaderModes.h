#pragma once

#include "session/Session.h"

#include <QString>

namespace kavrel::test {

// The reader's modes by the names the tests' tables give them: "", "未読検索",
// "↑", "Write", "Response", "mail", "move Res", "mail Res".
inline QString readerModeName(ReaderMode mode)
{
    switch (mode) {
    case ReaderMode::None:
        return QString();
    case ReaderMode::UnreadSearch:
        return QStringLiteral("未読検索");
    case ReaderMode::MovedUp:
        return QStringLiteral("↑");
    case ReaderMode::Write:
        return QStringLiteral("Write");
    case ReaderMode::Response:
        return QStringLiteral("Response");
    case ReaderMode::Mail:
        return QStringLiteral("mail");
    case ReaderMode::MoveResponse:
        return QStringLiteral("move Res");
    case ReaderMode::MailReply:
        return QStringLiteral("mail Res");
    }
    return QString();
}

inline ReaderMode readerMode(const QString &name)
{
    for (const ReaderMode mode : { ReaderMode::UnreadSearch, ReaderMode::MovedUp, ReaderMode::Write,
             ReaderMode::Response, ReaderMode::Mail, ReaderMode::MoveResponse, ReaderMode::MailReply }) {
        if (readerModeName(mode) == name)
            return mode;
    }
    return ReaderMode::None;
}

} // namespace kavrel::test
