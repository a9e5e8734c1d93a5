#include "fulltext/UpFileFacts.h"

#include "base/BoardItem.h"
#include "base/Cp932.h"
#include "base/FileIo.h"
#include "fulltext/FullTextIndex.h"
#include "logindex/BoardListFile.h"

namespace kavrel::fulltext {

namespace {

// An article as a reference line names it: "%005010" and "5010" alike.
QString articleKey(qint64 board, QString number)
{
    if (number.startsWith(u'%'))
        number.remove(0, 1);
    number = number.trimmed();
    while (number.size() > 1 && number.startsWith(u'0'))
        number.remove(0, 1);
    return QString::number(board) + u'/' + number;
}

} // namespace

UpFileFacts::UpFileFacts(FullTextIndex &index, const commands::preview::NetFiles &net)
{
    QByteArray sign;
    if (!net.signaturePath.isEmpty() && fileio::readAll(net.signaturePath, &sign, nullptr, true))
        m_facts.signature = cp932::decode(sign);

    QString boardList;
    if (logindex::BoardListFile::read(net.boardListPath, &boardList)) {
        for (const auto &entry : logindex::BoardListFile::parse(boardList)) {
            const BoardItem item = BoardItem::fromText(entry.text);
            if (item.isChat()) {
                m_facts.chatRoomNames.insert(item.number, item.text.trimmed());
                continue;
            }
            m_boards.insert(item.number);
            m_facts.boardNames.insert(item.number, item.name);
        }
    }
    for (const QString &log : net.logs) {
        for (const IndexedArticle &a : index.articlesOf(net.net, log)) {
            if (a.boardNo < 0)
                continue; // a chat room
            m_boards.insert(a.boardNo);
            m_articles.insert(articleKey(a.boardNo, a.number));
        }
    }
    m_facts.boardKnown = [this](qint64 board) { return m_boards.contains(board); };
    m_facts.articleKnown = [this](qint64 board, const QString &reference) {
        return m_articles.contains(articleKey(board, reference));
    };
}

QList<commands::preview::Row> previewOfNet(
    const commands::preview::NetFiles &net, const UpFile &up, QString *error)
{
    FullTextIndex index(net.appDir);
    if (!index.open() || !index.update(net.net)) {
        if (error)
            *error = index.errorText();
        return commands::preview::rows(up, {});
    }
    const UpFileFacts facts(index, net);
    return commands::preview::rows(up, facts.facts());
}

} // namespace kavrel::fulltext
