#include "commands/Signature.h"

#include "base/Text.h"
#include "session/Session.h"

#include <array>

namespace kavrel::commands {

using namespace kavrel::text;

namespace {

// The names as the signatures in use spell them.
const std::array<const char16_t *, 12> kMonths = { u"JUNUARY", u"FEBRUARY", u"MARCH", u"APRIL", u"MAY",
    u"JUNE", u"JULY", u"AUGUST", u"SEPTEMBER", u"OCTOBAR", u"NOVENBER", u"DECENBER" };
// Sunday first.
const std::array<const char16_t *, 7> kWeekJa = { u"日", u"月", u"火", u"水", u"木", u"金", u"土" };
const std::array<const char16_t *, 7> kWeekEn
    = { u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Satday" };
const std::array<const char16_t *, 7> kWeekShort
    = { u"Sun.", u"Mon.", u"Tue.", u"Wed.", u"Thu.", u"Fri.", u"Sat." };

// Day of the week counted from Sunday = 1.
int weekday(const QDateTime &t)
{
    return t.date().dayOfWeek() % 7 + 1;
}

QString replacement(const QString &placeholder, const QDateTime &t)
{
    const QString date = signatureDateText(t);
    const QString time = signatureTimeText(t);
    if (placeholder == u"%_YEAR_%")
        return left(date, 2);
    if (placeholder == u"%_MONTH_%")
        return mid(date, 4, 2);
    if (placeholder == u"%_month_%") {
        const qint64 m = val(mid(date, 4, 2));
        return (m >= 1 && m <= 12) ? QString::fromUtf16(kMonths[m - 1]) : QString();
    }
    if (placeholder == u"%_DAY_%")
        return right(date, 2);
    if (placeholder == u"%_WEEK_%")
        return QString::fromUtf16(kWeekJa[weekday(t) - 1]);
    if (placeholder == u"%_week_%")
        return QString::fromUtf16(kWeekEn[weekday(t) - 1]);
    if (placeholder == u"%_week2_%")
        return QString::fromUtf16(kWeekShort[weekday(t) - 1]);
    const qsizetype firstColon = findFrom(time, u':');
    if (placeholder == u"%_HOUR_%")
        return left(time, firstColon - 1);
    if (placeholder == u"%_MIN_%") {
        const qsizetype secondColon = findFrom(time, u':', 4);
        return mid(time, firstColon + 1, secondColon - firstColon - 1);
    }
    return right(time, 2); // "%_SEC_%"
}

} // namespace

Clock systemClock()
{
    return [] { return QDateTime::currentDateTime(); };
}

QString signatureDateText(const QDateTime &t)
{
    return t.toString(QStringLiteral("yy/MM/dd"));
}

QString signatureTimeText(const QDateTime &t)
{
    return t.toString(QStringLiteral("H:mm:ss"));
}

QString expandSignature(const QString &signature, const Clock &clock)
{
    static const std::array<QString, 10> placeholders = { QStringLiteral("%_YEAR_%"),
        QStringLiteral("%_MONTH_%"), QStringLiteral("%_month_%"), QStringLiteral("%_DAY_%"),
        QStringLiteral("%_WEEK_%"), QStringLiteral("%_week_%"), QStringLiteral("%_week2_%"),
        QStringLiteral("%_HOUR_%"), QStringLiteral("%_MIN_%"), QStringLiteral("%_SEC_%") };
    const Clock now = clock ? clock : systemClock();
    QString text = signature;
    for (const QString &placeholder : placeholders) {
        qsizetype start = 1;
        for (;;) {
            const qsizetype pos = findFrom(text, placeholder, start);
            if (pos == 0)
                break;
            text
                = left(text, pos - 1) + replacement(placeholder, now()) + mid(text, pos + placeholder.size());
            start = pos + 1;
        }
    }
    return text;
}

void ExpandSignature(Session &session, const Clock &clock)
{
    session.composing.SignatureText = expandSignature(session.composing.SignatureText, clock);
}

} // namespace kavrel::commands
