#pragma once

#include <QString>
#include <QStringList>

namespace kavrel {
class Session;
}

namespace kavrel::logindex {

// Whether a file name matches a log file pattern: "*" stands for any run of
// characters, "?" for one character, everything else for itself; letters match
// in either case. "*.*" matches every name, also one without a dot.
bool matchesLogPattern(const QString &name, const QString &pattern);

// The names among files that match a log file pattern, sorted by name as a
// file list shows them (letters in either case together).
QStringList logFilesAmong(const QStringList &files, const QString &pattern);

// The current net's log files: the names of the files in LOG_Dir that match
// its Log_File_Name pattern, sorted by name as a file list shows them.
QStringList listLogFiles(const Session &session);

} // namespace kavrel::logindex
