#include "base/Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace kavrel::cp932 {

namespace {

constexpr const char *kCodecName = "windows-31j";

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// True when the last byte of the input is a lead byte that waits for a
// trail byte the input does not have.
bool endsWithCutLeadByte(const QByteArray &bytes)
{
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        if (isLeadByte(b)) {
            if (i + 1 >= n)
                return true;
            i += isTrailByte(static_cast<unsigned char>(bytes.at(i + 1))) ? 2 : 1;
        } else {
            ++i;
        }
    }
    return false;
}

} // namespace

QString decode(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QStringDecoder decoder(kCodecName);
    if (!endsWithCutLeadByte(bytes))
        return decoder.decode(bytes);
    QString text = decoder.decode(QByteArrayView(bytes).first(bytes.size() - 1));
    text.append(QChar::ReplacementCharacter);
    return text;
}

QByteArray encode(const QString &text)
{
    if (text.isEmpty())
        return {};
    QStringEncoder encoder(kCodecName);
    QByteArray out = encoder.encode(text);
    if (!encoder.hasError())
        return out;
    // Slow path: replace what cannot be written by "?" character by character,
    // so that one stray character does not turn into the codec's filler.
    out.clear();
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        QStringEncoder one(kCodecName);
        QByteArray piece = one.encode(QStringView(text).mid(i, len));
        out.append(one.hasError() ? QByteArray("?") : piece);
        i += len - 1;
    }
    return out;
}

QString unencodable(const QString &text)
{
    QString bad;
    {
        QStringEncoder encoder(kCodecName);
        const QByteArray all = encoder.encode(text);
        Q_UNUSED(all);
        if (!encoder.hasError())
            return bad;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView piece = QStringView(text).mid(i, len);
        QStringEncoder one(kCodecName);
        const QByteArray out = one.encode(piece);
        Q_UNUSED(out);
        if (one.hasError() && !bad.contains(piece))
            bad.append(piece);
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
    return encode(text).size();
}

} // namespace kavrel::cp932
