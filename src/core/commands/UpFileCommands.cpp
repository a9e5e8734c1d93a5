#include "commands/UpFileCommands.h"

#include "base/Text.h"

namespace kavrel::commands::upfile {

using namespace kavrel::text;

namespace {

const QString kBackslash = QStringLiteral("\\");

// A write or response ends with its closing "." line and "yQ"; a mail with
// the "." line and "y". The "." line is part of the marker so that a text
// line beginning with "y" never ends the command early.
const QString kWriteEnd = QStringLiteral("\r\n.\r\nyQ");
const QString kMailEnd = QStringLiteral("\r\n.\r\ny");
const QString kChatEnd = QStringLiteral("\r\n.\r\n");

Span spanTo(const QString &up, qsizetype start, const QString &endMarker)
{
    Span span;
    const qsizetype end = findFrom(up, endMarker, start);
    if (end == 0)
        return span; // a command without its end is left alone
    span.start = start;
    span.length = end + endMarker.size() - start;
    return span;
}

// Walks the board lines "\" + b + CR LF of one board; for each, decides
// whether it starts the kind wanted.
template <typename IsKind> Span findBoardCommand(const QString &up, qint64 board, qint64 n, IsKind isKind)
{
    const QString boardLine = kBackslash + numberWithBlank(board) + CRLF;
    qint64 count = 0;
    qsizetype p = 1;
    for (;;) {
        const qsizetype at = findFrom(up, boardLine, p);
        if (at == 0)
            return {};
        QString reference;
        if (isKind(at + boardLine.size(), &reference)) {
            ++count;
            if (count == n) {
                Span span = spanTo(up, at, kWriteEnd);
                span.reference = reference;
                return span;
            }
        }
        p = at + boardLine.size();
    }
}

} // namespace

QString writeCommand(qint64 board, const QString &text, const QString &sig)
{
    return kBackslash + numberWithBlank(board) + CRLF + QStringLiteral("W") + text + CRLF + sig
        + QStringLiteral(".") + CRLF + QStringLiteral("yQ");
}

QString responseCommand(qint64 board, const QString &ref, const QString &text, const QString &sig)
{
    return kBackslash + numberWithBlank(board) + CRLF + ref + CRLF + QStringLiteral("P") + text + CRLF + sig
        + QStringLiteral(".") + CRLF + QStringLiteral("yQ");
}

QString recipientText(const QString &entry)
{
    const QString id = entry.trimmed();
    bool digits = !id.isEmpty();
    for (const QChar c : id)
        digits = digits && c >= u'0' && c <= u'9';
    if (digits || id.isEmpty())
        return numberWithBlank(val(entry));
    return u' ' + id;
}

QString mailCommand(const QStringList &recipients, const QString &text, const QString &sig)
{
    QString out = QStringLiteral("mw") + CRLF;
    for (const QString &r : recipients)
        out += recipientText(r) + CRLF + CRLF;
    out += CRLF + text + CRLF + sig + QStringLiteral(".") + CRLF + QStringLiteral("y");
    return out;
}

QString chatCommand(qint64 chat, const QString &text)
{
    QString lines = text;
    const QString doubled = CRLF + CRLF;
    while (lines.contains(doubled))
        lines.replace(doubled, CRLF);
    // A last line end would leave an empty line before the closing ".".
    while (lines.endsWith(CRLF))
        lines.chop(CRLF.size());
    return QStringLiteral("X") + QString::number(chat) + CRLF + lines + CRLF + QStringLiteral(".") + CRLF;
}

QString batchCommand(qint64 board, qint64 article)
{
    return kBackslash + numberWithBlank(board) + CRLF + numberWithBlank(article) + CRLF
        + QStringLiteral("SQ");
}

QStringList recipientEntries(const QString &recipients)
{
    QStringList out;
    qsizetype p = 1;
    for (;;) {
        const qsizetype e = findFrom(recipients, CRLF, p);
        const QString entry = e == 0 ? mid(recipients, p) : mid(recipients, p, e - p);
        if (entry.isEmpty())
            break;
        out << entry;
        if (e == 0)
            break;
        p = e + 2;
    }
    return out;
}

Span findWrite(const QString &up, qint64 board, qint64 n)
{
    return findBoardCommand(
        up, board, n, [&](qsizetype next, QString *) { return charAt(up, next) == u'W'; });
}

Span findResponse(const QString &up, qint64 board, qint64 n)
{
    return findBoardCommand(up, board, n, [&](qsizetype next, QString *reference) {
        const qsizetype refEnd = findFrom(up, CRLF, next);
        if (refEnd == 0 || charAt(up, refEnd + 2) != u'P')
            return false;
        *reference = mid(up, next, refEnd - next);
        return true;
    });
}

Span findMail(const QString &up, qint64 n)
{
    // Mails are counted by their "mw" line, as the title list numbers them.
    const QString start = QStringLiteral("mw") + CRLF;
    qint64 count = 0;
    qsizetype p = 1;
    for (;;) {
        const qsizetype at = findFrom(up, start, p);
        if (at == 0)
            return {};
        if (++count == n)
            return spanTo(up, at, kMailEnd);
        p = at + start.size();
    }
}

Span findChat(const QString &up, qint64 chat)
{
    const qsizetype at = findFrom(up, QStringLiteral("X") + QString::number(chat) + CRLF);
    if (at == 0)
        return {};
    return spanTo(up, at, kChatEnd);
}

QString cut(const QString &up, const Span &span)
{
    if (!span.found())
        return up;
    return left(up, span.start - 1) + mid(up, span.start + span.length);
}

} // namespace kavrel::commands::upfile
