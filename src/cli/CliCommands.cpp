#include "CliCommands.h"

#include "CliIo.h"

#include "base/BoardItemText.h"
#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "commands/UpFilePreview.h"
#include "commands/UpFileUndo.h"
#include "export/Exporters.h"
#include "fulltext/Archive.h"
#include "fulltext/ArchiveExport.h"
#include "fulltext/FullTextIndex.h"
#include "fulltext/UpFileFacts.h"
#include "logindex/LogFiles.h"
#include "logindex/LogOpener.h"
#include "program/Program.h"
#include "program/SessionExport.h"
#include "session/LogBoards.h"
#include "session/UpFileHistory.h"
#include "settings/NetDefinitionsFile.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace kavrel::cli {

namespace {

bool g_showProgress = false;

// "reading NAME: n%" on stderr, once for every percent reached.
logindex::OpenProgress progressPrinter(const QString &name)
{
    if (!g_showProgress)
        return {};
    return [name, last = -1](qint64 done, qint64 total) mutable {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        if (percent != last) {
            last = percent;
            printError(QStringLiteral("reading %1: %2%").arg(name).arg(percent));
        }
        return true;
    };
}

// Notices go to stderr as the program shows them in boxes; questions are
// answered as documented and not printed.
class StderrMessages : public CliMessages
{
public:
    MsgAnswer show(const QString &text, MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer) override
    {
        if (buttons == MsgButtons::Ok)
            printError(text);
        return CliMessages::show(text, buttons, icon, defaultAnswer);
    }
};

struct Context
{
    explicit Context(const QString &appDir)
    {
        program.session.messages = &messages;
        program.load(appDir);
    }

    Program program;
    StderrMessages messages;
    // One command tells each file that fails once.
    Session::FileReportRound round { program.session };
    Session &session() { return program.session; }
};

[[noreturn]] void usage(const QString &why)
{
    CliExit exit(Failure, QStringLiteral("kavrel-cli: ") + why);
    exit.misuse = true;
    throw exit;
}

// NET is a slot number or a net name.
int resolveNet(Context &ctx, const QString &net)
{
    auto &select = ctx.program.netSelect;
    select.load();
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
    select.chooseNet();
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
    const QString logDir = ctx.session().directory(settings::DirRecord::LOG_Dir);
    for (QString &log : logs) {
        const auto found = std::find_if(known.begin(), known.end(),
            [&](const QString &name) { return name.compare(log, Qt::CaseInsensitive) == 0; });
        if (found == known.end())
            throw CliExit(
                Failure, fileio::joinPath(logDir, log) + QStringLiteral(": not a log file of this net"));
        log = *found;
        const QFileInfo info(fileio::joinPath(logDir, log));
        if (!info.isReadable())
            throw CliExit(Failure, info.filePath() + QStringLiteral(": cannot be read"));
    }
    logindex::OpenFromNetScreen(ctx.session(), logs, progressPrinter(logs.join(u' ')));
    if (ctx.session().log.NoBoardsFlag) {
        ctx.program.unload();
        throw CliExit(Reported, QString()); // the message is already on stderr
    }
}

void printLogIndex(Session &s)
{
    const std::vector<BoardItem> boards = boardItems(s);
    for (size_t i = 0; i < boards.size(); ++i)
        printRecord({ QString::number(i), boards[i].text, boards[i].key });
}

int cmdNets(Context &ctx, const QStringList &args)
{
    if (!args.isEmpty())
        usage(QStringLiteral("nets takes no arguments"));
    ctx.program.netSelect.load();
    const QStringList &names = ctx.program.netSelect.Select_menu.items;
    for (int i = 0; i < names.size(); ++i)
        printRecord({ QString::number(i), text::trimTrailingBlanks(names.at(i)) });
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
    ctx.program.unload();
    return Success;
}

// --board N or --item K: the board item to choose.
int boardOption(Context &ctx, QStringList &options)
{
    int item = -1;
    for (int i = 0; i < options.size(); ++i) {
        const QString &o = options.at(i);
        if (o != QLatin1String("--board") && o != QLatin1String("--item"))
            continue;
        if (i + 1 >= options.size())
            usage(o + QStringLiteral(" needs a number"));
        bool ok = false;
        const int n = options.at(i + 1).toInt(&ok);
        if (!ok)
            usage(o + QStringLiteral(" needs a number"));
        if (item >= 0)
            usage(QStringLiteral("give one of --board and --item"));
        item = o == QLatin1String("--board") ? ctx.program.reader.boardItemOfNumber(n) : n;
        if (item < 0 || item >= ctx.session().main.Board_List.ListCount())
            usage(QStringLiteral("no board %1 %2 in the log").arg(o, options.at(i + 1)));
        options.remove(i, 2);
        --i;
    }
    if (item < 0)
        usage(QStringLiteral("--board N or --item K is needed"));
    return item;
}

// --name VALUE, taken out of options; empty when absent.
QString takeOption(QStringList &options, const QString &name, bool *present = nullptr)
{
    const qsizetype i = options.indexOf(name);
    if (present)
        *present = i >= 0;
    if (i < 0)
        return {};
    if (i + 1 >= options.size())
        usage(name + QStringLiteral(" needs a value"));
    QString value = options.at(i + 1);
    options.remove(i, 2);
    return value;
}

void noMoreOptions(const QStringList &options)
{
    if (!options.isEmpty())
        usage(QStringLiteral("unexpected argument ") + options.first());
}

void printArticle(Session &s)
{
    for (const QString &line : s.main.Article.items)
        printLine(line);
}

int cmdTitles(Context &ctx, const QStringList &args)
{
    QStringList options;
    openLogs(ctx, args, &options);
    const int item = boardOption(ctx, options);
    noMoreOptions(options);
    ctx.program.reader.chooseBoard(item);
    for (const QString &row : ctx.program.reader.titleRows())
        printLine(row);
    ctx.program.unload();
    return Success;
}

int cmdShow(Context &ctx, const QStringList &args)
{
    QStringList options;
    openLogs(ctx, args, &options);
    const int item = boardOption(ctx, options);
    bool hasRow = false;
    const QString rowText = takeOption(options, QStringLiteral("--row"), &hasRow);
    noMoreOptions(options);
    auto &reader = ctx.program.reader;
    reader.chooseBoard(item);
    if (hasRow) {
        bool ok = false;
        const int row = rowText.toInt(&ok);
        if (!ok || row < 0 || row >= ctx.session().main.Title.ListCount())
            usage(QStringLiteral("no row %1 on the board").arg(rowText));
        if (ctx.session().main.Title.ListIndex != row)
            reader.chooseRow(row);
    }
    printArticle(ctx.session());
    ctx.program.unload();
    return Success;
}

int cmdSearch(Context &ctx, const QStringList &args)
{
    QStringList options;
    openLogs(ctx, args, &options);
    bool hasText = false, hasFrom = false, hasTo = false;
    const QString text = takeOption(options, QStringLiteral("--text"), &hasText);
    const QString from = takeOption(options, QStringLiteral("--from"), &hasFrom);
    const QString to = takeOption(options, QStringLiteral("--to"), &hasTo);
    noMoreOptions(options);
    if (hasFrom != hasTo)
        usage(QStringLiteral("--from and --to go together"));
    if (!hasText && !hasFrom)
        usage(QStringLiteral("--text or --from/--to is needed"));

    auto &dialog = ctx.program.searchDialog;
    dialog.load();
    if (hasText) {
        dialog.setField(search::SearchDialogState::Search_Text, text);
        dialog.String_Check = true;
    }
    if (hasFrom) {
        dialog.setRangeFields(from, to);
        dialog.DateTime_Check = true;
    }
    if (!dialog.startSearch()) {
        ctx.program.unload();
        throw CliExit(Reported, QString()); // the dialog's message is on stderr
    }
    for (const auto &hit : ctx.program.reader.walkSearch())
        printRecord({ QString::number(hit.item), QString::number(hit.row), hit.title, hit.plainTitle });
    ctx.program.unload();
    return Success;
}

int cmdUnread(Context &ctx, const QStringList &args)
{
    if (args.size() != 2)
        usage(QStringLiteral("unread takes NET and one LOG"));
    openLogs(ctx, args, nullptr);
    Session &s = ctx.session();
    ctx.program.reader.unreadFromFirstBoard();
    printRecord({ QString::number(s.main.Board_List.ListIndex), QString::number(s.main.Title.ListIndex),
        s.main.Title.selectedText() });
    printArticle(s);
    ctx.program.unload();
    return Success;
}

int cmdExport(Context &ctx, const QStringList &args)
{
    QStringList options;
    openLogs(ctx, args, &options);
    const int item = boardOption(ctx, options);
    bool hasRow = false, hasFormat = false, hasOutput = false;
    const QString rowText = takeOption(options, QStringLiteral("--row"), &hasRow);
    const bool thread = options.removeAll(QStringLiteral("--thread")) > 0;
    const QString formatText = takeOption(options, QStringLiteral("--format"), &hasFormat);
    const QString output = takeOption(options, QStringLiteral("-o"), &hasOutput);
    noMoreOptions(options);
    exporter::Format format = exporter::Format::Text;
    if (!hasFormat || !exporter::parseFormat(formatText, &format))
        usage(QStringLiteral("--format text, html or mbox is needed"));
    if (thread && !hasRow)
        usage(QStringLiteral("--thread goes with --row"));
    ctx.program.reader.chooseBoard(item);
    int row = -1;
    if (hasRow) {
        bool ok = false;
        row = rowText.toInt(&ok);
        if (!ok || row < 0 || row >= ctx.session().main.Title.ListCount())
            usage(QStringLiteral("no row %1 on the board").arg(rowText));
    }

    const exporter::ExportResult result
        = exporter::exportBoard(exportSourceOf(ctx.session()), item, row, thread, format);
    ctx.program.unload();
    if (!result.ok())
        throw CliExit(Reported, result.message);
    if (hasOutput) {
        fileio::FileError error;
        if (!fileio::writeAtomic(startPath(output), result.bytes, &error))
            throw CliExit(Failure, error.toString());
    } else {
        std::fwrite(result.bytes.constData(), 1, size_t(result.bytes.size()), stdout);
    }
    return Success;
}

// The full-text index brought up to date; progress on stderr when asked.
// The logs that could not be read are returned, to be said after the output:
// the others are searched all the same.
QString updateIndex(fulltext::FullTextIndex &index, const QString &net, bool progress)
{
    if (!index.open())
        throw CliExit(Failure, index.errorText());
    fulltext::FullTextIndex::ProgressFn report;
    if (progress) {
        report = [](const fulltext::FullTextIndex::Progress &p) {
            if (p.percent < 0) // one line for each log
                printError(QStringLiteral("%1/%2\t%3\t%4").arg(p.done + 1).arg(p.total).arg(p.net, p.log));
        };
    }
    const bool ok = index.update(net, report);
    for (const QString &notice : index.notices())
        printError(notice);
    if (!ok && index.unreadableLogs().isEmpty())
        throw CliExit(Failure, index.errorText());
    return index.unreadableLogs().join(u'\n');
}

int cmdIndex(Context &ctx, const QStringList &args)
{
    QStringList rest = args;
    const bool progress = rest.removeAll(QStringLiteral("--progress")) > 0;
    if (rest.size() > 1 || (!rest.isEmpty() && rest.first().startsWith(QLatin1String("--"))))
        usage(QStringLiteral("index takes [NET] [--progress]"));
    QString net;
    if (!rest.isEmpty())
        net = text::trimTrailingBlanks(
            ctx.program.netSelect.Select_menu.items.value(resolveNet(ctx, rest.first())));
    fulltext::FullTextIndex index(ctx.session().AppDir);
    const QString unreadable = updateIndex(index, net, progress);
    if (!unreadable.isEmpty())
        throw CliExit(Failure, unreadable);
    return Success;
}

int cmdFind(Context &ctx, const QStringList &givenArgs)
{
    QStringList args = givenArgs;
    const bool everyCapture = args.removeAll(QStringLiteral("--every-capture")) > 0;
    if (args.isEmpty())
        usage(QStringLiteral("find takes [--every-capture] QUERY"));
    const fulltext::Query query = fulltext::parseQuery(args.join(u' '));
    if (!query.isValid())
        throw CliExit(Failure, query.error);
    fulltext::FullTextIndex index(ctx.session().AppDir);
    const QString unreadable = updateIndex(index, QString(), false);
    QVector<fulltext::Hit> hits;
    const qsizetype said = index.notices().size();
    const bool found = index.find(query, &hits, false); // no snippet is printed
    for (const QString &notice : index.notices().mid(said)) // an index found damaged by the query
        printError(notice);
    if (!found)
        throw CliExit(Failure, index.errorText());
    if (!everyCapture && !fulltext::onePerArticle(index, &hits))
        throw CliExit(Failure, index.errorText());
    for (const fulltext::Hit &h : std::as_const(hits))
        printRecord({ h.dateTime, h.net, h.logFile, h.board, h.number, h.senderId, h.title,
            QString::number(h.captures) });
    if (!unreadable.isEmpty())
        throw CliExit(Failure, unreadable);
    return hits.isEmpty() ? Reported : Success;
}

// The net named on the command line, as the index names it.
QString indexedNetName(Context &ctx, const QString &net)
{
    return text::trimTrailingBlanks(ctx.program.netSelect.Select_menu.items.value(resolveNet(ctx, net)));
}

// --board N, taken out of options; nullopt when absent.
std::optional<int> boardNumberOption(QStringList &options)
{
    bool present = false;
    const QString value = takeOption(options, QStringLiteral("--board"), &present);
    if (!present)
        return std::nullopt;
    bool ok = false;
    const int board = value.toInt(&ok);
    if (!ok || board < 0)
        usage(QStringLiteral("--board needs a board number, not \"%1\"").arg(value));
    return board;
}

// --since or --until YY/MM/DD, taken out of options; invalid when absent.
QDate dayOption(QStringList &options, const QString &name)
{
    bool present = false;
    const QString value = takeOption(options, name, &present);
    if (!present)
        return {};
    const QDate day = fulltext::parseShortDate(value);
    if (!day.isValid())
        usage(QStringLiteral("%1 %2: no such day (YY/MM/DD)").arg(name, value));
    return day;
}

QString rowNumber(const fulltext::IndexedCapture &c)
{
    return c.boardNo == 0 ? QStringLiteral("mail") : c.number.trimmed();
}

// Prints the lines of the one row that --show (with --date and --from) names.
int showArchiveRow(fulltext::FullTextIndex &index, const QVector<fulltext::ArchiveRow> &rows, int board,
    const QString &number, const QString &date, const QString &from)
{
    QVector<const fulltext::IndexedCapture *> matches;
    for (const fulltext::ArchiveRow &row : rows) {
        const fulltext::IndexedCapture &c = row.article.shown;
        if (rowNumber(c) == number && (date.isEmpty() || c.dateTime == date)
            && (from.isEmpty() || c.senderId.compare(from, Qt::CaseInsensitive) == 0))
            matches.append(&c);
    }
    if (matches.isEmpty())
        throw CliExit(Reported,
            QStringLiteral("kavrel-cli: no article %1%2 on board %3")
                .arg(number, date.isEmpty() ? QString() : QStringLiteral(" of ") + date)
                .arg(board));
    if (matches.size() > 1) {
        QStringList choices { board == 0
                ? QStringLiteral("kavrel-cli: several mails match; choose one with --from:")
                : QStringLiteral("kavrel-cli: article %1 was written more than once; choose one with --date:")
                      .arg(number) };
        for (const fulltext::IndexedCapture *c : std::as_const(matches))
            choices << (board == 0 ? c->dateTime + u'\t' + c->senderId + u'\t' + c->title : c->dateTime);
        throw CliExit(Reported, choices.join(u'\n'));
    }
    QStringList lines;
    if (!index.linesOf(matches.first()->id, &lines))
        throw CliExit(Failure, index.errorText());
    for (const QString &line : std::as_const(lines))
        printLine(line);
    return Success;
}

// Prints a board's rows as the index keeps their lines, as they are read: a
// board may hold 100,000.
int printKeptLines(fulltext::FullTextIndex &index, const QString &net, int board)
{
    QByteArray out;
    out.reserve(65536 + 4096);
    qsizetype rows = 0;
    const auto flush = [&out] {
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        out.clear();
    };
    const bool read = index.eachKeptLine(net, board, [&](QByteArrayView line) {
        out.append(line);
        out.append('\n');
        ++rows;
        if (out.size() >= 65536)
            flush();
    });
    flush();
    if (!read)
        throw CliExit(Failure, index.errorText());
    return rows > 0 ? Success : Reported;
}

// Writes the rows in an export's format, to path or stdout.
int exportArchive(Context &ctx, fulltext::FullTextIndex &index, const QString &net, int board,
    const QVector<fulltext::ArchiveRow> &rows, exporter::Format format, const QString &path)
{
    if (rows.isEmpty())
        throw CliExit(Reported, exporter::kNothingToExport);
    exporter::ExportSelection selection;
    QString error;
    if (!fulltext::archiveSelection(index, ctx.session().directory(settings::DirRecord::LOG_Dir), net, board,
            rows, &selection, &error))
        throw CliExit(Failure, error);
    const QByteArray bytes = format == exporter::Format::Html ? exporter::toHtml(selection)
        : format == exporter::Format::Mbox                    ? exporter::toMbox(selection)
                                                              : exporter::toText(selection);
    if (path.isEmpty()) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        return Success;
    }
    fileio::FileError failure;
    if (!fileio::writeAtomic(path, bytes, &failure))
        throw CliExit(Failure, failure.toString());
    return Success;
}

int cmdArchive(Context &ctx, const QStringList &args)
{
    if (args.isEmpty() || args.first().startsWith(QLatin1String("--")))
        usage(QStringLiteral("archive takes NET --board N"));
    const QString net = indexedNetName(ctx, args.first());
    QStringList options = args.mid(1);
    const std::optional<int> board = boardNumberOption(options);
    if (!board)
        usage(QStringLiteral("--board N is needed"));
    fulltext::DayRange days;
    days.since = dayOption(options, QStringLiteral("--since"));
    days.until = dayOption(options, QStringLiteral("--until"));
    if (days.since.isValid() && days.until.isValid() && days.since > days.until)
        usage(QStringLiteral("--since is after --until"));
    bool hasShow = false;
    bool hasDate = false;
    bool hasFrom = false;
    const QString show = takeOption(options, QStringLiteral("--show"), &hasShow).trimmed();
    const QString date = takeOption(options, QStringLiteral("--date"), &hasDate);
    const QString from = takeOption(options, QStringLiteral("--from"), &hasFrom);
    bool hasFormat = false;
    bool hasOutput = false;
    const QString formatText = takeOption(options, QStringLiteral("--format"), &hasFormat);
    const QString output = takeOption(options, QStringLiteral("-o"), &hasOutput);
    noMoreOptions(options);
    exporter::Format format = exporter::Format::Text;
    if (hasFormat && !exporter::parseFormat(formatText, &format))
        usage(QStringLiteral("--format %1: the formats are text, html and mbox").arg(formatText));
    if (hasOutput && !hasFormat)
        usage(QStringLiteral("-o goes with --format"));
    if (hasFormat && hasShow)
        usage(QStringLiteral("give one of --show and --format"));
    if ((hasDate || hasFrom) && !hasShow)
        usage(QStringLiteral("--date and --from go with --show"));
    if (hasShow) {
        const bool digits = !show.isEmpty()
            && std::all_of(show.begin(), show.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (*board == 0 && show != u"mail")
            usage(QStringLiteral("the mail box is shown with --show mail --date D"));
        if (*board != 0 && !digits)
            usage(QStringLiteral("--show needs an article number, not \"%1\"").arg(show));
        if (*board == 0 && !hasDate)
            usage(QStringLiteral("--show mail needs --date"));
        if (hasFrom && *board != 0)
            usage(QStringLiteral("--from goes with --show mail"));
        if (hasDate && !QDateTime::fromString(date, QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid())
            usage(QStringLiteral("--date %1: no such date and time (YYYY-MM-DD HH:MM:SS)").arg(date));
    }

    fulltext::FullTextIndex index(ctx.session().AppDir);
    updateIndex(index, net, false);
    if (!hasShow && !hasFormat && days.isOpen()) {
        bool current = false;
        if (!fulltext::refreshKeptArchive(index, net, *board, &current))
            throw CliExit(Failure, index.errorText());
        if (current)
            return printKeptLines(index, net, *board);
    }
    QVector<fulltext::ArchiveRow> rows;
    if (!fulltext::boardRows(index, net, *board, days, &rows))
        throw CliExit(Failure, index.errorText());
    if (hasShow)
        return showArchiveRow(index, rows, *board, show, date, from);
    if (hasFormat)
        return exportArchive(
            ctx, index, net, *board, rows, format, hasOutput ? startPath(output) : QString());
    for (const fulltext::ArchiveRow &row : rows)
        printLine(fulltext::archiveLineOf(row));
    return rows.isEmpty() ? Reported : Success;
}

int cmdTimeline(Context &ctx, const QStringList &args)
{
    if (args.isEmpty() || args.first().startsWith(QLatin1String("--")))
        usage(QStringLiteral("timeline takes NET [--board N]"));
    const QString net = indexedNetName(ctx, args.first());
    QStringList options = args.mid(1);
    const std::optional<int> board = boardNumberOption(options);
    noMoreOptions(options);
    fulltext::FullTextIndex index(ctx.session().AppDir);
    updateIndex(index, net, false);
    QList<std::pair<QString, int>> months;
    if (!fulltext::monthsOf(index, net, board, &months))
        throw CliExit(Failure, index.errorText());
    for (const auto &[month, count] : months)
        printRecord({ month, QString::number(count) });
    return months.isEmpty() ? Reported : Success;
}

// upfile NET --history: the kept generations of the up file.
int printUpFileHistory(Session &session)
{
    UpFileHistory history(session.upFilePath());
    fileio::FileError error;
    if (!history.read(&error))
        throw CliExit(Failure, error.toString());
    int listed = 0;
    for (const UpFileGeneration &g : history.generations()) {
        if (g.damaged) {
            printError(QStringLiteral("%1: generation %2 is damaged").arg(history.folder()).arg(g.number));
            continue;
        }
        printRecord({ QString::number(g.number), g.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            g.change, QString::number(g.size()) });
        ++listed;
    }
    if (listed == 0)
        throw CliExit(Reported, history.folder() + QStringLiteral(": no generations kept"));
    return Success;
}

// upfile NET --restore N: the generation written back, as an undo writes it.
int restoreUpFile(Session &session, const QString &numberText)
{
    bool ok = false;
    const qint64 number = numberText.toLongLong(&ok);
    if (!ok || number <= 0)
        usage(QStringLiteral("--restore needs a generation number, not \"%1\"").arg(numberText));
    const commands::UpFileRestore restore = commands::restoreUpFileGeneration(session, number);
    switch (restore.outcome) {
    case commands::UpFileRestore::Outcome::Restored:
        return Success;
    case commands::UpFileRestore::Outcome::Nothing:
        throw CliExit(Reported, QStringLiteral("no readable generation %1").arg(number));
    case commands::UpFileRestore::Outcome::Declined:
        throw CliExit(Reported,
            QStringLiteral("generation %1 would send again commands already sent; not restored").arg(number));
    case commands::UpFileRestore::Outcome::Failed:
        break;
    }
    return Failure;
}

int cmdUpfile(Context &ctx, const QStringList &args)
{
    if (args.isEmpty() || args.first().startsWith(QLatin1String("--")))
        usage(QStringLiteral("upfile takes NET [--history | --restore N]"));
    QStringList options = args.mid(1);
    const bool listHistory = options.removeAll(QStringLiteral("--history")) > 0;
    bool restoring = false;
    const QString restoreNumber = takeOption(options, QStringLiteral("--restore"), &restoring);
    noMoreOptions(options);
    if (listHistory && restoring)
        usage(QStringLiteral("give one of --history and --restore"));
    const int slot = resolveNet(ctx, args.first());
    chooseNet(ctx, slot); // reads the up file, keeping it
    Session &session = ctx.session();
    if (listHistory)
        return printUpFileHistory(session);
    if (restoring)
        return restoreUpFile(session, restoreNumber);
    const QString path = session.upFilePath();
    if (!QFileInfo(path).isFile() || session.upFile.text().isEmpty())
        throw CliExit(Reported, path + QStringLiteral(": no waiting commands"));

    const QString net = text::trimTrailingBlanks(ctx.program.netSelect.Select_menu.items.value(slot));
    fulltext::FullTextIndex index(session.AppDir);
    updateIndex(index, net, false);
    commands::preview::NetFiles files = commands::preview::netFilesOf(session);
    files.net = net;
    files.logs = netLogs(ctx);
    const fulltext::UpFileFacts facts(index, files);

    const QList<commands::preview::Row> rows
        = commands::preview::rows(UpFile(session.upFile.text()), facts.facts());
    for (const commands::preview::Row &row : rows)
        printRecord(row.fields());
    return rows.isEmpty() ? Reported : Success;
}

} // namespace

void setShowProgress(bool on)
{
    g_showProgress = on;
}

namespace {

int dispatch(Context &ctx, const QString &command, const QStringList &args)
{
    if (command == QLatin1String("nets"))
        return cmdNets(ctx, args);
    if (command == QLatin1String("logs"))
        return cmdLogs(ctx, args);
    if (command == QLatin1String("open"))
        return cmdOpen(ctx, args);
    if (command == QLatin1String("titles"))
        return cmdTitles(ctx, args);
    if (command == QLatin1String("show"))
        return cmdShow(ctx, args);
    if (command == QLatin1String("search"))
        return cmdSearch(ctx, args);
    if (command == QLatin1String("unread"))
        return cmdUnread(ctx, args);
    if (command == QLatin1String("export"))
        return cmdExport(ctx, args);
    if (command == QLatin1String("index"))
        return cmdIndex(ctx, args);
    if (command == QLatin1String("find"))
        return cmdFind(ctx, args);
    if (command == QLatin1String("archive"))
        return cmdArchive(ctx, args);
    if (command == QLatin1String("timeline"))
        return cmdTimeline(ctx, args);
    if (command == QLatin1String("upfile"))
        return cmdUpfile(ctx, args);
    usage(QStringLiteral("unknown command ") + command);
}

} // namespace

int runCommand(const QString &appDir, const QString &command, const QStringList &args)
{
    Context ctx(appDir);
    // Each file that failed is on stderr already, with its path and the reason;
    // the command still printed what it could, and then ends with status 2.
    int code = Success;
    try {
        code = dispatch(ctx, command, args);
    } catch (const CliExit &exit) {
        if (exit.code == Reported && !ctx.session().FileFailures.isEmpty())
            throw CliExit(Failure, exit.text);
        throw;
    }
    return ctx.session().FileFailures.isEmpty() ? code : int(Failure);
}

} // namespace kavrel::cli
