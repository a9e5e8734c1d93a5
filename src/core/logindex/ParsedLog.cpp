#include "logindex/ParsedLog.h"

#include "base/Text.h"
#include "session/Session.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

size_t numberHash(QStringView number, quint64 salt) noexcept
{
    quint64 value = 0;
    bool digits = !number.isEmpty() && number.size() <= 18;
    for (qsizetype i = 0; digits && i < number.size(); ++i) {
        const char16_t c = number[i].unicode();
        digits = c >= u'0' && c <= u'9';
        value = value * 10 + (c - u'0');
    }
    quint64 h = digits ? (value >> 3) ^ (quint64(number.size()) << 59) : quint64(ViewHash()(number));
    h ^= salt * 0x9E3779B97F4A7C15ULL;
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 31;
    if (!digits)
        return size_t(h);
    const quint64 low = value & 7;
    return size_t((h & ~((quint64(7) << 32) | 7)) | (low << 32) | low);
}

namespace {
const QString kMail = QStringLiteral("mail");
const std::vector<int> kNoBlocks;

// Calls atLineFeed(i) for the index of every line feed of d, in order, until
// it answers false. Eight units are compared at a time where the processor
// can: most of a log is passed over with no call per line.
template <typename AtLineFeed> void forEachLineFeed(const char16_t *d, qsizetype n, AtLineFeed &&atLineFeed)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i lineFeed = _mm_set1_epi16(short(u'\n'));
    for (; i + 8 <= n; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(d + i));
        // Two bits per unit.
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(units, lineFeed)));
        while (mask != 0) {
            const int bit = std::countr_zero(mask);
            if (!atLineFeed(i + bit / 2))
                return;
            mask &= ~(3U << bit);
        }
    }
#endif
    for (; i < n; ++i) {
        if (d[i] == u'\n' && !atLineFeed(i))
            return;
    }
}
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
    std::vector<bool> firstUnits(65536, false); // what a key line can start with
    for (const QString &key : m_keys) {
        longest = std::max(longest, key.size());
        firstUnits[key.isEmpty() ? u'(' : key.at(0).unicode()] = true;
    }
    const char16_t *d = reinterpret_cast<const char16_t *>(m_text.constData());
    const qsizetype n = m_text.size();
    std::vector<qint32> groupOfLine;
    std::vector<qsizetype> lineAt;
    m_slots.assign(1024, Slot());
    qsizetype slash = -1;
    forEachLineFeed(d, n, [&](qsizetype lf) {
        if (lf == 0 || d[lf - 1] != u'\r')
            return true;
        const qsizetype lineStart = lf + 1;
        if (lineStart >= n || !firstUnits[d[lineStart]])
            return true;
        const qsizetype limit = std::min(n, lineStart + longest + 1);
        qsizetype k = lineStart;
        while (k < limit && d[k] != u'(' && d[k] != u'\r')
            ++k;
        if (k >= limit || d[k] != u'(')
            return true;
        const auto key = m_keyIndex.find(QStringView(d + lineStart, k - lineStart));
        if (key == m_keyIndex.end())
            return true;
        const qsizetype start = k + 1;
        if (slash < start) {
            slash = m_text.indexOf(u'/', start);
            if (slash < 0)
                return false; // no slash from here on: no further line can match
        }
        const QStringView number(d + start, slash - start);
        const quint32 hash = hashOf(key->second, number);
        qsizetype group = findGroup(key->second, number, hash);
        if (group < 0) {
            group = qsizetype(m_groups.size());
            m_groups.push_back({ start, slash - start, key->second, 0, 0 });
            if (m_groups.size() * 3 > m_slots.size() * 2) {
                // Kept at most two thirds full: twice the room, every group placed again.
                const std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(m_slots.size() * 2));
                for (const Slot &slot : old) {
                    if (slot.group >= 0)
                        place(slot.hash, slot.group);
                }
            }
            place(hash, qint32(group));
        }
        ++m_groups[size_t(group)].count;
        groupOfLine.push_back(qint32(group));
        lineAt.push_back(lf); // the CR, 1-based
        return true;
    });
    // Each group's lines side by side, in log order.
    qint32 next = 0;
    for (Group &g : m_groups) {
        g.first = next;
        next += g.count;
        g.count = 0;
    }
    m_positions.resize(size_t(next));
    for (size_t i = 0; i < lineAt.size(); ++i) {
        Group &g = m_groups[size_t(groupOfLine[i])];
        m_positions[size_t(g.first) + size_t(g.count++)] = lineAt[i];
    }
}

quint32 ArticleLineTable::hashOf(int key, QStringView number)
{
    return quint32(numberHash(number, quint64(key) + 1));
}

qsizetype ArticleLineTable::findGroup(int key, QStringView number, quint32 hash) const
{
    if (m_slots.empty())
        return -1;
    const size_t mask = m_slots.size() - 1;
    for (size_t s = hash & mask;; s = (s + 1) & mask) {
        const Slot &slot = m_slots[s];
        if (slot.group < 0)
            return -1;
        if (slot.hash != hash)
            continue;
        const Group &g = m_groups[size_t(slot.group)];
        if (g.key == key && QStringView(m_text.constData() + g.numberAt, g.numberSize) == number)
            return slot.group;
    }
}

void ArticleLineTable::place(quint32 hash, qint32 group)
{
    const size_t mask = m_slots.size() - 1;
    for (size_t s = hash & mask;; s = (s + 1) & mask) {
        if (m_slots[s].group < 0) {
            m_slots[s] = { hash, group };
            return;
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
    if (!session.log.ParsedLogModel
        || !session.log.ParsedLogModel->builtFor(
            session.log.LogText, session.ArticleHeader, session.ReadEndMarker, serial))
        session.log.ParsedLogModel = std::make_shared<const ParsedLog>(
            session.log.LogText, session.ArticleHeader, session.ReadEndMarker, serial);
    return *session.log.ParsedLogModel;
}

} // namespace kavrel::logindex
