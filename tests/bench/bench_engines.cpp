// Full-text engines side by side on the same articles: SQLite's FTS5 with
// the trigram tokenizer, as the index keeps its text (positions left out, no
// copy of the text), Xapian with its CJK n-gram option (CJK characters as
// single characters and pairs, other words whole; positions left out too),
// and trigrams made in our own code and written as packed blocks in a plain
// SQLite table. Built only when Xapian is installed (libxapian-dev):
//
//   bench_engines [total MB]
//
// The logs are the generator's in 40 files (20 MB by default), with bodies of
// real prose when manpages-ja is installed and the six fixed lines
// otherwise. Each article is given to both engines as the index gives it to
// the full-text table: its distinct lines, folded. Every engine is written a
// log per transaction, as the index writes. The figures: processor time of
// the build against iconv over the same files, size against the logs, and
// the time and candidates of a few queries (the words' n-grams all present;
// both leave the exact check against the lines to the caller). Xapian's
// database is also compacted, as a finished build could be, and queried so.

#include "LogGenerator.h"
#include "ManPageProse.h"

#include "base/Cp932.h"
#include "fulltext/Fold.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <xapian.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

#include <sys/resource.h>

using namespace kavrel;
using namespace kavrel::test;

namespace {

constexpr int kFiles = 40;

double cpuSeconds(int who)
{
    rusage u {};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Wall-clock and processor seconds from a start.
struct Clock
{
    QElapsedTimer wall;
    double cpu = cpuSeconds(RUSAGE_SELF);
    Clock() { wall.start(); }
    double wallSeconds() const { return double(wall.nsecsElapsed()) / 1e9; }
    double cpuSpent() const { return cpuSeconds(RUSAGE_SELF) - cpu; }
};

// A log's articles as the full-text table gets them: each one's distinct
// lines, folded, as UTF-8.
std::vector<std::string> articlesOf(const QString &text, const LogGeneratorOptions &o)
{
    std::vector<std::string> out;
    QStringList lines;
    bool inArticle = false;
    auto finish = [&] {
        if (inArticle) {
            QStringList distinct;
            QSet<QString> seen;
            for (const QString &l : std::as_const(lines)) {
                if (!seen.contains(l)) {
                    seen.insert(l);
                    distinct << l;
                }
            }
            out.push_back(fulltext::fold(distinct.join(u'\n')).toStdString());
        }
        lines.clear();
        inArticle = false;
    };
    for (const QString &line : text.split(QStringLiteral("\r\n"))) {
        if (line == o.articleHeader) {
            finish();
            inArticle = true;
        } else if (line == o.readEnd || line.startsWith(o.mainPrompt)) {
            finish();
        } else if (inArticle) {
            lines << line;
        }
    }
    finish();
    return out;
}

qint64 folderBytes(const QString &path)
{
    qint64 bytes = 0;
    QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        bytes += QFileInfo(it.next()).size();
    return bytes;
}

bool exec(sqlite3 *db, const char *sql)
{
    char *msg = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "sqlite: %s\n", msg ? msg : "?");
    sqlite3_free(msg);
    return false;
}

// The trigrams of a folded word, as the index asks FTS5 for them.
std::string trigramMatch(const QString &word)
{
    std::string match;
    const QList<uint> chars = word.toUcs4();
    for (qsizetype i = 0; i + 3 <= chars.size(); ++i) {
        const QString tri = QString::fromUcs4(reinterpret_cast<const char32_t *>(chars.constData() + i), 3);
        if (!match.empty())
            match += " AND ";
        match += '"' + tri.toStdString() + '"';
    }
    return match;
}

struct EngineFigures
{
    double buildWall = 0;
    double buildCpu = 0;
    qint64 bytes = 0;
    double compactCpu = -1; // Xapian: compacting the written database into a new one
    qint64 compactBytes = 0;
    std::vector<double> queryCpu;
    std::vector<qint64> candidates;
};

EngineFigures runFts5(
    const QString &dir, const std::vector<std::vector<std::string>> &logs, const QStringList &words)
{
    EngineFigures f;
    const QString path = dir + QStringLiteral("/fts5.sqlite");
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    exec(db, "PRAGMA synchronous=OFF; PRAGMA cache_size=-65536; PRAGMA journal_mode=WAL;");
    exec(db,
        "CREATE VIRTUAL TABLE fts USING fts5(t, tokenize='trigram case_sensitive 1', detail='none',"
        " content='', columnsize=0);"
        "INSERT INTO fts(fts, rank) VALUES('hashsize', 67108864);"
        "INSERT INTO fts(fts, rank) VALUES('automerge', 16);");
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO fts(rowid, t) VALUES(?, ?)", -1, &insert, nullptr);
    const Clock build;
    qint64 rowid = 0;
    for (const auto &log : logs) {
        exec(db, "BEGIN");
        for (const std::string &doc : log) {
            sqlite3_reset(insert);
            sqlite3_bind_int64(insert, 1, ++rowid);
            sqlite3_bind_text(insert, 2, doc.data(), int(doc.size()), SQLITE_STATIC);
            sqlite3_step(insert);
        }
        exec(db, "COMMIT");
    }
    f.buildWall = build.wallSeconds();
    f.buildCpu = build.cpuSpent();
    sqlite3_finalize(insert);
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    f.bytes = QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();

    for (const QString &word : words) {
        sqlite3_stmt *q = nullptr;
        sqlite3_prepare_v2(db, "SELECT rowid FROM fts WHERE fts MATCH ?", -1, &q, nullptr);
        const std::string match = trigramMatch(fulltext::fold(word));
        double best = 1e9;
        qint64 count = 0;
        for (int run = 0; run < 5; ++run) {
            const Clock c;
            sqlite3_reset(q);
            sqlite3_bind_text(q, 1, match.data(), int(match.size()), SQLITE_STATIC);
            count = 0;
            while (sqlite3_step(q) == SQLITE_ROW)
                ++count;
            best = std::min(best, c.cpuSpent());
        }
        sqlite3_finalize(q);
        f.queryCpu.push_back(best);
        f.candidates.push_back(count);
    }
    sqlite3_close(db);
    return f;
}

// Each folded article as code points.
std::u32string codePoints(const std::string &utf8)
{
    return QString::fromStdString(utf8).toStdU32String();
}

// A trigram as one number: three code points of 21 bits.
quint64 trigramKey(const char32_t *c)
{
    return (quint64(c[0]) << 42) | (quint64(c[1]) << 21) | quint64(c[2]);
}

void appendVarint(std::string *out, quint32 v)
{
    while (v >= 0x80) {
        out->push_back(char(v | 0x80));
        v >>= 7;
    }
    out->push_back(char(v));
}

std::vector<quint32> readVarints(const void *data, int bytes)
{
    std::vector<quint32> out;
    const auto *p = static_cast<const unsigned char *>(data);
    quint32 v = 0;
    int shift = 0;
    quint32 last = 0;
    for (int i = 0; i < bytes; ++i) {
        v |= quint32(p[i] & 0x7f) << shift;
        shift += 7;
        if (!(p[i] & 0x80)) {
            last += v;
            out.push_back(last);
            v = 0;
            shift = 0;
        }
    }
    return out;
}

// Reads one varint at p, moving p past it.
quint64 readVarint(const unsigned char *&p)
{
    quint64 v = 0;
    int shift = 0;
    while (*p & 0x80) {
        v |= quint64(*p++ & 0x7f) << shift;
        shift += 7;
    }
    return v | (quint64(*p++) << shift);
}

void appendVarint64(std::string *out, quint64 v)
{
    while (v >= 0x80) {
        out->push_back(char(v | 0x80));
        v >>= 7;
    }
    out->push_back(char(v));
}

// Trigrams made in our own code: a log's postings (each trigram's articles,
// numbered within the log and delta-coded) gathered in a hash table, then
// written in trigram order packed into blocks of about 8 KB (each entry the
// trigram's distance from the one before, the length of its postings and the
// postings), one row per block keyed by the log and the block's first
// trigram. A query reads, for each trigram and log, the one block that can
// hold it.
EngineFigures runOwnTrigrams(
    const QString &dir, const std::vector<std::vector<std::string>> &logs, const QStringList &words)
{
    constexpr size_t kBlockBytes = 8192;
    EngineFigures f;
    const QString path = dir + QStringLiteral("/own.sqlite");
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    exec(db, "PRAGMA synchronous=OFF; PRAGMA cache_size=-65536; PRAGMA journal_mode=WAL;");
    exec(db, "CREATE TABLE blocks(log INTEGER, first INTEGER, entries BLOB, PRIMARY KEY(log, first))");
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO blocks VALUES(?, ?, ?)", -1, &insert, nullptr);
    struct Posting
    {
        quint32 last = 0;
        std::string deltas;
    };
    const Clock build;
    for (size_t log = 0; log < logs.size(); ++log) {
        std::unordered_map<quint64, Posting> postings;
        postings.reserve(1 << 18);
        quint32 article = 0;
        std::u32string c;
        for (const std::string &doc : logs[log]) {
            ++article;
            c = codePoints(doc);
            for (size_t i = 0; i + 3 <= c.size(); ++i) {
                Posting &p = postings[trigramKey(c.data() + i)];
                if (p.last != article) {
                    appendVarint(&p.deltas, article - p.last);
                    p.last = article;
                }
            }
        }
        std::vector<quint64> keys;
        keys.reserve(postings.size());
        for (const auto &[key, posting] : postings)
            keys.push_back(key);
        std::sort(keys.begin(), keys.end());
        exec(db, "BEGIN");
        std::string block;
        quint64 first = 0;
        quint64 previous = 0;
        auto writeBlock = [&] {
            sqlite3_reset(insert);
            sqlite3_bind_int64(insert, 1, qint64(log));
            sqlite3_bind_int64(insert, 2, qint64(first));
            sqlite3_bind_blob(insert, 3, block.data(), int(block.size()), SQLITE_STATIC);
            sqlite3_step(insert);
            block.clear();
        };
        for (const quint64 key : keys) {
            if (block.empty()) {
                first = key;
                previous = key;
            }
            const std::string &d = postings[key].deltas;
            appendVarint64(&block, key - previous);
            appendVarint64(&block, d.size());
            block += d;
            previous = key;
            if (block.size() >= kBlockBytes)
                writeBlock();
        }
        if (!block.empty())
            writeBlock();
        exec(db, "COMMIT");
    }
    f.buildWall = build.wallSeconds();
    f.buildCpu = build.cpuSpent();
    sqlite3_finalize(insert);
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    f.bytes = QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();

    sqlite3_stmt *q = nullptr;
    sqlite3_prepare_v2(db,
        "SELECT first, entries FROM blocks WHERE log = ? AND first <= ? ORDER BY first DESC LIMIT 1", -1, &q,
        nullptr);
    // The articles of a trigram in a log, from its block.
    auto articlesOf = [&](size_t log, quint64 key) {
        std::vector<quint32> out;
        sqlite3_reset(q);
        sqlite3_bind_int64(q, 1, qint64(log));
        sqlite3_bind_int64(q, 2, qint64(key));
        if (sqlite3_step(q) != SQLITE_ROW)
            return out;
        quint64 at = quint64(sqlite3_column_int64(q, 0));
        const auto *p = static_cast<const unsigned char *>(sqlite3_column_blob(q, 1));
        const unsigned char *end = p + sqlite3_column_bytes(q, 1);
        while (p < end) {
            at += readVarint(p);
            const auto length = qsizetype(readVarint(p));
            if (at == key)
                return readVarints(p, int(length));
            if (at > key)
                break;
            p += length;
        }
        return out;
    };
    for (const QString &word : words) {
        const std::u32string c = fulltext::fold(word).toStdU32String();
        double best = 1e9;
        qint64 count = 0;
        for (int run = 0; run < 5; ++run) {
            const Clock clock;
            count = 0;
            for (size_t log = 0; log < logs.size(); ++log) {
                std::vector<quint32> found;
                for (size_t i = 0; i + 3 <= c.size(); ++i) {
                    const std::vector<quint32> these = articlesOf(log, trigramKey(c.data() + i));
                    if (i == 0) {
                        found = these;
                    } else {
                        std::vector<quint32> both;
                        std::set_intersection(
                            found.begin(), found.end(), these.begin(), these.end(), std::back_inserter(both));
                        found = std::move(both);
                    }
                    if (found.empty())
                        break;
                }
                count += qint64(found.size());
            }
            best = std::min(best, clock.cpuSpent());
        }
        f.queryCpu.push_back(best);
        f.candidates.push_back(count);
    }
    sqlite3_finalize(q);
    sqlite3_close(db);
    return f;
}

EngineFigures runXapian(
    const QString &dir, const std::vector<std::vector<std::string>> &logs, const QStringList &words)
{
    EngineFigures f;
    const std::string path = (dir + QStringLiteral("/xapian")).toStdString();
    {
        Xapian::WritableDatabase db(path, Xapian::DB_CREATE_OR_OVERWRITE | Xapian::DB_BACKEND_GLASS);
        Xapian::TermGenerator terms;
        terms.set_flags(Xapian::TermGenerator::FLAG_CJK_NGRAM);
        const Clock build;
        for (const auto &log : logs) {
            for (const std::string &doc : log) {
                Xapian::Document d;
                terms.set_document(d);
                terms.index_text_without_positions(doc);
                db.add_document(d);
            }
            db.commit();
        }
        f.buildWall = build.wallSeconds();
        f.buildCpu = build.cpuSpent();
    }
    f.bytes = folderBytes(QString::fromStdString(path));
    const std::string compacted = path + "-compact";
    {
        const Clock c;
        Xapian::Database(path).compact(compacted);
        f.compactCpu = c.cpuSpent();
    }
    f.compactBytes = folderBytes(QString::fromStdString(compacted));

    Xapian::Database db(compacted);
    Xapian::QueryParser parser;
    parser.set_default_op(Xapian::Query::OP_AND);
    for (const QString &word : words) {
        const Xapian::Query q
            = parser.parse_query(fulltext::fold(word).toStdString(), Xapian::QueryParser::FLAG_CJK_NGRAM);
        double best = 1e9;
        qint64 count = 0;
        for (int run = 0; run < 5; ++run) {
            const Clock c;
            Xapian::Enquire enquire(db);
            enquire.set_query(q);
            enquire.set_weighting_scheme(Xapian::BoolWeight());
            const Xapian::MSet hits = enquire.get_mset(0, db.get_doccount());
            count = hits.size();
            best = std::min(best, c.cpuSpent());
        }
        f.queryCpu.push_back(best);
        f.candidates.push_back(count);
    }
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 totalMb = argc > 1 ? QByteArray(argv[1]).toLongLong() : 20;
    QProcess uptime;
    uptime.start(QStringLiteral("uptime"));
    uptime.waitForFinished();
    std::printf("at the start:%s", uptime.readAllStandardOutput().constData());

    const QStringList &prose = ManPageProse::lines();
    if (prose.isEmpty())
        std::printf("manpages-ja is not installed: the bodies are the six fixed lines\n");
    QTemporaryDir dir;
    std::vector<std::vector<std::string>> logs;
    QStringList files;
    qint64 logBytes = 0;
    size_t articles = 0;
    for (int i = 0; i < kFiles; ++i) {
        LogGeneratorOptions o;
        o.senders = 3000;
        o.variant = quint32(i + 1);
        o.bodyProse = prose.isEmpty() ? nullptr : &prose;
        const LogGenerator generator(LogGenerator::sized(o, totalMb * 1024 * 1024 / kFiles));
        const QString text = generator.text();
        const QByteArray bytes = cp932::encode(text);
        const QString file = dir.path() + QStringLiteral("/%1.LOG").arg(i);
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        files << file;
        logBytes += bytes.size();
        logs.push_back(articlesOf(text, o));
        articles += logs.back().size();
    }
    const double iconvBefore = cpuSeconds(RUSAGE_CHILDREN);
    QProcess iconv;
    iconv.setStandardOutputFile(QProcess::nullDevice());
    iconv.start(QStringLiteral("iconv"),
        QStringList {
            QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"), QStringLiteral("UTF-8") }
            + files);
    iconv.waitForFinished(-1);
    const double iconvCpu = cpuSeconds(RUSAGE_CHILDREN) - iconvBefore;

    const QStringList words = { QStringLiteral("KVR02718"), QStringLiteral("シンボリックリンク"),
        QStringLiteral("ディレクトリ"), QStringLiteral("ました") };
    const EngineFigures fts5 = runFts5(dir.path(), logs, words);
    const EngineFigures own = runOwnTrigrams(dir.path(), logs, words);
    const EngineFigures xapian = runXapian(dir.path(), logs, words);

    std::printf("%.1f MB of logs in %d files, %zu articles (%s), iconv %.3f s processor\n",
        double(logBytes) / 1048576.0, kFiles, articles, prose.isEmpty() ? "six lines" : "real prose",
        iconvCpu);
    std::printf("   %-36s %-24s %-24s %-24s\n", "", "FTS5 trigram", "Xapian CJK n-gram", "our own trigrams");
    auto build = [&](const EngineFigures &f) {
        return QStringLiteral("%1 s, %2x iconv")
            .arg(f.buildCpu, 0, 'f', 1)
            .arg(f.buildCpu / iconvCpu, 0, 'f', 1);
    };
    std::printf("   %-36s %-24s %-24s %-24s\n", "build, processor", qPrintable(build(fts5)),
        qPrintable(build(xapian)), qPrintable(build(own)));
    std::printf("   %-36s %-24.1f %-24.1f %-24.1f\n", "build, wall clock s", fts5.buildWall, xapian.buildWall,
        own.buildWall);
    auto size = [&](const EngineFigures &f) {
        return QStringLiteral("%1 MB, %2x the logs")
            .arg(double(f.bytes) / 1048576.0, 0, 'f', 1)
            .arg(double(f.bytes) / double(logBytes), 0, 'f', 2);
    };
    std::printf("   %-36s %-24s %-24s %-24s\n", "size", qPrintable(size(fts5)), qPrintable(size(xapian)),
        qPrintable(size(own)));
    std::printf("   %-36s %-24s %-24s\n", "compacted (Xapian), processor", "",
        qPrintable(QStringLiteral("%1 s").arg(xapian.compactCpu, 0, 'f', 1)));
    EngineFigures compact = xapian;
    compact.bytes = xapian.compactBytes;
    std::printf("   %-36s %-24s %-24s\n", "size compacted", "", qPrintable(size(compact)));
    for (qsizetype i = 0; i < words.size(); ++i) {
        auto query = [&](const EngineFigures &f) {
            return QStringLiteral("%1 ms, %2 candidates")
                .arg(f.queryCpu[size_t(i)] * 1000, 0, 'f', 2)
                .arg(f.candidates[size_t(i)]);
        };
        const QString label = QStringLiteral("query ") + words.at(i);
        std::printf("   %s%*s %-24s %-24s %-24s\n", qPrintable(label),
            int(36 - label.size() - (i == 0 ? 0 : words.at(i).size())), "", qPrintable(query(fts5)),
            qPrintable(query(xapian)), qPrintable(query(own)));
    }
    uptime.start(QStringLiteral("uptime"));
    uptime.waitForFinished();
    std::printf("at the end:%s", uptime.readAllStandardOutput().constData());
    return 0;
}
