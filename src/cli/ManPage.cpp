#include "ManPage.h"

#include "KavrelVersion.h"
#include "Usage.h"

#include <QStringList>

namespace kavrel::cli {

namespace {

// Plain text as troff: a backslash and a leading dot or quote are escaped,
// and a hyphen is a minus so that options can be searched and copied.
QString troff(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\e");
        else if (c == u'-')
            out += QStringLiteral("\\-");
        else
            out += c;
    }
    if (out.startsWith(u'.') || out.startsWith(u'\''))
        out.prepend(QStringLiteral("\\&"));
    return out;
}

QString str(const char *text)
{
    return QString::fromUtf8(text);
}

QStringList header(const QString &name, const QString &summary)
{
    return { QStringLiteral(".TH %1 1 \"\" \"Kavrel %2\" \"User Commands\"")
                 .arg(name.toUpper(), QStringLiteral(KAVREL_VERSION)),
        QStringLiteral(".SH NAME"), QStringLiteral("%1 \\- %2").arg(troff(name), summary) };
}

// One paragraph per line of text; indented ones stay under their item.
QStringList paragraphs(const QString &text, bool indented)
{
    QStringList lines;
    for (const QString &p : text.split(u'\n')) {
        if (!lines.isEmpty())
            lines << (indented ? QStringLiteral(".IP") : QStringLiteral(".PP"));
        lines << troff(p);
    }
    return lines;
}

} // namespace

QString cliManPage()
{
    QStringList lines
        = header(QStringLiteral("kavrel-cli"), QStringLiteral("read forum net logs from a script"));
    lines << QStringLiteral(".SH SYNOPSIS") << QStringLiteral(".B kavrel\\-cli")
          << QStringLiteral(
                 "[\\fB\\-C\\fR \\fIDIR\\fR] [\\fB\\-\\-progress\\fR] \\fICOMMAND\\fR [\\fIARGS\\fR]")
          << QStringLiteral(".br") << QStringLiteral(".B kavrel\\-cli")
          << QStringLiteral("\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR");
    lines << QStringLiteral(".SH DESCRIPTION")
          << troff(QStringLiteral(
                 "kavrel-cli acts as Kavrel would in the working directory DIR (default: the current "
                 "directory), the folder that holds DIR.DEF. Every command that opens a log saves the unread "
                 "pointer afterwards, as Kavrel does when it closes."));
    lines << QStringLiteral(".SH OPTIONS") << QStringLiteral(".TP")
          << QStringLiteral("\\fB\\-C\\fR \\fIDIR\\fR")
          << QStringLiteral("works in DIR instead of the current directory.") << QStringLiteral(".TP")
          << QStringLiteral("\\fB\\-\\-progress\\fR")
          << troff(QStringLiteral("tells on stderr how far opening a log is (\"reading NAME: n%\")."))
          << QStringLiteral(".TP") << QStringLiteral("\\fB\\-h\\fR, \\fB\\-\\-help\\fR")
          << QStringLiteral("prints the usage and exits.") << QStringLiteral(".TP")
          << QStringLiteral("\\fB\\-\\-version\\fR") << QStringLiteral("prints the version and exits.");
    lines << QStringLiteral(".SH COMMANDS");
    for (const CommandUsage &command : commandUsages()) {
        lines << QStringLiteral(".TP");
        QString synopsis = QStringLiteral("\\fB%1\\fR").arg(troff(str(command.name)));
        if (*command.arguments)
            synopsis += u' ' + troff(str(command.arguments));
        lines << synopsis;
        lines << paragraphs(str(command.details), true);
    }
    lines << QStringLiteral(".SH OUTPUT AND EXIT STATUS") << paragraphs(cliOutputText(), false);
    lines << QStringLiteral(".SH SEE ALSO") << QStringLiteral(".BR kavrel (1),")
          << QStringLiteral("/usr/share/doc/kavrel/docs/cli.md");
    return lines.join(u'\n') + u'\n';
}

QString programManPage()
{
    QStringList lines
        = header(QStringLiteral("kavrel"), QStringLiteral("reader for captured forum net logs"));
    lines << QStringLiteral(".SH SYNOPSIS") << QStringLiteral(".B kavrel") << QStringLiteral("[\\fIDIR\\fR]")
          << QStringLiteral(".br") << QStringLiteral(".B kavrel")
          << QStringLiteral("\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR");
    lines << QStringLiteral(".SH DESCRIPTION")
          << troff(QStringLiteral(
                 "Kavrel reads the session logs captured from dial-up forum services (nets): it lists each "
                 "board's titles as threads, shows the articles, keeps where reading stopped, prepares "
                 "writes for the next session and searches every log at once."))
          << QStringLiteral(".PP")
          << troff(QStringLiteral(
                 "A working directory holds DIR.DEF, SET.def and DATA.DEF and the folders they name. Kavrel "
                 "opens DIR, or without it the working directory it opened last; the first time, it asks for "
                 "one, or makes a new one."));
    lines << QStringLiteral(".SH OPTIONS");
    for (const ProgramOption &option : programOptions()) {
        const QString name = str(option.option);
        lines << QStringLiteral(".TP")
              << (name.startsWith(u'-') ? QStringLiteral("\\fB%1\\fR") : QStringLiteral("\\fI%1\\fR"))
                     .arg(troff(name))
              << troff(str(option.what));
    }
    lines << QStringLiteral(".SH FILES") << QStringLiteral(".TP")
          << QStringLiteral("~/.config/Kavrel/Kavrel.ini")
          << troff(QStringLiteral("Kavrel's own settings: the last working directory, window places, zoom."));
    lines << QStringLiteral(".SH SEE ALSO") << QStringLiteral(".BR kavrel\\-cli (1),")
          << QStringLiteral("/usr/share/doc/kavrel/docs/guide.md");
    return lines.join(u'\n') + u'\n';
}

} // namespace kavrel::cli
