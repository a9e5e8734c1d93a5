#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace kavrel {

// The string and date-time search. Set by the search dialog; the reader and
// the unread search walk by it.
struct SearchState
{
    // The date-time range, both ends included. Articles print their time as
    // "YY/MM/DD HH:MM:SS" and are compared as those texts order, so a bound
    // counts its two-digit year in one century (19YY).
    std::optional<QDateTime> SearchFrom;
    std::optional<QDateTime> SearchTo;
    bool DateSearchOn = false;
    bool StringSearchOn = false;
    QString SearchText;
};

// The bound a time printed as "YY/MM/DD HH:MM:SS" stands for; none when the
// text is not such a time.
std::optional<QDateTime> searchBound(const QString &text);
// A bound printed as the logs print times; empty for none.
QString searchBoundText(const std::optional<QDateTime> &bound);

} // namespace kavrel
