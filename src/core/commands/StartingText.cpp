#include "commands/StartingText.h"

#include "base/Text.h"

namespace kavrel::commands::startingtext {

namespace {

QString finish(QString text, TrailingLineEnd trailing)
{
    if (trailing == TrailingLineEnd::Remove && text.endsWith(CRLF))
        text.chop(2);
    return text;
}

} // namespace

QString plainCopy(const QStringList &lines, TrailingLineEnd trailing)
{
    QString out;
    for (const QString &line : lines)
        out += line + CRLF;
    return finish(out, trailing);
}

QString quote(const QStringList &lines, TrailingLineEnd trailing)
{
    QString out;
    for (const QString &line : lines)
        out += QStringLiteral(">") + line + CRLF;
    return finish(out, trailing);
}

QString quoteWithoutBlanks(const QStringList &lines, TrailingLineEnd trailing)
{
    QString out;
    for (const QString &line : lines) {
        if (!line.isEmpty())
            out += QStringLiteral(">") + line + CRLF;
    }
    return finish(out, trailing);
}

QString chatCopy(const QStringList &lines, TrailingLineEnd trailing)
{
    QString out;
    for (const QString &line : lines)
        out += text::mid(line, 24) + CRLF;
    return finish(out, trailing);
}

QString dropDoubledTrailingLineEnd(const QString &text)
{
    if (text.endsWith(CRLF + CRLF))
        return text.left(text.size() - 2);
    return text;
}

} // namespace kavrel::commands::startingtext
