#include "reader/BoardTitles.h"

#include "reader/LogMarkerIndex.h"
#include "session/Session.h"

namespace kavrel::reader {

TitleList boardTitles(Session &session, LogMarkerIndex *index)
{
    const MainWindowState &m = session.main;
    const UpFile up(session.upFile.text());
    const settings::NetMarkers markers = settings::markersInUse(session);
    const BoardItem board = BoardItem::fromText(m.Board_List.selectedText());
    TitleListInput input { logindex::parsedLog(session), board,
        session.log.BoardKeys.value(m.Board_List.ListIndex), up, markers, session.Sirial_Flg == 1 };
    if (index && board.isChat()) {
        index->sync(session);
        input.chatStarts = &index->chatStarts(chatRoomKey(board.text), 1);
    }
    return titleListOf(input);
}

void loadTitleRows(MainWindowState &m, const TitleList &list)
{
    m.clearTitleColumns();
    const qsizetype n = list.size();
    m.BatchSet.items.reserve(n);
    m.Title.items.reserve(n);
    m.InfoColumn.items.reserve(n);
    m.SubjectColumn.items.reserve(n);
    // The rows keep pieces of the log: the columns hold the text they point into.
    m.Title.items.setSource(list.source());
    m.InfoColumn.items.setSource(list.source());
    m.SubjectColumn.items.setSource(list.source());
    const QString batch = QStringLiteral(" ");
    const QString marked = QStringLiteral("S");
    for (const TitleRow &row : list.rows) {
        m.BatchSet.items.append(row.batchMarked ? marked : batch);
        if (m.Title.items.texts().inSource(row.number))
            m.Title.items.appendBracketedPiece(row.depth, row.number);
        else
            m.Title.items.append(row.depth, row.bracketed());
        TextItems &info = m.InfoColumn.items;
        if (info.inSource(row.info))
            info.appendPiece(row.info);
        else
            info.append(row.info.toString(), 0);
        TextItems &title = m.SubjectColumn.items;
        if (title.inSource(row.title))
            title.appendPiece(row.title, false, row.blanks, row.serial);
        else
            title.append(row.title.toString(), row.blanks, row.serial);
    }
}

int showBoardTitles(Session &session, LogMarkerIndex *index)
{
    MainWindowState &m = session.main;
    m.ArticleCount.Caption = QStringLiteral("0/0");
    m.clearTitleColumns();
    if (m.Board_List.ListIndex < 0 || m.Board_List.ListIndex >= m.Board_List.ListCount())
        return -1;
    const TitleList list = boardTitles(session, index);
    loadTitleRows(m, list);

    const BoardItem board = BoardItem::fromText(m.Board_List.selectedText());
    const bool last = m.Board_List.ListIndex == m.Board_List.ListCount() - 1;
    if (board.batchNumber == 0 && !board.isChat() && m.Title.isEmpty())
        m.Article.addItem(QStringLiteral("このＬＯＧファイルにあなた宛のメールはありません"));
    if (!last && m.Article.isEmpty())
        m.Article.addItem(QStringLiteral("このボードにアーティクルはありません"));
    if (last && m.Title.isEmpty())
        m.Article.addItem(QStringLiteral("このボードが登録されてる最終ボードです。アーティクルはありません"));

    switch (session.reading.LastWrittenKind) {
    case ReaderMode::Mail:
        return list.newestMark(UpCommandKind::Mail);
    case ReaderMode::Write:
        return list.newestMark(UpCommandKind::Write);
    case ReaderMode::Response:
        return list.newestMark(UpCommandKind::Response);
    default:
        return -1;
    }
}

} // namespace kavrel::reader
