#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kavrel::fulltext {

// A trigram as one number: its three code points of 21 bits each, so that
// the numbers sort as the trigrams do.
using TrigramKey = quint64;

// Each trigram with the articles that hold it, in trigram order: article
// numbers counted from 1 in the order they were taken, as differences from
// the one before, in 7-bit groups.
using TrigramLists = std::vector<std::pair<TrigramKey, std::string>>;

// The keys of trigrams of three code points each.
std::vector<TrigramKey> trigramKeysOf(const QStringList &trigrams);

// Gathers a log's trigrams as its articles are parsed. A log's articles are
// written together, so their lists are held until then, packed.
class TrigramGatherer
{
public:
    // The trigrams of one article's text; one across a line end is left out,
    // since no term holds one.
    void take(QStringView text);
    // What was gathered; the gatherer starts again empty.
    TrigramLists finish();

private:
    struct List
    {
        quint32 last = 0; // the article added last
        std::string deltas;
    };
    std::unordered_map<TrigramKey, List> m_lists;
    quint32 m_article = 0;
};

// One stored block: its first trigram and its bytes. A block holds trigrams
// in order, each as its distance from the one before (0 for the first), the
// length of its list and the list: the records' ids as differences from the
// one before, starting from base - 1.
struct TrigramBlock
{
    TrigramKey first = 0;
    QByteArray bytes;
};

// Packs the lists into blocks of about 8 KB with the records' ids: idOf
// gives the id of each article number less one (0 when it is not written).
// Each block is handed to write as it is made, and each list let go once
// packed, so that a large log's lists and blocks are never both held; false
// as soon as write fails.
bool packTrigramBlocks(TrigramLists &lists, const std::vector<qint64> &idOf, qint64 base,
    const std::function<bool(const TrigramBlock &)> &write);

// Finds a trigram's list in a block whose first trigram is first: empty
// when the block has none; last is the block's last trigram. False when the
// block does not unpack (a damaged index).
bool listInBlock(
    QByteArrayView block, TrigramKey first, TrigramKey key, QByteArrayView *list, TrigramKey *last);

// Appends a list's ids. False when it does not unpack.
bool appendIds(QByteArrayView list, qint64 base, std::vector<qint64> *ids);

} // namespace kavrel::fulltext
