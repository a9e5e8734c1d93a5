#include "base/Cp932.h"

#include <QTest>

using namespace kavrel;

class TestCp932 : public QObject
{
    Q_OBJECT

private slots:
    void decodeBytes_data();
    void decodeBytes();
    void roundTrip_data();
    void roundTrip();
    void unencodableCharacters();
    void encodeReplacesUnencodable();
    void fieldCut_data();
    void fieldCut();
};

static QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

void TestCp932::decodeBytes_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("yen sign byte is backslash") << bytes({ 0x5C }) << QStringLiteral("\\");
    QTest::newRow("wave dash is fullwidth tilde") << bytes({ 0x81, 0x60 }) << QString(QChar(0xFF5E));
    QTest::newRow("fullwidth reverse solidus") << bytes({ 0x81, 0x5F }) << QString(QChar(0xFF3C));
    QTest::newRow("NEC row 13 circled one") << bytes({ 0x87, 0x40 }) << QStringLiteral("①");
    QTest::newRow("IBM extension") << bytes({ 0xFA, 0x40 }) << QString(QChar(0x2170));
    QTest::newRow("halfwidth corner brackets") << bytes({ 0xA2, 0xA3 }) << QStringLiteral("｢｣");
    QTest::newRow("hiragana") << bytes({ 0x82, 0xA0 }) << QStringLiteral("あ");
    QTest::newRow("crlf kept") << bytes({ 0x41, 0x0D, 0x0A, 0x42 }) << QStringLiteral("A\r\nB");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("truncated lead byte at end")
        << bytes({ 0x41, 0x82 }) << QStringLiteral("A") + QChar(QChar::ReplacementCharacter);
    QTest::newRow("lone lead byte at end after pair")
        << bytes({ 0x82, 0xA0, 0x82 }) << QStringLiteral("あ") + QChar(QChar::ReplacementCharacter);
}

void TestCp932::decodeBytes()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);
    QCOMPARE(cp932::decode(input), expected);
}

void TestCp932::roundTrip_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("mixed") << bytes(
        { 0x5C, 0x81, 0x60, 0x81, 0x5F, 0x87, 0x40, 0xFA, 0x40, 0xA2, 0xA3, 0x82, 0xA0, 0x0D, 0x0A });
    QTest::newRow("ascii and kana") << bytes({ 0x4E, 0x6F, 0x2E, 0x31, 0x32, 0xA2, 0xB1, 0xA3 });
}

void TestCp932::roundTrip()
{
    QFETCH(QByteArray, input);
    QCOMPARE(cp932::encode(cp932::decode(input)), input);
}

void TestCp932::unencodableCharacters()
{
    QCOMPARE(cp932::unencodable(QStringLiteral("日本語テキスト")), QString());
    const QString text = QStringLiteral("caf\u00e9 \U0001F600 and \u00e9 again");
    QCOMPARE(cp932::unencodable(text), QStringLiteral("\u00e9\U0001F600"));
}

void TestCp932::encodeReplacesUnencodable()
{
    QCOMPARE(cp932::encode(QStringLiteral("a\u00e9b")), QByteArray("a?b"));
}

void TestCp932::fieldCut_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("padded") << QStringLiteral("ab") << 4 << QByteArray("ab  ");
    QTest::newRow("exact") << QStringLiteral("abcd") << 4 << QByteArray("abcd");
    QTest::newRow("cut ascii") << QStringLiteral("abcdef") << 4 << QByteArray("abcd");
    QTest::newRow("double byte fits") << QStringLiteral("aあb") << 4 << bytes({ 0x61, 0x82, 0xA0, 0x62 });
    QTest::newRow("double byte straddles the edge cut before it")
        << QStringLiteral("abcあ") << 4 << bytes({ 0x61, 0x62, 0x63, 0x20 });
    QTest::newRow("all double byte, odd width") << QStringLiteral("ああ") << 3 << bytes({ 0x82, 0xA0, 0x20 });
}

void TestCp932::fieldCut()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QByteArray, expected);
    const QByteArray field = cp932::encodeField(text, width);
    QCOMPARE(field, expected);
    QCOMPARE(field.size(), qsizetype(width));
}

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
