// kavrel-cli: the program's actions from a script.
//
//   kavrel-cli [-C DIR] COMMAND [ARGS]

#include "CliCommands.h"
#include "CliIo.h"
#include "Usage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <new>

using namespace kavrel::cli;

namespace {

const char *const kUsageLine = "usage: kavrel-cli [-C DIR] [--progress] COMMAND [ARGS] (kavrel-cli --help)";

[[noreturn]] void misuse(const QString &why)
{
    CliExit exit(Failure, why);
    exit.misuse = true;
    throw exit;
}

// --help, -h, help [COMMAND] and --version answer without a working directory.
bool answersAboutItself(const QStringList &args, int *code)
{
    const QString &first = args.first();
    if (first == QLatin1String("--version")) {
        printLine(cliVersionText());
        *code = Success;
        return true;
    }
    if (first != QLatin1String("--help") && first != QLatin1String("-h") && first != QLatin1String("help"))
        return false;
    if (args.size() == 1) {
        printLine(cliUsageText());
    } else {
        const CommandUsage *command = findCommand(args.at(1));
        if (!command || args.size() > 2)
            misuse(QStringLiteral("kavrel-cli: no command ") + args.mid(1).join(u' '));
        printLine(commandHelpText(*command));
    }
    *code = Success;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString command;

    try {
        QString dir = QDir::currentPath();
        setStartDirectory(dir);
        if (!args.isEmpty() && args.first() == QLatin1String("-C")) {
            if (args.size() < 2)
                misuse(QStringLiteral("kavrel-cli: -C needs a directory"));
            dir = args.at(1);
            args = args.mid(2);
        }
        if (!args.isEmpty() && args.first() == QLatin1String("--progress")) {
            setShowProgress(true);
            args.removeFirst();
        }
        if (args.isEmpty())
            misuse(QStringLiteral("kavrel-cli: a command is needed"));
        if (args.first() == QLatin1String("help"))
            command = args.first(); // its own usage line on misuse
        int code = Success;
        if (answersAboutItself(args, &code))
            return code;
        command = args.takeFirst();
        if (!findCommand(command))
            misuse(QStringLiteral("kavrel-cli: unknown command ") + command);
        const QFileInfo info(dir);
        if (!info.isDir())
            throw CliExit(Failure, dir + QStringLiteral(": not a directory"));
        // The settings name their directories relative to the working directory.
        if (!QDir::setCurrent(info.absoluteFilePath()))
            throw CliExit(Failure, dir + QStringLiteral(": cannot change into the directory"));

        return runCommand(info.absoluteFilePath(), command, args);
    } catch (const CliExit &exit) {
        if (!exit.text.isEmpty())
            printError(exit.text);
        if (exit.misuse) {
            const CommandUsage *usage = findCommand(command);
            printError(usage ? commandUsageLine(*usage) : QString::fromLatin1(kUsageLine));
        }
        return exit.code;
    } catch (const std::bad_alloc &) {
        // Out of memory is said like any other failure, never an abort.
        printError(QStringLiteral("not enough memory"));
        return Failure;
    }
}
