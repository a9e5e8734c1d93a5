#include "Usage.h"

#include "KavrelVersion.h"

#include <QStringList>

#include <array>

namespace kavrel::cli {

namespace {

const std::array kCommands {
    CommandUsage { "nets", "", "lists the registered nets",
        "Prints <slot>\\t<net name> for each net registered in DATA.DEF." },
    CommandUsage { "logs", "NET", "lists the log files of a net",
        "Prints the log files of the net NET (slot number or name), one per line, as the net selection "
        "screen lists them." },
    CommandUsage { "open", "NET LOG...", "opens logs and prints their log index",
        "Chooses the net (keeping its up file) and opens the logs, with every effect on files; several logs "
        "are merged into Temp.log.\n"
        "Prints the log index, <index>\\t<item>\\t<key> for each board item." },
    CommandUsage { "titles", "NET LOG... (--board N | --item K)", "prints the title rows of a board",
        "Opens the logs and chooses the board, by its number N or by item K of the board list.\n"
        "Prints its title rows, <batch>\\t<number>\\t<info>\\t<title> each." },
    CommandUsage { "show", "NET LOG... (--board N | --item K) [--row R]", "prints an article",
        "Opens the logs, chooses the board and row R (row 0 without --row).\n"
        "Prints the article view's lines." },
    CommandUsage { "search",
        "NET LOG... [--text S] [--from \"YY/MM/DD HH:MM:SS\" --to \"YY/MM/DD HH:MM:SS\"]",
        "searches the open logs by text or time",
        "Sets the search as the search dialog does and walks it as repeated Down presses would; --from and "
        "--to go together.\n"
        "Prints each hit as <item>\\t<row>\\t<number>\\t<title>." },
    CommandUsage { "unread", "NET LOG", "finds the first unread article",
        "Opens the log and presses Shift+Down on the first board's first row.\n"
        "Prints where the unread search stops, <item>\\t<row>\\t<number>, then the article's lines." },
    CommandUsage { "export",
        "NET LOG... (--board N | --item K) [--row R [--thread]] --format text|html|mbox [-o FILE]",
        "exports a board, an article or a sub-thread",
        "Exports what the board's title list shows, in its order: all of it, row R alone, or row R and its "
        "sub-thread with --thread.\n"
        "Writes to standard output, or with -o whole and atomically to FILE (relative to where kavrel-cli "
        "was "
        "started)." },
    CommandUsage { "index", "[NET] [--progress]", "brings the full-text index up to date",
        "Brings the full-text index kavrel-index.sqlite up to date for every net, or for the net NET (slot "
        "number or name).\n"
        "With --progress, prints <n>/<total>\\t<net>\\t<log> on stderr for each log." },
    CommandUsage { "find", "[--every-capture] QUERY", "searches every log of every net",
        "Brings the full-text index up to date, then searches it. A query is words, \"quoted phrases\" and "
        "the "
        "filters from:ID, board:N, net:NAME, since:YY/MM/DD and until:YY/MM/DD.\n"
        "Prints each hit, newest first, as <date YYYY-MM-DD HH:MM:SS>\\t<net>\\t<log file>\\t<board "
        "number>\\t<article number>\\t<sender ID>\\t<title>\\t<captures>: one hit per article, the capture "
        "the "
        "archive shows, with how many captures the article has; --every-capture prints one hit per capture. "
        "Mails print board 0 and mail; chat-room visits print X<room> and -.\n"
        "Exits 0 with hits, 1 with none, 2 on a query error." },
    CommandUsage { "archive",
        "NET --board N [--since YY/MM/DD] [--until YY/MM/DD] [--show NUMBER|mail [--date \"YYYY-MM-DD "
        "HH:MM:SS\"] [--from ID]] [--format text|html|mbox [-o FILE]]",
        "reads a board across every log of a net",
        "Takes the board's articles from every log of the net, each once (the capture with the most lines, "
        "the "
        "newest log on a tie), threaded across captures, from the full-text index brought up to date; "
        "--since "
        "and --until keep the days between.\n"
        "Prints each row as <depth>\\t<number>\\t<date>\\t<sender ID>\\t<title>\\t<captures>\\t<log file>. "
        "--show prints the lines of one article (of the mail box: --show mail --date D, and --from ID when "
        "several match); --format writes the whole board in an export format, to standard output or to "
        "FILE.\n"
        "Exits 1 when there is nothing to print." },
    CommandUsage { "timeline", "NET [--board N]", "counts a net's articles per month",
        "Counts the articles of the net (or of board N) in every log, each once, from the full-text index "
        "brought up to date.\n"
        "Prints <YYYY-MM>\\t<articles> for every month from the first article's to the last's.\n"
        "Exits 1 when there is nothing to print." },
    CommandUsage { "upfile", "NET [--history | --restore N]", "lists the commands waiting in a net's up file",
        "Reads the net's up file as it will be sent.\n"
        "Prints each command in send order as "
        "<n>\\t<kind>\\t<board>\\t<reference>\\t<title>\\t<bytes>\\t<warnings>: "
        "kind is write, response, mail, chat or batch; board is 0 for a mail and the room for a chat write; "
        "reference is the article answered (or marked), or a mail's recipients joined by commas; bytes is "
        "the "
        "command's size in Shift-JIS with its line ends; warnings are empty, unknown-board, unknown-article, "
        "no-recipient, long-line and unclosed, joined by commas.\n"
        "Exits 1 when there is no up file or it is empty.\n"
        "--history prints the up file's kept generations, oldest first, as "
        "<n>\\t<time YYYY-MM-DD HH:MM:SS>\\t<what changed it>\\t<bytes>; a damaged one is named on stderr "
        "instead. Exits 1 when none is kept.\n"
        "--restore N writes generation N back to the up file as an undo does (the file it replaces is kept, "
        "so the restore can be undone). It does not restore a generation that would bring back commands "
        "the terminal program has sent since, and exits 1 then, or when N is not a readable generation." },
    CommandUsage { "help", "[COMMAND]", "prints this usage, or a command's usage and output",
        "Without COMMAND, prints every command with one line each. With COMMAND, prints its usage, what it "
        "does and what it prints." },
};

const std::array kProgramOptions {
    ProgramOption { "DIR",
        "the working directory to open (the one that holds DIR.DEF); without it, the one opened last" },
    ProgramOption { "-h, --help", "prints this usage and exits" },
    ProgramOption { "--version", "prints the version and exits" },
};

QString str(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

std::span<const CommandUsage> commandUsages()
{
    return kCommands;
}

const CommandUsage *findCommand(const QString &name)
{
    for (const CommandUsage &command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

std::span<const ProgramOption> programOptions()
{
    return kProgramOptions;
}

QString cliVersionText()
{
    return QStringLiteral("kavrel-cli " KAVREL_VERSION);
}

QString programVersionText()
{
    return QStringLiteral("kavrel " KAVREL_VERSION);
}

QString commandUsageLine(const CommandUsage &command)
{
    QString line = QStringLiteral("usage: kavrel-cli [-C DIR] ") + str(command.name);
    if (*command.arguments)
        line += u' ' + str(command.arguments);
    return line;
}

QString cliUsageText()
{
    QStringList lines { QStringLiteral("usage: kavrel-cli [-C DIR] [--progress] COMMAND [ARGS]"),
        QStringLiteral("       kavrel-cli --help | --version"), QString(),
        QStringLiteral("Reads the logs of the working directory DIR (default: the current directory) as "
                       "Kavrel does."),
        QString(), QStringLiteral("commands:") };
    for (const CommandUsage &command : kCommands)
        lines << QStringLiteral("  %1  %2").arg(str(command.name), -8).arg(str(command.summary));
    lines << QString() << QStringLiteral("kavrel-cli help COMMAND tells a command's arguments and output.")
          << QStringLiteral("More: man kavrel-cli, and /usr/share/doc/kavrel/docs/cli.md.");
    return lines.join(u'\n');
}

QString commandHelpText(const CommandUsage &command)
{
    QStringList lines { commandUsageLine(command), QString() };
    lines << str(command.details).split(u'\n');
    return lines.join(u'\n');
}

QString cliOutputText()
{
    return QStringLiteral(
        "Output is UTF-8, one record per line, fields separated by TAB (a TAB inside a field is printed as "
        "\\t).\n"
        "Exit status 0 is success, 1 a condition the program reports with a message (the message on stderr), "
        "2 bad usage or a file that cannot be read or written (the path and the reason on stderr). A file "
        "that fails while a command runs does not stop it: the command prints what it was asked for and then "
        "exits 2.");
}

QString programUsageText()
{
    QStringList lines { QStringLiteral("usage: kavrel [DIR]"),
        QStringLiteral("       kavrel --help | --version"), QString(),
        QStringLiteral("Kavrel reads the captured logs of forum nets.") };
    lines << QString();
    for (const ProgramOption &option : kProgramOptions)
        lines << QStringLiteral("  %1%2").arg(str(option.option), -12).arg(str(option.what));
    lines << QString() << QStringLiteral("More: man kavrel, and /usr/share/doc/kavrel/docs/guide.md.");
    return lines.join(u'\n');
}

} // namespace kavrel::cli
