#pragma once

#include "base/FileIo.h"

#include <QByteArray>
#include <QString>

// DIR.DEF, SET.def and DATA.DEF are files of fixed record slots. A record is
// never written in place: the whole content is read, the record patched into
// it, and the file written whole and atomically.
namespace kavrel::settings {

// content with record laid over it at offset. Bytes before offset that the
// content does not reach are filled with gapFill; bytes after the record stay.
QByteArray patchRecord(const QByteArray &content, qsizetype offset, const QByteArray &record, char gapFill);

// Reads path (a missing file counts as empty), patches the record in at
// offset and writes the file whole.
bool writeRecord(
    const QString &path, qsizetype offset, const QByteArray &record, char gapFill, fileio::FileError *error);

} // namespace kavrel::settings
