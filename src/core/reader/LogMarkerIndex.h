#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include "logindex/ParsedLog.h"
#include "settings/NetMarkers.h"

#include <map>
#include <memory>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kavrel {
class Session;
}

namespace kavrel::reader {

// The start positions (1-based, overlapping ones included) of one text in a
// log, found forward as far as they are asked for and kept, so that "find
// from p" is a binary search and no part of the log is searched twice.
class Occurrences
{
public:
    // haystack must stay alive and unchanged while the positions are used.
    void build(const QString &haystack, const QString &needle);
    bool builtFor(const QString &needle) const { return m_haystack && m_needle == needle; }

    // The first position at or after from; 0 when there is none.
    qsizetype findFrom(qsizetype from) const;
    // The n-th occurrence (1-based); 0 when there are fewer.
    qsizetype nth(qsizetype n) const;
    const QString &needle() const { return m_needle; }

private:
    bool extend() const; // finds the next occurrence; false at the end

    const QString *m_haystack = nullptr;
    QString m_needle;
    mutable std::vector<qsizetype> m_positions;
    mutable qsizetype m_next = 0; // 0-based: where the next search starts
    mutable bool m_done = false;
};

// What the article view searches for again and again in one log: the
// markers that end an article, the command prompt, the mail lines and, for
// one board key, the article lines CRLF + key + "(" + number + "/". Built
// lazily, once per log and markers, and dropped when the log text changes.
class LogMarkerIndex
{
public:
    // Brings the index in line with the session's log and markers.
    void sync(const Session &session);
    // The same with a log, its markers and the keys of its numbered boards
    // given as values.
    void sync(const QString &text, const settings::NetMarkers &markers, const QStringList &boardKeys);

    const QString &text() const { return m_text; }
    const Occurrences &articleHeader();
    const Occurrences &readEnd();
    const Occurrences &boardLine(); // CRLF + "No."
    const Occurrences &mainPrompt(); // the main prompt without its last character
    const Occurrences &subcommand();
    const Occurrences &mailLine(); // CRLF + "mail"
    const Occurrences &mailLine0(); // CRLF + "0:mail"

    // Positions of CRLF + boardKey + key, where key is "(" + number + "/".
    // The list is sorted; empty when the line never occurs.
    std::span<const qsizetype> articleLines(const QString &boardKey, const QString &key);
    // The first such line at or after from; 0 when there is none. Lines are
    // searched directly until those searches have covered the log a little
    // more than once, which is about what building the table costs, and then
    // the table is built: the first articles shown after the open do not wait
    // for the lines of every board, and a long walk costs at most one pass
    // more than with the table alone.
    qsizetype findArticleLine(const QString &boardKey, const QString &key, qsizetype from);

    // Whether the caller is to search the log itself instead of the places
    // kept here: true for the first few asks after the log changed.
    bool takeDirectSearch() { return m_directSearches < kDirectSearches && ++m_directSearches > 0; }

    // The chat lines of a chat room: from position from on, each place of the
    // room's key is followed by four line ends, and where a "[" starts the
    // line after them, a chat begins (its position, 1-based). The walk goes on
    // after the fourth line end, and ends where fewer than four follow. Walked
    // once per log, room and start.
    const std::vector<qsizetype> &chatStarts(const QString &roomKey, qsizetype from);

private:
    using ArticleLines = std::unordered_map<QStringView, std::vector<qsizetype>, logindex::ViewHash>;
    void takeBoardKeys(const QStringList &boardKeys);
    void takeText(const QString &text);
    void takeMarkers(const settings::NetMarkers &markers);
    const Occurrences &ensure(Occurrences &occ, const QString &needle);
    ArticleLines buildArticleLines(const QString &boardKey) const;

    QString m_text; // a shared copy: the log cannot change under the index
    QString m_articleHeader, m_readEnd, m_mainPrompt, m_subcommand;
    Occurrences m_header, m_end, m_board, m_prompt, m_sub, m_mail, m_mail0;

    // The boards' keys: the article lines of all of them are found in one
    // pass over the log when the first article is shown.
    QStringList m_boardKeys;
    QStringList m_boardItems, m_keySlots; // the session's lists they were taken from
    QString m_mainPromptLine; // the marker m_mainPrompt was cut from
    std::unique_ptr<logindex::ArticleLineTable> m_table;
    // Article ends searched without the places, and the characters that
    // lines were searched over without the table, since they were dropped.
    static constexpr int kDirectSearches = 8;
    int m_directSearches = 0;
    qsizetype m_directScanned = 0;
    // Board key -> number -> positions, for keys the one pass cannot find;
    // kept for every such board visited.
    QHash<QString, ArticleLines> m_lines;
    // Room key and start -> the chats' positions, and where the room's key
    // was first found (walks from starts before it are the same walk).
    struct ChatWalk
    {
        qsizetype first = 0;
        std::vector<qsizetype> starts;
    };
    std::map<std::pair<QString, qsizetype>, ChatWalk> m_chats;
};

} // namespace kavrel::reader
