#include "logindex/BoardListFile.h"

#include "base/BoardItemText.h"
#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "session/Session.h"

namespace kavrel::logindex {

using text::findFrom;
using text::mid;

namespace {
const QString kCloseBracket = QStringLiteral("｣");
} // namespace

QVector<BoardListFile::Entry> BoardListFile::parse(const QString &text)
{
    QVector<Entry> entries;
    qsizetype pos = 1;
    while (pos <= text.size()) {
        // A last line without CR LF runs to the end of the text.
        qsizetype lineEnd = findFrom(text, CRLF, pos);
        if (lineEnd == 0)
            lineEnd = text.size() + 1;
        if (QStringView(text).mid(pos - 1).startsWith(boarditem::kChatPrefix)) {
            QString room = mid(text, pos, lineEnd - pos);
            if (room.endsWith(u' '))
                room.chop(1);
            entries.append({ room, QString() });
            pos = lineEnd + 2;
            continue;
        }
        const qsizetype close = findFrom(text, kCloseBracket, pos);
        if (close == 0)
            break;
        if (close > lineEnd) {
            // This line has no "｣": it is no entry, and must not swallow the next line.
            pos = lineEnd + 2;
            continue;
        }
        qsizetype keyEnd = findFrom(text, QChar(u' '), close);
        if (keyEnd == 0 || keyEnd > lineEnd)
            keyEnd = lineEnd;
        entries.append({ mid(text, pos, close - pos + 1), mid(text, close + 1, keyEnd - close - 1) });
        pos = lineEnd + 2;
    }
    return entries;
}

QString BoardListFile::format(const QStringList &items, const QStringList &keys)
{
    QString out;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString &item = items.at(i);
        const bool chat = item.startsWith(boarditem::kChatPrefix);
        // A board line cut before its "｣" would come back as another line or not at all.
        if (!chat && !item.contains(kCloseBracket))
            continue;
        const QString key = chat ? QString() : keys.value(i);
        out += item + key + QLatin1Char(' ') + CRLF;
    }
    return out;
}

bool BoardListFile::read(const QString &path, QString *text, LineBytes *lines, fileio::FileError *error)
{
    QByteArray bytes;
    const bool ok = fileio::readAll(path, &bytes, error, true);
    *text = cp932::decode(bytes);
    if (lines) {
        // CR and LF are never the second byte of a character: the file's
        // lines decode one by one to the lines of the decoded text.
        const QByteArray lineEnd = CRLF.toLatin1();
        for (qsizetype from = 0; from <= bytes.size();) {
            qsizetype end = bytes.indexOf(lineEnd, from);
            if (end < 0)
                end = bytes.size();
            const QByteArray line = bytes.mid(from, end - from);
            const QString decoded = cp932::decode(line);
            if (!lines->contains(decoded))
                lines->insert(decoded, line);
            from = end + lineEnd.size();
        }
    }
    return ok;
}

QByteArray BoardListFile::encode(const QString &text, const LineBytes &lines)
{
    const QByteArray lineEnd = CRLF.toLatin1();
    QByteArray out;
    bool first = true;
    for (const QStringView line : QStringView(text).tokenize(CRLF)) {
        if (!first)
            out += lineEnd;
        first = false;
        const auto kept = lines.constFind(line.toString());
        out += kept != lines.constEnd() ? *kept : cp932::encode(line.toString());
    }
    return out;
}

bool BoardListFile::write(
    const QString &path, const QString &text, const LineBytes &lines, fileio::FileError *error)
{
    return fileio::writeAtomic(path, encode(text, lines), error);
}

void SaveBoardList(Session &session, const BoardListFile::LineBytes &readLines)
{
    if (session.flag(settings::OptionFlags::BoardListFrozen))
        return;
    const QString text = BoardListFile::format(session.main.Board_List.items, session.log.BoardKeys);
    // A failed write leaves the previous file whole; the open goes on without it.
    fileio::FileError error;
    if (!BoardListFile::write(session.boardListFilePath(), text, readLines, &error))
        session.reportFileError(fileio::FileAccess::Write, error);
}

} // namespace kavrel::logindex
