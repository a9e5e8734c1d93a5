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
        const qsizetype close = findFrom(text, kCloseBracket, pos);
        if (close == 0)
            break;
        // A last line without CR LF runs to the end of the text.
        qsizetype lineEnd = findFrom(text, CRLF, pos);
        if (lineEnd == 0)
            lineEnd = text.size() + 1;
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
        const QString key = boarditem::isChat(item) ? QString() : keys.value(i);
        out += item + key + QLatin1Char(' ') + CRLF;
    }
    return out;
}

QString BoardListFile::read(const QString &path)
{
    QByteArray bytes;
    if (!fileio::readAll(path, &bytes, nullptr, true))
        return {};
    return cp932::decode(bytes);
}

bool BoardListFile::write(const QString &path, const QString &text)
{
    return fileio::writeAtomic(path, cp932::encode(text));
}

void SaveBoardList(Session &session)
{
    if (session.flag(settings::OptionFlags::BoardListFrozen))
        return;
    const QString text = BoardListFile::format(session.main.Board_List.items, session.BoardKeys);
    // A failed write leaves the previous file whole; the open goes on without it.
    BoardListFile::write(session.boardListFilePath(), text);
}

} // namespace kavrel::logindex
