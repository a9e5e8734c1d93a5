#include "logindex/IdList.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"

#include <QHash>
#include <QVector>

namespace kavrel::logindex {

using text::findFrom;
using text::left;
using text::mid;

namespace {

struct Line
{
    QString text; // without its CR LF
    bool crLf; // ended by CR LF
    bool alive;
};

// The text of a line up to and including its first ":"; empty when it has none.
QString keyOf(const QString &line)
{
    const qsizetype colon = line.indexOf(u':');
    return colon < 0 ? QString() : line.left(colon + 1);
}

} // namespace

QString IdList::update(const QString &listText, const QString &logText)
{
    QVector<Line> lines;
    QHash<QString, QVector<qsizetype>> linesOfKey; // indexes of the live lines beginning with a key

    auto addLine = [&](const QString &text, bool crLf) {
        const QString key = keyOf(text);
        if (!key.isEmpty())
            linesOfKey[key].append(lines.size());
        lines.append({ text, crLf, true });
    };

    qsizetype pos = 1;
    while (pos <= listText.size()) {
        const qsizetype end = findFrom(listText, CRLF, pos);
        if (end == 0) {
            addLine(mid(listText, pos), false);
            break;
        }
        addLine(mid(listText, pos, end - pos), true);
        pos = end + 2;
    }

    const QString bytesToken = QStringLiteral("bytes ");
    qsizetype p = 1;
    for (;;) {
        const qsizetype found = findFrom(logText, bytesToken, p);
        if (found == 0)
            break;
        const qsizetype q = found + bytesToken.size();
        const qsizetype e = findFrom(logText, CRLF, q);
        if (e == 0)
            break;
        p = e;
        const QString idLine = mid(logText, q - 1, e - q);
        const QString key = keyOf(idLine);
        if (key.isEmpty() || idLine.contains(QChar(u'\0')))
            continue;
        const auto earlier = linesOfKey.take(key);
        for (const qsizetype index : earlier)
            lines[index].alive = false;
        addLine(idLine, true);
    }

    QString out;
    out.reserve(listText.size());
    qsizetype lastAlive = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).alive)
            lastAlive = i;
    }
    for (qsizetype i = 0; i <= lastAlive; ++i) {
        const Line &line = lines.at(i);
        if (!line.alive)
            continue;
        out += line.text;
        // A last line that the file left unfinished is ended once a line follows it.
        if (line.crLf || (i < lastAlive && !line.text.endsWith(u'\n')))
            out += CRLF;
    }
    return out;
}

QString IdList::read(const QString &path)
{
    QString text;
    read(path, &text, nullptr);
    return text;
}

bool IdList::read(const QString &path, QString *text, fileio::FileError *error)
{
    text->clear();
    QByteArray bytes;
    if (!fileio::readAll(path, &bytes, error, true))
        return false;
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    *text = cp932::decode(bytes);
    return true;
}

} // namespace kavrel::logindex
