#pragma once

#include "export/ExportRows.h"
#include "fulltext/Archive.h"

#include <QString>
#include <QVector>

namespace kavrel::fulltext {

class FullTextIndex;

// What an export of a board's archive holds: its rows in thread order, each
// with the shown capture's lines from the index. Rows without a number of
// digits (mails, garbled numbers) also get where their lines begin in their
// log, read from logDir, so that their Message-IDs are those an export of
// that log gives. The board is named as in its newest capture. False with
// error set when the index or a log cannot be read.
bool archiveSelection(FullTextIndex &index, const QString &logDir, const QString &netName, int boardNo,
    const QVector<ArchiveRow> &rows, exporter::ExportSelection *out, QString *error);

} // namespace kavrel::fulltext
