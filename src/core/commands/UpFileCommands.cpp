#include "commands/UpFileCommands.h"

#include "base/Text.h"
#include "session/UpFile.h"

namespace kavrel::commands::upfile {

using namespace kavrel::text;

namespace {

const QString kBackslash = QStringLiteral("\\");

Span spanOf(const UpCommand *command)
{
    Span span;
    if (command == nullptr || !command->complete)
        return span; // a command without its end is left alone
    span.start = command->start + 1;
    span.length = command->length;
    span.reference = command->reference;
    return span;
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
    return spanOf(UpFile(up).write(board, n));
}

Span findResponse(const QString &up, qint64 board, qint64 n)
{
    return spanOf(UpFile(up).response(board, n));
}

Span findMail(const QString &up, qint64 n)
{
    return spanOf(UpFile(up).mail(n));
}

Span findChat(const QString &up, qint64 chat)
{
    return spanOf(UpFile(up).chatWrite(chat));
}

QString cut(const QString &up, const Span &span)
{
    if (!span.found())
        return up;
    return left(up, span.start - 1) + mid(up, span.start + span.length);
}

} // namespace kavrel::commands::upfile
