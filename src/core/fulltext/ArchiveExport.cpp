#include "fulltext/ArchiveExport.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "fulltext/FullTextIndex.h"
#include "logindex/LogFiles.h"

#include <QDateTime>
#include <QHash>

#include <algorithm>
#include <vector>

namespace kavrel::fulltext {

namespace {

bool allDigits(const QString &number)
{
    return !number.isEmpty()
        && std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

bool archiveSelection(FullTextIndex &index, const QString &logDir, const QString &netName, int boardNo,
    const QVector<ArchiveRow> &rows, exporter::ExportSelection *out, QString *error)
{
    using exporter::ExportRow;
    *out = exporter::ExportSelection();
    out->netName = netName;
    out->boardNumber = boardNo;

    // The board's name in the newest log that shows one of its rows.
    QStringList logs;
    for (const ArchiveRow &row : rows)
        logs << row.article.shown.logFile;
    logs.removeDuplicates();
    logs = logindex::logFilesAmong(logs, QStringLiteral("*.*"));
    QString boardName;
    for (const ArchiveRow &row : rows) {
        if (!logs.isEmpty() && row.article.shown.logFile == logs.last()) {
            boardName = row.article.shown.boardName;
            break;
        }
    }
    out->boardItem = QStringLiteral("No.%1 ｢%2｣").arg(boardNo).arg(boardName);

    QHash<QString, QString> logTexts; // only of logs that hold a row without a number
    std::vector<int> lastAtDepth; // the latest row of each depth, for parents
    for (const ArchiveRow &row : rows) {
        const IndexedCapture &c = row.article.shown;
        ExportRow e;
        const QString number = c.number.trimmed();
        e.kind = boardNo == 0   ? ExportRow::Kind::Mail
            : number == u"????" ? ExportRow::Kind::Garbled
                                : ExportRow::Kind::Article;
        e.number = boardNo == 0 ? QStringLiteral("mail ") : c.number;
        e.senderId = c.senderId;
        e.senderName = c.senderName;
        const QDateTime when = QDateTime::fromString(c.dateTime, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        e.date = when.date();
        e.time = when.time();
        e.title = c.title;
        lastAtDepth.resize(size_t(row.depth) + 1);
        lastAtDepth[size_t(row.depth)] = int(out->rows.size());
        e.parent = row.depth == 0 ? -1 : lastAtDepth[size_t(row.depth - 1)];
        if (!index.linesOf(c.id, &e.lines)) {
            *error = index.errorText();
            return false;
        }
        if (e.kind != ExportRow::Kind::Article || !allDigits(number)) {
            auto text = logTexts.constFind(c.logFile);
            if (text == logTexts.cend()) {
                QByteArray bytes;
                fileio::FileError failure;
                if (!fileio::readAll(fileio::joinPath(logDir, c.logFile), &bytes, &failure)) {
                    *error = failure.toString();
                    return false;
                }
                text = logTexts.insert(c.logFile, cp932::decode(bytes));
            }
            // The first line is the last copy of it before the row's end.
            const QString first = e.lines.value(0) + QStringLiteral("\r\n");
            const qsizetype from = qMin<qsizetype>(c.end - 1, text->size()) - first.size();
            const qsizetype at = from < 0 ? -1 : text->lastIndexOf(first, from);
            e.logPosition = at < 0 ? 0 : at + 1;
        }
        out->rows.append(e);
    }
    return true;
}

} // namespace kavrel::fulltext
