// The raw log: the file as captured, line by line, and where the shown
// article lies in it.

#include "TestSupport.h"
#include "TitleLogGenerator.h"

#include "base/Cp932.h"
#include "rawlog/RawLogFile.h"
#include "reader/Reader.h"
#include "session/Session.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kavrel;

class TestRawLogFile : public QObject
{
    Q_OBJECT

private slots:
    void linesAsCaptured_data();
    void linesAsCaptured();
    void linesAcrossBlocks();
    void findGoesRoundAndSkipsHalfCharacters();
    void markedLinesAreTheArticleViewsLines_data();
    void markedLinesAreTheArticleViewsLines();
    void aNoticeInPlaceOfTheArticleMarksNothing_data();
    void aNoticeInPlaceOfTheArticleMarksNothing();
    void aMissingFileIsReported();
};

void TestRawLogFile::linesAsCaptured_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("display");
    QTest::addColumn<QStringList>("text");

    QTest::newRow("CR LF shown") << test::sjis(QStringLiteral("ID:KAV\r\nNo.3 ｢話題｣\r\n"))
                                 << QStringList { "ID:KAV^M^J", "No.3 ｢話題｣^M^J" }
                                 << QStringList { "ID:KAV", "No.3 ｢話題｣" };
    QTest::newRow("bare LF and a last line without end")
        << QByteArray("a\nb\r\nc") << QStringList { "a^J", "b^M^J", "c" } << QStringList { "a", "b", "c" };
    QTest::newRow("control characters")
        << QByteArray("\x1b[0m\tx\x7f\x00y\r\n", 11) << QStringList { "^[[0m^Ix^?^@y^M^J" }
        << QStringList { cp932::decode(QByteArray("\x1b[0m\tx\x7f\x00y", 9)) };
    QTest::newRow("bytes that are no Shift-JIS")
        << QByteArray("\x82\xa0\x81\r\n\xff\x82\xa0\xa0\r\n")
        << QStringList { QStringLiteral("あ<81>^M^J"), QStringLiteral("<FF>あ<A0>^M^J") }
        << QStringList { cp932::decode("\x82\xa0\x81"), cp932::decode("\xff\x82\xa0\xa0") };
    // A lead byte and a trail byte at each end of their ranges, then trail bytes just outside.
    QTest::newRow("trail byte 7E") << QByteArray("\x83\x7e\x89\x7e\r\n") << QStringList { "ミ円^M^J" }
                                   << QStringList { "ミ円" };
    QTest::newRow("lead and trail range ends")
        << QByteArray("\x81\x40\x83\x80\x81\xfc\x9f\x40\xe0\x40\xfc\x40\r\n")
        << QStringList { QStringLiteral("　ム◯檗漾髜^M^J") } << QStringList { QStringLiteral("　ム◯檗漾髜") };
    QTest::newRow("trail bytes just outside") << QByteArray("\x81\x3f\x81\x7f\x81\xfd\r\n")
                                              << QStringList { QStringLiteral("<81>?<81>^?<81><FD>^M^J") }
                                              << QStringList { cp932::decode("\x81\x3f\x81\x7f\x81\xfd") };
    QTest::newRow("half-width kana") << QByteArray("\xb6\xc5\r\n") << QStringList { "ｶﾅ^M^J" }
                                     << QStringList { "ｶﾅ" };
    QTest::newRow("empty file") << QByteArray() << QStringList {} << QStringList {};
}

void TestRawLogFile::linesAsCaptured()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, display);
    QFETCH(QStringList, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.log"));
    test::writeFile(path, bytes);
    rawlog::RawLogFile file;
    QVERIFY(file.open(path));
    QCOMPARE(file.lineCount(), display.size());
    QByteArray joined;
    for (int i = 0; i < display.size(); ++i) {
        QCOMPARE(file.displayText(i), display.at(i));
        // The line end is a mark, and the log's own text is not.
        const QList<rawlog::DisplayPiece> pieces = file.displayPieces(i);
        QCOMPARE(pieces.last().marker, display.at(i).endsWith(QLatin1String("^J")));
        for (const rawlog::DisplayPiece &piece : pieces) {
            if (!piece.marker)
                QVERIFY(text.at(i).contains(piece.text));
        }
        QCOMPARE(file.text(i), text.at(i));
        joined += file.lineBytes(i).toByteArray();
    }
    QCOMPARE(joined, bytes);
    QCOMPARE(file.isBoardLine(1), display.value(1).startsWith(QLatin1String("No.")));
}

void TestRawLogFile::linesAcrossBlocks()
{
    // Lines of every length around the block size, so that line ends fall
    // on both sides of the block boundaries.
    QByteArray bytes;
    QList<qint64> starts;
    for (int i = 0; bytes.size() < 700 * 1024; ++i) {
        starts << bytes.size();
        bytes += QByteArray(int((i * 7919) % 3000), 'x') + QByteArray::number(i) + "\r\n";
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.log"));
    test::writeFile(path, bytes);
    rawlog::RawLogFile file;
    QVERIFY(file.open(path));
    QCOMPARE(file.lineCount(), starts.size());
    for (qsizetype i = starts.size() - 1; i >= 0; --i) {
        QCOMPARE(file.lineStart(i), starts.at(i));
        QCOMPARE(file.lineAt(starts.at(i)), i);
        QCOMPARE(file.lineAt(starts.at(i) + file.lineBytes(i).size() - 1), i);
        QVERIFY(file.text(i).endsWith(QString::number(i)));
    }
}

void TestRawLogFile::findGoesRoundAndSkipsHalfCharacters()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.log"));
    // "ア" is 83 41 in Shift-JIS: its second byte is "A", and "ーア" holds
    // the bytes of "[A" across two characters without containing them.
    test::writeFile(path, test::sjis(QStringLiteral("先頭\r\nーア\r\n[A] ここ\r\n途中\r\n[A] また\r\n")));
    rawlog::RawLogFile file;
    QVERIFY(file.open(path));
    QCOMPARE(file.find(QStringLiteral("[A]"), -1), 2);
    QCOMPARE(file.find(QStringLiteral("[A]"), 2), 4);
    QCOMPARE(file.find(QStringLiteral("[A]"), 4), 2); // round the end
    QCOMPARE(file.find(QStringLiteral("[A]"), 4, false), 2);
    QCOMPARE(file.find(QStringLiteral("[A]"), 2, false), 4); // round the start
    QCOMPARE(file.find(QStringLiteral("A"), 0), 2);
    QCOMPARE(file.find(QStringLiteral("ない"), 0), -1);
    QCOMPARE(file.find(QStringLiteral("😀"), 0), -1); // not in Shift-JIS
}

void TestRawLogFile::markedLinesAreTheArticleViewsLines_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QByteArray>("noise");
    QTest::newRow("numbered") << false << QByteArray();
    QTest::newRow("serial") << true << QByteArray();
    // A lead byte before a line end and stray bytes must not move the lines.
    QTest::newRow("garbled bytes in the log") << false << QByteArray("\x81\r\n\x81\n\xfd\x80\r\n");
}

void TestRawLogFile::markedLinesAreTheArticleViewsLines()
{
    QFETCH(bool, serial);
    QFETCH(QByteArray, noise);
    test::LogShape shape;
    shape.serial = serial;
    shape.variant = 11;
    const test::GeneratedLog log = test::generateLog(shape);
    const QByteArray bytes = noise + cp932::encode(log.text);
    Session s;
    test::loadGenerated(s, log, serial);
    s.log.LogText = cp932::decode(bytes); // the text as the log opening decodes it
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("g.log"));
    test::writeFile(path, bytes);
    rawlog::RawLogFile file;
    QVERIFY(file.open(path));
    reader::Reader reader(s);

    int checked = 0;
    for (int item = 0; item < s.main.Board_List.ListCount(); ++item) {
        reader.chooseBoard(item);
        for (int row = 0; row < s.main.rowCount(); ++row) {
            reader.chooseRow(row);
            const rawlog::ArticleLines lines
                = rawlog::shownArticleLines(s.log.LogText, reader.shownArticleStart(), s.main.Article.items);
            // Counted from whichever end of the log is nearer, the same lines.
            const rawlog::ArticleLines located
                = file.locate(s.log.LogText, reader.shownArticleStart(), s.main.Article.items);
            if (reader.shownArticleStart() == 0) {
                QVERIFY(lines.isEmpty());
                QVERIFY(located.isEmpty());
                continue;
            }
            QCOMPARE(located.first, lines.first);
            QCOMPARE(located.count, lines.count);
            QCOMPARE(lines.count, s.main.Article.ListCount());
            for (int k = 0; k < lines.count; ++k)
                QCOMPARE(file.text(lines.first + k), s.main.Article.item(k));
            ++checked;
        }
    }
    QVERIFY(checked > 100);
}

void TestRawLogFile::aNoticeInPlaceOfTheArticleMarksNothing_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::newRow("first half") << 4 << QStringList { "b" } << 1 << 1;
    QTest::newRow("second half") << 7 << QStringList { "c", "d" } << 2 << 2;
    QTest::newRow("a notice, first half") << 4 << QStringList { "最終アーティクルです。" } << 1 << 0;
    QTest::newRow("a notice, second half") << 7 << QStringList { "最終アーティクルです。" } << 2 << 0;
    QTest::newRow("nothing shown from the log") << 0 << QStringList { "c" } << -1 << 0;
}

void TestRawLogFile::aNoticeInPlaceOfTheArticleMarksNothing()
{
    QFETCH(int, start);
    QFETCH(QStringList, shown);
    QFETCH(int, first);
    QFETCH(int, count);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("n.log"));
    const QString text = QStringLiteral("a\r\nb\r\nc\r\nd\r\n");
    test::writeFile(path, test::sjis(text));
    rawlog::RawLogFile file;
    QVERIFY(file.open(path));
    const rawlog::ArticleLines lines = file.locate(text, start, shown);
    QCOMPARE(lines.first, qsizetype(first));
    QCOMPARE(lines.count, qsizetype(count));
}

void TestRawLogFile::aMissingFileIsReported()
{
    QTemporaryDir dir;
    rawlog::RawLogFile file;
    fileio::FileError error;
    const QString path = dir.filePath(QStringLiteral("none.log"));
    QVERIFY(!file.open(path, &error));
    QCOMPARE(error.path, path);
    QVERIFY(!error.reason.isEmpty());
    QVERIFY(!file.isOpen());
}

QTEST_GUILESS_MAIN(TestRawLogFile)
#include "tst_rawlogfile.moc"
