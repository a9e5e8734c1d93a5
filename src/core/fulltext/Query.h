#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace kavrel::fulltext {

// A full-text query as typed: words and "phrases" that must all occur, and
// the filters from:ID, board:N, net:NAME, since:YY/MM/DD and until:YY/MM/DD.
struct Query
{
    QStringList terms; // folded; each must occur in the article
    QString from; // sender ID, ASCII case ignored
    std::optional<int> board;
    QString net;
    QDate since;
    QDate until;
    QString error; // why the text is no query; empty when it is one

    bool isValid() const { return error.isEmpty(); }
    bool hasFilter() const
    {
        return !from.isEmpty() || board.has_value() || !net.isEmpty() || since.isValid() || until.isValid();
    }
};

Query parseQuery(const QString &text);

// "YY/MM/DD" (a year below 80 is 20xx); invalid when the text is no such date.
QDate parseShortDate(const QString &text);

} // namespace kavrel::fulltext
