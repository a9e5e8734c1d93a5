#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace kavrel {
class Session;
}

namespace kavrel::logindex {

// A plain hash of texts, the same in every run: the per-line and per-article
// tables of a log are looked up millions of times, and Qt's randomised string
// hash costs many times more than the lookup itself.
struct ViewHash
{
    size_t operator()(QStringView v) const noexcept;
};

// A hash of an article number for open addressing with linear probing.
// Numbers come in runs: eight that differ only in their last three bits get
// neighbouring slots (bits 0 to 2 of the hash) and tags (bits 32 to 34), so a
// walk over a board misses the cache once per eight rows, not per row. The
// rest comes from the other bits of the number, its length ("0123" and "123"
// stay apart) and salt; text that is no number of up to 18 digits is hashed
// as a whole.
size_t numberHash(QStringView number, quint64 salt = 0) noexcept;

// The article blocks of a log, found in one walk from article header to
// article header, and the lines that start its articles, found in one pass
// for every board at once. Immutable once built; the title lists, the article
// view, the searches and the unread search read it instead of walking the log
// again for every board.
//
// A block is what the title list takes as one article: from the line after
// its header line up to the next header or read-end message, whichever comes
// first. Empty lines that a host prints between the header line and the key
// line are not part of it. Positions are 1-based, as everywhere in the reader.
class ParsedLog
{
public:
    struct Block
    {
        qsizetype start = 0; // the key line: the first line after the header line that is not empty
        qsizetype end = 0; // the next header or read-end message: the block ends before it
        qint64 serial = 0; // in serial mode, the number after the header marker
        int key = -1; // index into keys()
    };

    // Walks text with the given markers (the same text, markers and serial
    // flag always give the same model).
    ParsedLog(const QString &text, const QString &articleHeader, const QString &readEnd, bool serial);

    // Tells how far the walk is: characters of the text done, of all.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    // The same walk, telling progress about every two million characters
    // (and once at the start); nullptr when progress answers false.
    static std::shared_ptr<const ParsedLog> build(const QString &text, const QString &articleHeader,
        const QString &readEnd, bool serial, const Progress &progress);

    const QString &text() const { return m_text; }
    bool builtFor(
        const QString &text, const QString &articleHeader, const QString &readEnd, bool serial) const;

    const std::vector<Block> &blocks() const { return m_blocks; }
    // The block's text: it starts with the key line.
    QStringView blockText(const Block &block) const;
    // The blocks whose key (the start of their first line up to its "(",
    // "mail" for the mail box) is key, in log order; empty when none.
    const std::vector<int> &blocksOfKey(QStringView key) const;

private:
    ParsedLog(const QString &text, const QString &articleHeader, const QString &readEnd, bool serial,
        const Progress &progress, bool *cancelled);

    QString m_text; // a shared copy: the model cannot outlive the text it points into
    QString m_header;
    QString m_readEnd;
    bool m_serial = false;
    std::vector<Block> m_blocks;
    std::vector<QString> m_keys;
    std::unordered_map<QStringView, int, ViewHash> m_keyIndex;
    std::vector<std::vector<int>> m_blocksOfKey;
};

// Where the article lines CRLF + boardKey + "(" + number + "/" stand in a
// text, for several board keys at once, found in one pass over the text. The
// lines of one board and number lie side by side in one array, so the table
// holds no list per number.
class ArticleLineTable
{
public:
    // Keys holding "(", CR or LF cannot be found by a line's first "(": they
    // are left out, and usable() says so.
    ArticleLineTable(const QString &text, const QStringList &boardKeys);
    static bool usable(const QString &boardKey);

    // Whether boardKey was given to the constructor (and is usable).
    bool covers(QStringView boardKey) const;
    // Positions of the CR of each line of that board and number (the text
    // between "(" and the next "/"), in log order; empty when there is none.
    std::span<const qsizetype> linesOf(QStringView boardKey, QStringView number) const;

private:
    struct Group
    {
        qsizetype numberAt = 0; // 0-based, in m_text
        qsizetype numberSize = 0;
        qint32 key = 0;
        qint32 first = 0; // into m_positions
        qint32 count = 0;
    };
    // A slot of the open addressing: the group's hash beside its index, so
    // that a probe reads the group only when the hashes agree.
    struct Slot
    {
        quint32 hash = 0;
        qint32 group = -1; // -1: free
    };
    static quint32 hashOf(int key, QStringView number);
    // The group of key and number, or -1.
    qsizetype findGroup(int key, QStringView number, quint32 hash) const;
    void place(quint32 hash, qint32 group);

    QString m_text; // a shared copy: the groups point into it
    std::vector<QString> m_keys;
    std::unordered_map<QStringView, int, ViewHash> m_keyIndex;
    std::vector<Group> m_groups;
    std::vector<Slot> m_slots; // open addressing over m_groups
    std::vector<qsizetype> m_positions;
};

// The model of the session's open log with its markers, built when first
// asked for after the log or the markers changed.
const ParsedLog &parsedLog(Session &session);

} // namespace kavrel::logindex
