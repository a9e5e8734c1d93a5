#pragma once

#include "session/SearchState.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace kavrel {
class Session;
}

namespace kavrel::search {

// Whether a string or a date-time search is running.
bool searchActive(const Session &session);

// Ends a running search (both switches off); the texts stay for the dialog.
void endSearch(Session &session);

// The date and time of an article as its first line prints them: the text
// after the first blank up to the third; ":00" completes a time without
// seconds. Chat rows and unreadable numbers have none.
QString articleDateTime(QStringView article, const QString &key);

enum class Verdict { NoSearch, Hit, Miss };

// Whether an article's printed time (articleDateTime) lies in the range,
// ordered as the printed texts order.
bool inDateRange(const SearchState &search, const QString &when);
// Whether the article (its text as cut from the log, and its key
// "(" + number + "/") passes the running search. The text may be a view
// into the log: nothing is copied.
Verdict hitTest(const Session &session, QStringView article, const QString &key);

// Whether a command waiting in the up file (its lines as the mark row
// shows them) passes the running search: by its text alone, as a command
// carries no date and time of its own.
Verdict commandHitTest(const Session &session, const QStringList &lines);

} // namespace kavrel::search
