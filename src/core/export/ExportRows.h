#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include "logindex/ParsedLog.h"
#include "settings/NetMarkers.h"

#include <memory>

namespace kavrel::exporter {

// One row of a board's title list, as an export takes it: what the title
// list shows of it and the lines the article view shows for it.
struct ExportRow
{
    enum class Kind { Article, Mail, Chat, Garbled };

    Kind kind = Kind::Article;
    QString number; // the text between the brackets of the number column: "1201", "mail ", "????", "XCHAT"
    QString senderId; // from the information column: the ID before its first ":"
    QString senderName; // and the name after it
    QDate date; // from the article's first lines; invalid when they hold none
    QTime time;
    QString title; // the title column without a serial net's blanks and number
    int parent = -1; // index in ExportSelection::rows of the row answered, -1 for none
    QStringList lines; // the article view's lines
    qsizetype logPosition = 0; // where the first shown line begins in the log text (1-based), 0 unknown
    bool exported = true; // false for the ancestors of an exported thread, kept for its threading
};

// What one export covers: the board and its rows in the title list's order.
struct ExportSelection
{
    QString netName;
    QString boardItem; // the board list's item, e.g. "No.3 ｢パソコン通信の話題｣"
    int boardNumber = 0;
    bool chatRoom = false;
    QList<ExportRow> rows;

    int exportedCount() const;
};

// What an export reads: a net's open log, its board list and the commands
// that wait in its up file.
struct ExportSource
{
    QString netName;
    std::shared_ptr<const logindex::ParsedLog> log;
    QStringList boardItems; // as the board list shows them
    QStringList boardKeys; // by item, as the open log pairs them
    QString upFileText;
    settings::NetMarkers markers;
    bool serialNet = false;
};

// The rows to export of board item boardItem of the log: the whole title
// list, or only row (an index into the title list as shown), or that row
// and its sub-thread. Rows of commands waiting in the up file are left out;
// the ancestors of an exported thread come first, not exported. Each row's
// lines are those the article view shows when the row is chosen outside any
// search.
ExportSelection collectExportRows(
    const ExportSource &source, int boardItem, int row = -1, bool thread = false);

} // namespace kavrel::exporter
