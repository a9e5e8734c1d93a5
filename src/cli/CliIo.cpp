#include "CliIo.h"

#include <QDir>

#include <cstdio>

namespace kavrel::cli {

void printRecord(const QStringList &fields)
{
    QStringList escaped;
    escaped.reserve(fields.size());
    for (const QString &f : fields) {
        QString e = f;
        e.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
        escaped << e;
    }
    printLine(escaped.join(QLatin1Char('\t')));
}

void printLine(const QString &line)
{
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fputc('\n', stdout);
}

void printError(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stderr);
    std::fputc('\n', stderr);
}

namespace {
QString &startDirectory()
{
    static QString directory;
    return directory;
}
} // namespace

void setStartDirectory(const QString &directory)
{
    startDirectory() = directory;
}

QString startPath(const QString &path)
{
    return startDirectory().isEmpty() ? path : QDir(startDirectory()).absoluteFilePath(path);
}

MsgAnswer CliMessages::show(const QString &text, MsgButtons buttons, MsgIcon, MsgAnswer)
{
    shown << text;
    return closedAnswer(buttons);
}

} // namespace kavrel::cli
