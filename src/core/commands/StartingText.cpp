#include "commands/StartingText.h"

#include "base/Text.h"

namespace kavrel::commands::startingtext {

namespace {

const QString kCrlf = QStringLiteral("\r\n");

QString finish(QString text, TrailingLineEnd trailing)
{
    if (trailing == TrailingLineEnd::Remove && text.endsWith(kCrlf))
        text.chop(2);
    return text;
}

} // namespace

QString plainCopy(const QStringList &lines, TrailingLineEnd trailing)
{
    QString out;
    for (const QString &line : lines)
        out += line + kCrlf;
    return finish(out, trailing);
}

QString quote(const QStringList &lines, TrailingLineEnd trailing)
{
    QString out;
    for (const QString &line : lines)
        out += QStringLiteral(">") + line + kCrlf;
    return finish(out, trailing);
}

QString quoteWithoutBlanks(const QStringList &lines, TrailingLineEnd trailing)
{
    QString out;
    for (const QString &line : lines) {
        if (!line.isEmpty())
            out += QStringLiteral(">") + line + kCrlf;
    }
    return finish(out, trailing);
}

QString chatCopy(const QStringList &lines, TrailingLineEnd trailing)
{
    QString out;
    for (const QString &line : lines)
        out += text::mid(line, 24) + kCrlf;
    return finish(out, trailing);
}

QString dropDoubledTrailingLineEnd(const QString &text)
{
    if (text.endsWith(kCrlf + kCrlf))
        return text.left(text.size() - 2);
    return text;
}

} // namespace kavrel::commands::startingtext
