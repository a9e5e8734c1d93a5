#include "fulltext/TrigramBlocks.h"

#include <algorithm>

namespace kavrel::fulltext {

namespace {

// Blocks about this large: a lookup reads one block, and each stored row
// costs a key and a cell.
constexpr qsizetype kBlockBytes = qsizetype(8) * 1024;

constexpr int kBits = 21;

TrigramKey keyOf(const uint *c)
{
    return (TrigramKey(c[0]) << (2 * kBits)) | (TrigramKey(c[1]) << kBits) | TrigramKey(c[2]);
}

template <typename Out> void appendVarint(Out *out, quint64 v)
{
    while (v >= 0x80) {
        out->push_back(char(v | 0x80));
        v >>= 7;
    }
    out->push_back(char(v));
}

// A number at at, moving at past it; false when it runs past the end.
bool readVarint(QByteArrayView bytes, qsizetype *at, quint64 *v)
{
    *v = 0;
    for (int shift = 0; shift < 64 && *at < bytes.size(); shift += 7) {
        const auto byte = quint8(bytes.at((*at)++));
        *v |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

} // namespace

std::vector<TrigramKey> trigramKeysOf(const QStringList &trigrams)
{
    std::vector<TrigramKey> out;
    for (const QString &t : trigrams) {
        const QList<uint> c = t.toUcs4();
        if (c.size() == 3)
            out.push_back(keyOf(c.constData()));
    }
    return out;
}

void TrigramGatherer::take(QStringView text)
{
    // A log of prose holds some hundred thousand distinct trigrams: room
    // for them is made once, not grown step by step.
    if (m_lists.empty())
        m_lists.reserve(size_t(1) << 17);
    ++m_article;
    const QList<uint> c = text.toUcs4();
    for (qsizetype i = 0; i + 3 <= c.size(); ++i) {
        if (c.at(i + 2) == '\n') {
            i += 2; // the next two cross it too
            continue;
        }
        if (c.at(i) == '\n' || c.at(i + 1) == '\n')
            continue;
        List &list = m_lists[keyOf(c.constData() + i)];
        if (list.last != m_article) {
            appendVarint(&list.deltas, m_article - list.last);
            list.last = m_article;
        }
    }
}

TrigramLists TrigramGatherer::finish()
{
    // Sorted as keys with the place of their list, which move cheaply.
    std::vector<std::pair<TrigramKey, std::string *>> order;
    order.reserve(m_lists.size());
    for (auto &[key, list] : m_lists)
        order.emplace_back(key, &list.deltas);
    std::sort(order.begin(), order.end());
    TrigramLists out;
    out.reserve(order.size());
    for (const auto &[key, deltas] : order)
        out.emplace_back(key, std::move(*deltas));
    m_lists = {};
    m_article = 0;
    return out;
}

bool packTrigramBlocks(TrigramLists &lists, const std::vector<qint64> &idOf, qint64 base,
    const std::function<bool(const TrigramBlock &)> &write)
{
    TrigramBlock block;
    TrigramKey previous = 0;
    QByteArray ids;
    for (auto &[key, deltas] : lists) {
        ids.clear();
        quint64 number = 0;
        qint64 lastId = base - 1;
        const QByteArrayView list(deltas.data(), qsizetype(deltas.size()));
        for (qsizetype at = 0; at < list.size();) {
            quint64 delta = 0;
            if (!readVarint(list, &at, &delta))
                break;
            number += delta;
            const qint64 id = number >= 1 && number <= idOf.size() ? idOf[size_t(number - 1)] : 0;
            if (id <= lastId)
                continue; // not written
            appendVarint(&ids, quint64(id - lastId));
            lastId = id;
        }
        std::string().swap(deltas);
        if (ids.isEmpty())
            continue;
        if (block.bytes.isEmpty())
            previous = block.first = key;
        appendVarint(&block.bytes, key - previous);
        appendVarint(&block.bytes, quint64(ids.size()));
        block.bytes += ids;
        previous = key;
        if (block.bytes.size() >= kBlockBytes) {
            if (!write(block))
                return false;
            block.bytes.resize(0); // its room is kept for the next
        }
    }
    return block.bytes.isEmpty() || write(block);
}

bool listInBlock(
    QByteArrayView block, TrigramKey first, TrigramKey key, QByteArrayView *list, TrigramKey *last)
{
    // The whole block is walked (its lists skipped), so that one cut short
    // or overwritten is seen as damaged.
    *list = {};
    TrigramKey at = first;
    qsizetype pos = 0;
    for (bool firstEntry = true; pos < block.size(); firstEntry = false) {
        quint64 distance = 0;
        quint64 length = 0;
        if (!readVarint(block, &pos, &distance) || (distance == 0) != firstEntry
            || !readVarint(block, &pos, &length) || length == 0 || length > quint64(block.size() - pos))
            return false;
        at += distance;
        if (at == key)
            *list = block.sliced(pos, qsizetype(length));
        pos += qsizetype(length);
    }
    *last = at;
    return pos == block.size() && !block.isEmpty();
}

bool appendIds(QByteArrayView list, qint64 base, std::vector<qint64> *ids)
{
    qint64 id = base - 1;
    for (qsizetype at = 0; at < list.size();) {
        quint64 delta = 0;
        if (!readVarint(list, &at, &delta) || delta == 0)
            return false;
        id += qint64(delta);
        ids->push_back(id);
    }
    return true;
}

} // namespace kavrel::fulltext
