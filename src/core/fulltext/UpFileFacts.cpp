#include "fulltext/UpFileFacts.h"

#include "base/BoardItem.h"
#include "base/Cp932.h"
#include "base/FileIo.h"
#include "fulltext/FullTextIndex.h"
#include "logindex/BoardListFile.h"
#include "logindex/LogFiles.h"
#include "session/Session.h"

#include <QHash>

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

UpFileFacts::UpFileFacts(
    const Session &session, FullTextIndex &index, const QString &net, const QStringList &logs)
{
    QByteArray sign;
    const QString signPath = session.signatureFilePath();
    if (!signPath.isEmpty() && fileio::readAll(signPath, &sign, nullptr, true))
        m_facts.signature = cp932::decode(sign);

    QString boardList;
    if (logindex::BoardListFile::read(session.boardListFilePath(), &boardList)) {
        for (const auto &entry : logindex::BoardListFile::parse(boardList)) {
            const BoardItem item = BoardItem::fromText(entry.text);
            if (!item.isChat())
                m_boards.insert(item.number);
        }
    }
    for (const QString &log : logs) {
        for (const IndexedArticle &a : index.articlesOf(net, log)) {
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

QList<commands::preview::Row> previewOfCurrentNet(const Session &session, QString *error)
{
    const UpFile up(session.upFile.text());
    const QString net = session.netField(settings::NetRecord::Net_Name);
    FullTextIndex index(session.AppDir);
    if (!index.open() || !index.update(net)) {
        if (error)
            *error = index.errorText();
        return commands::preview::rows(up, {});
    }
    const UpFileFacts facts(session, index, net, logindex::listLogFiles(session));
    return commands::preview::rows(up, facts.facts());
}

QString shownKind(const QString &kind)
{
    static const QHash<QString, QString> names { { QStringLiteral("write"), QStringLiteral("書込") },
        { QStringLiteral("response"), QStringLiteral("レス") },
        { QStringLiteral("mail"), QStringLiteral("手紙") },
        { QStringLiteral("chat"), QStringLiteral("チャット") },
        { QStringLiteral("batch"), QStringLiteral("バッチ") } };
    return names.value(kind, kind);
}

QString shownWarnings(const QStringList &warnings)
{
    static const QHash<QString, QString> names { { QStringLiteral("empty"), QStringLiteral("本文なし") },
        { QStringLiteral("unknown-board"), QStringLiteral("ボードがありません") },
        { QStringLiteral("unknown-article"), QStringLiteral("記事がログにありません") },
        { QStringLiteral("no-recipient"), QStringLiteral("宛先なし") },
        { QStringLiteral("long-line"), QStringLiteral("80桁を超える行") },
        { QStringLiteral("unclosed"), QStringLiteral("終わりの行がありません") } };
    QStringList shown;
    for (const QString &w : warnings)
        shown << names.value(w, w);
    return shown.join(QStringLiteral("、"));
}

} // namespace kavrel::fulltext
