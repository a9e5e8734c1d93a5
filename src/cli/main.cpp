// kavrel-cli: the program's actions from a script.
//
//   kavrel-cli [-C DIR] COMMAND [ARGS]

#include "CliCommands.h"
#include "CliIo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <new>

using namespace kavrel::cli;

namespace {

const char *const kUsage
    = "usage: kavrel-cli [-C DIR] [--progress] COMMAND [ARGS]\n"
      "commands:\n"
      "  nets\n"
      "  logs NET\n"
      "  open NET LOG...\n"
      "  titles NET LOG... (--board N | --item K)\n"
      "  show NET LOG... (--board N | --item K) [--row R]\n"
      "  search NET LOG... [--text S] [--from \"YY/MM/DD HH:MM:SS\" --to \"YY/MM/DD HH:MM:SS\"]\n"
      "  unread NET LOG\n"
      "  export NET LOG... (--board N | --item K) [--row R [--thread]]\n"
      "         --format text|html|mbox [-o FILE]\n"
      "  index [NET] [--progress]\n"
      "  find [--every-capture] QUERY\n"
      "  archive NET --board N [--since YY/MM/DD] [--until YY/MM/DD]\n"
      "          [--show NUMBER|mail [--date \"YYYY-MM-DD HH:MM:SS\"] [--from ID]]\n"
      "          [--format text|html|mbox [-o FILE]]\n"
      "  timeline NET [--board N]\n"
      "  upfile NET";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    try {
        QString dir = QDir::currentPath();
        setStartDirectory(dir);
        if (!args.isEmpty() && args.first() == QLatin1String("-C")) {
            if (args.size() < 2)
                throw CliExit(Failure, QString::fromLatin1(kUsage));
            dir = args.at(1);
            args = args.mid(2);
        }
        if (!args.isEmpty() && args.first() == QLatin1String("--progress")) {
            setShowProgress(true);
            args.removeFirst();
        }
        if (args.isEmpty())
            throw CliExit(Failure, QString::fromLatin1(kUsage));
        const QFileInfo info(dir);
        if (!info.isDir())
            throw CliExit(Failure, dir + QStringLiteral(": not a directory"));
        // The settings name their directories relative to the working directory.
        if (!QDir::setCurrent(info.absoluteFilePath()))
            throw CliExit(Failure, dir + QStringLiteral(": cannot change into the directory"));

        const QString command = args.takeFirst();
        return runCommand(info.absoluteFilePath(), command, args);
    } catch (const CliExit &exit) {
        if (!exit.text.isEmpty())
            printError(exit.text);
        return exit.code;
    } catch (const std::bad_alloc &) {
        // Out of memory is said like any other failure, never an abort.
        printError(QStringLiteral("not enough memory"));
        return Failure;
    }
}
