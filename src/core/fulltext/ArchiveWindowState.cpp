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
    m_boardIndex = -1;
    clearChosenBoard();
    m_error.clear();
    const bool updated = m_index.open() && m_index.update(net);
    m_notices = m_index.notices();
    if (!updated)
        return fail();
    // The boards, and a board's rows when it is chosen, as the index keeps them.
    if (!boardsOf(m_index, net, &m_boards))
        return fail();
    if (m_boards.isEmpty())
        return true;
    const bool known = boardNo && std::any_of(m_boards.cbegin(), m_boards.cend(), [&](const ArchiveBoard &b) {
        return b.boardNo == *boardNo;
    });
    chooseBoard(known ? *boardNo : m_boards.first().boardNo);
    return m_error.isEmpty();
}

void ArchiveWindowState::clearChosenBoard()
{
    m_boardRows.clear();
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
    if (!boardRows(m_index, m_net, boardNo, {}, &m_boardRows)
        || !monthsOf(m_index, m_net, boardNo, &m_months)) {
        fail();
        clearChosenBoard();
        return;
    }
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
    const DayRange range = days();
    if (range.isOpen()) {
        m_rows = m_boardRows;
    } else {
        QVector<ArchiveArticle> articles;
        articles.reserve(m_boardRows.size());
        for (const ArchiveRow &row : std::as_const(m_boardRows))
            articles.append(row.article);
        m_rows = archiveRowsOf(articles, range);
    }
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
