#pragma once

#include "base/BoardItem.h"
#include "logindex/ParsedLog.h"
#include "session/UpFile.h"
#include "settings/NetMarkers.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace kavrel::reader {

// One row of a board's title list, as a value: what the four columns show of
// it, and where its article lies. The texts are pieces of the log, fixed
// texts, or texts the list keeps (a waiting command's); they stay valid as
// long as a copy of the list they came from lives.
struct TitleRow
{
    enum class Kind { Article, Mail, Chat, Mark };

    Kind kind = Kind::Article;
    QStringView number; // between the brackets: "1001", "mail ", "????", "XCHAT", "書込 1"
    int depth = 0; // how deep in its thread: the number column's indent in blanks
    QStringView info;
    QStringView title;
    // A serial net's article number, shown after the title and the given
    // blanks (100 for an article that starts a thread, 200 for a response).
    std::optional<qint64> serial;
    int blanks = 0;
    bool batchMarked = false; // a batch mark waits for it: the batch column shows "S"
    // Where its text lies in the log (1-based): an article's or mail's key
    // line, a chat-room visit's first chat line; 0 for a mark row.
    qsizetype logPosition = 0;
    // A mark row's command and its number among the board's commands of
    // that kind (the n of "[レス n]"; 0 for a chat write's "[書込]").
    UpCommandKind command = UpCommandKind::Other;
    int ordinal = 0;

    // "[" number "]": what the number column shows after the indent.
    QString bracketed() const;
    // What the title column shows: the title, and a serial net's blanks and number.
    QString shownTitle() const;
};

// A board's title list: its rows in the order the list shows them.
class TitleList
{
public:
    std::vector<TitleRow> rows;

    int size() const { return int(rows.size()); }
    bool isEmpty() const { return rows.empty(); }
    // The log text the rows' pieces point into.
    const QString &source() const { return m_source; }
    // The title without the blanks and serial number that serial nets add.
    QString plainTitle(int row, bool serialNet) const;
    // The row of the newest mark row of a command kind (a chat write counts as
    // a write), or -1: the row that a command just written selects.
    int newestMark(UpCommandKind kind) const;

private:
    friend class TitleListMaker;
    QString m_source;
    QStringList m_texts; // the texts of mark rows
};

// What a title list is made of: the parsed log, the chosen board with its key
// (the start of its article lines), the up file's commands and the net's markers.
struct TitleListInput
{
    const logindex::ParsedLog &log;
    BoardItem board;
    QString boardKey;
    const UpFile &up;
    const settings::NetMarkers &markers;
    bool serialNet = false;
    // Where the visits of a chat room start, found from the start of the log
    // (LogMarkerIndex::chatStarts(key, 1)); walked here when null.
    const std::vector<qsizetype> *chatStarts = nullptr;
};

// The title list of a board: the log walked from article header to article
// header, an article captured twice listed once, responses threaded under
// the article they answer, the visits of a chat room, and the rows of the
// commands that wait in the up file. Linear in the log and the rows: the
// threads are kept as a tree and laid out once, duplicates and parents are
// looked up in a table.
TitleList titleListOf(const TitleListInput &input);

// The chat visits of a room: from position from on, each place of the room's
// key followed by four line ends and a line that starts with "[". The key is
// what follows "[XCHAT] No" in the room's item.
std::vector<qsizetype> chatVisitStarts(const QString &log, const QString &roomKey, qsizetype from);
// A chat room's key in its board list item.
QString chatRoomKey(const QString &boardItemText);

// The text between the first "[" of a title item and the "]" after it.
QString bracketText(const QString &item);
// The position (1-based) of the first "[" of a title item, 0 when none.
qsizetype bracketPos(const QString &item);
// Where the info text (sender ID and name) of an article block starts,
// 1-based: after the first size token, "bytes ", "-only " or an earlier
// "KB ". 0 when the block has none.
qsizetype infoStart(QStringView block);

} // namespace kavrel::reader
