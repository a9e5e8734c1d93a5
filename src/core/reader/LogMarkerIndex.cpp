#include "reader/LogMarkerIndex.h"

#include "base/Text.h"
#include "session/LogBoards.h"
#include "session/Session.h"

#include <algorithm>

namespace kavrel::reader {

namespace {

// The first place (1-based) of needle at or after from, 0 when none: as
// text::findFrom, but looking first for the needle's last character that is
// not ASCII (a room's name), not for its first (a digit, found all over a log).
qsizetype findRoomKey(const QString &log, const QString &needle, qsizetype from)
{
    if (from < 1)
        from = 1;
    qsizetype k = needle.size() - 1;
    while (k > 0 && needle.at(k).unicode() < 0x80)
        --k;
    if (needle.isEmpty() || needle.at(k).unicode() < 0x80)
        return text::findFrom(log, needle, from);
    const QChar anchor = needle.at(k);
    const QStringView hay(log);
    const qsizetype last = hay.size() - needle.size();
    for (qsizetype i = from - 1; i <= last; ++i) {
        const qsizetype a = hay.indexOf(anchor, i + k);
        if (a < 0 || a - k > last)
            return 0;
        i = a - k;
        if (hay.mid(i, needle.size()) == needle)
            return i + 1;
    }
    return 0;
}

} // namespace

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
        for (const BoardItem &board : boardItems(session)) {
            if (!board.isChat())
                boardKeys.append(board.key);
        }
        takeBoardKeys(boardKeys);
        m_boardItems = boards.items;
        m_keySlots = session.log.BoardKeys;
    }
    takeText(session.log.LogText);
    takeMarkers(settings::markersInUse(session));
}

void LogMarkerIndex::sync(
    const QString &text, const settings::NetMarkers &markers, const QStringList &boardKeys)
{
    takeBoardKeys(boardKeys);
    m_boardItems.clear();
    m_keySlots.clear();
    takeText(text);
    takeMarkers(markers);
}

void LogMarkerIndex::takeBoardKeys(const QStringList &boardKeys)
{
    if (boardKeys != m_boardKeys) {
        m_table.reset();
        m_directScanned = 0;
    }
    m_boardKeys = boardKeys;
}

void LogMarkerIndex::takeText(const QString &text)
{
    if (m_text.constData() == text.constData() && m_text.size() == text.size())
        return;
    m_table.reset();
    m_directSearches = 0;
    m_directScanned = 0;
    m_lines.clear(); // its keys look into the old text
    m_chats.clear();
    m_text = text;
    m_header = {};
    m_end = {};
    m_board = {};
    m_prompt = {};
    m_sub = {};
    m_mail = {};
    m_mail0 = {};
}

void LogMarkerIndex::takeMarkers(const settings::NetMarkers &markers)
{
    m_articleHeader = markers.ArticleHeader;
    m_readEnd = markers.ReadEndMarker;
    if (m_mainPromptLine != markers.MainPromptMarker) {
        m_mainPromptLine = markers.MainPromptMarker;
        m_mainPrompt = text::left(markers.MainPromptMarker, markers.MainPromptMarker.size() - 1);
    }
    m_subcommand = markers.SubcommandMarker;
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

const std::vector<qsizetype> &LogMarkerIndex::chatStarts(const QString &roomKey, qsizetype from)
{
    const auto found = m_chats.find({ roomKey, from });
    if (found != m_chats.end())
        return found->second.starts;
    // A walk from an earlier start whose key was first found at or after
    // this start is this walk.
    for (auto it = m_chats.lower_bound({ roomKey, 0 }); it != m_chats.end() && it->first.first == roomKey;
         ++it) {
        if (it->first.second < from && (it->second.first >= from || it->second.first == 0))
            return m_chats.emplace(std::make_pair(roomKey, from), it->second).first->second.starts;
    }
    ChatWalk walk;
    std::vector<qsizetype> &starts = walk.starts;
    const QString &log = m_text;
    qsizetype p = from;
    for (;;) {
        p = findRoomKey(log, roomKey, p);
        if (p == 0)
            break;
        if (walk.first == 0)
            walk.first = p;
        const qsizetype e1 = text::findFrom(log, CRLF, p);
        const qsizetype e2 = e1 ? text::findFrom(log, CRLF, e1 + 1) : 0;
        const qsizetype e3 = e2 ? text::findFrom(log, CRLF, e2 + 1) : 0;
        const qsizetype e4 = e3 ? text::findFrom(log, CRLF, e3 + 1) : 0;
        if (e4 == 0)
            break; // fewer than four lines follow: no chat can follow either
        if (text::charAt(log, e4 + 2) == u'[')
            starts.push_back(e4 + 2);
        p = e4 + 1;
    }
    return m_chats.emplace(std::make_pair(roomKey, from), std::move(walk)).first->second.starts;
}

std::span<const qsizetype> LogMarkerIndex::articleLines(const QString &boardKey, const QString &key)
{
    // key is "(" + number + "/"; a number holding "/" never ends at a slash.
    if (key.size() < 2 || !key.startsWith(u'(') || !key.endsWith(u'/'))
        return {};
    const QStringView number = QStringView(key).mid(1, key.size() - 2);
    if (number.contains(u'/'))
        return {};
    if (logindex::ArticleLineTable::usable(boardKey)) {
        if (!m_table)
            m_table = std::make_unique<logindex::ArticleLineTable>(m_text, m_boardKeys);
        if (m_table->covers(boardKey))
            return m_table->linesOf(boardKey, number);
    }
    auto it = m_lines.find(boardKey);
    if (it == m_lines.end())
        it = m_lines.insert(boardKey, buildArticleLines(boardKey));
    const auto lines = it.value().find(number);
    return lines == it.value().end() ? std::span<const qsizetype>()
                                     : std::span<const qsizetype>(lines->second);
}

qsizetype LogMarkerIndex::findArticleLine(const QString &boardKey, const QString &key, qsizetype from)
{
    // Where the table would find a line, the line's whole text is found.
    if (!m_table && m_directScanned < m_text.size() + m_text.size() / 4
        && logindex::ArticleLineTable::usable(boardKey) && key.size() >= 2 && key.startsWith(u'(')
        && key.endsWith(u'/') && !QStringView(key).mid(1, key.size() - 2).contains(u'/')) {
        const qsizetype start = qMax<qsizetype>(from, 1);
        const qsizetype p = text::findFrom(m_text, CRLF + boardKey + key, start);
        m_directScanned += qMax<qsizetype>(0, (p == 0 ? m_text.size() : p) - start + 1);
        return p;
    }
    const std::span<const qsizetype> lines = articleLines(boardKey, key);
    if (from < 1)
        from = 1;
    const auto it = std::lower_bound(lines.begin(), lines.end(), from);
    return it == lines.end() ? 0 : *it;
}

} // namespace kavrel::reader
