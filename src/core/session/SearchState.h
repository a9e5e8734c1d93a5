#pragma once

#include <QString>

namespace kavrel {

// The string and date-time search. Set by the search dialog; the reader and
// the unread search walk by it.
struct SearchState
{
    QString SearchFrom;
    QString SearchTo;
    bool DateSearchOn = false;
    bool StringSearchOn = false;
    QString SearchText;
};

} // namespace kavrel
