#pragma once

// A small log as the host prints it: a mail box with two mails, a chat board
// with a thread, a board that the log never visits, and a news board.

#include "TestSupport.h"
#include "TitleLogGenerator.h"
#include "session/Session.h"

#include <QStringList>

namespace kavrel::test {

inline QString headerLine()
{
    return TestMarkers::articleHeader() + QStringLiteral(" 12/01");
}

inline QStringList handLogLines()
{
    const QString h = headerLine();
    const QString sub = TestMarkers::subcommand();
    const QString end = TestMarkers::readEnd();
    const QString prompt = TestMarkers::mainPrompt();
    return { QStringLiteral("ホストへようこそ"), prompt + QStringLiteral("mr"),
        QStringLiteral("No.0 ｢メール｣"), h, QStringLiteral("mail 26/12/01 09:00 From:ABC00003 (佐藤)"),
        QStringLiteral("  100 bytes ABC00003:佐藤"), QStringLiteral("メール本文です"),
        QStringLiteral("No.5 の話もしましょう"), h,
        QStringLiteral("mail 26/12/02 10:00 From:ABC00004 (田中)"),
        QStringLiteral("  120 bytes ABC00004:田中"), QStringLiteral("二通目"), end,
        prompt + QStringLiteral("b 1"), QStringLiteral("No.1 ｢雑談｣"), h,
        QStringLiteral("TALK(1001/1005) 26/12/01 10:00:00 最初の話題"),
        QStringLiteral("  120 bytes ABC00001:山田"), QStringLiteral("一行目"), QStringLiteral("二行目"), sub,
        h, QStringLiteral("TALK(1002/1005) 26/12/01 11:00:00 Re:最初の話題"),
        QStringLiteral(" <1001:ABC00001 山田さんへ"), QStringLiteral("  200 bytes ABC00002:鈴木"),
        QStringLiteral("レス本文"), sub + QStringLiteral("r"), h,
        QStringLiteral("TALK(1003/1005) 26/12/01 12:00:00 別の話題"),
        QStringLiteral("  80 bytes ABC00003:佐藤"), QStringLiteral("別の本文"), sub, h,
        QStringLiteral("TALK(1004/1005) 26/12/01 13:00:00 Re:Re:最初の話題"),
        QStringLiteral(" <1002:ABC00001 鈴木さんへ"), QStringLiteral("  90 bytes ABC00001:山田"),
        QStringLiteral("レスのレス"), sub, h,
        QStringLiteral("TALK(1005/1005) 26/12/01 14:00:00 読まなかった話題"),
        QStringLiteral("  300 bytes ABC00005:高橋"), sub + QStringLiteral("n"), end,
        prompt + QStringLiteral("b 3"), QStringLiteral("No.3 ｢ニュース｣"), h,
        QStringLiteral("NEWS(2001/2002) 26/12/02 08:00:00 ニュース一"),
        QStringLiteral("  50 bytes ABC00009:記者"), QStringLiteral("ニュース本文"), sub, h,
        QStringLiteral("NEWS(2002/2002) 26/12/02 09:30:00 ニュース二"),
        QStringLiteral("  60 bytes ABC00009:記者"), QStringLiteral("二つ目の本文"), sub, end,
        prompt + QStringLiteral("bye") };
}

inline QStringList handBoards()
{
    return { QStringLiteral("No.0 ｢メール｣"), QStringLiteral("No.1 ｢雑談｣"), QStringLiteral("No.2 ｢空き｣"),
        QStringLiteral("No.3 ｢ニュース｣") };
}

// Puts the hand log into a session (nothing selected yet).
inline void loadHandLog(Session &s, const QString &logPath = QStringLiteral("/logs/NET0101.LOG"))
{
    TestMarkers::apply(s);
    s.log.LogText = crlfLines(handLogLines());
    s.log.LogPath = logPath;
    s.log.BoardKeys
        = { QStringLiteral("mail"), QStringLiteral("TALK"), QStringLiteral("EMPTY"), QStringLiteral("NEWS") };
    s.main.Board_List.items = handBoards();
    s.main.Board_List.ListIndex = -1;
}

// The 1-based position of a line's first character in a log.
inline qsizetype positionOf(const QString &log, const QString &line)
{
    return log.indexOf(QStringLiteral("\r\n") + line) + 3;
}

} // namespace kavrel::test
