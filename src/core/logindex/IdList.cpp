#include "logindex/IdList.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"

#include "logindex/ParsedLog.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace kavrel::logindex {

namespace {

struct Line
{
    QStringView text; // without its CR LF
    bool crLf; // ended by CR LF
};

// The text of a line up to and including its first ":"; empty when it has none.
QStringView keyOf(QStringView line)
{
    const qsizetype colon = line.indexOf(u':');
    return colon < 0 ? QStringView() : line.left(colon + 1);
}

} // namespace

QString IdList::update(const QString &listText, const QString &logText)
{
    // A line stays when no ID line of the log with its key comes after it: the
    // list's lines first, then the log's ID lines, each kept only where it is
    // the last of its key. One pass over each text, lines as views.
    std::vector<Line> lines;
    qsizetype pos = 0;
    while (pos < listText.size()) {
        const qsizetype end = listText.indexOf(CRLF, pos);
        if (end < 0) {
            lines.push_back({ QStringView(listText).mid(pos), false });
            break;
        }
        lines.push_back({ QStringView(listText).mid(pos, end - pos), true });
        pos = end + 2;
    }

    // Keys are numbered as they are met; each key keeps only its last ID line
    // of the log, so each ID line is hashed once and no list of all of them
    // is kept.
    struct Last
    {
        qsizetype order; // among the log's ID lines
        QStringView text;
    };
    std::unordered_map<QStringView, size_t, ViewHash> keyIds;
    std::vector<Last> lastOfKey; // key number -> its last ID line
    const QString bytesToken = QStringLiteral("bytes ");
    qsizetype order = 0;
    qsizetype p = 0;
    for (;;) {
        const qsizetype found = text::indexOfMarker(logText, bytesToken, p);
        if (found < 0)
            break;
        const qsizetype q = found + bytesToken.size(); // 0-based, just after "bytes "
        const qsizetype e = text::indexOfMarker(logText, CRLF, q);
        if (e < 0)
            break;
        p = e;
        // From the blank of "bytes " to one character before the line's CR.
        const QStringView idLine = QStringView(logText).mid(q - 1, e - q);
        const QStringView key = keyOf(idLine);
        if (key.isEmpty() || idLine.contains(QChar(u'\0')))
            continue;
        const auto [id, added] = keyIds.try_emplace(key, lastOfKey.size());
        if (added)
            lastOfKey.push_back({});
        lastOfKey[id->second] = { order++, idLine };
    }

    // The list's lines whose key no ID line of the log has, then the log's
    // last ID line of each key, in log order.
    std::vector<Line> kept;
    kept.reserve(lines.size() + lastOfKey.size());
    for (const Line &line : lines) {
        const QStringView key = keyOf(line.text);
        if (key.isEmpty() || keyIds.find(key) == keyIds.end())
            kept.push_back(line);
    }
    std::sort(
        lastOfKey.begin(), lastOfKey.end(), [](const Last &a, const Last &b) { return a.order < b.order; });
    for (const Last &last : lastOfKey)
        kept.push_back({ last.text, true });
    lines = std::move(kept);

    QString out;
    out.reserve(listText.size());
    const qsizetype lastAlive = qsizetype(lines.size()) - 1;
    for (qsizetype i = 0; i <= lastAlive; ++i) {
        const Line &line = lines[size_t(i)];
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
