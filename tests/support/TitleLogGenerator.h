#pragma once

#include <QString>
#include <QStringList>

namespace kavrel {
class Session;
}

namespace kavrel::test {

// The markers of the test net, as a host prints them.
struct TestMarkers
{
    static QString articleHeader() { return QStringLiteral("-\t-\t-\t-\t-\t-\t-\t-\t-"); }
    static QString mainPrompt() { return QStringLiteral("Main Command(?:Help)>"); }
    static QString readEnd() { return QStringLiteral("読み終わりました。"); }
    static QString subcommand() { return QStringLiteral("command (?:説明):"); }
    static QString xchat() { return QStringLiteral("何番に入りますか？ ([RET]:終了):"); }
    // Sets the five markers of a session.
    static void apply(Session &session, bool serial = false);
};

// A log as a host prints it, built at random for comparing the title list
// and the article view with their slow, step-by-step forms, and for the
// benchmarks. Boards, articles, responses, articles captured twice, titles
// only, mails, chat rooms, garbled lines and serial headers; plus an up file
// with waiting commands.
struct GeneratedLog
{
    QString text;
    QStringList boardItems; // "No.n ｢name｣", then "[XCHAT] No..." items
    QStringList boardKeys; // one per numbered board
    QString upFile;
};

struct LogShape
{
    quint32 variant = 1;
    int boards = 4; // numbered boards besides the mail box
    int articlesPerBoard = 30;
    int bodyLines = 3;
    int bodyLineLength = 30;
    bool serial = false;
    bool mails = true;
    bool chatRooms = true;
    bool oddities = true; // garbled numbers, missing tokens, short lines
    bool upFile = true;
    int responsePercent = 35;
    int duplicatePercent = 8;
    int titleOnlyPercent = 10;
};

GeneratedLog generateLog(const LogShape &shape);

// Puts a generated log into a session: text, markers, board items and keys, up file.
void loadGenerated(Session &session, const GeneratedLog &log, bool serial);

} // namespace kavrel::test
