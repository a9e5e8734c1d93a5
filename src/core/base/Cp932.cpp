#include "base/Cp932.h"

#include "base/Cp932Table.h"

#include <QSet>

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kavrel::cp932 {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr quint16 kNoCode = 0xFFFF; // no CP932 code; 0xFF is no lead byte

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

char16_t singleByte(unsigned char b)
{
    if (isLeadByte(b))
        return kReplacement;
    if (b <= 0x80)
        return b;
    if (b == 0xA0)
        return 0xF8F0;
    if (b <= 0xDF)
        return char16_t(0xFEC0 + b); // half-width katakana
    return char16_t(0xF8F1 + (b - 0xFD));
}

unsigned trailIndex(unsigned trail)
{
    return trail - (trail < 0x80 ? 0x40 : 0x41);
}

// Built once: the character of every single byte (U+FFFD for a lead byte),
// and of every pair a lead byte starts (U+FFFD when the pair is none).
struct Tables
{
    char16_t pair[0x10000];
    char16_t single[256];
    quint8 lead[256];
    quint16 code[0x10000]; // encoder: character -> code, kNoCode if none

    Tables()
    {
        for (unsigned i = 0; i < 0x10000; ++i)
            pair[i] = kReplacement;
        for (unsigned b = 0; b < 256; ++b) {
            lead[b] = isLeadByte(b) ? 1 : 0;
            single[b] = singleByte(b);
        }
        for (qsizetype r = 0; r < detail::kDoubleByteRowCount; ++r) {
            const detail::DoubleByteRow &row = detail::kDoubleByteRows[r];
            for (unsigned t = 0x40; t <= 0xFC; ++t) {
                if (t != 0x7F)
                    pair[unsigned(row.lead) << 8 | t] = row.chars[trailIndex(t)];
            }
        }
        // The user-defined area, lead bytes 0xF0-0xF9, in order from U+E000.
        for (unsigned b = 0xF0; b <= 0xF9; ++b) {
            for (unsigned t = 0x40; t <= 0xFC; ++t) {
                if (t != 0x7F)
                    pair[b << 8 | t] = char16_t(0xE000 + 188 * (b - 0xF0) + trailIndex(t));
            }
        }

        // Where several codes decode to one character, the lowest is written, except that an IBM
        // extension (lead 0xFA-0xFC) wins over its NEC-selected copy (lead 0xED-0xEE), as Windows
        // writes them: a character the user's editor saved as FA 40 goes back out as FA 40.
        for (unsigned i = 0; i < 0x10000; ++i)
            code[i] = kNoCode;
        for (unsigned b = 0; b < 256; ++b) {
            if (!lead[b])
                code[single[b]] = quint16(b);
        }
        for (unsigned b = 0; b < 256; ++b) {
            if (!lead[b])
                continue;
            for (unsigned t = 0; t < 256; ++t) {
                const char16_t ch = pair[b << 8 | t];
                if (ch == kReplacement)
                    continue;
                const bool necSelected
                    = code[ch] != kNoCode && (code[ch] >> 8) >= 0xED && (code[ch] >> 8) <= 0xEE;
                if (code[ch] == kNoCode || (necSelected && b >= 0xFA))
                    code[ch] = quint16(b << 8 | t);
            }
        }
        for (qsizetype i = 0; i < detail::kEncodeOnlyCount; ++i)
            code[detail::kEncodeOnly[i].ch] = detail::kEncodeOnly[i].code;
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

// Decodes from p while a byte follows it (p < last, last the final byte of
// the input) and returns where it stopped: at last when a byte is left over,
// else one past it.
//
// The steps branch on the kind of byte rather than computing the step from
// the looked-up character: log text comes in runs of one kind, so the
// branches are predicted and the next lookup need not wait for this one
// (measured about four times as fast on generated logs).
const uchar *decodeRun(const Tables &t, const uchar *p, const uchar *last, char16_t *&out)
{
    char16_t *o = out;
    while (p < last) {
        const unsigned c = p[0];
        if (c < 0x80) {
#if defined(__SSE2__)
            // ASCII, up to 16 bytes a step. All 16 are widened and stored; the
            // output has room, as every byte up to last makes at most one unit.
            if (last - p >= 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
                const __m128i zero = _mm_setzero_si128();
                _mm_storeu_si128(reinterpret_cast<__m128i *>(o), _mm_unpacklo_epi8(v, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(o + 8), _mm_unpackhi_epi8(v, zero));
                const unsigned high = unsigned(_mm_movemask_epi8(v));
                const int ascii = high != 0 ? std::countr_zero(high) : 16;
                p += ascii;
                o += ascii;
                continue;
            }
#endif
            *o++ = char16_t(c);
            ++p;
            continue;
        }
        if (t.lead[c]) {
            const char16_t ch = t.pair[c << 8 | p[1]];
            if (ch != kReplacement) {
                *o++ = ch;
                p += 2;
                continue;
            }
        }
        // A single byte, or a lead byte without its trail byte (U+FFFD; the
        // byte after it starts afresh).
        *o++ = t.single[c];
        ++p;
    }
    out = o;
    return p;
}

} // namespace

qsizetype Decoder::decode(QByteArrayView piece, char16_t *out, bool last)
{
    const Tables &t = tables();
    const auto *p = reinterpret_cast<const uchar *>(piece.data());
    const uchar *const end = p + piece.size();
    char16_t *o = out;

    if (m_pending >= 0) {
        if (p == end) {
            if (last) {
                *o++ = kReplacement;
                m_pending = -1;
            }
            return o - out;
        }
        const char16_t ch = t.pair[unsigned(m_pending) << 8 | p[0]];
        *o++ = ch;
        if (ch != kReplacement)
            ++p; // else the lead byte stands alone and the byte after it starts afresh
        m_pending = -1;
    }
    if (p == end)
        return o - out;

    p = decodeRun(t, p, end - 1, o);
    if (p < end) {
        // The final byte: a lead byte is cut off here.
        const unsigned c = p[0];
        if (!t.lead[c])
            *o++ = t.single[c];
        else if (last)
            *o++ = kReplacement;
        else
            m_pending = int(c);
    }
    return o - out;
}

QString decode(QByteArrayView bytes, qsizetype pieceBytes)
{
    if (bytes.isEmpty())
        return {};
    pieceBytes = qBound<qsizetype>(1, pieceBytes, bytes.size());
    // Every byte makes at most one unit, so the text fits in as many units as
    // there are bytes, the held-over lead byte included.
    QString text(bytes.size(), Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    qsizetype units = 0;
    Decoder decoder;
    for (qsizetype at = 0; at < bytes.size(); at += pieceBytes) {
        const qsizetype n = qMin(pieceBytes, bytes.size() - at);
        units += decoder.decode(bytes.sliced(at, n), out + units, at + n == bytes.size());
    }
    text.resize(units);
    // Japanese text takes about half the units it has bytes; give large
    // remainders back.
    if (text.capacity() - units > 4096 && text.capacity() - units > units / 8)
        text.squeeze();
    return text;
}

QString decode(QByteArrayView bytes)
{
    return decode(bytes, kPieceBytes);
}

QByteArray encode(const QString &text)
{
    if (text.isEmpty())
        return {};
    const Tables &t = tables();
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char *o = out.data();
    const char16_t *s = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *const end = s + text.size();
    while (s < end) {
        const char16_t ch = *s++;
        const quint16 code = t.code[ch];
        if (code < 0x100) {
            *o++ = char(code);
        } else if (code != kNoCode) {
            *o++ = char(code >> 8);
            *o++ = char(code & 0xFF);
        } else {
            // One "?" per character, a surrogate pair included.
            *o++ = '?';
            if (QChar::isHighSurrogate(ch) && s < end && QChar::isLowSurrogate(*s))
                ++s;
        }
    }
    out.truncate(o - out.constData());
    return out;
}

QString unencodable(const QString &text)
{
    const Tables &t = tables();
    QString bad;
    QSet<char32_t> seen; // a pasted foreign text can hold thousands of them
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (t.code[ch] != kNoCode)
            continue;
        const qsizetype len
            = (QChar::isHighSurrogate(ch) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const char32_t point = len == 2 ? QChar::surrogateToUcs4(ch, text.at(i + 1).unicode()) : ch;
        if (!seen.contains(point)) {
            seen.insert(point);
            bad.append(QStringView(text).mid(i, len));
        }
        i += len - 1;
    }
    return bad;
}

QByteArray encodeField(const QString &text, int width, char pad)
{
    QByteArray bytes = encode(text);
    if (bytes.size() > width) {
        // Cut before a double-byte character that would straddle the edge.
        qsizetype i = 0;
        while (i < bytes.size()) {
            const auto b = static_cast<unsigned char>(bytes.at(i));
            const qsizetype step = (isLeadByte(b) && i + 1 < bytes.size()) ? 2 : 1;
            if (i + step > width)
                break;
            i += step;
        }
        bytes.truncate(i);
    }
    if (bytes.size() < width)
        bytes.append(QByteArray(width - bytes.size(), pad));
    return bytes;
}

qsizetype byteLength(const QString &text)
{
    const Tables &t = tables();
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        const quint16 code = t.code[ch];
        if (code == kNoCode && QChar::isHighSurrogate(ch) && i + 1 < text.size()
            && text.at(i + 1).isLowSurrogate())
            ++i; // one "?"
        n += (code != kNoCode && code >= 0x100) ? 2 : 1;
    }
    return n;
}

} // namespace kavrel::cp932
