#include "logindex/LogFiles.h"

#include "session/Session.h"

#include <QDir>

#include <algorithm>

namespace kavrel::logindex {

bool matchesLogPattern(const QString &name, const QString &pattern)
{
    if (pattern.isEmpty())
        return false;
    if (pattern == QLatin1String("*.*"))
        return true;
    auto same = [](QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); };
    // Greedy walk that returns to the last "*" on a mismatch: linear for the
    // usual patterns with one star, never exponential.
    qsizetype n = 0, p = 0;
    qsizetype starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern.at(p) == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern.at(p) == u'?' || same(pattern.at(p), name.at(n)))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern.at(p) == u'*')
        ++p;
    return p == pattern.size();
}

QStringList logFilesAmong(const QStringList &files, const QString &pattern)
{
    QStringList names;
    if (pattern.isEmpty())
        return names;
    for (const QString &file : files) {
        if (matchesLogPattern(file, pattern))
            names.append(file);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

QStringList listLogFiles(const Session &session)
{
    const QString pattern = session.netField(settings::NetRecord::Log_File_Name);
    if (pattern.isEmpty())
        return {};
    const QString dir = session.directory(settings::DirRecord::LOG_Dir);
    return logFilesAmong(QDir(dir).entryList(QDir::Files, QDir::NoSort), pattern);
}

} // namespace kavrel::logindex
