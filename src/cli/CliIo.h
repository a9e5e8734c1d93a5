#pragma once

#include "base/MessageHost.h"

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace kavrel::cli {

// Exit statuses of kavrel-cli.
enum ExitCode { Success = 0, Reported = 1, Failure = 2 };

// Ends a command with an exit status and a text for stderr.
struct CliExit : std::runtime_error
{
    CliExit(int code, const QString &message)
        : std::runtime_error(message.toStdString())
        , code(code)
        , text(message)
    {
    }
    int code;
    QString text;
    // Bad usage: the command's usage line follows the text.
    bool misuse = false;
};

// One output record: fields joined by TAB, a TAB inside a field printed as \t.
void printRecord(const QStringList &fields);
void printLine(const QString &line);
void printError(const QString &text);

// The directory kavrel-cli was started in (before -C changes it), and a
// path given on the command line made absolute against it.
void setStartDirectory(const QString &directory);
QString startPath(const QString &path);

// Answers the program's questions as kavrel-cli is documented to: OK to a
// notice, Cancel to OK/Cancel questions, No to Yes/No questions. Every text
// shown is kept; a notice makes the command end with status 1 when asked.
class CliMessages : public MessageHost
{
public:
    MsgAnswer show(const QString &text, MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer) override;

    QStringList shown;
};

} // namespace kavrel::cli
