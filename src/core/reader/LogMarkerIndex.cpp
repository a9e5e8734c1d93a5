#include "reader/LogMarkerIndex.h"

#include "base/Text.h"
#include "session/Session.h"

#include <algorithm>

namespace kavrel::reader {

void Occurrences::build(const QString &haystack, const QString &needle)
{
    m_haystack = &haystack;
    m_needle = needle;
    m_positions.clear();
    m_next = 0;
    m_done = false;
}

bool Occurrences::extend() const
{
    if (m_done)
        return false;
    const qsizetype i = text::indexOfMarker(*m_haystack, m_needle, m_next);
    if (i < 0) {
        m_done = true;
        return false;
    }
    m_positions.push_back(i + 1);
    m_next = i + 1;
    return true;
}

qsizetype Occurrences::findFrom(qsizetype from) const
{
    if (from < 1)
        from = 1;
    if (!m_haystack)
        return 0;
    if (m_needle.isEmpty())
        return from <= m_haystack->size() + 1 ? from : 0; // an empty text is found wherever the search starts
    while ((m_positions.empty() || m_positions.back() < from) && extend()) { }
    const auto it = std::lower_bound(m_positions.cbegin(), m_positions.cend(), from);
    return it == m_positions.cend() ? 0 : *it;
}

qsizetype Occurrences::nth(qsizetype n) const
{
    if (n < 1 || !m_haystack || m_needle.isEmpty())
        return 0;
    while (qsizetype(m_positions.size()) < n && extend()) { }
    return n > qsizetype(m_positions.size()) ? 0 : m_positions[size_t(n - 1)];
}

void LogMarkerIndex::sync(const Session &session)
{
    const bool sameText = m_text.constData() == session.log.LogText.constData()
        && m_text.size() == session.log.LogText.size();
    // The keys of the numbered boards (chat rooms have none), looked at again
    // only when the board list changed: the copies kept here make any change
    // of the session's lists give them new data.
    const ListBox &boards = session.main.Board_List;
    const bool sameBoards = m_boardItems.constData() == boards.items.constData()
        && m_boardItems.size() == boards.items.size()
        && m_keySlots.constData() == session.log.BoardKeys.constData()
        && m_keySlots.size() == session.log.BoardKeys.size();
    if (!sameBoards) {
        QStringList boardKeys;
        for (qsizetype i = 0, k = 0; i < boards.ListCount(); ++i) {
            if (!boards.item(int(i)).startsWith(QLatin1String("[XCHAT]")))
                boardKeys.append(session.log.BoardKeys.value(k++));
        }
        if (boardKeys != m_boardKeys)
            m_table.reset();
        m_boardKeys = boardKeys;
        m_boardItems = boards.items;
        m_keySlots = session.log.BoardKeys;
    }
    if (!sameText)
        m_table.reset();
    if (!sameText) {
        m_lines.clear(); // its keys look into the old text
        m_text = session.log.LogText;
        m_header = {};
        m_end = {};
        m_board = {};
        m_prompt = {};
        m_sub = {};
        m_mail = {};
        m_mail0 = {};
    }
    m_articleHeader = session.ArticleHeader;
    m_readEnd = session.ReadEndMarker;
    if (m_mainPromptLine != session.MainPromptMarker) {
        m_mainPromptLine = session.MainPromptMarker;
        m_mainPrompt = text::left(session.MainPromptMarker, session.MainPromptMarker.size() - 1);
    }
    m_subcommand = session.SubcommandMarker;
}

const Occurrences &LogMarkerIndex::ensure(Occurrences &occ, const QString &needle)
{
    if (!occ.builtFor(needle))
        occ.build(m_text, needle);
    return occ;
}

const Occurrences &LogMarkerIndex::articleHeader()
{
    return ensure(m_header, m_articleHeader);
}

const Occurrences &LogMarkerIndex::readEnd()
{
    return ensure(m_end, m_readEnd);
}

const Occurrences &LogMarkerIndex::boardLine()
{
    return ensure(m_board, CRLF + QStringLiteral("No."));
}

const Occurrences &LogMarkerIndex::mainPrompt()
{
    return ensure(m_prompt, m_mainPrompt);
}

const Occurrences &LogMarkerIndex::subcommand()
{
    return ensure(m_sub, m_subcommand);
}

const Occurrences &LogMarkerIndex::mailLine()
{
    return ensure(m_mail, CRLF + QStringLiteral("mail"));
}

const Occurrences &LogMarkerIndex::mailLine0()
{
    return ensure(m_mail0, CRLF + QStringLiteral("0:mail"));
}

LogMarkerIndex::ArticleLines LogMarkerIndex::buildArticleLines(const QString &boardKey) const
{
    ArticleLines lines;
    const QString prefix = CRLF + boardKey + u'(';
    // A line CRLF + boardKey + "(" + X + "/" with X free of "/" occurs exactly
    // where the prefix occurs and the next "/" after it closes X; the next
    // slash is searched forward only, so the pass stays linear.
    qsizetype slash = -1;
    qsizetype i = m_text.indexOf(prefix, 0);
    while (i >= 0) {
        const qsizetype start = i + prefix.size();
        if (slash < start && slash != -2) {
            slash = m_text.indexOf(u'/', start);
            if (slash < 0)
                slash = -2; // no slash from here on: no further line can match
        }
        if (slash == -2)
            break;
        lines[QStringView(m_text).mid(start, slash - start)].push_back(i + 1);
        i = m_text.indexOf(prefix, i + 1);
    }
    return lines;
}

const std::vector<qsizetype> &LogMarkerIndex::articleLines(const QString &boardKey, const QString &key)
{
    static const std::vector<qsizetype> none;
    const ArticleLines *board = nullptr;
    if (logindex::ArticleLineTable::usable(boardKey)) {
        if (!m_table)
            m_table = std::make_unique<logindex::ArticleLineTable>(m_text, m_boardKeys);
        board = m_table->linesOf(boardKey);
    }
    if (!board) {
        auto it = m_lines.find(boardKey);
        if (it == m_lines.end())
            it = m_lines.insert(boardKey, buildArticleLines(boardKey));
        board = &it.value();
    }
    // key is "(" + number + "/"; a number holding "/" never ends at a slash.
    if (key.size() < 2 || !key.startsWith(u'(') || !key.endsWith(u'/'))
        return none;
    const QStringView number = QStringView(key).mid(1, key.size() - 2);
    if (number.contains(u'/'))
        return none;
    const auto it = board->find(number);
    return it == board->end() ? none : it->second;
}

qsizetype LogMarkerIndex::findArticleLine(const QString &boardKey, const QString &key, qsizetype from)
{
    const std::vector<qsizetype> &lines = articleLines(boardKey, key);
    if (from < 1)
        from = 1;
    const auto it = std::lower_bound(lines.cbegin(), lines.cend(), from);
    return it == lines.cend() ? 0 : *it;
}

} // namespace kavrel::reader
