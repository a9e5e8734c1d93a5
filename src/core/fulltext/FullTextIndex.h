#pragma once

#include "fulltext/ArchiveRecords.h"
#include "fulltext/ArticleSource.h"
#include "fulltext/Query.h"

#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

struct sqlite3;

namespace kavrel::fulltext {

// One article found by a query.
struct Hit
{
    QString dateTime; // "YYYY-MM-DD HH:MM:SS"
    QString net;
    QString logFile; // the file name in LOG_Dir
    int boardNo = 0; // -1 for a chat room
    QString board; // "12", "0", "X1"
    QString boardName;
    QString number; // "-" for a chat-room visit
    QString senderId;
    QString senderName;
    QString title;
    int row = 0; // mails and chat-room visits: their row on the board
    qint64 id = 0; // the record's, in the order the index made them
    QString snippet; // one line of the article with the hits between 【 and 】
    int captures = 1; // how many logs captured the article
};

// The index over every log of every registered net of a working directory:
// kavrel-index.sqlite beside DIR.DEF. It is a cache: anything in it can be
// built again from the logs. Each log is written in one transaction, so a
// reader (the window, kavrel-cli) sees every log either before or after.
// An object holds its own connection and is used by one thread at a time.
class FullTextIndex
{
public:
    static inline const QString kFileName = QStringLiteral("kavrel-index.sqlite");
    static inline const QString kRebuiltNotice
        = QStringLiteral("全ログ検索の索引が壊れているか別の版のものだったので、作り直します。");

    explicit FullTextIndex(const QString &appDir);
    ~FullTextIndex();
    FullTextIndex(const FullTextIndex &) = delete;
    FullTextIndex &operator=(const FullTextIndex &) = delete;

    // Beside DIR.DEF, or in Kavrel's cache folder when the working
    // directory cannot be written (chosen when the index is opened).
    QString path() const;
    static QString cachePathOf(const QString &appDir);

    // Opens the index, creating it; one that is damaged or of another
    // version is deleted and made anew (notices() says so). False on a file
    // error (errorText()).
    bool open();

    struct Progress
    {
        int done = 0; // logs looked at so far
        int total = 0; // logs to look at
        QString net;
        QString log;
        // How far into this log: -1 as it is started, then 0 to 100 as it
        // is parsed (the first half) and written (the second).
        int percent = -1;
    };
    using ProgressFn = std::function<void(const Progress &)>;

    // Brings the index in line with the logs of every net, or of the net
    // named (name or slot number). An unchanged log is skipped (one whose
    // bytes are the same under a new time only gets its time), a log whose
    // old bytes all stand at its beginning is indexed from the last board
    // line before its old end, anything else anew; logs that are gone are
    // dropped. False on an
    // error (errorText()); logs done before it stay done. cancel stops it
    // between logs.
    bool update(
        const QString &net = {}, const ProgressFn &progress = {}, const std::atomic_bool *cancel = nullptr);

    // The articles that satisfy the query, newest first. False on an error.
    // An index found damaged is made anew (notices() says so) and asked again.
    // Without snippets, an article whose title, sender or board holds every
    // term is not unpacked. With a limit, only the newest that many: the
    // candidates are then checked newest first, so that a word in nearly
    // every article stops early.
    bool find(const Query &query, QVector<Hit> *hits, bool snippets = true, int limit = -1);

    // The records of the articles and mails of a net (chat-room visits
    // left out), of one board when asked; in no particular order. False on
    // an error.
    bool capturesOf(const QString &net, std::optional<int> boardNo, QVector<IndexedCapture> *out);
    // The records of one board with that number and date-time (on the mail
    // box, every mail of that date-time).
    bool capturesOf(const QString &net, int boardNo, const QString &number, const QString &dateTime,
        QVector<IndexedCapture> *out);
    // For each article asked of a board (its number and date-time), the
    // same read from the index of records alone: each record's id, log file
    // and line count, the board, number and date-time as asked.
    bool capturePlacesOf(const QString &net, int boardNo,
        const QVector<std::pair<QString, QString>> &articles, QVector<QVector<IndexedCapture>> *out);
    // The records with these ids, in that order, as capturesOf gives them.
    // False on an error or when one is not there.
    bool capturesWithIds(const QVector<qint64> &ids, QVector<IndexedCapture> *out);
    // The article view's lines of one record. False on an error.
    bool linesOf(qint64 id, QStringList *lines);

    // Brings the archive kept of a net (or of one of its boards) in line
    // with the records: each board whose records changed since it was kept
    // is made again by make from them, in one transaction with the read;
    // with rows, its rows too, else only the board and its months (a board's
    // rows cost most, and only a board chosen needs them). current is false
    // when a board changed but the index can only be read (nothing is kept
    // then). False on an error.
    using ArchiveMaker = std::function<BoardArchive(const QVector<IndexedCapture> &, bool rows)>;
    bool refreshArchive(
        const QString &net, std::optional<int> boardNo, bool rows, const ArchiveMaker &make, bool *current);
    // What is kept of a net's archive, as refreshArchive left it: a board's
    // rows in thread order, the boards by number, and the articles per month
    // of the net or of one board. False on an error.
    bool keptRows(const QString &net, int boardNo, QVector<ArchiveRow> *rows);
    // Of a board's kept rows, those from the row at from on, at most count
    // of them, appended to rows; and how many rows are kept of the board.
    bool keptRows(
        const QString &net, int boardNo, qsizetype from, qsizetype count, QVector<ArchiveRow> *rows);
    bool keptRowCount(const QString &net, int boardNo, qsizetype *count);
    bool keptBoards(const QString &net, QVector<ArchiveBoard> *boards);
    bool keptMonths(const QString &net, std::optional<int> boardNo, QMap<QString, int> *counts);
    // A board's kept rows as the lines the listing prints of them (UTF-8,
    // each valid during the call), in thread order, each given to each as
    // it is read: a board of many rows is listed without a row made of each.
    bool eachKeptLine(const QString &net, int boardNo, const std::function<void(QByteArrayView)> &each);

    // The records held for one log, in the order they were made.
    QVector<IndexedArticle> articlesOf(const QString &net, const QString &logFile);

    QString errorText() const { return m_error; }
    // The logs the last update could not read, each with why: the index
    // stands and keeps what it held of them, so a search still runs.
    QStringList unreadableLogs() const { return m_unreadable; }
    QStringList notices() const { return m_notices; }

    // How the last update treated each log, for tests and the benchmark.
    enum class Action { Skipped, Grown, Full, Dropped };
    struct LogAction
    {
        QString net;
        QString log;
        Action action;
    };
    QList<LogAction> lastActions;

private:
    enum class Outcome { Done, Failed, Damaged, ReadOnly };
    class Update; // one pass of update()
    Outcome updateOnce(const QString &net, const ProgressFn &progress, const std::atomic_bool *cancel);
    Outcome findOnce(const Query &query, QVector<Hit> *hits, bool snippets, int limit);
    // Closes the index and deletes its files, saying so in notices().
    bool removeFiles();
    // Where the index is kept, and whether it can only be read.
    void chooseLocation();
    // After damage, or when an index that can only be read is to be written:
    // the index is made anew, or copied into the cache folder.
    bool startAnew();
    bool create();
    // Whether the open index is of this format, making its tables in a new
    // file (in a transaction left open: writing says so); damaged says
    // that it is of another format or its pages have no checksums.
    bool checkFormat(bool *writing, bool *damaged);
    // The conditions of a query on its records (a, l), with their values;
    // when its terms have trigrams, the candidates they leave, each to be
    // looked up by the condition on its id. SQLITE_OK, or the error of the
    // read that failed.
    int conditionsOf(const Query &query, QStringList *where, QStringList *values,
        std::optional<std::vector<qint64>> *candidates);
    // Keeps one board's archive in place of what was kept of it.
    bool keepArchive(const QString &net, int boardNo, const BoardArchive &archive, bool rows);
    // After an update that removed records.
    bool reclaimSpace();
    // The ids of the records that hold every trigram (keys of three code
    // points), in order. SQLITE_OK, or the error of the read that failed
    // (a block that does not unpack is damage).
    int candidatesOf(std::vector<quint64> keys, std::vector<qint64> *ids);
    // Whether count candidates are most of the records (over a third of their
    // span of ids), so that reading the records in date order is cheaper.
    // SQLITE_OK, or the error of the read.
    int isMostOfTheRecords(size_t count, bool *most);
    bool exec(const char *sql);
    bool fail(const QString &what);
    // The error of a statement already finalized, or of a failed read.
    bool fail(const QString &what, int code);
    void close();

    QString m_appDir;
    QString m_path;
    QString m_working; // the log being indexed
    bool m_readOnly = false;
    bool m_inCache = false;
    sqlite3 *m_db = nullptr;
    QString m_error;
    QStringList m_unreadable;
    QStringList m_notices;
};

// The folded text of an article that the index holds and queries are
// matched against: title, sender, board name and lines, one per line.
QString searchTextOf(const IndexedArticle &article);

// One line of an article for a hit: the line where the first folded term
// occurs, cut around it, with every term in it between 【 and 】.
QString snippetOf(const QString &title, const QStringList &lines, const QStringList &terms);

} // namespace kavrel::fulltext
