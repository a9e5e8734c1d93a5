#include "fulltext/ArchiveWindowState.h"

#include <algorithm>

namespace kavrel::fulltext {

ArchiveWindowState::ArchiveWindowState(const QString &appDir, int pageRows)
    : m_index(appDir)
    , m_pageRows(std::max(pageRows, 1))
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
    m_boardRowCount = 0;
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
    if (!firstBoardRows(m_index, m_net, boardNo, m_pageRows, &m_boardRows, &m_boardRowCount)
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

bool ArchiveWindowState::readRows(qsizetype count)
{
    const qsizetype from = m_boardRows.size();
    if (from >= m_boardRowCount)
        return true;
    const std::optional<int> board = boardNo();
    if (board && m_index.keptRows(m_net, *board, from, count, &m_boardRows) && m_boardRows.size() > from)
        return true;
    // Fewer rows than the index said: the list ends with those read.
    m_boardRowCount = m_boardRows.size();
    m_error = m_index.errorText();
    return m_error.isEmpty();
}

bool ArchiveWindowState::readMore()
{
    return hasMonths() || readRows(m_pageRows);
}

bool ArchiveWindowState::readAll()
{
    return hasMonths() || readRows(m_boardRowCount - m_boardRows.size());
}

void ArchiveWindowState::filter()
{
    const DayRange range = days();
    m_rows.clear();
    if (!range.isOpen()) {
        // Threaded again: a response whose parent the days leave out is a top-level row.
        readRows(m_boardRowCount - m_boardRows.size());
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
    m_row = -1;
    while (row >= rows().size() && row < rowCount()) {
        if (!readMore())
            return false;
    }
    if (row < 0 || row >= rows().size())
        return true;
    m_row = row;
    if (!m_index.linesOf(rows().at(m_row).article.shown.id, &m_lines))
        return fail();
    return true;
}

Hit ArchiveWindowState::hitOf(int row) const
{
    const IndexedCapture &c = rows().at(row).article.shown;
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
    h.captures = rows().at(row).article.captures;
    return h;
}

} // namespace kavrel::fulltext
