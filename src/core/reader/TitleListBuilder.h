#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "base/BoardItem.h"
#include "logindex/ParsedLog.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kavrel {
class Session;
}

namespace kavrel::reader {

class LogMarkerIndex;

// Builds the title list of the selected board: walks the log from article
// header to article header, threads responses under the article they answer,
// adds the chat rows of a chat room and the rows of the commands that wait in
// the up file, and writes the empty-board messages into the article view.
//
// The walk stays linear in the log and the rows: the read-end message is
// searched only forward, duplicates are looked up in a set, and the threads
// are kept as a tree that is laid out into the four columns once at the end.
class TitleListBuilder
{
public:
    // With the reader's marker index, the chat rows come from the chats it
    // finds once per log and room.
    explicit TitleListBuilder(Session &session, LogMarkerIndex *index = nullptr)
        : m_s(session)
        , m_index(index)
    {
    }

    // Rebuilds BatchSet, Title, InfoColumn and SubjectColumn (Article is left as the
    // caller left it, apart from the empty-board messages). Returns the row
    // of a command just written that the build selects, or -1; the caller
    // selects it once the build is complete.
    int build();

    // The text between the first "[" of a Title item and the "]" after it.
    static QString bracketText(const QString &item);
    // The position (1-based) of the first "[" of a Title item, 0 when none.
    static qsizetype bracketPos(const QString &item);
    // Where the info text (sender ID and name) of an article block starts,
    // 1-based: after the first size token, "bytes ", "-only " or an earlier
    // "KB ". 0 when the block has none.
    static qsizetype infoStart(QStringView block);

private:
    // Texts (pieces of the log) to row ids, for one build: open addressing
    // over slots of eight bytes that keep part of each key's hash, so that a
    // lookup among 100,000 numbers touches one or two slots of a small table
    // and compares a text only where the hash agrees.
    class RowIndex
    {
    public:
        void clear();
        void reserve(size_t n);
        // The id of key, or -1.
        int find(QStringView key) const;
        // The id of key, with id stored first when key is new; inserted says which.
        int &tryEmplace(QStringView key, int id, bool &inserted);

    private:
        struct Slot
        {
            quint32 tag = 0; // the high half of the key's hash
            qint32 entry = -1; // -1: empty
        };
        struct Entry
        {
            QStringView key;
            int id = -1;
        };
        static size_t hashOf(QStringView key);
        size_t slotOf(QStringView key, size_t hash) const;
        void grow();

        std::vector<Slot> m_slots;
        std::vector<Entry> m_entries;
    };

    // A row as the walk finds it: pieces of the log (or fixed texts) and
    // links, no text of its own; the columns get the pieces as they are.
    struct Node
    {
        QStringView number; // between the row's brackets
        QStringView info;
        QStringView title;
        qint64 serial = 0; // in serial mode, after the title's blanks
        int blanks = 0; // after the title: a serial net's 100 or 200, else none
        int depth = 0; // the indent, in blanks
        int parent = -1;
        // An ancestor further up (the node itself for a root), chosen so that
        // any ancestor is reached in a logarithmic number of steps.
        int jump = -1;
        int firstChild = -1;
        int lastChild = -1;
        int next = -1; // the next sibling
    };

    void walkLog();
    void parseArticleBlock(QStringView block);
    void addTitleRow(QStringView block);
    bool isDuplicate(QStringView number) const;
    int addNode(int parent, int blanks);
    int findParent(QStringView parentText) const;
    bool precedes(int a, int b) const;
    int ancestorAt(int n, int depth) const;
    void layOut();

    void addChatRows();
    void markWrittenRows();
    void addMessages();

    void appendRow(const QString &number, const QString &info, const QString &title);
    void insertRow(int index, const QString &number, const QString &info, const QString &title);
    void requestSelect(int row) { m_select = row; }

    Session &m_s;
    // The chosen board, read from its item once per build: a search builds
    // the list of every board in turn.
    BoardItem m_board;
    LogMarkerIndex *m_index = nullptr;

    // Work fields of the row being parsed: pieces of the log, or fixed texts.
    QStringView RowNumber; // between the brackets
    QStringView RowInfo;
    QStringView RowTitle;
    qint64 SerialNo = 0;

    std::vector<Node> m_nodes;
    std::vector<int> m_roots;
    // Bracket text -> the node with it that comes first in the list. Nodes
    // added later never change the order of earlier ones, so it is kept up
    // to date with one comparison per node. The keys point into the log (or
    // the fixed numbers of mails and unreadable rows). A row without stray
    // brackets is a duplicate when its number is a key here or one of the odd
    // parts below.
    RowIndex m_byBracket;
    // Of rows whose number holds "[" or "]": every part that runs from one of
    // their "[" to a later "]", so that "does a row contain [n]" is one lookup.
    std::unordered_set<QString, logindex::ViewHash> m_oddParts;

    int m_select = -1;
};

} // namespace kavrel::reader
