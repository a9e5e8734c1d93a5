#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Shift-JIS as the hosts and the users' files speak it (Microsoft's code page
// 932, with the NEC and IBM extensions). Every file Kavrel reads or writes goes
// through here.
//
// Decoding gives one character per CP932 character and never fails: ASCII and
// the controls stand for themselves, 0x80 is U+0080, 0xA0 and 0xFD-0xFF are
// U+F8F0-U+F8F3, and a byte that starts no character becomes one U+FFFD, with
// decoding going on at the next byte. Every character decoding gives, except
// U+FFFD, encodes back to a code that decodes to it again.
namespace kavrel::cp932 {

// Decodes a whole file or field. Bytes that are not CP932 become a replacement
// character each and never swallow the text that follows; a lead byte cut off
// at the end of the input becomes U+FFFD.
QString decode(QByteArrayView bytes);

// The same, in steps of at most pieceBytes bytes (see Decoder). decode() takes
// steps of kPieceBytes.
QString decode(QByteArrayView bytes, qsizetype pieceBytes);
inline constexpr qsizetype kPieceBytes = qsizetype(1) << 24;

// Decodes bytes that come in pieces (a file read in blocks, a large log in
// steps). A lead byte that ends one piece is joined with the first byte of the
// next, so the result does not depend on where the pieces are cut.
class Decoder
{
public:
    // Most UTF-16 units one decode() call writes for n bytes.
    static constexpr qsizetype maxUnits(qsizetype n) { return n + 1; }

    // Decodes piece into out, which has room for maxUnits(piece.size())
    // units, and returns the number of units written. With last set, a lead
    // byte cut off at the end becomes U+FFFD; otherwise it waits for the next
    // piece. Over a whole stream the units never outnumber the bytes, so one
    // buffer of as many units as the stream has bytes holds it all when each
    // call writes where the previous one stopped. The room past the units
    // written may be used as scratch.
    qsizetype decode(QByteArrayView piece, char16_t *out, bool last);

    // True while a lead byte from the previous piece waits for its trail byte.
    bool hasPendingByte() const { return m_pending >= 0; }

private:
    int m_pending = -1;
};

// Encodes a text. Characters that CP932 cannot hold come out as "?" here;
// use unencodable() first where the user must be told.
QByteArray encode(const QString &text);

// The distinct characters of text that CP932 cannot encode, in order of
// first appearance. Empty when the whole text can be written.
QString unencodable(const QString &text);

// Encodes text into a fixed-width record field: cut to at most width bytes
// without splitting a double-byte character, then padded with pad bytes.
QByteArray encodeField(const QString &text, int width, char pad = ' ');

// Number of bytes text takes in CP932.
qsizetype byteLength(const QString &text);

} // namespace kavrel::cp932
