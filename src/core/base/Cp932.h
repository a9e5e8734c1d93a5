#pragma once

#include <QByteArray>
#include <QString>

// Shift-JIS as the hosts and the users' files speak it (Microsoft's code page
// 932, with the NEC and IBM extensions). Every file Kavrel reads or writes goes
// through here.
namespace kavrel::cp932 {

// Decodes a whole file or field. Bytes that are not CP932 become a replacement
// character each and never swallow the text that follows; a lead byte cut off
// at the end of the input becomes U+FFFD.
QString decode(const QByteArray &bytes);

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
