#include "base/FileLookup.h"

#include "base/FileIo.h"

#include <QDir>
#include <QFileInfo>

namespace kavrel::fileio {

QString pathIgnoringCase(const QString &directory, const QString &name)
{
    QString exact = joinPath(directory, name);
    if (QFileInfo(exact).isFile())
        return exact;
    // An empty directory is the root, as joinPath forms it.
    const QDir dir(directory.isEmpty() ? QStringLiteral("/") : directory);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return joinPath(directory, entry);
    }
    return exact;
}

} // namespace kavrel::fileio
