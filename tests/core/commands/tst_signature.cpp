#include "commands/Signature.h"

#include <QTest>

using namespace kavrel::commands;

class tst_Signature : public QObject
{
    Q_OBJECT

private slots:
    void expand_data();
    void expand();
    void clockIsReadForEveryReplacement();
};

void tst_Signature::expand_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("signature");
    QTest::addColumn<QString>("expanded");

    // Saturday, 6 December 1997.
    const QDateTime sat(QDate(1997, 12, 6), QTime(9, 5, 7));
    QTest::newRow("date parts") << sat << QStringLiteral("(%_YEAR_%/%_MONTH_%/%_DAY_%)")
                                << QStringLiteral("(97/12/06)");
    QTest::newRow("weekday names") << sat << QStringLiteral("%_WEEK_% %_week_% %_week2_%")
                                   << QStringLiteral("土 Satday Sat.");
    QTest::newRow("month name") << sat << QStringLiteral("%_month_%") << QStringLiteral("DECENBER");
    QTest::newRow("october") << QDateTime(QDate(2026, 10, 1), QTime(0, 0)) << QStringLiteral("%_month_%")
                             << QStringLiteral("OCTOBAR");
    QTest::newRow("january") << QDateTime(QDate(2026, 1, 4), QTime(0, 0))
                             << QStringLiteral("%_month_% %_WEEK_% %_week_%")
                             << QStringLiteral("JUNUARY 日 Sunday");
    QTest::newRow("one-digit hour") << sat << QStringLiteral("%_HOUR_%:%_MIN_%:%_SEC_%")
                                    << QStringLiteral("9:05:07");
    QTest::newRow("two-digit hour") << QDateTime(QDate(1997, 12, 6), QTime(23, 59, 1))
                                    << QStringLiteral("%_HOUR_%h%_MIN_%m%_SEC_%s")
                                    << QStringLiteral("23h59m01s");
    QTest::newRow("twice in a line") << sat << QStringLiteral("%_DAY_%-%_DAY_%") << QStringLiteral("06-06");
    QTest::newRow("no placeholders") << sat << QStringLiteral("山田太郎\r\nyamada@example")
                                     << QStringLiteral("山田太郎\r\nyamada@example");
    QTest::newRow("lower-case year stays")
        << sat << QStringLiteral("%_year_% %_Day_% %_YEAR%") << QStringLiteral("%_year_% %_Day_% %_YEAR%");
    QTest::newRow("empty") << sat << QString() << QString();
}

void tst_Signature::expand()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, signature);
    QFETCH(QString, expanded);
    QCOMPARE(expandSignature(signature, [now] { return now; }), expanded);
}

void tst_Signature::clockIsReadForEveryReplacement()
{
    int reads = 0;
    const QString out = expandSignature(QStringLiteral("%_SEC_% %_SEC_%"),
        [&reads] { return QDateTime(QDate(2000, 1, 1), QTime(0, 0, reads++)); });
    QCOMPARE(out, QStringLiteral("00 01"));
}

QTEST_GUILESS_MAIN(tst_Signature)
#include "tst_signature.moc"
