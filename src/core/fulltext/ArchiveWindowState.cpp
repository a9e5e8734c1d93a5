#include "fulltext/ArchiveWindowState.h"

#include <algorithm>

namespace kavrel::fulltext {

ArchiveWindowState::ArchiveWindowState(const QString &appDir)
    : m_index(appDir)
{
}

bool ArchiveWindowState::fail()
{
    m_error = m_index.errorText();
    return false;
}

bool ArchiveWindowState::open(const QString &net, std::optional<int> boardNo)
{
    m_net = net;
    m_boards.clear();
    m_articlesOf.clear();
    m_boardIndex = -1;
    clearChosenBoard();
    m_error.clear();
    const bool updated = m_index.open() && m_index.update(net);
    m_notices = m_index.notices();
    if (!updated)
        return fail();
    QVector<IndexedCapture> every;
    if (!m_index.capturesOf(net, std::nullopt, &every))
        return fail();
    // The net's records are read once: a board is chosen from memory.
    const QVector<ArchiveArticle> articles = articlesAcross(every);
    m_boards = boardsAcross(every, articles);
    for (const ArchiveArticle &a : articles)
        m_articlesOf[a.shown.boardNo].append(a);
    if (m_boards.isEmpty())
        return true;
    const bool known = boardNo && std::any_of(m_boards.cbegin(), m_boards.cend(), [&](const ArchiveBoard &b) {
        return b.boardNo == *boardNo;
    });
    chooseBoard(known ? *boardNo : m_boards.first().boardNo);
    return true;
}

void ArchiveWindowState::clearChosenBoard()
{
    m_articles.clear();
    m_months.clear();
    m_firstMonth = m_lastMonth = -1;
    m_rows.clear();
    m_row = -1;
    m_lines.clear();
}

void ArchiveWindowState::chooseBoard(int boardNo)
{
    m_boardIndex = -1;
    for (int i = 0; i < m_boards.size(); ++i) {
        if (m_boards.at(i).boardNo == boardNo)
            m_boardIndex = i;
    }
    clearChosenBoard();
    if (m_boardIndex < 0)
        return;
    m_articles = m_articlesOf.value(boardNo);
    m_months = articlesPerMonthOf(m_articles);
    filter();
}

std::optional<int> ArchiveWindowState::boardNo() const
{
    if (m_boardIndex < 0)
        return std::nullopt;
    return m_boards.at(m_boardIndex).boardNo;
}

void ArchiveWindowState::selectMonths(int from, int to)
{
    if (m_months.isEmpty())
        return;
    const int last = int(m_months.size()) - 1;
    from = std::clamp(from, 0, last);
    to = std::clamp(to, 0, last);
    m_firstMonth = std::min(from, to);
    m_lastMonth = std::max(from, to);
    filter();
}

void ArchiveWindowState::clearMonths()
{
    m_firstMonth = m_lastMonth = -1;
    filter();
}

DayRange ArchiveWindowState::days() const
{
    if (m_firstMonth < 0)
        return {};
    return daysOfMonths(m_months.at(m_firstMonth).first, m_months.at(m_lastMonth).first);
}

void ArchiveWindowState::filter()
{
    m_rows = archiveRowsOf(m_articles, days());
    m_row = -1;
    m_lines.clear();
}

bool ArchiveWindowState::chooseRow(int row)
{
    m_lines.clear();
    m_row = row >= 0 && row < m_rows.size() ? row : -1;
    if (m_row < 0)
        return true;
    if (!m_index.linesOf(m_rows.at(m_row).article.shown.id, &m_lines))
        return fail();
    return true;
}

Hit ArchiveWindowState::hitOf(int row) const
{
    const IndexedCapture &c = m_rows.at(row).article.shown;
    Hit h;
    h.dateTime = c.dateTime;
    h.net = m_net;
    h.logFile = c.logFile;
    h.boardNo = c.boardNo;
    h.board = QString::number(c.boardNo);
    h.boardName = c.boardName;
    h.number = c.number.trimmed();
    h.senderId = c.senderId;
    h.senderName = c.senderName;
    h.title = c.title;
    h.row = c.row;
    h.id = c.id;
    h.captures = m_rows.at(row).article.captures;
    return h;
}

} // namespace kavrel::fulltext
