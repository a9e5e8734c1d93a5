#include "rawlog/RawLogFile.h"

#include "base/Cp932.h"

#include <QStringDecoder>

#include <algorithm>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kavrel::rawlog {

namespace {

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// "<FF>": a byte that is no Shift-JIS.
QString hexByte(unsigned char b)
{
    return u'<' + QString::number(b, 16).toUpper().rightJustified(2, u'0') + u'>';
}

// Caret notation, which every font can show: CR is ^M, LF ^J, TAB ^I, ESC ^[, DEL ^?.
QString caret(unsigned char b)
{
    return u'^' + QChar(char16_t(b == 0x7F ? '?' : b + 0x40));
}

} // namespace

// Both counts add up the matches of each lane in a vector register and sum
// the lanes before a lane could overflow: the loop is one load, one compare
// and one subtraction per 16 bytes, as fast as memory delivers.
qsizetype countLineFeeds(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    qsizetype n = 0;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        __m128i acc = _mm_setzero_si128();
        const qsizetype rounds = std::min<qsizetype>(255, (end - p) / 16);
        for (qsizetype r = 0; r < rounds; ++r, p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            acc = _mm_sub_epi8(acc, _mm_cmpeq_epi8(v, lf));
        }
        const __m128i sums = _mm_sad_epu8(acc, _mm_setzero_si128());
        n += _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
    }
#endif
    for (; p < end; ++p)
        n += *p == '\n' ? 1 : 0;
    return n;
}

qsizetype countLineFeeds(QStringView text)
{
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    qsizetype n = 0;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi16(u'\n');
    const __m128i ones = _mm_set1_epi16(1);
    while (end - p >= 8) {
        __m128i acc = _mm_setzero_si128();
        const qsizetype rounds = std::min<qsizetype>(32767, (end - p) / 8);
        for (qsizetype r = 0; r < rounds; ++r, p += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            acc = _mm_sub_epi16(acc, _mm_cmpeq_epi16(v, lf));
        }
        const __m128i sums = _mm_madd_epi16(acc, ones); // four 32-bit sums
        alignas(16) qint32 lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i *>(lanes), sums);
        n += qsizetype(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
    }
#endif
    for (; p < end; ++p)
        n += *p == u'\n' ? 1 : 0;
    return n;
}

bool RawLogFile::open(const QString &path, fileio::FileError *error)
{
    close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = { path, m_file.errorString() };
        return false;
    }
    m_size = m_file.size();
    if (m_size > 0) {
        m_data = reinterpret_cast<const char *>(m_file.map(0, m_size));
        if (!m_data) {
            if (error)
                *error = { path, m_file.errorString() };
            m_file.close();
            m_size = 0;
            return false;
        }
    }
    m_path = path;
    m_open = true;

    const qsizetype blocks = qsizetype((m_size + kBlock - 1) / kBlock);
    m_endsBefore.resize(blocks + 1);
    qsizetype total = 0;
    for (qsizetype b = 0; b < blocks; ++b) {
        m_endsBefore[b] = total;
        const qint64 from = b * kBlock;
        total += countLineFeeds(bytes().sliced(from, std::min(kBlock, m_size - from)));
    }
    m_endsBefore[blocks] = total;
    m_lineCount = total + ((m_size > 0 && m_data[m_size - 1] != '\n') ? 1 : 0);
    return true;
}

void RawLogFile::close()
{
    if (m_data)
        m_file.unmap(reinterpret_cast<uchar *>(const_cast<char *>(m_data)));
    m_file.close();
    m_data = nullptr;
    m_size = 0;
    m_lineCount = 0;
    m_open = false;
    m_path.clear();
    m_endsBefore.clear();
    m_blockEnds.clear();
}

const QList<qint64> &RawLogFile::lineEndsOfBlock(qsizetype block) const
{
    if (QList<qint64> *cached = m_blockEnds.object(block))
        return *cached;
    auto *ends = new QList<qint64>;
    const qint64 from = block * kBlock;
    const qint64 to = std::min(from + kBlock, m_size);
    ends->reserve(m_endsBefore.at(block + 1) - m_endsBefore.at(block));
    for (const char *p = m_data + from, *end = m_data + to;;) {
        p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        if (!p)
            break;
        ends->append(p - m_data);
        ++p;
    }
    m_blockEnds.insert(block, ends, 1);
    return *m_blockEnds.object(block);
}

qint64 RawLogFile::lineStart(qsizetype line) const
{
    if (line <= 0)
        return 0;
    if (line >= m_lineCount)
        return m_size;
    // Line n begins after the n-th LF (counted from 1).
    const auto it = std::lower_bound(m_endsBefore.cbegin(), m_endsBefore.cend(), line);
    const qsizetype block = (it - m_endsBefore.cbegin()) - 1;
    return lineEndsOfBlock(block).at(line - m_endsBefore.at(block) - 1) + 1;
}

QByteArrayView RawLogFile::lineBytes(qsizetype line) const
{
    if (line < 0 || line >= m_lineCount)
        return {};
    const qint64 start = lineStart(line);
    return bytes().sliced(start, lineStart(line + 1) - start);
}

qsizetype RawLogFile::lineAt(qint64 offset) const
{
    if (offset <= 0 || m_size == 0)
        return 0;
    if (offset >= m_size)
        return std::max<qsizetype>(0, m_lineCount - 1);
    const qsizetype block = qsizetype(offset / kBlock);
    const QList<qint64> &ends = lineEndsOfBlock(block);
    // The LFs before offset: those of earlier blocks and those before it in its own.
    return m_endsBefore.at(block) + (std::lower_bound(ends.cbegin(), ends.cend(), offset) - ends.cbegin());
}

QString RawLogFile::text(qsizetype line) const
{
    QByteArrayView b = lineBytes(line);
    if (b.endsWith('\n'))
        b.chop(1);
    if (b.endsWith('\r'))
        b.chop(1);
    return cp932::decode(b.toByteArray());
}

QList<DisplayPiece> RawLogFile::displayPieces(qsizetype line) const
{
    const QByteArrayView b = lineBytes(line);
    QStringDecoder decoder("windows-31j", QStringDecoder::Flag::Stateless);
    QList<DisplayPiece> out;
    auto add = [&](const QString &text, bool marker) {
        if (!out.isEmpty() && out.last().marker == marker)
            out.last().text += text;
        else
            out.append({ text, marker });
    };
    auto decodeUnit = [&](qsizetype at, qsizetype length) {
        const QString s = decoder.decode(b.sliced(at, length));
        // The codec answers a byte it cannot map with U+FFFD or with the
        // substitute character U+001A.
        if (s.size() == 1 && s.at(0) != QChar::ReplacementCharacter && s.at(0) != u'\x1a') {
            add(s, false);
        } else {
            for (qsizetype k = 0; k < length; ++k)
                add(hexByte(static_cast<unsigned char>(b.at(at + k))), true);
        }
    };
    for (qsizetype i = 0; i < b.size();) {
        const auto c = static_cast<unsigned char>(b.at(i));
        if (c < 0x20 || c == 0x7F) {
            add(caret(c), true);
            ++i;
        } else if (c < 0x80) {
            add(QString(QChar(char16_t(c))), false);
            ++i;
        } else if (isLeadByte(c) && i + 1 < b.size()
            && isTrailByte(static_cast<unsigned char>(b.at(i + 1)))) {
            decodeUnit(i, 2);
            i += 2;
        } else {
            decodeUnit(i, 1); // half-width kana, or a byte that is none
            ++i;
        }
    }
    return out;
}

QString RawLogFile::displayText(qsizetype line) const
{
    QString out;
    for (const DisplayPiece &piece : displayPieces(line))
        out += piece.text;
    return out;
}

bool RawLogFile::isBoardLine(qsizetype line) const
{
    return lineBytes(line).startsWith("No.");
}

qsizetype RawLogFile::find(const QString &needle, qsizetype from, bool forward) const
{
    if (needle.isEmpty() || m_lineCount == 0 || !cp932::unencodable(needle).isEmpty())
        return -1;
    const QByteArray key = cp932::encode(needle);
    // A byte match may begin on the second byte of a double-byte character:
    // the line's text tells.
    auto matchIn = [&](qint64 at) {
        const qsizetype line = lineAt(at);
        return text(line).contains(needle) ? line : -1;
    };
    if (forward) {
        const qint64 start = lineStart(std::min(from + 1, m_lineCount));
        for (const auto &[begin, end] : { std::pair<qint64, qint64> { start, m_size }, { 0, start } }) {
            for (qint64 at = bytes().indexOf(key, begin); at >= 0 && at < end;
                 at = bytes().indexOf(key, at + 1)) {
                const qsizetype line = matchIn(at);
                if (line >= 0)
                    return line;
            }
        }
    } else {
        // The last match that begins before the line, then round from the end.
        const qint64 start = lineStart(std::max<qsizetype>(from, 0));
        for (const auto &[last, stop] :
            { std::pair<qint64, qint64> { start - 1, 0 }, { m_size - 1, start } }) {
            for (qint64 at = last < 0 ? -1 : bytes().lastIndexOf(key, last); at >= stop;
                 at = at == 0 ? -1 : bytes().lastIndexOf(key, at - 1)) {
                const qsizetype line = matchIn(at);
                if (line >= 0)
                    return line;
            }
        }
    }
    return -1;
}

ArticleLines RawLogFile::locate(
    const QString &logText, qsizetype shownStart, const QStringList &articleLines) const
{
    // The log text was decoded from this file, line end for line end: an
    // article in the second half is counted from the end, and the line found
    // is checked against the article's first line.
    if (shownStart <= 0)
        return {};
    auto holdsArticle = [&](const ArticleLines &lines) {
        return lines.first >= 0 && text(lines.first) == articleLines.first().section(u'\n', 0, 0);
    };
    if (shownStart > logText.size() / 2 && !articleLines.isEmpty() && !m_endsBefore.isEmpty()) {
        ArticleLines lines = shownArticleLines(logText, 0, articleLines);
        lines.first = m_endsBefore.last() - countLineFeeds(QStringView(logText).sliced(shownStart - 1));
        if (holdsArticle(lines))
            return lines;
    }
    // When the view no longer shows the article's lines (a notice took their
    // place) the place is kept and nothing is marked.
    ArticleLines lines = shownArticleLines(logText, shownStart, articleLines);
    if (!lines.isEmpty() && !holdsArticle(lines))
        lines.count = 0;
    return lines;
}

ArticleLines shownArticleLines(const QString &logText, qsizetype shownStart, const QStringList &articleLines)
{
    ArticleLines out;
    if (shownStart < 0 || shownStart > logText.size() || articleLines.isEmpty())
        return out;
    // A bare LF inside a shown line starts another line of the file.
    out.count = articleLines.size();
    for (const QString &line : articleLines)
        out.count += countLineFeeds(QStringView(line));
    out.first = shownStart == 0 ? -1 : countLineFeeds(QStringView(logText).first(shownStart - 1));
    return out;
}

} // namespace kavrel::rawlog
