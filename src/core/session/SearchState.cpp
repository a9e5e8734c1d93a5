#include "session/SearchState.h"

#include <QTimeZone>

namespace kavrel {

namespace {

const QString kFormat = QStringLiteral("yy/MM/dd HH:mm:ss");

bool isDigits(QStringView text)
{
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

std::optional<QDateTime> searchBound(const QString &text)
{
    // Exactly the shape the logs print: two digits in every field.
    if (text.size() != 17 || text[2] != u'/' || text[5] != u'/' || text[8] != u' ' || text[11] != u':'
        || text[14] != u':')
        return std::nullopt;
    for (qsizetype at : { 0, 3, 6, 9, 12, 15 }) {
        if (!isDigits(QStringView(text).mid(at, 2)))
            return std::nullopt;
    }
    const QDate date(1900 + text.mid(0, 2).toInt(), text.mid(3, 2).toInt(), text.mid(6, 2).toInt());
    const QTime time(text.mid(9, 2).toInt(), text.mid(12, 2).toInt(), text.mid(15, 2).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, QTimeZone::utc());
}

QString searchBoundText(const std::optional<QDateTime> &bound)
{
    return bound ? bound->toString(kFormat) : QString();
}

} // namespace kavrel
