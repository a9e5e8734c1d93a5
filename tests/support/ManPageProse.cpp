#include "ManPageProse.h"

#include "base/Cp932.h"

#include <QDirIterator>
#include <QHash>
#include <QProcess>
#include <QSet>

#include <algorithm>

namespace kavrel::test {

namespace {

// Named characters (\(xx and \[xx]) that have a Shift-JIS form; the others
// are left out.
QString namedCharacter(const QString &name)
{
    static const QHash<QString, QString> names = { { QStringLiteral("lq"), QStringLiteral("“") },
        { QStringLiteral("rq"), QStringLiteral("”") }, { QStringLiteral("oq"), QStringLiteral("‘") },
        { QStringLiteral("cq"), QStringLiteral("’") }, { QStringLiteral("aq"), QStringLiteral("'") },
        { QStringLiteral("dq"), QStringLiteral("\"") }, { QStringLiteral("em"), QStringLiteral("-") },
        { QStringLiteral("en"), QStringLiteral("-") }, { QStringLiteral("hy"), QStringLiteral("-") },
        { QStringLiteral("bu"), QStringLiteral("・") }, { QStringLiteral("mu"), QStringLiteral("×") },
        { QStringLiteral("ti"), QStringLiteral("~") }, { QStringLiteral("ha"), QStringLiteral("^") },
        { QStringLiteral("co"), QStringLiteral("(C)") }, { QStringLiteral("rg"), QStringLiteral("(R)") },
        { QStringLiteral("->"), QStringLiteral("→") }, { QStringLiteral("<-"), QStringLiteral("←") },
        { QStringLiteral("ga"), QStringLiteral("`") }, { QStringLiteral("rs"), QStringLiteral("\\") } };
    return names.value(name);
}

// An escape's name after its letter: one character, "(xx" or "[name]".
// Returns the name and moves i past it.
QString escapeName(const QString &s, qsizetype &i)
{
    if (i >= s.size())
        return {};
    if (s.at(i) == u'(') {
        const QString name = s.mid(i + 1, 2);
        i += 3;
        return name;
    }
    if (s.at(i) == u'[') {
        const qsizetype close = s.indexOf(u']', i);
        const qsizetype end = close < 0 ? s.size() : close;
        const QString name = s.mid(i + 1, end - i - 1);
        i = end + 1;
        return name;
    }
    return QString(s.at(i++));
}

// Skips an escape's quoted argument ('...').
void skipQuoted(const QString &s, qsizetype &i)
{
    if (i >= s.size())
        return;
    const QChar quote = s.at(i);
    const qsizetype close = s.indexOf(quote, i + 1);
    i = close < 0 ? s.size() : close + 1;
}

// The text of a line with its escapes resolved: fonts, sizes, strings and
// motions dropped, named characters written, "\-" as "-", and a "\"" comment
// ending the line.
QString plainText(const QString &s)
{
    QString out;
    out.reserve(s.size());
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s.at(i++);
        if (c != u'\\') {
            out += c == u'\t' ? QChar(u' ') : c;
            continue;
        }
        if (i >= s.size())
            break;
        const char16_t e = s.at(i++).unicode();
        switch (e) {
        case u'"':
        case u'#':
            return out; // a comment to the end of the line
        case u'\\':
        case u'e':
        case u'E':
            out += u'\\';
            break;
        case u'-':
            out += u'-';
            break;
        case u' ':
        case u'~':
        case u'0':
        case u't':
            out += u' ';
            break;
        case u'(':
        case u'[':
            --i;
            out += namedCharacter(escapeName(s, i));
            break;
        case u'f':
        case u'F':
        case u'*':
        case u'n':
        case u'g':
        case u'k':
        case u'$':
        case u'm':
        case u'M':
        case u'V':
        case u'Y':
            if (e == u'n' && i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
                ++i;
            escapeName(s, i);
            break;
        case u's':
            if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
                ++i;
            if (i < s.size() && (s.at(i) == u'(' || s.at(i) == u'['))
                escapeName(s, i);
            else if (i < s.size() && s.at(i) == u'\'')
                skipQuoted(s, i);
            else
                while (i < s.size() && s.at(i).isDigit())
                    ++i;
            break;
        case u'w':
        case u'h':
        case u'v':
        case u'l':
        case u'L':
        case u'o':
        case u'X':
        case u'Z':
        case u'D':
        case u'b':
        case u'x':
        case u'N':
        case u'C':
        case u'A':
        case u'B':
        case u'R':
            skipQuoted(s, i);
            break;
        case u'z':
            break;
        default:
            // \& \| \^ \% \: \c \{ \} \/ \, \) \a \d \u \p and the like print
            // nothing; an escaped punctuation character prints itself.
            if (QChar(e).isPunct() && e != u'&' && e != u'|' && e != u'^' && e != u'%' && e != u':'
                && e != u'{' && e != u'}' && e != u'/' && e != u',' && e != u')')
                out += QChar(e);
            break;
        }
    }
    return out;
}

// The arguments of a request line, quotes honoured.
QStringList requestArguments(const QString &rest)
{
    QStringList args;
    qsizetype i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && rest.at(i) == u' ')
            ++i;
        if (i >= rest.size())
            break;
        QString arg;
        if (rest.at(i) == u'"') {
            ++i;
            while (i < rest.size() && rest.at(i) != u'"')
                arg += rest.at(i++);
            ++i;
        } else {
            while (i < rest.size() && rest.at(i) != u' ')
                arg += rest.at(i++);
        }
        args << arg;
    }
    return args;
}

bool isJapanese(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x3040 && u <= 0x30ff) || (u >= 0x4e00 && u <= 0x9fff);
}

// A breaking place near the end of a window: after a Japanese full stop or
// comma, or at a blank.
bool breaksAfter(QChar c)
{
    return c == u' ' || c == u'。' || c == u'、' || c == u'，' || c == u'．' || c == u'）';
}

// A paragraph's text: what Shift-JIS cannot hold dropped, blanks simplified,
// cut into lines of at most kLineLength characters, preferably after a
// full stop, a comma or a blank. Lines without Japanese are left out, and
// so are lines a log could take for a board's first line.
void cutParagraph(const QString &paragraph, QStringList *lines)
{
    QString text = paragraph.simplified();
    const QString bad = cp932::unencodable(text);
    for (const QChar c : bad)
        text.remove(c);
    text = text.simplified();
    constexpr int kWidth = ManPageProse::kLineLength;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = std::min(text.size(), start + kWidth);
        if (end < text.size()) {
            for (qsizetype b = end; b > start + kWidth / 2; --b) {
                if (breaksAfter(text.at(b - 1))) {
                    end = b;
                    break;
                }
            }
        }
        const QString line = text.mid(start, end - start).trimmed();
        start = end;
        if (line.isEmpty() || line.startsWith(QStringLiteral("No."))
            || !std::any_of(line.begin(), line.end(), isJapanese))
            continue;
        *lines << line;
    }
}

// Joins a source line to the paragraph as troff fills: a line end is a
// blank, except between two Japanese characters.
void fill(QString *paragraph, const QString &piece)
{
    if (piece.isEmpty())
        return;
    if (!paragraph->isEmpty() && !(isJapanese(paragraph->back()) && isJapanese(piece.front())))
        *paragraph += u' ';
    *paragraph += piece;
}

} // namespace

QString ManPageProse::folder()
{
    return QStringLiteral("/usr/share/man/ja");
}

const QStringList &ManPageProse::lines()
{
    static const QStringList all = [] {
        QStringList pages;
        QDirIterator it(folder(), { QStringLiteral("*.gz") }, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            pages << it.next();
        pages.sort();
        QStringList out;
        QSet<QString> seen;
        for (const QString &page : pages) {
            QProcess gzip;
            gzip.start(QStringLiteral("gzip"), { QStringLiteral("-dc"), page });
            gzip.waitForFinished(-1);
            for (const QString &line : linesOfPage(QString::fromUtf8(gzip.readAllStandardOutput()))) {
                if (!seen.contains(line)) {
                    seen.insert(line);
                    out << line;
                }
            }
        }
        return out;
    }();
    return all;
}

QStringList ManPageProse::linesOfPage(const QString &roff)
{
    QStringList lines;
    QString paragraph;
    auto flush = [&] {
        cutParagraph(paragraph, &lines);
        paragraph.clear();
    };
    QString skipUntil; // the end of a macro definition, table or equation
    const QStringList source = roff.split(u'\n');
    for (const QString &raw : source) {
        const QString line = raw.endsWith(u'\r') ? raw.chopped(1) : raw;
        const bool request = line.startsWith(u'.') || line.startsWith(u'\'');
        const QString rest = request ? line.mid(1).trimmed() : QString();
        const qsizetype blank = rest.indexOf(u' ');
        const QString name = request ? rest.left(blank < 0 ? rest.size() : blank) : QString();
        if (!skipUntil.isEmpty()) {
            if (request && name == skipUntil)
                skipUntil.clear();
            continue;
        }
        if (!request) {
            if (line.trimmed().isEmpty())
                flush();
            else
                fill(&paragraph, plainText(line));
            continue;
        }
        const QString args = blank < 0 ? QString() : rest.mid(blank + 1);
        if (name == u"de" || name == u"de1" || name == u"am" || name == u"ig") {
            flush();
            skipUntil = QStringLiteral(".");
        } else if (name == u"TS") {
            flush();
            skipUntil = QStringLiteral("TE");
        } else if (name == u"EQ") {
            flush();
            skipUntil = QStringLiteral("EN");
        } else if (name == u"B" || name == u"I" || name == u"SM" || name == u"SB") {
            fill(&paragraph, plainText(requestArguments(args).join(u' ')));
        } else if (name.size() == 2 && QStringLiteral("BIR").contains(name.at(0))
            && QStringLiteral("BIR").contains(name.at(1))) {
            fill(&paragraph, plainText(requestArguments(args).join(QString())));
        } else {
            // Headings, paragraphs, breaks, indents and every other request
            // end the paragraph; their own text is left out.
            flush();
        }
    }
    flush();
    return lines;
}

} // namespace kavrel::test
