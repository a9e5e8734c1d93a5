#include "logindex/ParsedLog.h"

#include "base/Text.h"
#include "session/Session.h"

#include <algorithm>
#include <cstring>

namespace kavrel::logindex {

using text::findFrom;

size_t ViewHash::operator()(QStringView v) const noexcept
{
    // Four UTF-16 units at a time, each step mixed by a multiply: the keys are
    // short (numbers, IDs, board keys), and a unit-by-unit loop costs more
    // than the table lookups it serves.
    constexpr quint64 kMul = 0x9E3779B97F4A7C15ULL;
    const char16_t *p = v.utf16();
    qsizetype n = v.size();
    quint64 h = quint64(n) * kMul;
    for (; n >= 4; n -= 4, p += 4) {
        quint64 w;
        std::memcpy(&w, p, sizeof w);
        h = (h ^ w) * kMul;
        h ^= h >> 32;
    }
    quint64 w = 0;
    for (qsizetype i = 0; i < n; ++i)
        w |= quint64(p[i]) << (16 * i);
    h = (h ^ w) * kMul;
    h ^= h >> 29;
    return size_t(h);
}

namespace {
const QString kMail = QStringLiteral("mail");
const std::vector<int> kNoBlocks;
} // namespace

ParsedLog::ParsedLog(const QString &text, const QString &articleHeader, const QString &readEnd, bool serial)
    : ParsedLog(text, articleHeader, readEnd, serial, {}, nullptr)
{
}

std::shared_ptr<const ParsedLog> ParsedLog::build(const QString &text, const QString &articleHeader,
    const QString &readEnd, bool serial, const Progress &progress)
{
    bool cancelled = false;
    std::shared_ptr<const ParsedLog> model(
        new ParsedLog(text, articleHeader, readEnd, serial, progress, &cancelled));
    if (cancelled)
        return nullptr;
    return model;
}

ParsedLog::ParsedLog(const QString &text, const QString &articleHeader, const QString &readEnd, bool serial,
    const Progress &progress, bool *cancelled)
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

    constexpr qsizetype kReportEvery = 2 << 20;
    qsizetype nextReport = 0;
    qsizetype p = 1;
    for (;;) {
        if (progress && p >= nextReport) {
            if (!progress(p - 1, log.size())) {
                *cancelled = true;
                return;
            }
            nextReport = p + kReportEvery;
        }
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
    : m_text(text)
{
    m_keys.reserve(size_t(boardKeys.size()));
    for (const QString &key : boardKeys) {
        if (!usable(key) || m_keyIndex.count(key))
            continue;
        m_keys.push_back(key);
        m_keyIndex.emplace(QStringView(m_keys.back()), int(m_keys.size() - 1));
    }
    if (m_keys.empty())
        return;

    // A key without "(" and line ends is the start of a line up to its first
    // "(". The number X of CRLF + key + "(" + X + "/" runs to the next "/";
    // that slash is searched forward only, so the pass stays linear. Lines
    // are found by their line feed (a vector search), and a line's "(" is
    // looked for only as far as the longest key reaches.
    qsizetype longest = 0;
    for (const QString &key : m_keys)
        longest = std::max(longest, key.size());
    const QChar *d = m_text.constData();
    const qsizetype n = m_text.size();
    std::vector<qint32> groupOfLine;
    std::vector<qsizetype> lineAt;
    m_slots.assign(1024, -1);
    qsizetype slash = -1;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype lf = m_text.indexOf(u'\n', pos);
        if (lf < 0)
            break;
        pos = lf + 1;
        if (lf == 0 || d[lf - 1] != u'\r')
            continue;
        const qsizetype lineStart = lf + 1;
        const qsizetype limit = std::min(n, lineStart + longest + 1);
        qsizetype k = lineStart;
        while (k < limit && d[k] != u'(' && d[k] != u'\r')
            ++k;
        if (k >= limit || d[k] != u'(')
            continue;
        const auto key = m_keyIndex.find(QStringView(d + lineStart, k - lineStart));
        if (key == m_keyIndex.end())
            continue;
        const qsizetype start = k + 1;
        if (slash < start) {
            slash = m_text.indexOf(u'/', start);
            if (slash < 0)
                break; // no slash from here on: no further line can match
        }
        const QStringView number(d + start, slash - start);
        const quint32 hash = hashOf(key->second, number);
        qsizetype group = findGroup(key->second, number, hash);
        if (group < 0) {
            group = qsizetype(m_groups.size());
            m_groups.push_back({ start, slash - start, 0, 0, key->second, hash });
            if (m_groups.size() * 2 > m_slots.size())
                growSlots();
            else
                for (size_t s = hash & (m_slots.size() - 1);; s = (s + 1) & (m_slots.size() - 1)) {
                    if (m_slots[s] < 0) {
                        m_slots[s] = qint32(group);
                        break;
                    }
                }
        }
        ++m_groups[size_t(group)].count;
        groupOfLine.push_back(qint32(group));
        lineAt.push_back(lf); // the CR, 1-based
    }
    // Each group's lines side by side, in log order.
    qsizetype next = 0;
    for (Group &g : m_groups) {
        g.first = next;
        next += g.count;
        g.count = 0;
    }
    m_positions.resize(size_t(next));
    for (size_t i = 0; i < lineAt.size(); ++i) {
        Group &g = m_groups[size_t(groupOfLine[i])];
        m_positions[size_t(g.first + g.count++)] = lineAt[i];
    }
}

quint32 ArticleLineTable::hashOf(int key, QStringView number)
{
    return quint32(ViewHash()(number) ^ (quint64(key) * 0x9E3779B97F4A7C15ULL >> 17));
}

qsizetype ArticleLineTable::findGroup(int key, QStringView number, quint32 hash) const
{
    if (m_slots.empty())
        return -1;
    const size_t mask = m_slots.size() - 1;
    for (size_t s = hash & mask;; s = (s + 1) & mask) {
        const qint32 at = m_slots[s];
        if (at < 0)
            return -1;
        const Group &g = m_groups[size_t(at)];
        if (g.hash == hash && g.key == key
            && QStringView(m_text.constData() + g.numberAt, g.numberSize) == number)
            return at;
    }
}

void ArticleLineTable::growSlots()
{
    m_slots.assign(m_slots.size() * 2, -1);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = 0; i < m_groups.size(); ++i) {
        for (size_t s = m_groups[i].hash & mask;; s = (s + 1) & mask) {
            if (m_slots[s] < 0) {
                m_slots[s] = qint32(i);
                break;
            }
        }
    }
}

bool ArticleLineTable::covers(QStringView boardKey) const
{
    return m_keyIndex.count(boardKey) != 0;
}

std::span<const qsizetype> ArticleLineTable::linesOf(QStringView boardKey, QStringView number) const
{
    const auto key = m_keyIndex.find(boardKey);
    if (key == m_keyIndex.end())
        return {};
    const qsizetype group = findGroup(key->second, number, hashOf(key->second, number));
    if (group < 0)
        return {};
    const Group &g = m_groups[size_t(group)];
    return { m_positions.data() + g.first, size_t(g.count) };
}

const ParsedLog &parsedLog(Session &session)
{
    const bool serial = session.Sirial_Flg == 1;
    if (!session.ParsedLogModel
        || !session.ParsedLogModel->builtFor(
            session.LogText, session.ArticleHeader, session.ReadEndMarker, serial))
        session.ParsedLogModel = std::make_shared<const ParsedLog>(
            session.LogText, session.ArticleHeader, session.ReadEndMarker, serial);
    return *session.ParsedLogModel;
}

} // namespace kavrel::logindex
