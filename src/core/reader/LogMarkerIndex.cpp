#include "reader/LogMarkerIndex.h"

#include "base/Text.h"
#include "session/Session.h"

#include <algorithm>

namespace kavrel::reader {

void Occurrences::build(const QString &haystack, const QString &needle)
{
    m_needle = needle;
    m_textLength = haystack.size();
    m_built = true;
    m_positions.clear();
    if (needle.isEmpty())
        return; // an empty text is found wherever the search starts
    qsizetype i = haystack.indexOf(needle, 0);
    while (i >= 0) {
        m_positions.append(i + 1);
        i = haystack.indexOf(needle, i + 1);
    }
}

qsizetype Occurrences::findFrom(qsizetype from) const
{
    if (from < 1)
        from = 1;
    if (m_needle.isEmpty())
        return from <= m_textLength + 1 ? from : 0;
    const auto it = std::lower_bound(m_positions.cbegin(), m_positions.cend(), from);
    return it == m_positions.cend() ? 0 : *it;
}

qsizetype Occurrences::nth(qsizetype n) const
{
    if (n < 1 || n > m_positions.size())
        return 0;
    return m_positions.at(n - 1);
}

void LogMarkerIndex::sync(const Session &session)
{
    const bool sameText
        = m_text.constData() == session.LogText.constData() && m_text.size() == session.LogText.size();
    if (!sameText) {
        m_lines.clear(); // its keys look into the old text
        m_text = session.LogText;
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
    m_mainPrompt = text::left(session.MainPromptMarker, session.MainPromptMarker.size() - 1);
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
        lines[QStringView(m_text).mid(start, slash - start)].append(i + 1);
        i = m_text.indexOf(prefix, i + 1);
    }
    return lines;
}

const QList<qsizetype> &LogMarkerIndex::articleLines(const QString &boardKey, const QString &key)
{
    static const QList<qsizetype> none;
    auto board = m_lines.find(boardKey);
    if (board == m_lines.end())
        board = m_lines.insert(boardKey, buildArticleLines(boardKey));
    // key is "(" + number + "/"; a number holding "/" never ends at a slash.
    if (key.size() < 2 || !key.startsWith(u'(') || !key.endsWith(u'/'))
        return none;
    const QStringView number = QStringView(key).mid(1, key.size() - 2);
    if (number.contains(u'/'))
        return none;
    const auto it = board->constFind(number);
    return it == board->cend() ? none : it.value();
}

qsizetype LogMarkerIndex::findArticleLine(const QString &boardKey, const QString &key, qsizetype from)
{
    const QList<qsizetype> &lines = articleLines(boardKey, key);
    if (from < 1)
        from = 1;
    const auto it = std::lower_bound(lines.cbegin(), lines.cend(), from);
    return it == lines.cend() ? 0 : *it;
}

} // namespace kavrel::reader
