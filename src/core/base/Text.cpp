#include "base/Text.h"

namespace kavrel::text {

qsizetype findFrom(const QString &haystack, const QString &needle, qsizetype from)
{
    return findFrom(QStringView(haystack), QStringView(needle), from);
}

qsizetype findFrom(const QString &haystack, QChar needle, qsizetype from)
{
    return findFrom(QStringView(haystack), needle, from);
}

qsizetype findFrom(QStringView haystack, QStringView needle, qsizetype from)
{
    if (from < 1)
        from = 1;
    if (from > haystack.size() + 1)
        return 0;
    const qsizetype i = indexOfMarker(haystack, needle, from - 1);
    return i < 0 ? 0 : i + 1;
}

qsizetype findFrom(QStringView haystack, QChar needle, qsizetype from)
{
    if (from < 1)
        from = 1;
    if (from > haystack.size())
        return 0;
    const qsizetype i = haystack.indexOf(needle, from - 1);
    return i < 0 ? 0 : i + 1;
}

qsizetype indexOfMarker(QStringView haystack, QStringView needle, qsizetype from)
{
    if (from < 0)
        from = 0;
    if (needle.isEmpty())
        return from <= haystack.size() ? from : -1;
    qsizetype k = 0;
    while (k + 1 < needle.size()
        && (needle[k] == u'\r' || needle[k] == u'\n' || needle[k] == u' ' || needle[k] == u'\t'))
        ++k;
    const QChar anchor = needle[k];
    const qsizetype last = haystack.size() - needle.size();
    for (qsizetype i = from; i <= last; ++i) {
        const qsizetype a = haystack.indexOf(anchor, i + k);
        if (a < 0 || a - k > last)
            return -1;
        i = a - k;
        if (haystack.mid(i, needle.size()) == needle)
            return i;
    }
    return -1;
}

qsizetype findLast(const QString &haystack, const QString &needle)
{
    const qsizetype i = haystack.lastIndexOf(needle);
    return i < 0 ? 0 : i + 1;
}

QString mid(const QString &s, qsizetype start, qsizetype length)
{
    return midView(s, start, length).toString();
}

QStringView midView(QStringView s, qsizetype start, qsizetype length)
{
    if (start < 1) {
        if (length >= 0) {
            length += start - 1;
            if (length <= 0)
                return {};
        }
        start = 1;
    }
    if (start > s.size())
        return {};
    if (length < 0 || start - 1 + length > s.size())
        return s.mid(start - 1);
    return s.mid(start - 1, length);
}

QString left(const QString &s, qsizetype n)
{
    return n <= 0 ? QString() : s.left(n);
}

QString right(const QString &s, qsizetype n)
{
    return n <= 0 ? QString() : s.right(n);
}

QChar charAt(const QString &s, qsizetype pos)
{
    if (pos < 1 || pos > s.size())
        return QChar();
    return s.at(pos - 1);
}

qint64 val(const QString &s)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto skipBlanks = [&] {
        while (i < n && (s.at(i) == u' ' || s.at(i) == u'\t' || s.at(i) == u'\n' || s.at(i) == u'\r'))
            ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < n && (s.at(i) == u'-' || s.at(i) == u'+')) {
        negative = s.at(i) == u'-';
        ++i;
    }
    qint64 value = 0;
    for (;;) {
        skipBlanks();
        if (i >= n)
            break;
        const QChar c = s.at(i);
        if (c < u'0' || c > u'9')
            break;
        if (value < (qint64(1) << 58))
            value = value * 10 + (c.unicode() - u'0');
        ++i;
    }
    return negative ? -value : value;
}

QString numberWithBlank(qint64 n)
{
    return n < 0 ? QString::number(n) : QStringLiteral(" ") + QString::number(n);
}

QString trimTrailingBlanks(const QString &s)
{
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1) == u' ')
        --end;
    return s.left(end);
}

QString fixedWidth(const QString &s, qsizetype width)
{
    if (s.size() >= width)
        return s.left(width);
    return s + QString(width - s.size(), u' ');
}

} // namespace kavrel::text
