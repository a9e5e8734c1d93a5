#pragma once

#include "commands/UpFilePreview.h"

#include <QSet>
#include <QString>

namespace kavrel {
class Session;
}

namespace kavrel::fulltext {

class FullTextIndex;

// What the send preview checks the current net's up file against: the
// net's signature, the boards of its board list and of its logs, and the
// articles of its logs as the index holds them. The index is to be brought
// up to date first.
class UpFileFacts
{
public:
    UpFileFacts(const Session &session, FullTextIndex &index, const QString &net, const QStringList &logs);
    UpFileFacts(const UpFileFacts &) = delete;
    UpFileFacts &operator=(const UpFileFacts &) = delete;

    // Valid while this object lives.
    const commands::preview::Facts &facts() const { return m_facts; }

private:
    QSet<qint64> m_boards;
    QSet<QString> m_articles;
    commands::preview::Facts m_facts;
};

} // namespace kavrel::fulltext
