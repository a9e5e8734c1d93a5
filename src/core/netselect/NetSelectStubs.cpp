// STUB, TO BE DELETED AT MERGE: stand-ins for logindex::OpenFromNetScreen and
// logindex::listLogFiles, so that the net selection screen builds and its
// tests run before the log opening is merged. They do only what the screen's
// tests look at: the log path, the merge into Temp.log, and closing the screen.

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "logindex/LogFiles.h"
#include "logindex/LogOpener.h"
#include "session/Session.h"

#include <QDir>
#include <QRegularExpression>

namespace kavrel::logindex {

QStringList listLogFiles(const Session &session)
{
    const QString pattern = session.netField(settings::NetRecord::Log_File_Name);
    const QRegularExpression re(
        QRegularExpression::wildcardToRegularExpression(pattern), QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    const QDir dir(session.Dir[settings::DirRecord::LOG_Dir]);
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        if (re.match(name).hasMatch())
            names << name;
    }
    return names;
}

void OpenFromNetScreen(Session &session, const QStringList &selectedEntries)
{
    const QString logDir = session.Dir[settings::DirRecord::LOG_Dir];
    session.MultiSelectMode = 0;
    QString path;
    if (selectedEntries.size() == 1) {
        path = fileio::joinPath(logDir, selectedEntries.first());
    } else {
        QByteArray merged;
        for (const QString &entry : selectedEntries) {
            QByteArray bytes;
            fileio::readAll(fileio::joinPath(logDir, entry), &bytes);
            merged += bytes;
        }
        path = fileio::joinPath(logDir, QStringLiteral("Temp.log"));
        fileio::writeAtomic(path, merged);
        session.MultiSelectMode = 1;
    }
    session.LogPath = path;
    QByteArray bytes;
    fileio::readAll(path, &bytes);
    session.LogText = cp932::decode(bytes);
    session.netSelectVisible = false;
}

} // namespace kavrel::logindex
