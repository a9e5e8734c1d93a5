#pragma once

#include "export/ExportRows.h"

#include <QByteArray>
#include <QString>

// Exports of a board or a thread in forms that other programs open: plain
// UTF-8 text, one self-contained web page, and an mbox for mail clients.
namespace kavrel::exporter {

enum class Format { Text, Html, Mbox };

// "text", "html" or "mbox".
bool parseFormat(const QString &name, Format *format);

// UTF-8 with LF line ends: each article's lines, a separator line between articles.
QByteArray toText(const ExportSelection &selection);
// One UTF-8 page without external resources: the board's title, the thread
// tree linking to the articles, and each article under its heading.
QByteArray toHtml(const ExportSelection &selection);
// mboxrd, one message per article, threaded by In-Reply-To and References.
QByteArray toMbox(const ExportSelection &selection);

// What the user is told when a board or row has nothing to export.
inline const QString kNothingToExport = QStringLiteral("エクスポートするアーティクルはありません");

// The line between two articles of a text export.
QString textSeparator();

// Pieces of the mbox, for checks.
// The net name as the domain of addresses and message IDs: "<name>.invalid".
QString netDomain(const QString &netName);
// The Message-ID of a row, angle brackets included.
QString messageId(const ExportSelection &selection, const ExportRow &row);
// "Name: value" folded at 78 columns, with the value RFC 2047-encoded
// (UTF-8, base64) when it is not plain ASCII; ends with LF.
QByteArray unstructuredHeader(const QByteArray &name, const QString &value);

// A whole export: the rows of the board (row R, or row R and its thread,
// when row >= 0) in the format. When there is nothing to export the bytes
// are empty and message says why.
struct ExportResult
{
    QByteArray bytes;
    QString message;
    bool ok() const { return message.isEmpty(); }
};
ExportResult exportBoard(const ExportSource &source, int boardItem, int row, bool thread, Format format);

// The same written to path, whole and atomically. Empty when it is written;
// otherwise what to tell the user: why nothing was exported, or the path and
// the reason the file could not be written (the file is then unchanged).
QString exportToFile(
    const ExportSource &source, int boardItem, int row, bool thread, Format format, const QString &path);

// The file name an export of a board item suggests:
// "<net>-<board number>-<board name>.<txt|html|mbox>", with the characters
// that no file name may hold turned into "_".
QString suggestedFileName(const ExportSource &source, int boardItem, Format format);

} // namespace kavrel::exporter
