#include "base/BoardItemText.h"

#include "base/Text.h"

namespace kavrel::boarditem {

using namespace kavrel::text;

qint64 boardNumber(const QString &item)
{
    if (isChat(item))
        return 0;
    const qsizetype dot = findFrom(item, u'.');
    const qsizetype bracket = findFrom(item, QStringLiteral("｢"));
    if (dot == 0 || bracket == 0 || bracket <= dot)
        return 0;
    return val(mid(item, dot + 1, bracket - dot - 1));
}

qint64 fiveDigitBoardNumber(const QString &item)
{
    return val(mid(item, 4, 5));
}

bool isMailBox(const QString &item)
{
    return charAt(item, 4) == u'0' || mid(item, 4, 2) == QLatin1String(" 0");
}

bool isChat(const QString &item)
{
    return item.startsWith(kChatPrefix);
}

qint64 chatNumber(const QString &item)
{
    return val(between(item, 11, findFrom(item, u'.')));
}

QString between(const QString &s, qsizetype start, qsizetype end)
{
    if (start < 1 || end <= start)
        return {};
    return mid(s, start, end - start);
}

} // namespace kavrel::boarditem
