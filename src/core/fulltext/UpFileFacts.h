#pragma once

#include "commands/UpFilePreview.h"

#include <QSet>
#include <QString>

namespace kavrel::fulltext {

class FullTextIndex;

// What the send preview checks a net's up file against: the net's
// signature, the boards of its board list and of its logs, and the articles
// of its logs as the index holds them. The index is to be brought up to date
// first.
class UpFileFacts
{
public:
    UpFileFacts(FullTextIndex &index, const commands::preview::NetFiles &net);
    UpFileFacts(const UpFileFacts &) = delete;
    UpFileFacts &operator=(const UpFileFacts &) = delete;

    // Valid while this object lives.
    const commands::preview::Facts &facts() const { return m_facts; }

private:
    QSet<qint64> m_boards;
    QSet<QString> m_articles;
    commands::preview::Facts m_facts;
};

// The send preview of a net's up file, its articles looked up in the index
// after bringing the net's logs up to date. A failing index checks no
// article, names no board, and says why in error.
QList<commands::preview::Row> previewOfNet(
    const commands::preview::NetFiles &net, const UpFile &up, QString *error = nullptr);

} // namespace kavrel::fulltext
