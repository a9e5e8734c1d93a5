#include "fulltext/FullTextIndex.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "fulltext/ArticleSource.h"
#include "fulltext/Fold.h"
#include "fulltext/PageChecksums.h"
#include "fulltext/TrigramBlocks.h"
#include "logindex/LogFiles.h"
#include "logindex/ParsedLog.h"
#include "settings/NetContext.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/NetMarkers.h"
#include "settings/SettingsStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <unordered_set>
#include <vector>

namespace kavrel::fulltext {

namespace {

// The index's format, kept in the database header (PRAGMA user_version):
// read with the header, without a table of its own. An index of another
// format, or of one from before it was kept there (0), is made anew.
// 7: a board whose first row was never read no longer holds the board's
// "no articles" message as an article.
// 8: the sender is taken after any size token ("bytes ", "-only ", "KB ").
// 9: each record keeps how many lines the article view shows for it, and
// records are found by board, number and date-time.
// 10: a log is known by its status-change time and the hash of all of its
// bytes; each page keeps a checksum.
// 11: each board's archive across the logs (its rows in thread order, the
// board, its articles per month) is kept, and made again when the board's
// records change.
// 12: the trigrams are our own blocks (each log's in parts, a part's
// trigrams in order), no longer an FTS5 table.
// 13: the index of records by board, number and date-time holds each
// record's line count and log too.
constexpr int kFormat = 13;

// Whether an SQLite result says that the file is damaged: a page whose
// checksum does not match, a b-tree or record that makes no sense, or a
// file that is no database at all.
bool isDamage(int code)
{
    return code == SQLITE_IOERR_DATA || (code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB;
}

// A prepared statement that finalizes itself.
class Stmt
{
public:
    Stmt(sqlite3 *db, const char *sql) { m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Stmt() { sqlite3_finalize(m_stmt); }
    Stmt(const Stmt &) = delete;
    Stmt &operator=(const Stmt &) = delete;

    bool ok() const { return m_rc == SQLITE_OK; }
    Stmt &bind(int i, const QString &v)
    {
        const QByteArray u = v.toUtf8();
        sqlite3_bind_text(m_stmt, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Stmt &bind(int i, const QByteArray &v)
    {
        sqlite3_bind_blob(m_stmt, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // Text already in UTF-8 that outlives the step: not copied.
    Stmt &bindUtf8(int i, const QByteArray &v)
    {
        sqlite3_bind_text(m_stmt, i, v.constData(), int(v.size()), SQLITE_STATIC);
        return *this;
    }
    Stmt &bind(int i, qint64 v)
    {
        sqlite3_bind_int64(m_stmt, i, v);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step() { return sqlite3_step(m_stmt); }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    QString text(int i) const
    {
        return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i)), sqlite3_column_bytes(m_stmt, i));
    }
    // The text as UTF-8, valid until the next step.
    QByteArrayView utf8(int i) const
    {
        return { reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i)),
            sqlite3_column_bytes(m_stmt, i) };
    }
    qint64 integer(int i) const { return sqlite3_column_int64(m_stmt, i); }
    QByteArray blob(int i) const
    {
        return QByteArray(
            static_cast<const char *>(sqlite3_column_blob(m_stmt, i)), sqlite3_column_bytes(m_stmt, i));
    }

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_ERROR;
};

// An article's lines as stored, one per line: as Shift-JIS (two bytes a
// character, like the log), or as UTF-8 when the text does not come back
// from Shift-JIS unchanged. The text must come back exactly: it is what the
// index removes. Every character that decoding a log gives comes back,
// except the replacement character; that and any character Shift-JIS cannot
// hold are written as "?", which no two-byte character holds.
QByteArray encodeLines(const QStringList &lines)
{
    const QString text = lines.join(u'\n');
    QByteArray bytes = cp932::encode(text);
    if (bytes.count('?') == text.count(u'?'))
        return 'S' + bytes;
    return 'U' + text.toUtf8();
}

QStringList decodeLines(const QByteArray &bytes)
{
    const QString text
        = bytes.startsWith('S') ? cp932::decode(bytes.mid(1)) : QString::fromUtf8(bytes.mid(1));
    return text.split(u'\n');
}

// The lines of several articles are compressed together, in chunks of
// about this size: the index is to stay smaller than the logs, and starting
// a compressed stream costs more than compressing one article.
constexpr qsizetype kChunkBytes = qsizetype(8) * 1024;

// A chunk: for each article, its length (4 bytes, big-endian) and its bytes.
QByteArray packChunk(const QList<QByteArray> &parts)
{
    QByteArray raw;
    for (const QByteArray &part : parts) {
        const quint32 n = quint32(part.size());
        raw += char(n >> 24);
        raw += char(n >> 16);
        raw += char(n >> 8);
        raw += char(n);
        raw += part;
    }
    QByteArray packed = qCompress(raw, 1);
    packed.squeeze(); // made in room for the worst case: a log's chunks are all held until written
    return packed;
}

// The parts of a chunk; none when it does not unpack (a damaged index).
QList<QByteArray> unpackChunk(const QByteArray &packed)
{
    const QByteArray raw = qUncompress(packed);
    QList<QByteArray> parts;
    qsizetype at = 0;
    while (at + 4 <= raw.size()) {
        const auto byte = [&](qsizetype i) { return quint32(quint8(raw.at(at + i))); };
        const qsizetype n = qsizetype(byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3));
        at += 4;
        if (n > raw.size() - at)
            break;
        parts << raw.mid(at, n);
        at += n;
    }
    return parts;
}

// Reads articles' lines from their chunks, keeping the chunks last read:
// hits come in date order, which walks the logs side by side.
class ChunkReader
{
public:
    explicit ChunkReader(sqlite3 *db)
        : m_query(db, "SELECT data FROM bodies WHERE id = ?")
    {
    }
    bool ok() const { return m_query.ok(); }
    // An article's lines; none, and the result of the read that failed in
    // failure(), when its chunk cannot be read or has no such part.
    QStringList lines(qint64 chunk, qint64 part)
    {
        auto it = m_chunks.constFind(chunk);
        if (it == m_chunks.cend()) {
            if (m_chunks.size() >= 256)
                m_chunks.clear();
            m_query.reset();
            m_query.bind(1, chunk);
            const int rc = m_query.step();
            it = m_chunks.insert(
                chunk, rc == SQLITE_ROW ? unpackChunk(m_query.blob(0)) : QList<QByteArray>());
            if (rc != SQLITE_ROW)
                m_failure = rc == SQLITE_DONE ? SQLITE_CORRUPT : rc; // an article's chunk is never missing
        }
        if (part >= 0 && part < it->size())
            return decodeLines(it->at(part));
        if (m_failure == SQLITE_OK)
            m_failure = SQLITE_CORRUPT;
        return {};
    }
    int failure() const { return m_failure; }

private:
    Stmt m_query;
    int m_failure = SQLITE_OK;
    QHash<qint64, QList<QByteArray>> m_chunks;
};

// The hash a log is known by: of all of its bytes, or of the first length
// of them (a grown log's old part), so that no change can go unseen.
QByteArray hashOf(const QByteArray &bytes, qsizetype length)
{
    return QCryptographicHash::hash(
        QByteArrayView(bytes).first(qMin(length, bytes.size())), QCryptographicHash::Sha1)
        .toHex();
}

struct NetLogs
{
    QString net;
    settings::NetMarkers markers;
    int serial = 0;
    QString logDir;
    QStringList logs;
};

// What a stat tells of a log. The status-change time is set by the system
// on every write and rename and cannot be set back, so that a log replaced
// by another of the same size and time is seen.
struct LogStat
{
    qint64 size = -1;
    qint64 mtime = 0;
    qint64 ctime = 0;

    static LogStat of(const QFileInfo &info)
    {
        return { info.size(), info.lastModified().toMSecsSinceEpoch(),
            info.metadataChangeTime().toMSecsSinceEpoch() };
    }
    bool operator==(const LogStat &) const = default;
};

struct StoredLog
{
    qint64 id = 0;
    LogStat stat;
    QByteArray hash;
};

// Finds the folded terms in a folded text: all must occur.
bool allOccur(const QString &folded, const QStringList &terms)
{
    for (const QString &t : terms) {
        if (!folded.contains(t))
            return false;
    }
    return true;
}

} // namespace

QString snippetOf(const QString &title, const QStringList &lines, const QStringList &terms)
{
    // The line where the first term occurs: the text's own lines first, then
    // the header lines, then the title (which is shown beside the snippet
    // anyway). Every term found in the part shown is marked.
    constexpr qsizetype kHeaderLines = 2;
    constexpr qsizetype kBefore = 16;
    constexpr qsizetype kAfter = 60;
    QStringList order = lines.mid(kHeaderLines);
    order += lines.mid(0, kHeaderLines);
    order.append(title);
    const QString first = terms.isEmpty() ? QString() : terms.first();
    for (const QString &line : std::as_const(order)) {
        if (first.isEmpty())
            break;
        QList<qsizetype> origin;
        const QString folded = fold(line, &origin);
        const qsizetype hit = folded.indexOf(first);
        if (hit < 0)
            continue;
        // A folded character stands for the characters of the line up to the
        // next one's origin (a kana joined with its voiced mark took two).
        const auto endOf
            = [&](qsizetype at) { return at + 1 < origin.size() ? origin.at(at + 1) : line.size(); };
        QList<std::pair<qsizetype, qsizetype>> marks;
        for (const QString &term : terms) {
            if (term.isEmpty())
                continue;
            for (qsizetype at = folded.indexOf(term); at >= 0; at = folded.indexOf(term, at + 1))
                marks.append({ origin.at(at), endOf(at + term.size() - 1) });
        }
        std::sort(marks.begin(), marks.end());
        QList<std::pair<qsizetype, qsizetype>> merged;
        for (const auto &m : std::as_const(marks)) {
            if (!merged.isEmpty() && m.first <= merged.last().second)
                merged.last().second = qMax(merged.last().second, m.second);
            else
                merged.append(m);
        }
        const qsizetype anchor = origin.at(hit);
        qsizetype from = qMax<qsizetype>(0, anchor - kBefore);
        qsizetype to = endOf(hit + first.size() - 1) + kAfter;
        for (const auto &m : std::as_const(merged)) {
            if (m.first < from && m.second > from)
                from = m.first; // a mark is never cut
            if (m.first < to && m.second > to)
                to = m.second;
        }
        to = qMin(to, line.size());
        QString out = from > 0 ? QStringLiteral("…") : QString();
        qsizetype at = from;
        for (const auto &m : std::as_const(merged)) {
            if (m.second <= from || m.first >= to)
                continue;
            out += line.mid(at, m.first - at) + QStringLiteral("【") + line.mid(m.first, m.second - m.first)
                + QStringLiteral("】");
            at = m.second;
        }
        return out + line.mid(at, to - at);
    }
    // Filters alone mark nothing: the article's first line of text, after
    // its header (up to the line with its size) and the prompt the net
    // asked before it.
    qsizetype body = kHeaderLines;
    for (qsizetype i = 0; i < qMin<qsizetype>(lines.size(), kHeaderLines + 2); ++i) {
        if (lines.at(i).contains(QLatin1String(" bytes ")))
            body = qMax(body, i + 1);
    }
    if (body < lines.size()) {
        const QString prompt = lines.at(body).trimmed();
        if (prompt.endsWith(u':') || prompt.endsWith(u'>'))
            ++body;
    }
    for (const QString &line : lines.mid(body) + order) {
        if (!line.trimmed().isEmpty())
            return line.left(90);
    }
    return title;
}

namespace {

// Every trigram (by code point) of the long terms, each once. The index
// holds each line of an article once, in no fixed order: a trigram across a
// line end tells nothing.
QStringList trigramsOf(const QStringList &terms)
{
    QSet<QString> seen;
    QStringList out;
    for (const QString &t : terms) {
        const QList<uint> cps = t.toUcs4();
        for (qsizetype i = 0; i + 3 <= cps.size(); ++i) {
            const QString tri = QString::fromUcs4(reinterpret_cast<const char32_t *>(cps.constData() + i), 3);
            if (tri.contains(u'\n'))
                continue;
            if (!seen.contains(tri)) {
                seen.insert(tri);
                out << tri;
            }
        }
    }
    return out;
}

// The condition that a record is the candidate looked up.
const QString kCandidate = QStringLiteral("a.id = ?");

qsizetype codePoints(const QString &s)
{
    return s.toUcs4().size();
}

// Where an article's lines were packed, beside the article of the same place
// in the log's list.
struct PackedPlace
{
    int chunk = 0; // index into the log's chunks
    int part = 0;
    int lineCount = 0; // the lines the view shows: packed, they are no longer in the article
};

// A log read and parsed, ready to be written: all that needs no index.
struct PreparedLog
{
    // Touched: the same bytes under a new time, which only is written.
    enum Kind { Unchanged, Unreadable, Touched, Grown, Full } kind = Full;
    QString error;
    LogStat stat; // taken before the log is read: a later write makes it look changed
    QByteArray hash;
    qsizetype prefixChars = 0; // Grown: the characters before the board line parsing starts at
    // The articles, their lines taken away, and where each one's were packed;
    // an article's number in the log, from 1, is its place here plus one (its
    // trigrams' lists name it so). Held once: a large log has many.
    QVector<IndexedArticle> articles;
    std::vector<PackedPlace> places;
    QList<QByteArray> chunks; // the articles' lines, packed
    TrigramLists trigrams; // gathered on the parsing thread, not the writing one
};

// Whether a log is as the index holds it, from one stat. A search runs this
// over every log each time, so nothing is read here; a log written in any
// way changes its status-change time.
bool isUnchanged(const QString &file, const StoredLog &old)
{
    const QFileInfo info(file);
    return info.exists() && LogStat::of(info) == old.stat;
}

// Packs a log's articles' lines into chunks as the parse finds them, and
// gathers their trigrams, so that a large log's lines are never all held at
// once.
class ArticlePacker
{
public:
    explicit ArticlePacker(PreparedLog &log)
        : m_log(log)
    {
    }
    void take(IndexedArticle &a);
    // The articles found, in the order they were taken.
    void finish(QVector<IndexedArticle> articles);

private:
    void flush();

    PreparedLog &m_log;
    TrigramGatherer m_trigrams;
    QList<QByteArray> m_parts;
    qsizetype m_bytes = 0;
};

// parsed: how far the parse is, in percent, for the thread that waits for it.
PreparedLog prepareLog(const QString &file, const StoredLog *old, const settings::NetMarkers &markers,
    int serial, std::atomic_int *parsed)
{
    PreparedLog out;
    out.stat = LogStat::of(QFileInfo(file));
    QByteArray bytes;
    fileio::FileError error;
    if (!fileio::readAll(file, &bytes, &error)) {
        out.kind = PreparedLog::Unreadable;
        out.error = error.toString();
        return out;
    }
    out.stat.size = bytes.size();
    out.hash = hashOf(bytes, bytes.size());
    if (old && old->stat.size == bytes.size() && old->hash == out.hash) {
        out.kind = PreparedLog::Touched;
        return out;
    }

    // A log that only grew: the old bytes, every one of them, are still its beginning.
    qsizetype resume = -1;
    if (old && bytes.size() > old->stat.size && hashOf(bytes, old->stat.size) == old->hash)
        resume = bytes.lastIndexOf("\r\nNo.", old->stat.size - 5);
    // The bytes are let go once decoded: a large log is held once at a time.
    QString text;
    if (resume >= 0) {
        out.kind = PreparedLog::Grown;
        out.prefixChars = cp932::decode(QByteArrayView(bytes).first(resume)).size();
        text = cp932::decode(QByteArrayView(bytes).sliced(resume));
    } else {
        text = cp932::decode(bytes);
    }
    bytes = QByteArray();
    ArticlePacker packer(out);
    QVector<IndexedArticle> articles = articlesOfLog(
        text, markers, serial, [parsed](int done, int total) { parsed->store(done * 100 / qMax(1, total)); },
        [&packer](IndexedArticle &a) { packer.take(a); });
    text = QString();
    packer.finish(std::move(articles));
    return out;
}

// Writes what a log is known by; its id in logId.
bool storeLog(
    Stmt &upsert, const QString &net, const QString &log, const PreparedLog &prepared, qint64 *logId)
{
    upsert.reset();
    upsert.bind(1, net).bind(2, log).bind(3, prepared.stat.size).bind(4, prepared.stat.mtime);
    upsert.bind(5, prepared.stat.ctime).bind(6, QString::fromLatin1(prepared.hash));
    if (upsert.step() != SQLITE_ROW)
        return false;
    if (logId)
        *logId = upsert.integer(0);
    while (upsert.step() == SQLITE_ROW) { }
    return true;
}

} // namespace

QString searchTextOf(const IndexedArticle &a)
{
    return fold(a.title + u'\n' + a.senderId + u':' + a.senderName + u'\n' + a.boardName + u'\n'
        + a.lines.join(u'\n'));
}

namespace {

// What an article's trigrams are taken from: the lines of its search text,
// each once (the index keeps only which trigrams occur, not where or how
// often), and its title, sender and board unless one of its first lines
// (where the host prints them) holds them.
QString indexTextOf(const IndexedArticle &a)
{
    constexpr int kHeadLines = 3;
    const QString lines = fold(a.lines.join(u'\n'));
    QString out;
    out.reserve(
        lines.size() + a.title.size() + a.senderId.size() + a.senderName.size() + a.boardName.size() + 4);
    std::unordered_set<QStringView, logindex::ViewHash> seen;
    seen.reserve(size_t(a.lines.size()));
    qsizetype headEnd = 0;
    int count = 0;
    for (qsizetype from = 0; from <= lines.size(); ++count) {
        qsizetype end = lines.indexOf(u'\n', from);
        if (end < 0)
            end = lines.size();
        const QStringView line = QStringView(lines).mid(from, end - from);
        if (seen.insert(line).second) {
            out += line;
            out += u'\n';
        }
        if (count < kHeadLines)
            headEnd = end;
        from = end + 1;
    }
    const QStringView head = QStringView(lines).left(headEnd);
    for (const QString &part : { fold(a.title), fold(a.senderId + u':' + a.senderName), fold(a.boardName) }) {
        if (!head.contains(part)) {
            out += part;
            out += u'\n';
        }
    }
    return out;
}

void ArticlePacker::take(IndexedArticle &a)
{
    if (m_bytes >= kChunkBytes)
        flush();
    m_parts << encodeLines(a.lines);
    m_bytes += m_parts.last().size();
    m_trigrams.take(indexTextOf(a));
    m_log.places.push_back({ int(m_log.chunks.size()), int(m_parts.size() - 1), int(a.lines.size()) });
    a.lines = QStringList(); // packed: only the chunk is written
}

void ArticlePacker::flush()
{
    if (!m_parts.isEmpty())
        m_log.chunks << packChunk(m_parts);
    m_parts.clear();
    m_bytes = 0;
}

void ArticlePacker::finish(QVector<IndexedArticle> articles)
{
    flush();
    m_log.trigrams = m_trigrams.finish();
    m_log.articles = std::move(articles);
    m_log.places.resize(size_t(m_log.articles.size()));
}

} // namespace

FullTextIndex::FullTextIndex(const QString &appDir)
    : m_appDir(appDir)
{
}

FullTextIndex::~FullTextIndex()
{
    close();
}

QString FullTextIndex::path() const
{
    return m_path.isEmpty() ? fileio::joinPath(m_appDir, kFileName) : m_path;
}

QString FullTextIndex::cachePathOf(const QString &appDir)
{
    const QByteArray key
        = QCryptographicHash::hash(QDir(appDir).absolutePath().toUtf8(), QCryptographicHash::Sha1)
              .toHex()
              .left(16);
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/Kavrel/index-") + QString::fromLatin1(key) + QStringLiteral(".sqlite");
}

void FullTextIndex::chooseLocation()
{
    // Beside DIR.DEF when the working directory can be written; else the
    // cache folder's index of that directory, or, until a log is to be
    // written, an index beside DIR.DEF (an archive on a disc), only read.
    const QString beside = fileio::joinPath(m_appDir, kFileName);
    const QString cached = cachePathOf(m_appDir);
    const QFileInfo file(beside);
    if (!m_inCache && QFileInfo(m_appDir).isWritable() && (!file.exists() || file.isWritable())) {
        m_path = beside;
        m_readOnly = false;
    } else if (!m_inCache && !QFileInfo::exists(cached) && file.isFile()) {
        m_path = beside;
        m_readOnly = true;
    } else {
        m_inCache = true;
        m_path = cached;
        m_readOnly = false;
        QDir().mkpath(QFileInfo(cached).absolutePath());
    }
}

bool FullTextIndex::startAnew()
{
    if (!m_readOnly)
        return removeFiles();
    // The index that cannot be written is the cache's first content.
    close();
    const QString readOnly = m_path;
    m_inCache = true;
    chooseLocation();
    if (!QFileInfo::exists(m_path))
        QFile::copy(readOnly, m_path);
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

void FullTextIndex::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool FullTextIndex::fail(const QString &what)
{
    m_error = path() + QStringLiteral(": ") + what
        + (m_db ? QStringLiteral(" (") + QString::fromUtf8(sqlite3_errmsg(m_db)) + u')' : QString());
    return false;
}

bool FullTextIndex::fail(const QString &what, int code)
{
    m_error = path() + QStringLiteral(": ") + what + QStringLiteral(" (")
        + QString::fromUtf8(sqlite3_errstr(code)) + u')';
    return false;
}

bool FullTextIndex::exec(const char *sql)
{
    char *msg = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &msg) == SQLITE_OK)
        return true;
    m_error = path() + QStringLiteral(": ") + QString::fromUtf8(msg ? msg : "error");
    sqlite3_free(msg);
    return false;
}

bool FullTextIndex::create()
{
    const QByteArray sql
        = "CREATE TABLE IF NOT EXISTS logs(id INTEGER PRIMARY KEY, net TEXT NOT NULL, file TEXT NOT NULL,"
          " size INTEGER, mtime INTEGER, ctime INTEGER, hash TEXT, UNIQUE(net, file));"
          "CREATE TABLE IF NOT EXISTS articles(id INTEGER PRIMARY KEY, log INTEGER NOT NULL,"
          " board_no INTEGER, board TEXT, board_name TEXT, number TEXT, parent TEXT, sender_id TEXT,"
          " sender_name TEXT, dt TEXT, title TEXT, chunk INTEGER, part INTEGER, row INTEGER, endpos INTEGER,"
          " lines INTEGER);"
          "CREATE INDEX IF NOT EXISTS articles_log ON articles(log, endpos);"
          // An article's captures, with what picks the one shown (line
          // count, log), read from this index alone.
          "CREATE INDEX IF NOT EXISTS articles_article ON articles(board_no, number, dt, lines, log);"
          "CREATE TABLE IF NOT EXISTS bodies(id INTEGER PRIMARY KEY, log INTEGER NOT NULL, data BLOB);"
          "CREATE INDEX IF NOT EXISTS bodies_log ON bodies(log);"
          // Each board's archive across the logs, as 通し読み shows it; a
          // board whose records changed since is stale until made again.
          // counted: the board and its months are made again, its rows not yet.
          "CREATE TABLE IF NOT EXISTS archive_stale(net TEXT NOT NULL, board_no INTEGER NOT NULL,"
          " counted INTEGER NOT NULL DEFAULT 0,"
          " PRIMARY KEY(net, board_no)) WITHOUT ROWID;"
          "CREATE TABLE IF NOT EXISTS archive_rows(net TEXT NOT NULL, board_no INTEGER NOT NULL,"
          " seq INTEGER NOT NULL, depth INTEGER, captures INTEGER, id INTEGER, file TEXT, "
          "board_name TEXT,"
          " number TEXT, parent TEXT, sender_id TEXT, sender_name TEXT, dt TEXT, title TEXT, row INTEGER,"
          " lines INTEGER, endpos INTEGER, PRIMARY KEY(net, board_no, seq)) WITHOUT ROWID;"
          // The rows' lines as the listing prints them, apart: read alone,
          // they are read from a few pages.
          "CREATE TABLE IF NOT EXISTS archive_lines(net TEXT NOT NULL, board_no INTEGER NOT NULL,"
          " seq INTEGER NOT NULL, line TEXT, PRIMARY KEY(net, board_no, seq)) WITHOUT ROWID;"
          "CREATE TABLE IF NOT EXISTS archive_boards(net TEXT NOT NULL, board_no INTEGER NOT NULL,"
          " name TEXT, articles INTEGER, first TEXT, last TEXT, PRIMARY KEY(net, board_no)) WITHOUT ROWID;"
          "CREATE TABLE IF NOT EXISTS archive_months(net TEXT NOT NULL, board_no INTEGER NOT NULL,"
          " month TEXT NOT NULL, count INTEGER, PRIMARY KEY(net, board_no, month)) WITHOUT ROWID;"
          // Which records hold each trigram: a log's are written as a part
          // when it is indexed (a grown log's new records as a part of their
          // own), each part in blocks of trigrams in order, found by the
          // block's first trigram. base: the id the part's lists count from.
          // Only whether a trigram occurs is kept: every hit is checked
          // against the article's lines.
          "CREATE TABLE IF NOT EXISTS trigram_parts(id INTEGER PRIMARY KEY, log INTEGER NOT NULL,"
          " base INTEGER NOT NULL);"
          "CREATE INDEX IF NOT EXISTS trigram_parts_log ON trigram_parts(log);"
          "CREATE TABLE IF NOT EXISTS trigrams(part INTEGER NOT NULL, first INTEGER NOT NULL, entries BLOB,"
          " PRIMARY KEY(part, first));"
          "PRAGMA user_version="
        + QByteArray::number(kFormat);
    return exec(sql.constData());
}

bool FullTextIndex::checkFormat(bool *writing, bool *damaged)
{
    // An index that is there is only read (a writer elsewhere does not
    // hold this up); a new file's tables are made in one write
    // transaction, so that another connection never sees half of them.
    auto format = [this]() -> qint64 {
        Stmt version(m_db, "PRAGMA user_version");
        return version.ok() && version.step() == SQLITE_ROW ? version.integer(0) : -1;
    };
    auto tableCount = [this]() -> qint64 {
        Stmt any(m_db, "SELECT count(*) FROM sqlite_master");
        return any.ok() && any.step() == SQLITE_ROW ? any.integer(0) : -1;
    };
    const qint64 version = format();
    bool sound = version >= 0;
    if (sound && version != kFormat) {
        // A new file, or one of another format.
        qint64 tables = tableCount();
        if (tables == 0) {
            // Each page keeps its checksum in bytes reserved at its end,
            // and the journal mode stays in the file: both set once,
            // before anything is written, outside the transaction.
            int reserve = kPageChecksumBytes;
            sqlite3_file_control(m_db, "main", SQLITE_FCNTL_RESERVE_BYTES, &reserve);
            // Pages freed by a log indexed anew go back to the file system.
            sound = exec("PRAGMA auto_vacuum=INCREMENTAL") && exec("PRAGMA journal_mode=WAL")
                && exec("BEGIN IMMEDIATE");
            *writing = sound;
            tables = sound ? tableCount() : -1;
        }
        sound = tables >= 0;
        if (sound && tables == 0) {
            sound = create();
        } else if (sound && format() != kFormat) {
            *damaged = true;
            sound = false;
        }
    }
    // Pages without their checksums are of an earlier format.
    int reserve = -1;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_RESERVE_BYTES, &reserve);
    if (sound && !*writing && reserve != kPageChecksumBytes) {
        *damaged = true;
        sound = false;
    }
    return sound;
}

bool FullTextIndex::open()
{
    close();
    m_error.clear();
    if (m_path.isEmpty())
        chooseLocation();
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString file = path();
        if (QFileInfo(file).isDir())
            return fail(QStringLiteral("is a directory"));
        // Each thread that uses the index opens its own connection: no
        // connection is shared, and none needs a lock around every call.
        int mode = m_readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        QByteArray name = QFile::encodeName(file);
        if (m_readOnly && !QFileInfo::exists(file + QStringLiteral("-shm"))
            && !QFileInfo(QFileInfo(file).absolutePath()).isWritable()) {
            // Without its shared-memory file, in a folder where none can be
            // made, SQLite reads the index only as a file nothing changes.
            name = QUrl::fromLocalFile(file).toEncoded() + "?immutable=1";
            mode |= SQLITE_OPEN_URI;
        }
        if (!m_readOnly) {
            // A reader of an index that could only be read made its -wal and
            // -shm files with the index's mode: now that the index can be
            // written, they must be too, or every write fails.
            for (const QString &suffix : { QStringLiteral("-wal"), QStringLiteral("-shm") }) {
                const QFileInfo side(file + suffix);
                if (side.isFile() && !side.isWritable())
                    QFile::setPermissions(side.filePath(), side.permissions() | QFileDevice::WriteOwner);
            }
        }
        if (sqlite3_open_v2(name.constData(), &m_db, mode | SQLITE_OPEN_NOMUTEX, pageChecksumsVfs())
            != SQLITE_OK) {
            fail(QStringLiteral("cannot be opened"));
            close();
            return false;
        }
        sqlite3_busy_timeout(m_db, 30000);
        sqlite3_extended_result_codes(m_db, 1); // a page whose checksum fails is told apart
        // Every search opens the index: its write-ahead log is kept between
        // runs instead of being made and removed each time, and emptied on
        // close (journal_size_limit=0) so that nothing stale stays in it.
        int keepWal = 1;
        sqlite3_file_control(m_db, "main", SQLITE_FCNTL_PERSIST_WAL, &keepWal);
        bool damaged = false;
        // No syncs: a program that stops keeps every committed log (WAL), and
        // an index that a system crash damaged is found so and made anew.
        bool sound = exec("PRAGMA synchronous=OFF; PRAGMA cache_size=-65536; PRAGMA journal_size_limit=0;");
        bool writing = false;
        sound = sound && checkFormat(&writing, &damaged);
        damaged = damaged || isDamage(sqlite3_extended_errcode(m_db));
        if (sound && (!writing || exec("COMMIT")))
            return true;
        const QString why = m_error;
        if (writing)
            exec("ROLLBACK");
        if (m_readOnly) {
            // Not of this version, or damaged: made in the cache folder.
            if (!startAnew())
                return false;
            continue;
        }
        if (!damaged) {
            m_error = why.isEmpty() ? path() + QStringLiteral(": cannot be opened") : why;
            close();
            return false;
        }
        if (attempt == 2)
            return fail(QStringLiteral("cannot be made anew"));
        // Damaged or another version's: it is only a cache, so it is made anew.
        if (!removeFiles())
            return false;
    }
    return false;
}

bool FullTextIndex::removeFiles()
{
    close();
    if (!m_notices.contains(kRebuiltNotice))
        m_notices << kRebuiltNotice;
    for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") }) {
        fileio::FileError error;
        if (!fileio::removeIfExists(path() + suffix, &error)) {
            m_error = error.toString();
            return false;
        }
    }
    return true;
}

bool FullTextIndex::update(const QString &net, const ProgressFn &progress, const std::atomic_bool *cancel)
{
    // A damaged index is made anew, and one that cannot be written is left
    // for the cache folder's, each once.
    for (int attempt = 0; attempt < 3; ++attempt) {
        lastActions.clear();
        m_error.clear();
        m_unreadable.clear();
        if (!m_db && !open())
            return false;
        Outcome outcome = Outcome::Failed;
        try {
            outcome = updateOnce(net, progress, cancel);
        } catch (const std::bad_alloc &) {
            // A log too large for the memory left: said, and what was written before it stays.
            if (!sqlite3_get_autocommit(m_db))
                exec("ROLLBACK");
            m_error = m_working + QStringLiteral(": not enough memory to index it");
            return false;
        }
        if (outcome == Outcome::Done || outcome == Outcome::Failed)
            return outcome == Outcome::Done;
        if (!startAnew())
            return false;
    }
    return fail(QStringLiteral("cannot be made anew"));
}

namespace {

// A log to look at, with what the index holds of it.
struct LogJob
{
    const NetLogs *net = nullptr;
    QString log;
    bool known = false;
    StoredLog old;
    bool unchanged = false;
};

// The statements that write: made only when a log has changed, since a
// search runs the update each time and most often nothing has.
struct Writes
{
    explicit Writes(sqlite3 *db)
        : insertArticle(db,
            "INSERT INTO articles(log, board_no, board, board_name, number, parent, sender_id,"
            " sender_name, dt, title, chunk, part, row, endpos, lines) "
            "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
        , insertChunk(db, "INSERT INTO bodies(log, data) VALUES(?, ?)")
        , deleteChunks(db,
              "DELETE FROM bodies WHERE log = ?1"
              " AND id NOT IN (SELECT chunk FROM articles WHERE log = ?1)")
        , insertPart(db, "INSERT INTO trigram_parts(log, base) VALUES(?, ?)")
        , insertBlock(db, "INSERT INTO trigrams(part, first, entries) VALUES(?, ?, ?)")
        , deleteBlocks(db, "DELETE FROM trigrams WHERE part IN (SELECT id FROM trigram_parts WHERE log = ?)")
        , deleteParts(db, "DELETE FROM trigram_parts WHERE log = ?")
        , boardsFrom(db, "SELECT DISTINCT board_no FROM articles WHERE log = ? AND endpos > ?")
        , deleteArticles(db, "DELETE FROM articles WHERE log = ? AND endpos > ?")
        , keptArticles(db, "SELECT board_no, board, number, dt FROM articles WHERE log = ?")
        , upsertLog(db,
              "INSERT INTO logs(net, file, size, mtime, ctime, hash) VALUES(?,?,?,?,?,?)"
              " ON CONFLICT(net, file) DO UPDATE SET size=excluded.size, mtime=excluded.mtime,"
              " ctime=excluded.ctime, hash=excluded.hash RETURNING id")
        , deleteLog(db, "DELETE FROM logs WHERE id = ?")
        , markStale(db,
              "INSERT INTO archive_stale(net, board_no) VALUES(?, ?)"
              " ON CONFLICT(net, board_no) DO UPDATE SET counted = 0")
    {
    }
    bool ok() const
    {
        return insertArticle.ok() && insertChunk.ok() && deleteChunks.ok() && insertPart.ok()
            && insertBlock.ok() && deleteBlocks.ok() && deleteParts.ok() && boardsFrom.ok()
            && deleteArticles.ok() && keptArticles.ok() && upsertLog.ok() && deleteLog.ok() && markStale.ok();
    }
    Stmt insertArticle, insertChunk, deleteChunks, insertPart, insertBlock, deleteBlocks, deleteParts,
        boardsFrom, deleteArticles, keptArticles, upsertLog, deleteLog, markStale;
};

} // namespace

// One pass over the logs: the nets and their logs listed, each log read and
// parsed on a thread of its own while the one before it is written in a
// transaction of its own, then the records of logs that are gone dropped.
class FullTextIndex::Update
{
public:
    Update(FullTextIndex &index, const ProgressFn &progress, const std::atomic_bool *cancel)
        : m_index(index)
        , m_db(index.m_db)
        , m_progress(progress)
        , m_cancel(cancel)
    {
    }
    Outcome run(const QString &netFilter);

private:
    bool listNets(const QString &netFilter);
    Outcome readStored();
    void listJobs();
    std::future<PreparedLog> launch(qsizetype i);
    Outcome storeLogs();
    Outcome storeLog(const LogJob &job, PreparedLog &prepared);
    bool storeGrown(qint64 logId, PreparedLog &prepared);
    Outcome removeVanished(const QString &netFilter);
    bool prepareWrites();
    Outcome notWritten() const;
    // After a write that failed in a transaction: rolled back, the error kept.
    Outcome rollBack();
    bool dropArticles(qint64 log, qint64 from);
    // The articles of source at the places given (every one when all); its
    // chunks and trigrams are let go as they are written.
    bool addArticles(qint64 log, PreparedLog &source, const std::vector<qsizetype> *which = nullptr);
    // The articles' trigrams as a part of the log: idOf gives each
    // article's id by its number less one, base the least of them.
    bool addTrigrams(qint64 log, TrigramLists &lists, const std::vector<qint64> &idOf, qint64 base);
    // The boards whose records were added or dropped are marked for their
    // archive to be made again, in the log's transaction.
    bool markStale(const QString &net);
    bool cancelled() const { return m_cancel && m_cancel->load(); }
    // A large log is reported on while it is parsed and written.
    void reportWithin(int percent);

    FullTextIndex &m_index;
    sqlite3 *m_db;
    const ProgressFn &m_progress;
    const std::atomic_bool *m_cancel;
    QList<NetLogs> m_nets;
    QHash<QString, StoredLog> m_stored; // net + TAB + file
    QList<LogJob> m_jobs;
    std::unique_ptr<Writes> m_writes;
    Progress m_p;
    std::atomic_int m_parsed[2]; // of the log parsed and of the one before it
    qint64 m_removedRows = 0; // records removed: their pages are given back
    bool m_stopped = false; // cancelled between logs
    QSet<int> m_touched; // boards of the log being written whose records changed
};

FullTextIndex::Outcome FullTextIndex::updateOnce(
    const QString &net, const ProgressFn &progress, const std::atomic_bool *cancel)
{
    return Update(*this, progress, cancel).run(net);
}

FullTextIndex::Outcome FullTextIndex::Update::run(const QString &netFilter)
{
    if (!listNets(netFilter))
        return Outcome::Failed;
    if (const Outcome read = readStored(); read != Outcome::Done)
        return read;
    listJobs();
    if (const Outcome stored = storeLogs(); stored != Outcome::Done || m_stopped)
        return stored;
    if (const Outcome removed = removeVanished(netFilter); removed != Outcome::Done)
        return removed;
    m_writes.reset();
    if (m_removedRows > 0 && !m_index.reclaimSpace())
        return isDamage(sqlite3_extended_errcode(m_db)) ? Outcome::Damaged : Outcome::Failed;
    if (!m_index.m_unreadable.isEmpty()) {
        m_index.m_error = m_index.m_unreadable.join(u'\n');
        return Outcome::Failed;
    }
    return Outcome::Done;
}

bool FullTextIndex::Update::listNets(const QString &netFilter)
{
    // The nets and their logs as the net selection screen lists them.
    settings::NetContext context;
    context.AppDir = m_index.m_appDir;
    settings::ReadSettings(context);
    const QStringList names = settings::NetDefinitionsFile(context).LoadAll();
    QString logDir = context.Dir[settings::DirRecord::LOG_Dir];
    if (logDir.isEmpty())
        logDir = context.AppDir.isEmpty() ? QStringLiteral(".") : context.AppDir;
    logDir = QDir(m_index.m_appDir).absoluteFilePath(logDir);

    // The nets share the log folder: it is listed once, each net taking the
    // names its pattern matches, in the order a file list shows them.
    const QStringList files = QDir(logDir).entryList(QDir::Files, QDir::NoSort);
    bool filterFound = netFilter.isEmpty();
    for (int slot = 0; slot < names.size() && slot < context.NetTable.size(); ++slot) {
        const QString name = text::trimTrailingBlanks(names.at(slot));
        if (!netFilter.isEmpty() && netFilter != name && netFilter != QString::number(slot))
            continue;
        filterFound = true;
        const settings::NetRecord &record = context.NetTable.at(slot);
        NetLogs n;
        n.net = name;
        n.markers = settings::markersOf(record);
        n.serial = settings::serialFlag(record);
        n.logDir = logDir;
        n.logs = logindex::logFilesAmong(
            files, text::trimTrailingBlanks(record[settings::NetRecord::Log_File_Name]));
        m_nets << n;
    }
    if (!filterFound)
        m_index.m_error = QStringLiteral("no net \"%1\" in %2")
                              .arg(netFilter, fileio::joinPath(context.AppDir, QStringLiteral("DATA.DEF")));
    return filterFound;
}

FullTextIndex::Outcome FullTextIndex::Update::readStored()
{
    Stmt q(m_db, "SELECT id, net, file, size, mtime, ctime, hash FROM logs");
    if (!q.ok())
        return isDamage(sqlite3_extended_errcode(m_db))
            ? Outcome::Damaged
            : (m_index.fail(QStringLiteral("cannot be read")), Outcome::Failed);
    int rc = SQLITE_ROW;
    while ((rc = q.step()) == SQLITE_ROW) {
        StoredLog s { q.integer(0), { q.integer(3), q.integer(4), q.integer(5) }, q.text(6).toLatin1() };
        m_stored.insert(q.text(1) + u'\t' + q.text(2), s);
    }
    if (rc != SQLITE_DONE)
        return isDamage(rc) ? Outcome::Damaged
                            : (m_index.fail(QStringLiteral("cannot be read"), rc), Outcome::Failed);
    return Outcome::Done;
}

void FullTextIndex::Update::listJobs()
{
    for (const NetLogs &n : std::as_const(m_nets)) {
        for (const QString &log : n.logs) {
            const auto old = m_stored.constFind(n.net + u'\t' + log);
            LogJob job { &n, log, old != m_stored.cend(), old != m_stored.cend() ? *old : StoredLog() };
            // Most logs have not changed: that is seen here, without a thread.
            job.unchanged = job.known && isUnchanged(fileio::joinPath(n.logDir, log), job.old);
            m_jobs.append(job);
        }
    }
}

std::future<PreparedLog> FullTextIndex::Update::launch(qsizetype i)
{
    const LogJob &job = m_jobs.at(i);
    if (job.unchanged) {
        std::promise<PreparedLog> done;
        PreparedLog unchanged;
        unchanged.kind = PreparedLog::Unchanged;
        done.set_value(unchanged);
        return done.get_future();
    }
    m_parsed[i % 2].store(0);
    return std::async(std::launch::async, [job, counter = &m_parsed[i % 2]] {
        return prepareLog(fileio::joinPath(job.net->logDir, job.log), job.known ? &job.old : nullptr,
            job.net->markers, job.net->serial, counter);
    });
}

void FullTextIndex::Update::reportWithin(int percent)
{
    if (m_progress && percent != m_p.percent) {
        m_p.percent = percent;
        m_progress(m_p);
    }
}

FullTextIndex::Outcome FullTextIndex::Update::storeLogs()
{
    m_p.total = int(m_jobs.size());
    std::future<PreparedLog> next;
    if (!m_jobs.isEmpty())
        next = launch(0);
    for (qsizetype i = 0; i < m_jobs.size(); ++i) {
        const LogJob &job = m_jobs.at(i);
        m_index.m_working = fileio::joinPath(job.net->logDir, job.log);
        m_p.done = int(i);
        m_p.net = job.net->net;
        m_p.log = job.log;
        m_p.percent = -1;
        if (m_progress && !cancelled())
            m_progress(m_p);
        while (next.wait_for(std::chrono::milliseconds(250)) != std::future_status::ready)
            reportWithin(m_parsed[i % 2].load() / 2);
        PreparedLog prepared = next.get();
        if (i + 1 < m_jobs.size())
            next = launch(i + 1);
        if (cancelled()) {
            m_stopped = true;
            return Outcome::Done;
        }
        // Looked at: not gone (an unreadable log keeps what was indexed of it).
        m_stored.remove(job.net->net + u'\t' + job.log);
        if (const Outcome stored = storeLog(job, prepared); stored != Outcome::Done)
            return stored;
    }
    return Outcome::Done;
}

FullTextIndex::Outcome FullTextIndex::Update::storeLog(const LogJob &job, PreparedLog &prepared)
{
    const QString &net = job.net->net;
    if (prepared.kind == PreparedLog::Unchanged) {
        m_index.lastActions.append({ net, job.log, Action::Skipped });
        return Outcome::Done;
    }
    if (prepared.kind == PreparedLog::Touched) {
        // Its records stand: only the stat it is known by is new.
        if (!prepareWrites() || !fulltext::storeLog(m_writes->upsertLog, net, job.log, prepared, nullptr))
            return m_index.fail(QStringLiteral("cannot be written")), notWritten();
        m_index.lastActions.append({ net, job.log, Action::Skipped });
        return Outcome::Done;
    }
    if (prepared.kind == PreparedLog::Unreadable) {
        m_index.m_unreadable << prepared.error;
        return Outcome::Done;
    }

    if (!prepareWrites() || !m_index.exec("BEGIN IMMEDIATE"))
        return notWritten();
    qint64 logId = 0;
    bool ok = fulltext::storeLog(m_writes->upsertLog, net, job.log, prepared, &logId);
    if (ok && prepared.kind == PreparedLog::Grown) {
        ok = storeGrown(logId, prepared);
        m_index.lastActions.append({ net, job.log, Action::Grown });
    } else if (ok) {
        ok = dropArticles(logId, -1) && addArticles(logId, prepared);
        m_index.lastActions.append({ net, job.log, Action::Full });
    }
    if (!ok || !markStale(net) || !m_index.exec("COMMIT"))
        return rollBack();
    return Outcome::Done;
}

bool FullTextIndex::Update::storeGrown(qint64 logId, PreparedLog &prepared)
{
    // Indexed again from the last board line before the old end: what ends
    // after it is parsed again, with the rest kept.
    const qsizetype prefixChars = prepared.prefixChars;
    bool ok = dropArticles(logId, prefixChars + 2);
    QSet<QString> kept;
    QHash<QString, int> keptRows; // mails and chat rooms: rows already taken
    QString keptLatest;
    Stmt &keptArticles = m_writes->keptArticles;
    keptArticles.reset();
    keptArticles.bind(1, logId);
    while (ok && keptArticles.step() == SQLITE_ROW) {
        const qint64 boardNo = keptArticles.integer(0);
        const QString board = keptArticles.text(1);
        if (boardNo > 0)
            kept.insert(board + u'\t' + keptArticles.text(2));
        else
            ++keptRows[board];
        if (boardNo >= 0)
            keptLatest = qMax(keptLatest, keptArticles.text(3));
    }
    std::vector<qsizetype> fresh;
    for (qsizetype i = 0; i < prepared.articles.size(); ++i) {
        IndexedArticle &a = prepared.articles[i];
        if (a.boardNo > 0 && kept.contains(a.board + u'\t' + a.number))
            continue; // captured again: the earlier capture is the one shown
        a.end += prefixChars;
        if (a.boardNo <= 0)
            a.row += keptRows.value(a.board);
        fresh.push_back(i);
    }
    // A chat-room visit takes the latest date before it among the articles
    // the log now holds.
    for (const qsizetype i : fresh) {
        IndexedArticle &a = prepared.articles[i];
        if (a.boardNo >= 0)
            continue;
        a.dateTime = keptLatest;
        for (const qsizetype j : fresh) {
            const IndexedArticle &other = prepared.articles.at(j);
            if (other.boardNo >= 0 && other.end < a.end)
                a.dateTime = qMax(a.dateTime, other.dateTime);
        }
    }
    return ok && addArticles(logId, prepared, &fresh);
}

FullTextIndex::Outcome FullTextIndex::Update::removeVanished(const QString &netFilter)
{
    // Logs that are gone, of the nets looked at (of every net when all are).
    QSet<QString> looked;
    for (const NetLogs &n : std::as_const(m_nets))
        looked.insert(n.net);
    for (auto it = m_stored.cbegin(); it != m_stored.cend(); ++it) {
        const QString net = it.key().section(u'\t', 0, 0);
        if (!netFilter.isEmpty() && !looked.contains(net))
            continue;
        if (!prepareWrites() || !m_index.exec("BEGIN IMMEDIATE"))
            return notWritten();
        m_writes->deleteLog.reset();
        m_writes->deleteLog.bind(1, it->id);
        if (!dropArticles(it->id, -1) || !markStale(net) || m_writes->deleteLog.step() != SQLITE_DONE) {
            const bool damaged = isDamage(sqlite3_extended_errcode(m_db));
            m_index.fail(QStringLiteral("cannot be written"));
            m_index.exec("ROLLBACK");
            return damaged ? Outcome::Damaged : Outcome::Failed;
        }
        if (!m_index.exec("COMMIT"))
            return Outcome::Failed;
        m_index.lastActions.append({ net, it.key().section(u'\t', 1), Action::Dropped });
    }
    return Outcome::Done;
}

bool FullTextIndex::Update::prepareWrites()
{
    // An index that cannot be written is left for one in the cache folder
    // as soon as a log is to be written.
    if (m_index.m_readOnly)
        return false;
    if (!m_writes)
        m_writes = std::make_unique<Writes>(m_db);
    return m_writes->ok() || m_index.fail(QStringLiteral("cannot be used"));
}

bool FullTextIndex::Update::markStale(const QString &net)
{
    for (const int boardNo : std::as_const(m_touched)) {
        m_writes->markStale.reset();
        m_writes->markStale.bind(1, net).bind(2, qint64(boardNo));
        if (m_writes->markStale.step() != SQLITE_DONE)
            return false;
    }
    m_touched.clear();
    return true;
}

FullTextIndex::Outcome FullTextIndex::Update::notWritten() const
{
    if (m_index.m_readOnly)
        return Outcome::ReadOnly;
    return isDamage(sqlite3_extended_errcode(m_db)) ? Outcome::Damaged : Outcome::Failed;
}

FullTextIndex::Outcome FullTextIndex::Update::rollBack()
{
    const bool damaged = isDamage(sqlite3_extended_errcode(m_db));
    m_index.fail(QStringLiteral("cannot be written"));
    const QString why = m_index.m_error;
    m_index.exec("ROLLBACK");
    m_index.m_error = why;
    return damaged ? Outcome::Damaged : Outcome::Failed;
}

bool FullTextIndex::Update::dropArticles(qint64 log, qint64 from)
{
    // The records of the log that end after position from. A grown log's
    // parts of trigrams stand: the lists of its records dropped name ids
    // that are gone (or taken again by its new records), so at most a
    // candidate too many, which the check against its lines drops.
    Stmt &boards = m_writes->boardsFrom;
    boards.reset();
    boards.bind(1, log).bind(2, from);
    int rc = SQLITE_ROW;
    while ((rc = boards.step()) == SQLITE_ROW) {
        if (boards.integer(0) >= 0)
            m_touched.insert(int(boards.integer(0)));
    }
    if (rc != SQLITE_DONE)
        return false;
    m_writes->deleteArticles.reset();
    m_writes->deleteArticles.bind(1, log).bind(2, from);
    if (m_writes->deleteArticles.step() != SQLITE_DONE)
        return false;
    m_removedRows += sqlite3_changes(m_db);
    if (from < 0) {
        for (Stmt *remove : { &m_writes->deleteBlocks, &m_writes->deleteParts }) {
            remove->reset();
            remove->bind(1, log);
            if (remove->step() != SQLITE_DONE)
                return false;
        }
    }
    // Chunks that no article of the log reads any more.
    m_writes->deleteChunks.reset();
    m_writes->deleteChunks.bind(1, log);
    return m_writes->deleteChunks.step() == SQLITE_DONE;
}

bool FullTextIndex::Update::addArticles(qint64 log, PreparedLog &source, const std::vector<qsizetype> *which)
{
    QList<qint64> chunkIds;
    for (const QByteArray &chunk : source.chunks) {
        m_writes->insertChunk.reset();
        m_writes->insertChunk.bind(1, log).bind(2, chunk);
        if (m_writes->insertChunk.step() != SQLITE_DONE)
            return false;
        chunkIds << sqlite3_last_insert_rowid(m_db);
    }
    source.chunks = {}; // written: the database holds them now
    reportWithin(50);
    std::vector<qint64> idOf(size_t(source.articles.size()), 0);
    qint64 base = std::numeric_limits<qint64>::max();
    Stmt &insert = m_writes->insertArticle;
    const qsizetype count = which ? qsizetype(which->size()) : source.articles.size();
    for (qsizetype k = 0; k < count; ++k) {
        const qsizetype i = which ? which->at(size_t(k)) : k;
        const IndexedArticle &a = source.articles.at(i);
        const PackedPlace &packed = source.places.at(size_t(i));
        if (k % 1024 == 0)
            reportWithin(50 + int(k * 50 / count));
        insert.reset();
        insert.bind(1, log).bind(2, a.boardNo).bind(3, a.board).bind(4, a.boardName).bind(5, a.number);
        insert.bind(6, a.parent).bind(7, a.senderId).bind(8, a.senderName).bind(9, a.dateTime);
        insert.bind(10, a.title).bind(11, chunkIds.at(packed.chunk)).bind(12, qint64(packed.part));
        insert.bind(13, a.row).bind(14, a.end).bind(15, qint64(packed.lineCount));
        if (insert.step() != SQLITE_DONE)
            return false;
        if (a.boardNo >= 0)
            m_touched.insert(a.boardNo);
        idOf[size_t(i)] = sqlite3_last_insert_rowid(m_db);
        base = qMin(base, idOf[size_t(i)]);
    }
    reportWithin(100);
    return count == 0 || addTrigrams(log, source.trigrams, idOf, base);
}

bool FullTextIndex::Update::addTrigrams(
    qint64 log, TrigramLists &lists, const std::vector<qint64> &idOf, qint64 base)
{
    m_writes->insertPart.reset();
    if (m_writes->insertPart.bind(1, log).bind(2, base).step() != SQLITE_DONE)
        return false;
    const qint64 part = sqlite3_last_insert_rowid(m_db);
    Stmt &insert = m_writes->insertBlock;
    return packTrigramBlocks(lists, idOf, base, [&insert, part](const TrigramBlock &block) {
        insert.reset();
        insert.bind(1, part).bind(2, qint64(block.first)).bind(3, block.bytes);
        return insert.step() == SQLITE_DONE;
    });
}

bool FullTextIndex::reclaimSpace()
{
    // The pages freed by records and trigrams removed go back to the file
    // system.
    if (exec("PRAGMA incremental_vacuum"))
        return true;
    return fail(QStringLiteral("cannot be written"));
}

bool FullTextIndex::find(const Query &query, QVector<Hit> *hits, bool snippets, int limit)
{
    hits->clear();
    m_error.clear();
    if (!query.isValid()) {
        m_error = query.error;
        return false;
    }
    if (!m_db && !open())
        return false;
    const Outcome outcome = findOnce(query, hits, snippets, limit);
    if (outcome != Outcome::Damaged)
        return outcome == Outcome::Done;
    // Made anew from the logs, then asked again; a log that cannot be read
    // is said, and the others' hits are given.
    hits->clear();
    if (!startAnew() || (!update() && m_unreadable.isEmpty()))
        return false;
    const QString unreadable = m_error;
    if (findOnce(query, hits, snippets, limit) != Outcome::Done)
        return m_error.isEmpty() ? fail(QStringLiteral("cannot be made anew")) : false;
    m_error = unreadable;
    return true;
}

namespace {

// Newest first; the same date by net, log and the order the index made them.
void sortNewestFirst(QVector<Hit> *hits)
{
    std::sort(hits->begin(), hits->end(), [](const Hit &a, const Hit &b) {
        if (a.dateTime != b.dateTime)
            return a.dateTime > b.dateTime;
        if (a.net != b.net)
            return a.net < b.net;
        if (a.logFile != b.logFile)
            return a.logFile < b.logFile;
        return a.id < b.id;
    });
}

} // namespace

int FullTextIndex::conditionsOf(const Query &query, QStringList *where, QStringList *values,
    std::optional<std::vector<qint64>> *candidates)
{
    QStringList longTerms;
    for (const QString &t : query.terms) {
        if (codePoints(t) >= 3)
            longTerms << t;
    }
    if (const std::vector<TrigramKey> keys = trigramKeysOf(trigramsOf(longTerms)); !keys.empty()) {
        candidates->emplace();
        if (const int rc = candidatesOf(keys, &**candidates); rc != SQLITE_OK)
            return rc;
        where->append(kCandidate);
        values->append(QString());
    }
    if (!query.from.isEmpty()) {
        where->append(QStringLiteral("a.sender_id = ? COLLATE NOCASE"));
        values->append(query.from);
    }
    if (query.board) {
        where->append(QStringLiteral("a.board_no = ?"));
        values->append(QString::number(*query.board));
    }
    if (!query.net.isEmpty()) {
        where->append(QStringLiteral("l.net = ?"));
        values->append(query.net);
    }
    if (query.since.isValid()) {
        where->append(QStringLiteral("a.dt >= ?"));
        values->append(query.since.toString(QStringLiteral("yyyy-MM-dd")));
    }
    if (query.until.isValid()) {
        where->append(QStringLiteral("a.dt < ?"));
        values->append(query.until.addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    }
    return SQLITE_OK;
}

namespace {

// A record that a query's conditions let through, as read.
struct Candidate
{
    QString dateTime;
    QString net;
    QString logFile;
    int boardNo = 0;
    QString board;
    QString boardName;
    QString number;
    QString senderId;
    QString senderName;
    QString title;
    qint64 chunk = 0;
    qint64 part = 0;
    int row = 0;
    qint64 id = 0;

    static Candidate of(const Stmt &q)
    {
        return { q.text(0), q.text(1), q.text(2), int(q.integer(3)), q.text(4), q.text(5), q.text(6),
            q.text(7), q.text(8), q.text(9), q.integer(10), q.integer(11), int(q.integer(12)),
            q.integer(13) };
    }
};

// The reads of one query see the index at one moment, though a log is
// written meanwhile: its trigrams and its records agree.
class ReadTransaction
{
public:
    explicit ReadTransaction(sqlite3 *db)
        : m_db(db)
        , m_open(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK)
    {
    }
    ~ReadTransaction()
    {
        if (m_open && !sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    }
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    sqlite3 *m_db;
    bool m_open;
};

// The newest first; equal times by net, log and record.
bool newerCandidate(const Candidate &x, const Candidate &y)
{
    if (x.dateTime != y.dateTime)
        return x.dateTime > y.dateTime;
    if (x.net != y.net)
        return x.net < y.net;
    if (x.logFile != y.logFile)
        return x.logFile < y.logFile;
    return x.id < y.id;
}

// Checks candidates against the query's terms in their own text and keeps
// those that hold every term as hits.
class HitCheck
{
public:
    HitCheck(const Query &query, bool snippets, ChunkReader &chunks, QVector<Hit> *hits)
        : m_query(query)
        , m_snippets(snippets)
        , m_chunks(chunks)
        , m_hits(hits)
    {
    }

    // SQLITE_OK, or the error of the read of the candidate's lines.
    int check(const Candidate &c)
    {
        IndexedArticle a;
        a.title = c.title;
        a.senderId = c.senderId;
        a.senderName = c.senderName;
        a.boardName = c.boardName;
        // Trigrams only narrow: each term is looked for in the article itself,
        // in its title, sender and board first (the start of its search text).
        const bool inHeading = m_query.terms.isEmpty() || allOccur(searchTextOf(a), m_query.terms);
        if (!inHeading || m_snippets)
            a.lines = m_chunks.lines(c.chunk, c.part);
        if (m_chunks.failure() != SQLITE_OK)
            return m_chunks.failure();
        if (!inHeading && !allOccur(searchTextOf(a), m_query.terms))
            return SQLITE_OK;
        Hit h;
        h.dateTime = c.dateTime;
        h.net = c.net;
        h.logFile = c.logFile;
        h.boardNo = c.boardNo;
        h.board = c.board;
        h.boardName = c.boardName;
        h.number = c.number;
        h.senderId = c.senderId;
        h.senderName = c.senderName;
        h.title = c.title;
        h.row = c.row;
        h.id = c.id;
        if (m_snippets)
            h.snippet = snippetOf(a.title, a.lines, m_query.terms);
        m_hits->append(h);
        return SQLITE_OK;
    }

private:
    const Query &m_query;
    bool m_snippets;
    ChunkReader &m_chunks;
    QVector<Hit> *m_hits;
};

} // namespace

int FullTextIndex::isMostOfTheRecords(size_t count, bool *most)
{
    Stmt span(m_db, "SELECT (SELECT max(id) FROM articles) - (SELECT min(id) FROM articles) + 1");
    const int rc = span.ok() ? span.step() : sqlite3_extended_errcode(m_db);
    if (rc != SQLITE_ROW)
        return rc;
    *most = qint64(count) * 3 > span.integer(0);
    return SQLITE_OK;
}

FullTextIndex::Outcome FullTextIndex::findOnce(
    const Query &query, QVector<Hit> *hits, bool snippets, int limit)
{
    const auto failed = [this](int code) {
        if (isDamage(code))
            return Outcome::Damaged;
        fail(QStringLiteral("cannot be read"), code);
        return Outcome::Failed;
    };

    const ReadTransaction read(m_db);
    QStringList where;
    QStringList values;
    std::optional<std::vector<qint64>> candidates;
    if (const int rc = conditionsOf(query, &where, &values, &candidates); rc != SQLITE_OK)
        return failed(rc);
    const bool limited = limit >= 0;
    // The newest few of candidates that are most of the records: the
    // records are read in date order and each looked for among the
    // candidates, which stops at the last one wanted, rather than each
    // candidate looked up and all of them sorted.
    std::optional<std::vector<qint64>> among;
    if (limited && candidates) {
        bool most = false;
        if (const int rc = isMostOfTheRecords(candidates->size(), &most); rc != SQLITE_OK)
            return failed(rc);
        if (most) {
            among.swap(candidates);
            values.removeAt(where.indexOf(kCandidate));
            where.removeAll(kCandidate);
        }
    }
    QString sql = QStringLiteral("SELECT a.dt, l.net, l.file, a.board_no, a.board, a.board_name, a.number,"
                                 " a.sender_id, a.sender_name, a.title, a.chunk, a.part, a.row, a.id"
                                 " FROM articles a JOIN logs l ON l.id = a.log");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    // All hits: the candidates are checked in the order they are stored, so
    // that each chunk of lines is unpacked once however many of its articles
    // are hits, and the hits are put in date order afterwards. The newest
    // few: checked in date order, up to the last one wanted.
    if (!candidates) {
        sql += limited ? QStringLiteral(" ORDER BY a.dt DESC, l.net, l.file, a.id")
                       : QStringLiteral(" ORDER BY a.id");
    }
    const QByteArray utf8 = sql.toUtf8();
    Stmt q(m_db, utf8.constData());
    ChunkReader chunks(m_db);
    if (!q.ok() || !chunks.ok())
        return failed(sqlite3_extended_errcode(m_db));
    const auto bindAll = [&](qint64 id) {
        q.reset();
        for (int i = 0; i < values.size(); ++i) {
            if (where.at(i) == kCandidate)
                q.bind(i + 1, id);
            else if (where.at(i).startsWith(QLatin1String("a.board_no")))
                q.bind(i + 1, values.at(i).toLongLong());
            else
                q.bind(i + 1, values.at(i));
        }
    };
    HitCheck hitCheck(query, snippets, chunks, hits);
    int rc = SQLITE_DONE;
    if (!candidates) {
        bindAll(0);
        while ((!limited || hits->size() < limit) && (rc = q.step()) == SQLITE_ROW) {
            if (among && !std::binary_search(among->begin(), among->end(), q.integer(13)))
                continue;
            if (const int bad = hitCheck.check(Candidate::of(q)); bad != SQLITE_OK)
                return failed(bad);
        }
    } else {
        // Looked up one by one in the order of their ids; the newest few
        // are put in date order first.
        std::vector<Candidate> newest;
        for (const qint64 id : std::as_const(*candidates)) {
            bindAll(id);
            rc = q.step();
            if (rc == SQLITE_DONE)
                continue;
            if (rc != SQLITE_ROW)
                break;
            rc = SQLITE_DONE;
            if (limited) {
                newest.push_back(Candidate::of(q));
            } else if (const int bad = hitCheck.check(Candidate::of(q)); bad != SQLITE_OK) {
                return failed(bad);
            }
        }
        std::sort(newest.begin(), newest.end(), newerCandidate);
        for (qsizetype i = 0; rc == SQLITE_DONE && i < qsizetype(newest.size()) && hits->size() < limit;
             ++i) {
            if (const int bad = hitCheck.check(newest.at(size_t(i))); bad != SQLITE_OK)
                return failed(bad);
        }
    }
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        return failed(rc);
    if (limited)
        return Outcome::Done;
    sortNewestFirst(hits);
    return Outcome::Done;
}

int FullTextIndex::candidatesOf(std::vector<quint64> keys, std::vector<qint64> *ids)
{
    // Every trigram of the query is looked up in each part (a block holds
    // many trigrams, in order, so several are often found in one), and the
    // part's lists are intersected, the shortest first.
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    Stmt parts(m_db, "SELECT id, base FROM trigram_parts");
    Stmt blockOf(m_db,
        "SELECT first, entries FROM trigrams WHERE part = ? AND first <= ? ORDER BY first DESC LIMIT 1");
    if (!parts.ok() || !blockOf.ok())
        return sqlite3_extended_errcode(m_db);
    std::vector<QByteArrayView> lists;
    std::vector<qint64> these;
    std::vector<qint64> other;
    std::vector<qint64> both;
    int rc = SQLITE_ROW;
    while ((rc = parts.step()) == SQLITE_ROW) {
        const qint64 part = parts.integer(0);
        const qint64 base = parts.integer(1);
        QList<QByteArray> held; // the blocks read: the lists point into them
        TrigramKey first = 0;
        TrigramKey last = 0;
        lists.clear();
        for (const TrigramKey key : keys) {
            if (held.isEmpty() || key > last) {
                blockOf.reset();
                blockOf.bind(1, part).bind(2, qint64(key));
                const int found = blockOf.step();
                if (found == SQLITE_DONE)
                    break; // before the part's first trigram: none here
                if (found != SQLITE_ROW)
                    return found;
                first = TrigramKey(blockOf.integer(0));
                held.append(blockOf.blob(1));
            }
            QByteArrayView list;
            if (!listInBlock(held.last(), first, key, &list, &last))
                return SQLITE_CORRUPT;
            if (list.isEmpty())
                break; // a trigram the part does not hold: no candidate in it
            lists.push_back(list);
        }
        if (lists.size() < keys.size())
            continue;
        std::sort(lists.begin(), lists.end(),
            [](QByteArrayView x, QByteArrayView y) { return x.size() < y.size(); });
        these.clear();
        if (!appendIds(lists.front(), base, &these))
            return SQLITE_CORRUPT;
        for (size_t i = 1; i < lists.size() && !these.empty(); ++i) {
            other.clear();
            if (!appendIds(lists.at(i), base, &other))
                return SQLITE_CORRUPT;
            both.clear();
            std::set_intersection(
                these.begin(), these.end(), other.begin(), other.end(), std::back_inserter(both));
            these.swap(both);
        }
        ids->insert(ids->end(), these.begin(), these.end());
    }
    if (rc != SQLITE_DONE)
        return rc;
    // A grown log's parts may name an id twice.
    std::sort(ids->begin(), ids->end());
    ids->erase(std::unique(ids->begin(), ids->end()), ids->end());
    return SQLITE_OK;
}

QVector<IndexedArticle> FullTextIndex::articlesOf(const QString &net, const QString &logFile)
{
    QVector<IndexedArticle> out;
    if (!m_db && !open())
        return out;
    Stmt q(m_db,
        "SELECT a.board_no, a.board, a.board_name, a.number, a.parent, a.sender_id, a.sender_name, a.dt,"
        " a.title, a.chunk, a.part, a.row, a.endpos FROM articles a JOIN logs l ON l.id = a.log"
        " WHERE l.net = ? AND l.file = ? ORDER BY a.id");
    q.bind(1, net).bind(2, logFile);
    ChunkReader chunks(m_db);
    while (chunks.ok() && q.step() == SQLITE_ROW) {
        IndexedArticle a;
        a.boardNo = int(q.integer(0));
        a.board = q.text(1);
        a.boardName = q.text(2);
        a.number = q.text(3);
        a.parent = q.text(4);
        a.senderId = q.text(5);
        a.senderName = q.text(6);
        a.dateTime = q.text(7);
        a.title = q.text(8);
        a.lines = chunks.lines(q.integer(9), q.integer(10));
        a.row = int(q.integer(11));
        a.end = q.integer(12);
        out.append(a);
    }
    return out;
}

namespace {

const char *const kCapturesOf
    = "SELECT a.id, l.file, a.board_no, a.board_name, a.number, a.parent, a.sender_id, a.sender_name, a.dt,"
      " a.title, a.row, a.lines, a.endpos FROM articles a JOIN logs l ON l.id = a.log";

// The records a query of kCapturesOf answers; false when it fails.
bool readCaptures(Stmt &q, QVector<IndexedCapture> *out)
{
    int rc = SQLITE_ROW;
    while ((rc = q.step()) == SQLITE_ROW) {
        IndexedCapture c;
        c.id = q.integer(0);
        c.logFile = q.text(1);
        c.boardNo = int(q.integer(2));
        c.boardName = q.text(3);
        c.number = q.text(4);
        c.parent = q.text(5);
        c.senderId = q.text(6);
        c.senderName = q.text(7);
        c.dateTime = q.text(8);
        c.title = q.text(9);
        c.row = int(q.integer(10));
        c.lineCount = int(q.integer(11));
        c.end = q.integer(12);
        out->append(std::move(c));
    }
    return rc == SQLITE_DONE;
}

} // namespace

bool FullTextIndex::capturesOf(const QString &net, std::optional<int> boardNo, QVector<IndexedCapture> *out)
{
    out->clear();
    m_error.clear();
    if (!m_db && !open())
        return false;
    // One board is found through the index of board numbers.
    Stmt q(m_db,
        (QByteArray(kCapturesOf)
            + (boardNo ? " WHERE a.board_no = ?2 AND a.board_no >= 0 AND l.net = ?1"
                       : " WHERE l.net = ?1 AND a.board_no >= 0"))
            .constData());
    if (!q.ok())
        return fail(QStringLiteral("cannot be read"));
    q.bind(1, net);
    if (boardNo)
        q.bind(2, qint64(*boardNo));
    return readCaptures(q, out) || fail(QStringLiteral("cannot be read"));
}

bool FullTextIndex::capturesOf(const QString &net, int boardNo, const QString &number,
    const QString &dateTime, QVector<IndexedCapture> *out)
{
    out->clear();
    m_error.clear();
    if (!m_db && !open())
        return false;
    Stmt q(m_db,
        (QByteArray(kCapturesOf) + " WHERE a.board_no = ?2 AND a.number = ?3 AND a.dt = ?4 AND l.net = ?1")
            .constData());
    if (!q.ok())
        return fail(QStringLiteral("cannot be read"));
    q.bind(1, net).bind(2, qint64(boardNo)).bind(3, number).bind(4, dateTime);
    return readCaptures(q, out) || fail(QStringLiteral("cannot be read"));
}

bool FullTextIndex::capturePlacesOf(const QString &net, int boardNo,
    const QVector<std::pair<QString, QString>> &articles, QVector<QVector<IndexedCapture>> *out)
{
    out->clear();
    m_error.clear();
    if (!m_db && !open())
        return false;
    Stmt q(m_db,
        "SELECT a.id, l.file, a.lines FROM articles a JOIN logs l ON l.id = a.log"
        " WHERE a.board_no = ?2 AND a.number = ?3 AND a.dt = ?4 AND l.net = ?1");
    if (!q.ok())
        return fail(QStringLiteral("cannot be read"));
    out->reserve(articles.size());
    for (const auto &[number, dateTime] : articles) {
        q.reset();
        q.bind(1, net).bind(2, qint64(boardNo)).bind(3, number).bind(4, dateTime);
        QVector<IndexedCapture> &places = out->emplace_back();
        int rc = SQLITE_ROW;
        while ((rc = q.step()) == SQLITE_ROW) {
            IndexedCapture c;
            c.id = q.integer(0);
            c.logFile = q.text(1);
            c.boardNo = boardNo;
            c.number = number;
            c.dateTime = dateTime;
            c.lineCount = int(q.integer(2));
            places.append(std::move(c));
        }
        if (rc != SQLITE_DONE)
            return fail(QStringLiteral("cannot be read"));
    }
    return true;
}

bool FullTextIndex::capturesWithIds(const QVector<qint64> &ids, QVector<IndexedCapture> *out)
{
    out->clear();
    m_error.clear();
    if (!m_db && !open())
        return false;
    Stmt q(m_db, (QByteArray(kCapturesOf) + " WHERE a.id = ?1").constData());
    if (!q.ok())
        return fail(QStringLiteral("cannot be read"));
    out->reserve(ids.size());
    for (const qint64 id : ids) {
        q.reset();
        q.bind(1, id);
        const qsizetype before = out->size();
        if (!readCaptures(q, out) || out->size() != before + 1)
            return fail(QStringLiteral("cannot be read"));
    }
    return true;
}

bool FullTextIndex::linesOf(qint64 id, QStringList *lines)
{
    lines->clear();
    m_error.clear();
    if (!m_db && !open())
        return false;
    Stmt q(m_db, "SELECT chunk, part FROM articles WHERE id = ?");
    ChunkReader chunks(m_db);
    if (!q.ok() || !chunks.ok())
        return fail(QStringLiteral("cannot be read"));
    q.bind(1, id);
    if (q.step() != SQLITE_ROW)
        return fail(QStringLiteral("has no record %1").arg(id));
    *lines = chunks.lines(q.integer(0), q.integer(1));
    return true;
}

namespace {

// The boards of a net (or the one board) marked stale; false when the read fails.
bool staleBoards(sqlite3 *db, const QString &net, std::optional<int> boardNo, bool rows, QList<int> *boards)
{
    boards->clear();
    Stmt q(db,
        "SELECT board_no FROM archive_stale WHERE net = ?1 AND (?2 IS NULL OR board_no = ?2)"
        " AND (?3 OR counted = 0)");
    if (!q.ok())
        return false;
    q.bind(1, net).bind(3, qint64(rows ? 1 : 0));
    if (boardNo)
        q.bind(2, qint64(*boardNo));
    int rc = SQLITE_ROW;
    while ((rc = q.step()) == SQLITE_ROW)
        boards->append(int(q.integer(0)));
    return rc == SQLITE_DONE;
}

} // namespace

bool FullTextIndex::refreshArchive(
    const QString &net, std::optional<int> boardNo, bool rows, const ArchiveMaker &make, bool *current)
{
    *current = true;
    m_error.clear();
    if (!m_db && !open())
        return false;
    QList<int> stale;
    if (!staleBoards(m_db, net, boardNo, rows, &stale))
        return fail(QStringLiteral("cannot be read"));
    if (stale.isEmpty())
        return true;
    if (m_readOnly) {
        *current = false;
        return true;
    }
    // Read again in the transaction: another program may have made them meanwhile.
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    bool ok = staleBoards(m_db, net, boardNo, rows, &stale);
    // Several boards: the net's records are read once.
    QHash<int, QVector<IndexedCapture>> byBoard;
    const bool readOnce = !boardNo && stale.size() > 1;
    QVector<IndexedCapture> captures;
    if (ok && readOnce) {
        ok = capturesOf(net, std::nullopt, &captures);
        for (IndexedCapture &c : captures)
            byBoard[c.boardNo].append(std::move(c));
    }
    for (qsizetype i = 0; ok && i < stale.size(); ++i) {
        if (readOnce)
            captures = byBoard.take(stale.at(i));
        ok = (readOnce || capturesOf(net, stale.at(i), &captures))
            && keepArchive(net, stale.at(i), make(captures, rows), rows);
    }
    if (ok && exec("COMMIT"))
        return true;
    fail(QStringLiteral("cannot be written"));
    const QString why = m_error;
    exec("ROLLBACK");
    m_error = why;
    return false;
}

bool FullTextIndex::keepArchive(const QString &net, int boardNo, const BoardArchive &archive, bool rows)
{
    QList<const char *> statements { "DELETE FROM archive_boards WHERE net = ? AND board_no = ?",
        "DELETE FROM archive_months WHERE net = ? AND board_no = ?" };
    if (rows)
        statements << "DELETE FROM archive_rows WHERE net = ? AND board_no = ?"
                   << "DELETE FROM archive_lines WHERE net = ? AND board_no = ?"
                   << "DELETE FROM archive_stale WHERE net = ? AND board_no = ?";
    else
        statements << "UPDATE archive_stale SET counted = 1 WHERE net = ? AND board_no = ?";
    for (const char *sql : std::as_const(statements)) {
        Stmt remove(m_db, sql);
        if (!remove.ok() || remove.bind(1, net).bind(2, qint64(boardNo)).step() != SQLITE_DONE)
            return false;
    }
    Stmt row(m_db,
        "INSERT INTO archive_rows(net, board_no, seq, depth, captures, id, file, board_name, number, parent,"
        " sender_id, sender_name, dt, title, row, lines, endpos) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    Stmt line(m_db, "INSERT INTO archive_lines(net, board_no, seq, line) VALUES(?,?,?,?)");
    if (!row.ok() || !line.ok())
        return false;
    for (qsizetype i = 0; i < archive.rows.size(); ++i) {
        const ArchiveRow &r = archive.rows.at(i);
        const IndexedCapture &c = r.article.shown;
        row.reset();
        row.bind(1, net).bind(2, qint64(boardNo)).bind(3, qint64(i)).bind(4, qint64(r.depth));
        row.bind(5, qint64(r.article.captures)).bind(6, c.id).bind(7, c.logFile).bind(8, c.boardName);
        row.bind(9, c.number).bind(10, c.parent).bind(11, c.senderId).bind(12, c.senderName);
        row.bind(13, c.dateTime).bind(14, c.title).bind(15, qint64(c.row)).bind(16, qint64(c.lineCount));
        if (row.bind(17, qint64(c.end)).step() != SQLITE_DONE)
            return false;
        line.reset();
        line.bind(1, net).bind(2, qint64(boardNo)).bind(3, qint64(i));
        if (i < archive.lines.size())
            line.bindUtf8(4, archive.lines.at(i));
        if (line.step() != SQLITE_DONE)
            return false;
    }
    if (archive.board) {
        Stmt board(m_db,
            "INSERT INTO archive_boards(net, board_no, name, articles, first, last) VALUES(?,?,?,?,?,?)");
        board.bind(1, net).bind(2, qint64(boardNo)).bind(3, archive.board->name);
        board.bind(4, qint64(archive.board->articles)).bind(5, archive.board->first);
        if (!board.ok() || board.bind(6, archive.board->last).step() != SQLITE_DONE)
            return false;
    }
    Stmt month(m_db, "INSERT INTO archive_months(net, board_no, month, count) VALUES(?,?,?,?)");
    if (!month.ok())
        return false;
    for (const auto &[key, count] : archive.months) {
        month.reset();
        month.bind(1, net).bind(2, qint64(boardNo)).bind(3, key);
        if (month.bind(4, qint64(count)).step() != SQLITE_DONE)
            return false;
    }
    return true;
}

bool FullTextIndex::keptRows(const QString &net, int boardNo, QVector<ArchiveRow> *rows)
{
    rows->clear();
    return keptRows(net, boardNo, 0, -1, rows);
}

bool FullTextIndex::keptRows(
    const QString &net, int boardNo, qsizetype from, qsizetype count, QVector<ArchiveRow> *rows)
{
    m_error.clear();
    if (!m_db && !open())
        return false;
    Stmt q(m_db,
        "SELECT depth, captures, id, file, board_name, number, parent, sender_id, sender_name, dt, title, "
        "row,"
        " lines, endpos FROM archive_rows WHERE net = ? AND board_no = ? AND seq >= ? ORDER BY seq LIMIT ?");
    if (!q.ok())
        return fail(QStringLiteral("cannot be read"));
    q.bind(1, net).bind(2, qint64(boardNo)).bind(3, qint64(from)).bind(4, qint64(count));
    int rc = SQLITE_ROW;
    while ((rc = q.step()) == SQLITE_ROW) {
        ArchiveRow r;
        r.depth = int(q.integer(0));
        r.article.captures = int(q.integer(1));
        IndexedCapture &c = r.article.shown;
        c.boardNo = boardNo;
        c.id = q.integer(2);
        c.logFile = q.text(3);
        c.boardName = q.text(4);
        c.number = q.text(5);
        c.parent = q.text(6);
        c.senderId = q.text(7);
        c.senderName = q.text(8);
        c.dateTime = q.text(9);
        c.title = q.text(10);
        c.row = int(q.integer(11));
        c.lineCount = int(q.integer(12));
        c.end = q.integer(13);
        rows->append(std::move(r));
    }
    return rc == SQLITE_DONE || fail(QStringLiteral("cannot be read"), rc);
}

bool FullTextIndex::keptRowCount(const QString &net, int boardNo, qsizetype *count)
{
    *count = 0;
    m_error.clear();
    if (!m_db && !open())
        return false;
    // The rows are numbered from 0: the last one's number is found in the key
    // (and none gives NULL, read as 0).
    Stmt q(m_db, "SELECT max(seq) + 1 FROM archive_rows WHERE net = ? AND board_no = ?");
    if (!q.ok())
        return fail(QStringLiteral("cannot be read"));
    q.bind(1, net).bind(2, qint64(boardNo));
    const int rc = q.step();
    if (rc != SQLITE_ROW)
        return fail(QStringLiteral("cannot be read"), rc);
    *count = q.integer(0);
    return true;
}

bool FullTextIndex::eachKeptLine(
    const QString &net, int boardNo, const std::function<void(QByteArrayView)> &each)
{
    m_error.clear();
    if (!m_db && !open())
        return false;
    Stmt q(m_db, "SELECT line FROM archive_lines WHERE net = ? AND board_no = ? ORDER BY seq");
    if (!q.ok())
        return fail(QStringLiteral("cannot be read"));
    q.bind(1, net).bind(2, qint64(boardNo));
    int rc = SQLITE_ROW;
    while ((rc = q.step()) == SQLITE_ROW)
        each(q.utf8(0));
    return rc == SQLITE_DONE || fail(QStringLiteral("cannot be read"), rc);
}

bool FullTextIndex::keptBoards(const QString &net, QVector<ArchiveBoard> *boards)
{
    boards->clear();
    m_error.clear();
    if (!m_db && !open())
        return false;
    Stmt q(m_db,
        "SELECT board_no, name, articles, first, last FROM archive_boards WHERE net = ? ORDER BY board_no");
    if (!q.ok())
        return fail(QStringLiteral("cannot be read"));
    q.bind(1, net);
    int rc = SQLITE_ROW;
    while ((rc = q.step()) == SQLITE_ROW)
        boards->append({ int(q.integer(0)), q.text(1), int(q.integer(2)), q.text(3), q.text(4) });
    return rc == SQLITE_DONE || fail(QStringLiteral("cannot be read"), rc);
}

bool FullTextIndex::keptMonths(const QString &net, std::optional<int> boardNo, QMap<QString, int> *counts)
{
    counts->clear();
    m_error.clear();
    if (!m_db && !open())
        return false;
    Stmt q(m_db,
        "SELECT month, sum(count) FROM archive_months WHERE net = ?1 AND (?2 IS NULL OR board_no = ?2)"
        " GROUP BY month");
    if (!q.ok())
        return fail(QStringLiteral("cannot be read"));
    q.bind(1, net);
    if (boardNo)
        q.bind(2, qint64(*boardNo));
    int rc = SQLITE_ROW;
    while ((rc = q.step()) == SQLITE_ROW)
        counts->insert(q.text(0), int(q.integer(1)));
    return rc == SQLITE_DONE || fail(QStringLiteral("cannot be read"), rc);
}

} // namespace kavrel::fulltext
