#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

namespace kavrel {
class Session;
}

namespace kavrel::commands {

// The local clock; tests give a fixed one.
using Clock = std::function<QDateTime()>;
Clock systemClock();

// Replaces the date and time placeholders of a signature ("%_YEAR_%",
// "%_MONTH_%", "%_month_%", "%_DAY_%", "%_WEEK_%", "%_week_%", "%_week2_%",
// "%_HOUR_%", "%_MIN_%", "%_SEC_%") by the clock's date and time. The clock is
// read anew for every replacement.
QString expandSignature(const QString &signature, const Clock &clock);

// Expands SignatureText of the session in place.
void ExpandSignature(Session &session, const Clock &clock = {});

// The date text "YY/MM/DD" and the time text "H:MM:SS" of a moment.
QString signatureDateText(const QDateTime &t);
QString signatureTimeText(const QDateTime &t);

} // namespace kavrel::commands
