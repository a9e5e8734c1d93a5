#include "session/UpFile.h"

#include "base/Text.h"

namespace kavrel {

namespace {

// A write or response ends with its closing "." line and "yQ", a mail with
// the "." line and "y", a chat write with the "." line.
const QString kWriteEnd = QStringLiteral("\r\n.\r\nyQ");
const QString kMailEnd = QStringLiteral("\r\n.\r\ny");
const QString kChatEnd = QStringLiteral("\r\n.\r\n");
const QString kMailStart = QStringLiteral("mw\r\n");

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Digits, optionally after one blank or a minus sign, as board and article
// numbers are written.
bool isNumberLine(QStringView line, bool withBlank)
{
    if (!line.isEmpty() && (line.front() == u'-' || (withBlank && line.front() == u' ')))
        line = line.mid(1);
    if (line.isEmpty())
        return false;
    for (const QChar c : line) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

class Parser
{
public:
    explicit Parser(const QString &text)
        : s(text)
    {
    }

    // The command Kavrel writes that starts at p, if one does.
    bool parseAt(qsizetype p, UpCommand *out) const
    {
        if (s.at(p) == u'\\')
            return parseBoardCommand(p, out);
        if (QStringView(s).mid(p, kMailStart.size()) == kMailStart)
            return parseMail(p, out);
        if (s.at(p) == u'X')
            return parseChat(p, out);
        return false;
    }

    // A command of ours whose closing line is missing, in the text from p
    // up to end that no complete command claims.
    bool parseOpen(qsizetype p, qsizetype end, UpCommand *out) const
    {
        m_openEnd = end;
        const bool found = parseAt(p, out) && out->start + out->length <= end;
        m_openEnd = -1;
        return found;
    }

private:
    const QString &s;
    mutable qsizetype m_openEnd = -1;

    // The 0-based end of the line that starts at p (its CR), or -1.
    qsizetype lineEnd(qsizetype p) const { return s.indexOf(CRLF, p); }

    // The end (0-based, after the line end) of a number line that starts at
    // p after the given lead character, or -1.
    qsizetype numberLineEnd(qsizetype p, QChar lead, bool withBlank) const
    {
        if (p >= s.size() || s.at(p) != lead)
            return -1;
        const qsizetype e = lineEnd(p + 1);
        if (e < 0 || !isNumberLine(QStringView(s).mid(p + 1, e - p - 1), withBlank))
            return -1;
        return e + 2;
    }

    // Whether a command of Kavrel's begins at p, or the text ends there: the
    // next command follows a closing line directly.
    bool startsCommand(qsizetype p) const
    {
        if (p >= s.size())
            return true;
        return numberLineEnd(p, u'\\', true) >= 0 || QStringView(s).mid(p, kMailStart.size()) == kMailStart
            || numberLineEnd(p, u'X', false) >= 0;
    }

    // The closing marker of a command whose text starts at from: the first
    // one after which the text ends or another command begins, so that a
    // text line "." does not end the command; failing that, or when a
    // command begins after the first one (the user's text followed it), the
    // first one.
    qsizetype closing(const QString &marker, qsizetype from) const
    {
        qsizetype first = -1;
        qsizetype scanned = -1;
        for (qsizetype m = s.indexOf(marker, from); m >= 0; m = s.indexOf(marker, m + 1)) {
            if (first < 0) {
                first = m;
                scanned = m + marker.size();
            }
            for (; scanned < m; ++scanned) {
                if (startsCommand(scanned))
                    return first;
            }
            if (startsCommand(m + marker.size()))
                return m;
        }
        return first;
    }

    // Fills the text, span and kind of a command whose text runs from
    // textStart up to its closing marker.
    bool finish(
        qsizetype p, qsizetype textStart, const QString &marker, UpCommandKind kind, UpCommand *out) const
    {
        if (m_openEnd >= 0) {
            if (textStart > m_openEnd)
                return false;
            // The complete lines, up to a closing "." line.
            QStringList lines = s.mid(textStart, m_openEnd - textStart).split(CRLF);
            out->title = lines.takeFirst();
            if (!lines.isEmpty())
                lines.removeLast(); // the line without its line end
            const qsizetype dot = lines.indexOf(QStringLiteral("."));
            out->body = dot < 0 ? lines : lines.mid(0, dot);
            out->kind = kind;
            out->start = p;
            out->length = m_openEnd - p;
            out->complete = false;
            return true;
        }
        const qsizetype m = closing(marker, textStart);
        if (m < 0)
            return false; // a command without its end is not one of ours
        QStringList lines = s.mid(textStart, m - textStart).split(CRLF);
        out->kind = kind;
        out->title = lines.takeFirst();
        out->body = lines;
        out->start = p;
        out->length = m + marker.size() - p;
        return true;
    }

    bool parseBoardCommand(qsizetype p, UpCommand *out) const
    {
        const qsizetype second = numberLineEnd(p, u'\\', true);
        if (second < 0)
            return false;
        out->board = text::val(s.mid(p + 1, second - p - 3));
        if (second < s.size() && s.at(second) == u'W')
            return finish(p, second + 1, kWriteEnd, UpCommandKind::Write, out);
        const qsizetype e = lineEnd(second);
        if (e < 0)
            return false;
        out->reference = s.mid(second, e - second);
        const qsizetype third = e + 2;
        if (QStringView(s).mid(third, 2) == u"SQ" && isNumberLine(out->reference, true)) {
            out->kind = UpCommandKind::BatchMark;
            out->start = p;
            out->length = third + 2 - p;
            return true;
        }
        if (third < s.size() && s.at(third) == u'P')
            return finish(p, third + 1, kWriteEnd, UpCommandKind::Response, out);
        return false;
    }

    bool parseMail(qsizetype p, UpCommand *out) const
    {
        // Each recipient line is followed by an empty line; one more empty
        // line starts the text.
        qsizetype q = p + kMailStart.size();
        for (;;) {
            if (QStringView(s).mid(q, 2) == CRLF)
                break;
            const qsizetype e = lineEnd(q);
            if (e < 0 || QStringView(s).mid(e + 2, 2) != CRLF)
                return false;
            out->recipients << s.mid(q, e - q);
            q = e + 4;
        }
        return finish(p, q + 2, kMailEnd, UpCommandKind::Mail, out);
    }

    bool parseChat(qsizetype p, UpCommand *out) const
    {
        const qsizetype textStart = numberLineEnd(p, u'X', false);
        if (textStart < 0)
            return false;
        out->board = text::val(s.mid(p + 1, textStart - p - 3));
        return finish(p, textStart, kChatEnd, UpCommandKind::ChatWrite, out);
    }
};

} // namespace

QStringList UpCommand::lines() const
{
    return QStringList { title } + body;
}

UpFile::UpFile(const QString &text)
    : m_text(text)
{
    const Parser parser(m_text);
    qsizetype other = -1;
    qsizetype p = 0;
    auto closeOther = [&](qsizetype end) {
        if (other < 0)
            return;
        UpCommand c;
        if (!parser.parseOpen(other, end, &c)) {
            c = UpCommand();
            c.start = other;
            c.length = end - other;
        }
        m_commands << c;
        other = -1;
    };
    while (p < m_text.size()) {
        UpCommand c;
        if (parser.parseAt(p, &c)) {
            closeOther(p);
            p = c.start + c.length;
            m_commands << c;
            continue;
        }
        if (other < 0)
            other = p;
        ++p;
    }
    closeOther(p);
}

const UpCommand *UpFile::nth(UpCommandKind kind, qint64 board, qint64 n) const
{
    qint64 count = 0;
    for (const UpCommand &c : m_commands) {
        if (c.kind == kind && (kind == UpCommandKind::Mail || c.board == board) && ++count == n)
            return &c;
    }
    return nullptr;
}

const UpCommand *UpFile::write(qint64 board, qint64 n) const
{
    return nth(UpCommandKind::Write, board, n);
}

const UpCommand *UpFile::response(qint64 board, qint64 n) const
{
    return nth(UpCommandKind::Response, board, n);
}

const UpCommand *UpFile::mail(qint64 n) const
{
    return nth(UpCommandKind::Mail, 0, n);
}

const UpCommand *UpFile::chatWrite(qint64 chat) const
{
    return nth(UpCommandKind::ChatWrite, chat, 1);
}

const UpCommand *UpFile::batchMark(qint64 board, qint64 article) const
{
    for (const UpCommand &c : m_commands) {
        if (c.kind == UpCommandKind::BatchMark && c.board == board && text::val(c.reference) == article)
            return &c;
    }
    return nullptr;
}

QString UpFile::without(const UpCommand &command) const
{
    return m_text.left(command.start) + m_text.mid(command.start + command.length);
}

QString UpFile::toText() const
{
    QString out;
    out.reserve(m_text.size());
    for (const UpCommand &c : m_commands)
        out += QStringView(m_text).mid(c.start, c.length);
    return out;
}

} // namespace kavrel
