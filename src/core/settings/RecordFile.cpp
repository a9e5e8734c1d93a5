#include "settings/RecordFile.h"

namespace kavrel::settings {

QByteArray patchRecord(const QByteArray &content, qsizetype offset, const QByteArray &record, char gapFill)
{
    QByteArray out = content;
    if (out.size() < offset)
        out.append(QByteArray(offset - out.size(), gapFill));
    if (out.size() < offset + record.size())
        out.resize(offset + record.size());
    out.replace(offset, record.size(), record);
    return out;
}

bool writeRecord(
    const QString &path, qsizetype offset, const QByteArray &record, char gapFill, fileio::FileError *error)
{
    QByteArray content;
    if (!fileio::readAll(path, &content, error, true))
        return false;
    return fileio::writeAtomic(path, patchRecord(content, offset, record, gapFill), error);
}

} // namespace kavrel::settings
