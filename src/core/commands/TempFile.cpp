#include "commands/TempFile.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "session/Session.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QStringDecoder>

namespace kavrel::commands::tempfile {

QString path(const Session &session)
{
    return session.appFile(QStringLiteral("TEMP.TXT"));
}

bool exists(const Session &session)
{
    return QFileInfo::exists(path(session));
}

bool write(Session &session, const QString &text, QString *error)
{
    fileio::FileError fileError;
    if (!fileio::writeAtomic(path(session), cp932::encode(text), &fileError)) {
        session.composing.TempStamp.clear();
        if (error)
            *error = fileError.toString();
        return false;
    }
    session.composing.TempStamp = stamp(session);
    return true;
}

void remove(Session &session)
{
    fileio::removeIfExists(path(session));
    session.composing.TempStamp.clear();
}

QString stamp(const Session &session)
{
    const QString p = path(session);
    QFileInfo info(p);
    if (!info.exists())
        return {};
    QByteArray bytes;
    fileio::readAll(p, &bytes);
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
    return info.lastModified().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + QString::number(info.size())
        + QLatin1Char(' ') + QString::fromLatin1(digest);
}

bool changedSinceStamp(const Session &session)
{
    const QString now = stamp(session);
    return !now.isEmpty() && now != session.composing.TempStamp;
}

QString decodeEdited(const QByteArray &rawBytes)
{
    QByteArray bytes = rawBytes;
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);

    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    QString text;
    bool decoded = false;
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString candidate = utf8.decode(bytes);
        if (!utf8.hasError()) {
            if (candidate.startsWith(QChar(0xFEFF)))
                candidate.remove(0, 1);
            text = candidate;
            decoded = true;
        }
    }
    if (!decoded)
        text = cp932::decode(bytes);

    // Line ends as the host reads them.
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            out += CRLF;
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += CRLF;
        } else {
            out += c;
        }
    }
    return out;
}

bool read(const Session &session, QString *text)
{
    QByteArray bytes;
    if (!fileio::readAll(path(session), &bytes))
        return false;
    *text = decodeEdited(bytes);
    return true;
}

} // namespace kavrel::commands::tempfile
