#pragma once

#include "logindex/BoardListFile.h"
#include "settings/NetMarkers.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace kavrel {
class Session;
}

namespace kavrel::logindex {

// Turns the open log into the board list: the boards remembered in the net's
// board list file merged with the boards entered in this log, sorted by
// number, followed by the chat rooms. Fills Board_List and BoardKeys, selects
// the first board and rewrites the board list file.
class LogScanner
{
public:
    explicit LogScanner(Session &session);

    void run(const std::function<void()> &beforeFirstBoard = {});
    // The board list of this log alone, its boards and then its chat rooms:
    // no board list file is read or written, and no board is selected.
    void scanLogAlone();

    // The candidates as they stand after each step, for tests.
    const QStringList &entries() const { return m_entries; }
    const QStringList &keys() const { return m_keys; }
    // Whether each candidate came from the log (parallel to entries()).
    const QVector<bool> &fromLog() const { return m_fromLog; }

    // Steps of a scan, in the order run() takes them.
    void readBoardListFile();
    void collectBoardsOfLog();
    void sortByBoardNumber();
    void removeIncompleteAndRepeated();
    void fillBoards();
    void addRememberedChatRooms();
    void addChatRoomsOfLog();
    void sortChatRooms();
    void finish();

private:
    // The key of a read board; h2 is the first article header after its board line.
    QString keyOfBoard(const QString &entry, qsizetype h2);

    Session &m_session;
    QStringList m_entries; // candidate board lines; an empty one is removed
    QStringList m_keys; // parallel to m_entries
    QVector<bool> m_fromLog; // parallel to m_entries
    bool m_frozen = false;
    // The board list file exists and could not be read: it is left alone.
    bool m_listUnreadable = false;
    // The lines of the board list file as read, written back with their bytes.
    BoardListFile::LineBytes m_readLines;

    // The header after the last board line whose key was taken, and that key:
    // boards entered one after another without articles share the next header.
    qsizetype m_lastKeyHeader = -1;
    QString m_lastKey;
};

// The order in which the board scan's exchange sort leaves candidates of the
// given board numbers (all of them taking part): for each position of the
// result, the index of the candidate that ends there. Candidates of different
// numbers end in ascending order; those of one number end in the order the
// exchange sort's swaps give them. O(n log n).
QVector<qsizetype> exchangeSortOrder(const QVector<qint64> &numbers);

// The scan of the open log (see LogScanner); beforeFirstBoard, when given, is
// called when the boards are listed, before the first one is shown.
void ScanLog(Session &session, const std::function<void()> &beforeFirstBoard = {});

// The board list of a log alone (see LogScanner::scanLogAlone), read with a
// net's markers: the items, and the keys by item as the open log pairs them.
struct LogAloneBoards
{
    QStringList items;
    QStringList keys;
};
LogAloneBoards boardsOfLogAlone(const QString &text, const settings::NetMarkers &markers, int serialFlag);

} // namespace kavrel::logindex
