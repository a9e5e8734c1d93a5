#include "CliCommands.h"

#include "CliIo.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "logindex/LogFiles.h"
#include "logindex/LogOpener.h"
#include "program/Program.h"
#include "settings/NetDefinitionsFile.h"

#include <QFileInfo>

#include <memory>

namespace kavrel::cli {

namespace {

// Notices go to stderr as the program shows them in boxes; questions are
// answered as documented and not printed.
class StderrMessages : public CliMessages
{
public:
    MsgAnswer show(const QString &text, MsgButtons buttons, MsgIcon icon) override
    {
        if (buttons == MsgButtons::Ok)
            printError(text);
        return CliMessages::show(text, buttons, icon);
    }
};

struct Context
{
    explicit Context(const QString &appDir)
    {
        program.session.messages = &messages;
        program.Form_Load(appDir);
    }

    Program program;
    StderrMessages messages;
    Session &session() { return program.session; }
};

[[noreturn]] void usage(const QString &why)
{
    throw CliExit(Failure, QStringLiteral("kavrel-cli: ") + why);
}

// NET is a slot number or a net name.
int resolveNet(Context &ctx, const QString &net)
{
    auto &select = ctx.program.netSelect;
    select.Form_Load();
    const QStringList &names = select.Select_menu.items;
    bool isNumber = false;
    const int slot = net.toInt(&isNumber);
    if (isNumber && slot >= 0 && slot < names.size())
        return slot;
    for (int i = 0; i < names.size(); ++i) {
        if (text::trimTrailingBlanks(names.at(i)) == net)
            return i;
    }
    usage(QStringLiteral("no net \"%1\" in %2").arg(net, ctx.session().appFile(QStringLiteral("DATA.DEF"))));
}

// Chooses the net as a double-click on the net selection screen does; the
// up-file question is answered Cancel, so the up file is kept.
void chooseNet(Context &ctx, int slot)
{
    auto &select = ctx.program.netSelect;
    select.Select_menu.ListIndex = slot;
    select.Select_menu_DblClick();
}

QStringList netLogs(Context &ctx)
{
    return ctx.program.netSelect.Log_List_File.items;
}

// Opens the logs as the net selection screen does; prints nothing.
void openLogs(Context &ctx, const QStringList &args, QStringList *rest)
{
    if (args.size() < 2)
        usage(QStringLiteral("NET and at least one LOG are needed"));
    chooseNet(ctx, resolveNet(ctx, args.first()));
    QStringList logs;
    int i = 1;
    for (; i < args.size() && !args.at(i).startsWith(QLatin1String("--")); ++i)
        logs << args.at(i);
    if (logs.isEmpty())
        usage(QStringLiteral("at least one LOG is needed"));
    if (rest)
        *rest = args.mid(i);
    else if (i < args.size())
        usage(QStringLiteral("unexpected argument ") + args.at(i));

    const QStringList known = netLogs(ctx);
    const QString logDir = ctx.session().Dir[settings::DirRecord::LOG_Dir];
    for (QString &log : logs) {
        const auto found = std::find_if(known.begin(), known.end(), [&](const QString &name) {
            return name.compare(log, Qt::CaseInsensitive) == 0;
        });
        if (found == known.end())
            throw CliExit(Failure, fileio::joinPath(logDir, log)
                                       + QStringLiteral(": not a log file of this net"));
        log = *found;
        const QFileInfo info(fileio::joinPath(logDir, log));
        if (!info.isReadable())
            throw CliExit(Failure, info.filePath() + QStringLiteral(": cannot be read"));
    }
    logindex::OpenFromNetScreen(ctx.session(), logs);
    if (ctx.session().NoBoardsFlag == 1) {
        ctx.program.Form_Unload();
        throw CliExit(Reported, QString()); // the message is already on stderr
    }
}

void printLogIndex(Session &s)
{
    const ListBox &boards = s.main.Board_List;
    int k = 0;
    for (int i = 0; i < boards.ListCount(); ++i) {
        const QString &item = boards.item(i);
        QString key;
        if (!item.startsWith(QLatin1String("[XCHAT]"))) {
            key = k < s.BoardKeys.size() ? s.BoardKeys.at(k) : QString();
            ++k;
        }
        printRecord({QString::number(i), item, key});
    }
}

int cmdNets(Context &ctx, const QStringList &args)
{
    if (!args.isEmpty())
        usage(QStringLiteral("nets takes no arguments"));
    ctx.program.netSelect.Form_Load();
    const QStringList &names = ctx.program.netSelect.Select_menu.items;
    for (int i = 0; i < names.size(); ++i)
        printRecord({QString::number(i), text::trimTrailingBlanks(names.at(i))});
    return Success;
}

int cmdLogs(Context &ctx, const QStringList &args)
{
    if (args.size() != 1)
        usage(QStringLiteral("logs takes NET"));
    ctx.session().NetIndex = resolveNet(ctx, args.first());
    for (const QString &log : logindex::listLogFiles(ctx.session()))
        printLine(log);
    return Success;
}

int cmdOpen(Context &ctx, const QStringList &args)
{
    openLogs(ctx, args, nullptr);
    printLogIndex(ctx.session());
    ctx.program.Form_Unload();
    return Success;
}

} // namespace

int runCommand(const QString &appDir, const QString &command, const QStringList &args)
{
    Context ctx(appDir);
    if (command == QLatin1String("nets"))
        return cmdNets(ctx, args);
    if (command == QLatin1String("logs"))
        return cmdLogs(ctx, args);
    if (command == QLatin1String("open"))
        return cmdOpen(ctx, args);
    usage(QStringLiteral("unknown command ") + command);
}

} // namespace kavrel::cli
