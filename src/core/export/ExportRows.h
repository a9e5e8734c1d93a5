#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

namespace kavrel {
class Session;
}

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

// The rows to export of board item boardItem of the open log: the whole
// title list, or only row (an index into the title list as shown), or that
// row and its sub-thread. Rows of commands waiting in the up file are left
// out; the ancestors of an exported thread come first, not exported. The
// session is not changed: the board is read on a copy of it.
ExportSelection collectExportRows(const Session &session, int boardItem, int row = -1, bool thread = false);

} // namespace kavrel::exporter
