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

// The send preview of the current net's up file as it stands in memory, its
// articles looked up in the index after bringing the net's logs up to date.
// A failing index checks no article and says why in error.
QList<commands::preview::Row> previewOfCurrentNet(const Session &session, QString *error = nullptr);

// Names for the window: the kind ("書込", "レス", "手紙", "チャット", "バッチ")
// and each warning.
QString shownKind(const QString &kind);
QString shownWarnings(const QStringList &warnings);

} // namespace kavrel::fulltext
