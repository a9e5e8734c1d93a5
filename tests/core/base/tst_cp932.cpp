#include "base/Cp932.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>
#include <QtEndian>

using namespace kavrel;

class TestCp932 : public QObject
{
    Q_OBJECT

private slots:
    void matchesPython();
    void decodeBytes_data();
    void decodeBytes();
    void decodeInPieces_data();
    void decodeInPieces();
    void roundTrip_data();
    void roundTrip();
    void unencodableCharacters();
    void encodeReplacesUnencodable_data();
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

static QString hex(QByteArrayView b)
{
    return QString::fromLatin1(b.toByteArray().toHex(' '));
}

// Python's own codec, the reference: every single byte and every byte pair
// decoded, a mixed buffer decoded, and every BMP character encoded (with
// Windows' choice of the IBM code over its NEC-selected copy).
static const char kPythonReference[] = R"(
import sys
out = sys.stdout.buffer
def put(text):
    b = text.encode('utf-16-le', 'surrogatepass')
    out.write(len(b).to_bytes(4, 'little') + b)
for c in range(256):
    put(bytes([c]).decode('cp932', 'replace'))
for c in range(256):
    for t in range(256):
        put(bytes([c, t]).decode('cp932', 'replace'))
put(sys.stdin.buffer.read().decode('cp932', 'replace'))
# Windows writes the IBM extension where Python keeps its NEC-selected copy.
ibm = {}
for c in range(0xFA, 0xFD):
    for t in range(0x40, 0xFD):
        ch = bytes([c, t]).decode('cp932', 'replace')
        if ch != '\ufffd':
            ibm.setdefault(ch, bytes([c, t]))
for u in range(0x10000):
    try:
        code = chr(u).encode('cp932')
    except UnicodeEncodeError:
        code = b''
    if code[:1] in (b'\xed', b'\xee') and chr(u) in ibm:
        code = ibm[chr(u)]
    out.write(bytes([len(code)]) + code)
)";

// Text with what the decoder's fast paths meet in a log: ASCII runs of every
// length, double-byte runs, half-width katakana, and bytes that are no
// character, cut lead bytes and stray trail bytes among them.
static QByteArray mixedBytes()
{
    QRandomGenerator random(932);
    QByteArray out;
    while (out.size() < 300000) {
        const int kind = random.bounded(6);
        const int run = random.bounded(40);
        for (int i = 0; i < run; ++i) {
            switch (kind) {
            case 0:
            case 1:
                out.append(char(0x20 + random.bounded(0x5F)));
                break;
            case 2:
                out.append(char(0x88 + random.bounded(8)));
                out.append(char(0x40 + random.bounded(0xBD)));
                break;
            case 3:
                out.append(char(0xA1 + random.bounded(0x3F)));
                break;
            default:
                out.append(char(random.bounded(256)));
                break;
            }
        }
    }
    return out;
}

void TestCp932::matchesPython()
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        QSKIP("python3 is not installed");
    const QByteArray mixed = mixedBytes();
    QProcess process;
    process.start(python, { QStringLiteral("-c"), QString::fromLatin1(kPythonReference) });
    QVERIFY(process.waitForStarted());
    process.write(mixed);
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitCode(), 0);
    const QByteArray reply = process.readAllStandardOutput();

    qsizetype at = 0;
    auto text = [&]() {
        const qsizetype n = qFromLittleEndian<quint32>(reply.constData() + at);
        const QString s(reinterpret_cast<const QChar *>(reply.constData() + at + 4), n / 2);
        at += 4 + n;
        return s;
    };
    for (int c = 0; c < 256; ++c) {
        const QByteArray in = bytes({ c });
        QVERIFY2(cp932::decode(in) == text(), qPrintable(hex(in)));
    }
    for (int c = 0; c < 256; ++c) {
        for (int t = 0; t < 256; ++t) {
            const QByteArray in = bytes({ c, t });
            const QString expected = text();
            QVERIFY2(cp932::decode(in) == expected, qPrintable(hex(in)));
            // Every character decoded comes back as a code that decodes to it.
            if (expected.size() == 1 && expected != QChar(QChar::ReplacementCharacter))
                QVERIFY2(cp932::decode(cp932::encode(expected)) == expected, qPrintable(hex(in)));
        }
    }

    // The mixed buffer, whole and in pieces cut everywhere, pieces given to a
    // Decoder of every size from 0 up included.
    const QString expected = text();
    QCOMPARE(cp932::decode(mixed), expected);
    for (qsizetype piece : { 1, 2, 3, 16, 17, 4099 })
        QVERIFY2(cp932::decode(mixed, piece) == expected, qPrintable(QString::number(piece)));
    {
        cp932::Decoder decoder;
        QString streamed(mixed.size(), Qt::Uninitialized); // one unit per byte is room enough
        auto *out = reinterpret_cast<char16_t *>(streamed.data());
        qsizetype units = 0;
        qsizetype piece = 0;
        for (qsizetype from = 0; from < mixed.size(); from += piece, piece = (piece + 1) % 37) {
            const QByteArrayView part = QByteArrayView(mixed).sliced(from, qMin(piece, mixed.size() - from));
            units += decoder.decode(part, out + units, false);
        }
        units += decoder.decode({}, out + units, true);
        streamed.resize(units);
        QCOMPARE(streamed, expected);
    }

    for (int u = 0; u < 0x10000; ++u) {
        const int n = static_cast<unsigned char>(reply.at(at));
        const QByteArray code = reply.mid(at + 1, n);
        at += 1 + n;
        const QString ch = QChar(char16_t(u));
        const QString what = QString::number(u, 16);
        if (code.isEmpty()) {
            QVERIFY2(cp932::encode(ch) == "?", qPrintable(what));
            QVERIFY2(cp932::unencodable(ch) == ch, qPrintable(what));
        } else {
            QVERIFY2(cp932::encode(ch) == code, qPrintable(what));
            QVERIFY2(cp932::unencodable(ch).isEmpty(), qPrintable(what));
        }
        QVERIFY2(cp932::byteLength(ch) == qMax<qsizetype>(code.size(), 1), qPrintable(what));
    }
    QCOMPARE(at, reply.size());
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
    QTest::newRow("controls and bytes outside the table are visible, not U+001A")
        << bytes({ 0x1A, 0x1C, 0x7F, 0x80, 0xA0, 0xFD, 0xFE, 0xFF, 0x85, 0x40, 0x81, 0x0D, 0x0A })
        << QStringLiteral("\x1a\x1c\x7f\u0080\uf8f0\uf8f1\uf8f2\uf8f3\ufffd@\ufffd\r\n");
}

void TestCp932::decodeBytes()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);
    QCOMPARE(cp932::decode(input), expected);
}

void TestCp932::decodeInPieces_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<qsizetype>("pieceBytes");
    QTest::addColumn<QString>("expected");

    const QByteArray ascii(20, 'a');
    const QString fffd(QChar(QChar::ReplacementCharacter));
    QTest::newRow("lead byte ends a piece, trail starts the next")
        << bytes({ 0x41, 0x82, 0xA0, 0x42 }) << qsizetype(2) << QStringLiteral("AあB");
    QTest::newRow("lead byte ends a piece, next piece has no trail")
        << bytes({ 0x85, 0x82, 0xA0 }) << qsizetype(1) << fffd + QStringLiteral("あ");
    QTest::newRow("lead byte ends the last piece")
        << bytes({ 0x41, 0x82, 0xA0, 0x82 }) << qsizetype(2) << QStringLiteral("Aあ") + fffd;
    QTest::newRow("double-byte character after a long ASCII run")
        << ascii + bytes({ 0x82, 0xA0 }) << qsizetype(7) << QString::fromLatin1(ascii) + QStringLiteral("あ");
    QTest::newRow("cut lead byte after a long ASCII run")
        << ascii + bytes({ 0x82 }) << qsizetype(21) << QString::fromLatin1(ascii) + fffd;
    QTest::newRow("one piece") << bytes({ 0x82, 0xA0, 0x82 }) << cp932::kPieceBytes
                               << QStringLiteral("あ") + fffd;
}

void TestCp932::decodeInPieces()
{
    QFETCH(QByteArray, input);
    QFETCH(qsizetype, pieceBytes);
    QFETCH(QString, expected);
    QCOMPARE(cp932::decode(input, pieceBytes), expected);
}

void TestCp932::roundTrip_data()
{
    QTest::addColumn<QByteArray>("input");
    // 0xFA 0x40: an IBM extension stays an IBM extension, as Windows writes it.
    QTest::newRow("mixed") << bytes(
        { 0x5C, 0x81, 0x60, 0x81, 0x5F, 0x87, 0x40, 0xFA, 0x40, 0xA2, 0xA3, 0x82, 0xA0, 0x0D, 0x0A });
    QTest::newRow("ascii and kana") << bytes({ 0x4E, 0x6F, 0x2E, 0x31, 0x32, 0xA2, 0xB1, 0xA3 });
    QTest::newRow("controls and bytes outside the table")
        << bytes({ 0x1A, 0x1C, 0x7F, 0x80, 0xA0, 0xFD, 0xFE, 0xFF, 0xF0, 0x40 });
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

void TestCp932::encodeReplacesUnencodable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("accented letter") << QStringLiteral("a\u00e9b") << QByteArray("a?b");
    QTest::newRow("character beyond the BMP is one ?") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("lone surrogates") << QStringLiteral("a") + QChar(0xD83D) + QLatin1Char('b') + QChar(0xDE00)
                                     << QByteArray("a?b?");
}

void TestCp932::encodeReplacesUnencodable()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(cp932::encode(text), expected);
    QCOMPARE(cp932::byteLength(text), expected.size());
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
