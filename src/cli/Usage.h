#pragma once

#include <QString>

#include <span>

namespace kavrel::cli {

// What one kavrel-cli command takes, does and prints. --help, `help COMMAND`,
// a misused command's usage line and the man pages are all made from these.
struct CommandUsage
{
    const char *name;
    const char *arguments; // after the name, e.g. "NET LOG..."
    const char *summary; // one line for the list of commands
    const char *details; // what it does and prints, one paragraph per line
};

// An option of the kavrel program.
struct ProgramOption
{
    const char *option;
    const char *what;
};

std::span<const CommandUsage> commandUsages();
const CommandUsage *findCommand(const QString &name);
std::span<const ProgramOption> programOptions();

// "kavrel-cli 0.9.0" / "kavrel 0.9.0".
QString cliVersionText();
QString programVersionText();

// "usage: kavrel-cli [-C DIR] NAME ARGUMENTS".
QString commandUsageLine(const CommandUsage &command);
// The whole usage: every command on one line and where to read more.
QString cliUsageText();
// One command's usage, what it does and what it prints.
QString commandHelpText(const CommandUsage &command);
// The usage of the kavrel program.
QString programUsageText();

// What every command shares: the output records and the exit statuses.
QString cliOutputText();

} // namespace kavrel::cli
