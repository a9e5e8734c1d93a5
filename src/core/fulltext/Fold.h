#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace kavrel::fulltext {

// Folds a text the way the full-text search compares: ASCII letters in lower
// case, full-width ASCII (and the ideographic blank) as half-width ASCII, and
// half-width katakana as full-width katakana (a following voiced mark joins
// the kana). The index and the queries are folded alike.
//
// origin, when given, receives for each folded character the position of the
// character of text it came from.
QString fold(QStringView text, QList<qsizetype> *origin = nullptr);

} // namespace kavrel::fulltext
