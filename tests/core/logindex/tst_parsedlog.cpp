#include "TestSupport.h"
#include "logindex/ParsedLog.h"

#include <QTest>

using namespace kavrel;
using logindex::ArticleLineTable;

namespace {

// The lines of one key and number found literally: every CRLF + key + "("
// whose number, up to the next "/", is the one asked for.
std::vector<qsizetype> literalLines(const QString &text, const QString &key, const QString &number)
{
    std::vector<qsizetype> lines;
    const QString prefix = QStringLiteral("\r\n") + key + u'(';
    for (qsizetype i = text.indexOf(prefix); i >= 0; i = text.indexOf(prefix, i + 1)) {
        const qsizetype start = i + prefix.size();
        const qsizetype slash = text.indexOf(u'/', start);
        if (slash >= 0 && text.mid(start, slash - start) == number)
            lines.push_back(i + 1);
    }
    return lines;
}

} // namespace

class TestParsedLog : public QObject
{
    Q_OBJECT

private slots:
    void articleLinesAsFoundLiterally_data();
    void articleLinesAsFoundLiterally();
};

void TestParsedLog::articleLinesAsFoundLiterally_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("numbers");

    const QStringList keys { QStringLiteral("PC"), QStringLiteral("P"), QStringLiteral("長い板の名前") };
    const QStringList numbers { QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("12"),
        QStringLiteral("1/2"), QString() };
    QTest::newRow("lines of several keys") << QStringLiteral(
        "top\r\nPC(1/9) a\r\nP(1/9) b\r\n長い板の名前(2/9) c\r\nPC(2/9)\r\nPC(1/9) again\r\n")
                                           << keys << numbers;
    QTest::newRow("a key only at a line start")
        << QStringLiteral("x PC(1/9)\r\nxPC(1/9)\r\n PC(1/9)\r\nPC (1/9)\r\nPC(1/9)") << keys << numbers;
    QTest::newRow("a paren far into the line, a lone CR and LF") << QStringLiteral(
        "\r\nそれはとても長い行です(1/2)\r\nP\r(1/2)\r\nP\n(1/2)\rPC(12/3)\nPC(12/3)\r\n\r\nP(/)")
                                                                 << keys << numbers;
    QTest::newRow("the number runs to the next slash, across lines")
        << QStringLiteral("\r\nPC(1\r\nP(2/3)\r\nPC(12") << keys << numbers;
    QTest::newRow("no slash after the last lines")
        << QStringLiteral("\r\nPC(1/\r\nPC(1\r\nP(1") << keys << numbers;
    QTest::newRow("keys that cannot be found by the first paren")
        << QStringLiteral("\r\nA(B(1/2)\r\nC\nD(1/2)\r\nA(B(1/2)")
        << QStringList { QStringLiteral("A(B"), QStringLiteral("C\nD"), QStringLiteral("PC") } << numbers;
    QTest::newRow("an empty key: lines that start with the paren")
        << QStringLiteral("\r\n(1/2)\r\nPC(1/2)\r\n (1/2)\r\n(12/2)")
        << QStringList { QString(), QStringLiteral("PC") } << numbers;
    QTest::newRow("line feeds in every place of a vector's eight units")
        << QStringLiteral("ab\r\nPC(1/2)\r\nP(1/\r\nPC(2/\r\nP(12/\r\nxx\r\nPC(1/\r\nP(2/2)\r\nP(1/") << keys
        << numbers;
    QTest::newRow("no keys") << QStringLiteral("\r\nPC(1/2)") << QStringList() << numbers;
    // Numbers of one value written differently are different numbers; a run
    // long enough that the table grows while it is read.
    QString run = QStringLiteral("top");
    for (int i = 0; i < 1500; ++i) {
        const QString number = QString::number(i % 700).rightJustified(i / 700 + 1, u'0');
        run += QStringLiteral("\r\n") + keys.at(i % 2) + u'(' + number + QStringLiteral("/9) t");
    }
    QTest::newRow("numbers of one value, a long run")
        << run << keys
        << QStringList { QStringLiteral("1"), QStringLiteral("01"), QStringLiteral("001"),
               QStringLiteral("8"), QStringLiteral("08"), QStringLiteral("17"), QStringLiteral("0017"),
               QStringLiteral("699"), QStringLiteral("0699"), QStringLiteral("700"), QStringLiteral("0100") };
}

void TestParsedLog::articleLinesAsFoundLiterally()
{
    QFETCH(QString, text);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, numbers);
    const ArticleLineTable table(text, keys);
    for (const QString &key : keys) {
        QCOMPARE(table.covers(key), ArticleLineTable::usable(key));
        if (!ArticleLineTable::usable(key))
            continue;
        for (const QString &number : numbers) {
            const auto lines = table.linesOf(key, number);
            const std::vector<qsizetype> found(lines.begin(), lines.end());
            QCOMPARE(found, literalLines(text, key, number));
        }
    }
    QVERIFY(!table.covers(QStringLiteral("XY")));
    QVERIFY(table.linesOf(QStringLiteral("XY"), QStringLiteral("1")).empty());
}

QTEST_GUILESS_MAIN(TestParsedLog)
#include "tst_parsedlog.moc"
