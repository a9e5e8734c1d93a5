#include "logindex/ParsedLog.h"

#include "base/Text.h"
#include "session/Session.h"

namespace kavrel::logindex {

using text::findFrom;

size_t ViewHash::operator()(QStringView v) const noexcept
{
    // FNV-1a over the UTF-16 units.
    size_t h = 14695981039346656037ULL;
    for (const QChar c : v) {
        h ^= c.unicode();
        h *= 1099511628211ULL;
    }
    return h;
}

namespace {
const QString kMail = QStringLiteral("mail");
const std::vector<int> kNoBlocks;
} // namespace

ParsedLog::ParsedLog(const QString &text, const QString &articleHeader, const QString &readEnd, bool serial)
    : m_text(text)
    , m_header(articleHeader)
    , m_readEnd(readEnd)
    , m_serial(serial)
{
    const QString &log = m_text;
    const QString &header = m_header;

    // The read-end message after the block start: starts only move forward,
    // so an answer that still lies ahead is reused instead of searched again.
    qsizetype endFrom = -1;
    qsizetype endAt = 0;
    int lastKey = -1;

    qsizetype p = 1;
    for (;;) {
        const qsizetype h = findFrom(log, header, p);
        if (h == 0)
            break;
        qsizetype e = findFrom(log, CRLF, h + 1);
        if (e == 0)
            break; // a header line without an end: nothing after it can be listed
        qsizetype next = findFrom(log, header, e + 2);
        qint64 serialNo = 0;
        if (serial) {
            e = findFrom(log, CRLF, h + header.size());
            serialNo = text::val(text::mid(log, h + header.size(), 10));
        }
        const qsizetype from = e + 2;
        if (endFrom < 0 || from < endFrom || (endAt != 0 && endAt < from))
            endAt = findFrom(log, m_readEnd, from);
        endFrom = from;
        const qsizetype r = endAt;
        if ((next == 0 || next > r) && r > 0)
            next = r;
        if (next == 0)
            break;
        p = next;

        Block block { e + 2, next, serialNo, -1 };
        while (block.start + 1 < block.end && QStringView(log).mid(block.start - 1, 2) == CRLF)
            block.start += 2;
        const QStringView body = blockText(block);
        qsizetype cut = body.indexOf(u'(') + 1;
        const qsizetype s = body.indexOf(u'/') + 1 - 2;
        if (s > 0 && s < cut)
            cut = s;
        if (cut <= 0)
            continue;
        QStringView key = body.left(cut - 1);
        if (key == u"mail " || key == u"0:mail ")
            key = kMail;
        // Articles of one board follow each other: most keys are the last one.
        if (lastKey < 0 || m_keys[size_t(lastKey)] != key) {
            const auto it = m_keyIndex.find(key);
            if (it != m_keyIndex.end()) {
                lastKey = it->second;
            } else {
                lastKey = int(m_keys.size());
                m_keys.push_back(key.toString());
                m_keyIndex.emplace(QStringView(m_keys.back()), lastKey);
                m_blocksOfKey.emplace_back();
            }
        }
        block.key = lastKey;
        m_blocksOfKey[size_t(lastKey)].push_back(int(m_blocks.size()));
        m_blocks.push_back(block);
    }
}

bool ParsedLog::builtFor(
    const QString &text, const QString &articleHeader, const QString &readEnd, bool serial) const
{
    return m_text.constData() == text.constData() && m_text.size() == text.size() && m_header == articleHeader
        && m_readEnd == readEnd && m_serial == serial;
}

QStringView ParsedLog::blockText(const Block &block) const
{
    return QStringView(m_text).mid(block.start - 1, qMax<qsizetype>(0, block.end - block.start));
}

const std::vector<int> &ParsedLog::blocksOfKey(QStringView key) const
{
    const auto it = m_keyIndex.find(key);
    return it == m_keyIndex.end() ? kNoBlocks : m_blocksOfKey[size_t(it->second)];
}

bool ArticleLineTable::usable(const QString &boardKey)
{
    return !boardKey.contains(u'(') && !boardKey.contains(u'\r') && !boardKey.contains(u'\n');
}

ArticleLineTable::ArticleLineTable(const QString &text, const QStringList &boardKeys)
{
    m_keys.reserve(size_t(boardKeys.size()));
    for (const QString &key : boardKeys) {
        if (!usable(key) || m_keyIndex.count(key))
            continue;
        m_keys.push_back(key);
        m_keyIndex.emplace(QStringView(m_keys.back()), int(m_keys.size() - 1));
    }
    m_lines.resize(m_keys.size());
    if (m_keys.empty())
        return;

    // A key without "(" and line ends is the start of a line up to its first
    // "(". The number X of CRLF + key + "(" + X + "/" runs to the next "/";
    // that slash is searched forward only, so the pass stays linear.
    const QChar *d = text.constData();
    const qsizetype n = text.size();
    qsizetype slash = -1;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype cr = text.indexOf(CRLF, pos);
        if (cr < 0)
            break;
        const qsizetype lineStart = cr + 2;
        qsizetype k = lineStart;
        while (k < n && d[k] != u'(' && d[k] != u'\r')
            ++k;
        pos = k < n && d[k] == u'(' ? k : (k < n ? k : n);
        if (k >= n || d[k] != u'(')
            continue;
        const auto key = m_keyIndex.find(QStringView(d + lineStart, k - lineStart));
        if (key == m_keyIndex.end())
            continue;
        const qsizetype start = k + 1;
        if (slash < start) {
            slash = text.indexOf(u'/', start);
            if (slash < 0)
                break; // no slash from here on: no further line can match
        }
        m_lines[size_t(key->second)][QStringView(d + start, slash - start)].push_back(cr + 1);
    }
}

const ArticleLineTable::NumberLines *ArticleLineTable::linesOf(QStringView boardKey) const
{
    const auto it = m_keyIndex.find(boardKey);
    return it == m_keyIndex.end() ? nullptr : &m_lines[size_t(it->second)];
}

const ParsedLog &parsedLog(Session &session)
{
    const bool serial = session.Sirial_Flg == 1;
    if (!session.log.ParsedLogModel
        || !session.log.ParsedLogModel->builtFor(
            session.log.LogText, session.ArticleHeader, session.ReadEndMarker, serial))
        session.log.ParsedLogModel = std::make_shared<const ParsedLog>(
            session.log.LogText, session.ArticleHeader, session.ReadEndMarker, serial);
    return *session.log.ParsedLogModel;
}

} // namespace kavrel::logindex
