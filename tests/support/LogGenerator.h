#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kavrel::test {

// What a generated log looks like: the net's markers and how much of
// everything the run captured.
struct LogGeneratorOptions
{
    // Markers as the net record yields them (a TAB-separated article header).
    QString articleHeader = QStringLiteral("-\t-\t-\t-\t-\t-\t-\t-\t-");
    QString mainPrompt = QStringLiteral("Main Command(?:Help)>");
    QString readEnd = QStringLiteral("読み終わりました。");
    QString subcommand = QStringLiteral("command (?:説明):");
    QString xchat = QStringLiteral("何番に入りますか？ ([RET]:終了):");
    bool serial = false; // the header marker is followed by a serial number

    int boards = 30; // boards read (numbers 1..), visited in a shuffled order
    int skippedBoards = 3; // boards entered but left before any article
    int articlesPerBoard = 20;
    int largeBoardArticles = 0; // when above 0, board 1 holds this many articles instead
    int mails = 5; // articles in the mail box, board No.0
    int chatRooms = 2;
    int bodyLines = 6; // lines of a body: this many and up to two more
    // Lines to deal out as bodies (ManPageProse::lines(), real prose): each
    // body takes the next lines of a seeded shuffle of them, reshuffled when
    // all are dealt, so that no two articles repeat a body. Without them the
    // lines are drawn from six fixed ones.
    const QStringList *bodyProse = nullptr;
    int senders = 300; // distinct sender IDs
    int responsePercent = 30; // articles that answer an earlier one
    int unreadPercent = 10; // articles whose prompt was answered with "N"
    quint32 variant = 1;
};

// Writes log text the way a host prints it during an unattended run: a
// banner, the mail box, each board as "No.<n> ｢<title>｣" followed by its
// articles and the read-end message, chat rooms after the chat question,
// prompts between them. An article is
//
//   <article header>[serial]
//   <key>(<number>/<total>)  yy/MM/dd  <size> bytes <ID>:<name>
//   12:34 <title>                      (or " <number>:   <title>" for a response)
//   <body lines>
//
// and a mail in the mail box
//
//   <article header>[serial]
//   mail yy/MM/dd hh:mm:ss (<ID>) <title>
//     <size> bytes <ID>:<name>
//   <body lines>
//
// with lines ended by CR LF. The same options always give the same text.
class LogGenerator
{
public:
    explicit LogGenerator(LogGeneratorOptions options = {});

    // One whole run.
    QString text() const;
    // The run as Shift-JIS bytes.
    QByteArray bytes() const;

    // Options whose run comes to about targetBytes of Shift-JIS, by the
    // number of articles per board.
    static LogGeneratorOptions sized(LogGeneratorOptions options, qint64 targetBytes);

    // Board keys and titles as the run prints them, for checks.
    static QString boardKey(int board);
    static QString boardTitle(int board);

private:
    LogGeneratorOptions m_options;
};

} // namespace kavrel::test
