// The up file's commands byte for byte, the store rules, and the reading of
// what the editor saved.
#include "ReaderModes.h"
#include "WritingFixture.h"

#include "commands/TempFile.h"
#include "commands/UpFileCommands.h"
#include "commands/UpFileWriter.h"

#include <QFile>
#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
namespace upfile = kavrel::commands::upfile;

namespace {
const QString kSig = QStringLiteral("-- 山田 %_YEAR_%/%_MONTH_%/%_DAY_%");
const QString kSigExpanded = QStringLiteral("-- 山田 97/12/06");

QDateTime fixedClock()
{
    return QDateTime(QDate(1997, 12, 6), QTime(9, 5, 7));
}
} // namespace

class tst_UpFileWriter : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data();
    void layouts();
    void store_data();
    void store();
    void emptyUpFileTextLeavesTheFileAlone();
    void netWithoutSignatureAfterOneWith();
    void previousGenerationIsKept();
    void decodeEdited_data();
    void decodeEdited();
    void findAndCut_data();
    void findAndCut();
};

void tst_UpFileWriter::layouts_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("write example") << upfile::writeCommand(12, QStringLiteral("Hello\r\nWorld"), QString())
                                   << QByteArray("\\ 12\r\nWHello\r\nWorld\r\n.\r\nyQ");
    QTest::newRow("write with signature") << upfile::writeCommand(3, QStringLiteral("T\r\nB"),
        QStringLiteral("sig\r\n")) << QByteArray("\\ 3\r\nWT\r\nB\r\nsig\r\n.\r\nyQ");
    QTest::newRow("response") << upfile::responseCommand(12, QStringLiteral("100"), QStringLiteral("Re\r\nx"),
        QString()) << QByteArray("\\ 12\r\n100\r\nPRe\r\nx\r\n.\r\nyQ");
    QTest::newRow("mail to 100 and 200") << upfile::mailCommand(
        { QStringLiteral("  100"), QStringLiteral("  200") }, QStringLiteral("Hi\r\nthere"),
        QString()) << QByteArray("mw\r\n 100\r\n\r\n 200\r\n\r\n\r\nHi\r\nthere\r\n.\r\ny");
    // An ID of digits is written as its number; any other ID as it stands
    // (its numeric value, 0, would address the mail to nobody).
    QTest::newRow("recipient with leading zeros") << upfile::mailCommand({ QStringLiteral(" 0200") },
        QStringLiteral("T"), QString()) << QByteArray("mw\r\n 200\r\n\r\n\r\nT\r\n.\r\ny");
    QTest::newRow("recipient without digits") << upfile::mailCommand({ QStringLiteral("abc") },
        QStringLiteral("T"), QString()) << QByteArray("mw\r\n abc\r\n\r\n\r\nT\r\n.\r\ny");
    QTest::newRow("recipients with letters") << upfile::mailCommand(
        { QStringLiteral(" KAV00123"), QStringLiteral("12AB "), QStringLiteral("   ") }, QStringLiteral("T"),
        QString()) << QByteArray("mw\r\n KAV00123\r\n\r\n 12AB\r\n\r\n 0\r\n\r\n\r\nT\r\n.\r\ny");
    QTest::newRow("chat drops empty lines") << upfile::chatCommand(5, QStringLiteral("one\r\n\r\n\r\ntwo"))
                                            << QByteArray("X5\r\none\r\ntwo\r\n.\r\n");
    // A text saved with a final line end (as editors save it, and as the
    // starting text of a chat rewrite ends) leaves no empty chat line either.
    QTest::newRow("chat drops a last empty line") << upfile::chatCommand(5, QStringLiteral("one\r\ntwo\r\n"))
                                                  << QByteArray("X5\r\none\r\ntwo\r\n.\r\n");
    QTest::newRow("chat drops last empty lines")
        << upfile::chatCommand(5, QStringLiteral("one\r\n\r\n\r\n")) << QByteArray("X5\r\none\r\n.\r\n");
    QTest::newRow("batch set") << upfile::batchCommand(12, 345) << QByteArray("\\ 12\r\n 345\r\nSQ");
}

void tst_UpFileWriter::layouts()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, bytes);
    QCOMPARE(sjis(command), bytes);
}

void tst_UpFileWriter::store_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("temp"); // what the editor left; empty: no file
    QTest::addColumn<QString>("flags"); // SignatureOn, TitleOnlySignature
    QTest::addColumn<int>("rewrite");
    QTest::addColumn<QString>("toNo");
    QTest::addColumn<QString>("appended");
    QTest::addColumn<bool>("tempRemains");

    const QString none = QStringLiteral("なし");
    QTest::newRow("title only becomes タイトルなし")
        << "Write" << QByteArray("\r\n") << "00" << 0 << none
        << QStringLiteral("\\ 12\r\nWタイトルなし\r\n\r\n.\r\nyQ") << false;
    QTest::newRow("empty write dropped")
        << "Write" << QByteArray("\0abc", 4) << "00" << 0 << none << QString() << false;
    QTest::newRow("text cut at NUL") << "Write" << QByteArray("T\r\nB\0junk", 9) << "00" << 0 << none
                                     << QStringLiteral("\\ 12\r\nWT\r\nB\r\n.\r\nyQ") << false;
    QTest::newRow("body gets signature")
        << "Write" << QByteArray("T\r\nB") << "10" << 0 << none
        << QStringLiteral("\\ 12\r\nWT\r\nB\r\n") + kSigExpanded + QStringLiteral("\r\n.\r\nyQ") << false;
    QTest::newRow("title only without title-only option")
        << "Write" << QByteArray("T") << "10" << 0 << none << QStringLiteral("\\ 12\r\nWT\r\n.\r\nyQ")
        << false;
    QTest::newRow("title only with title-only option")
        << "Write" << QByteArray("T") << "11" << 0 << none
        << QStringLiteral("\\ 12\r\nWT\r\n") + kSigExpanded + QStringLiteral("\r\n.\r\nyQ") << false;
    QTest::newRow("rewrite never signed") << "Write" << QByteArray("T\r\nB") << "11" << 1 << none
                                          << QStringLiteral("\\ 12\r\nWT\r\nB\r\n.\r\nyQ") << false;
    QTest::newRow("move target 7") << "Write" << QByteArray("T\r\nB") << "00" << 0 << QStringLiteral("7")
                                   << QStringLiteral("\\ 7\r\nWT\r\nB\r\n.\r\nyQ") << false;
    QTest::newRow("response") << "Response" << QByteArray("Re\r\n>q\r\n") << "00" << 0 << none
                              << QStringLiteral("\\ 12\r\n100\r\nPRe\r\n>q\r\n\r\n.\r\nyQ") << true;
    QTest::newRow("empty response dropped")
        << "Response" << QByteArray("") << "00" << 0 << none << QString() << true;
    QTest::newRow("line ending in P before a dot line is kept")
        << "Response" << QByteArray("HELP\r\n...") << "00" << 0 << none
        << QStringLiteral("\\ 12\r\n100\r\nPHELP\r\n...\r\n.\r\nyQ") << true;
    QTest::newRow("mail") << "mail" << QByteArray("T\r\nB") << "00" << 0 << none
                          << QStringLiteral("mw\r\n 100\r\n\r\n 200\r\n\r\n\r\nT\r\nB\r\n.\r\ny") << false;
    // Saved empty, a mail is given up as a write is, not sent blank.
    QTest::newRow("empty mail dropped")
        << "mail" << QByteArray("\0junk", 5) << "10" << 0 << none << QString() << false;
    QTest::newRow("no kind, nothing") << "" << QByteArray("T") << "00" << 0 << none << QString() << true;
}

void tst_UpFileWriter::store()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, temp);
    QFETCH(QString, flags);
    QFETCH(int, rewrite);
    QFETCH(QString, toNo);
    QFETCH(QString, appended);
    QFETCH(bool, tempRemains);

    WritingFixture f;
    f.setBoards({ QStringLiteral("No.0 ｢メール｣"), QStringLiteral("No.12 ｢雑談｣") });
    f.session.main.Board_List.ListIndex = 1;
    f.session.main.To_No.Caption = toNo;
    f.session.main.MoveTarget = text::val(toNo);
    const QString signPath = f.dir.path() + QStringLiteral("/sign.txt");
    writeFile(signPath, sjis(kSig));
    f.session.NetTable[0][settings::NetRecord::Sign_Path] = signPath;
    f.session.Flags[settings::OptionFlags::SignatureOn] = flags.left(1);
    f.session.Flags[settings::OptionFlags::TitleOnlySignature] = flags.mid(1, 1);
    f.session.composing.RewriteFlag = rewrite;
    f.session.composing.ResponseRef = QStringLiteral("100");
    f.session.composing.Recipients = QStringLiteral("  100\r\n  200\r\n");
    f.session.reading.LastWrittenKind = readerMode(kind);
    writeFile(f.tempPath(), temp);

    const QString before = QStringLiteral("\\ 1\r\nWold\r\n.\r\nyQ");
    f.session.upFile.load(before);
    commands::StoreComposedText(f.session, { fixedClock, QString() });

    QCOMPARE(f.session.upFile.text(), before + appended);
    QCOMPARE(QFile::exists(f.tempPath()), tempRemains);
    // Nothing appended, nothing written.
    if (!appended.isEmpty())
        QCOMPARE(f.upBytes(), sjis(before + appended));
    else
        QVERIFY(!QFile::exists(f.upPath()));
    if (kind == u"Response")
        QVERIFY(f.session.reading.LastWrittenKind == ReaderMode::None);
}

void tst_UpFileWriter::emptyUpFileTextLeavesTheFileAlone()
{
    WritingFixture f;
    f.setBoards({ QStringLiteral("No.12 ｢雑談｣") });
    f.session.main.Board_List.ListIndex = 0;
    writeFile(f.upPath(), "kept by hand");
    f.session.reading.LastWrittenKind = ReaderMode::Write;
    writeFile(f.tempPath(), "");
    f.session.upFile.load(QStringLiteral("kept by hand"));
    f.session.upFile.replace(QString());
    commands::StoreComposedText(f.session);
    QCOMPARE(f.upBytes(), QByteArray("kept by hand"));

    // Without TEMP.TXT nothing happens at all, not even a rebuild: a row
    // that no build makes stays.
    f.session.main.appendRow(QStringLiteral(" "), QStringLiteral("[999]"), QString(), QString());
    commands::StoreComposedText(f.session);
    QCOMPARE(f.titles(), QStringList { QStringLiteral("[999]") });
}

void tst_UpFileWriter::netWithoutSignatureAfterOneWith()
{
    // One net signs with its own file; the next net chosen in the same run
    // names none: its articles must not carry the first net's signature.
    WritingFixture f;
    f.setBoards({ QStringLiteral("No.12 ｢雑談｣") });
    f.session.main.Board_List.ListIndex = 0;
    f.session.main.To_No.Caption = QStringLiteral("なし");
    f.session.Flags[settings::OptionFlags::SignatureOn] = QStringLiteral("1");
    const QString signPath = f.dir.path() + QStringLiteral("/sign.txt");
    writeFile(signPath, sjis(kSig));
    f.session.NetTable[0][settings::NetRecord::Sign_Path] = signPath;
    f.session.reading.LastWrittenKind = ReaderMode::Write;
    writeFile(f.tempPath(), "T\r\nB");
    commands::StoreComposedText(f.session, { fixedClock, QString() });
    QCOMPARE(f.session.upFile.text(),
        QStringLiteral("\\ 12\r\nWT\r\nB\r\n") + kSigExpanded + QStringLiteral("\r\n.\r\nyQ"));

    f.session.NetTable[0][settings::NetRecord::Sign_Path] = QString(80, u' ');
    f.session.upFile.load(QString());
    f.session.reading.LastWrittenKind = ReaderMode::Write;
    writeFile(f.tempPath(), "T\r\nB");
    commands::StoreComposedText(f.session, { fixedClock, QString() });
    QCOMPARE(f.session.upFile.text(), QStringLiteral("\\ 12\r\nWT\r\nB\r\n.\r\nyQ"));
}

void tst_UpFileWriter::previousGenerationIsKept()
{
    WritingFixture f;
    const QString bak = f.upPath() + QStringLiteral(".bak");
    f.session.upFile.replace(QStringLiteral("first"));
    QVERIFY(commands::saveUpFile(f.session));
    QVERIFY(!QFile::exists(bak));
    f.session.upFile.replace(QStringLiteral("second"));
    QVERIFY(commands::saveUpFile(f.session));
    QCOMPARE(f.upBytes(), QByteArray("second"));
    QCOMPARE(readFile(bak), QByteArray("first"));

    // A text saved unchanged, or changed back, writes nothing: the backup
    // stays the generation before.
    QVERIFY(commands::saveUpFile(f.session));
    f.session.upFile.append(QStringLiteral("!"));
    f.session.upFile.cut(6, 1);
    QVERIFY(!f.session.upFile.changedSinceSaved());
    QVERIFY(commands::saveUpFile(f.session));
    QCOMPARE(readFile(bak), QByteArray("first"));

    // A directory that cannot be written is reported with the path, and the
    // text stays unsaved.
    f.session.Dir[settings::DirRecord::Up_Dir] = f.dir.path() + QStringLiteral("/missing dir");
    f.session.upFile.replace(QStringLiteral("third"));
    QVERIFY(!commands::saveUpFile(f.session));
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY(f.messages.shown.first().text.contains(QStringLiteral("missing dir")));
    QVERIFY(f.session.upFile.changedSinceSaved());
}

void tst_UpFileWriter::decodeEdited_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("shift-jis") << sjis(QStringLiteral("日本語\r\n本文")) << QStringLiteral("日本語\r\n本文");
    QTest::newRow("utf-8") << QStringLiteral("日本語\r\n本文").toUtf8() << QStringLiteral("日本語\r\n本文");
    QTest::newRow("utf-8 with BOM") << QByteArray("\xEF\xBB\xBF") + QStringLiteral("題").toUtf8()
                                    << QStringLiteral("題");
    QTest::newRow("ascii") << QByteArray("plain\r\ntext") << QStringLiteral("plain\r\ntext");
    QTest::newRow("LF line ends") << QByteArray("a\nb\n") << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("CR line ends") << QByteArray("a\rb") << QStringLiteral("a\r\nb");
    QTest::newRow("cut at NUL") << QByteArray("a\0b", 3) << QStringLiteral("a");
    QTest::newRow("invalid utf-8 is shift-jis") << sjis(QStringLiteral("ｱｲｳ")) << QStringLiteral("ｱｲｳ");
    QTest::newRow("empty") << QByteArray() << QString();
}

void tst_UpFileWriter::decodeEdited()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(commands::tempfile::decodeEdited(bytes), text);
}

void tst_UpFileWriter::findAndCut_data()
{
    QTest::addColumn<QString>("up");
    QTest::addColumn<QString>("what"); // "write b n", "response b n", "mail n", "chat c"
    QTest::addColumn<QString>("remaining");

    const QString w1 = QStringLiteral("\\ 1\r\nWone\r\n.\r\nyQ");
    const QString w12 = QStringLiteral("\\ 12\r\nWtwelve\r\n.\r\nyQ");
    const QString r12 = QStringLiteral("\\ 12\r\n100\r\nPre\r\n.\r\nyQ");
    const QString batch = QStringLiteral("\\ 12\r\n 345\r\nSQ");
    const QString m1 = QStringLiteral("mw\r\n 1\r\n\r\n\r\nT\r\nyes\r\nmwave\r\n.\r\ny");
    const QString m2 = QStringLiteral("mw\r\n 2\r\n\r\n\r\nU\r\n.\r\ny");
    const QString chat = QStringLiteral("X3\r\nhi\r\n.\r\n");

    QTest::newRow("board 1 is not board 12") << w12 + w1 << "write 1 1" << w12;
    QTest::newRow("second write of 12")
        << w12 + batch + r12 + w12 + w1 << "write 12 2" << w12 + batch + r12 + w1;
    QTest::newRow("write beyond count") << w12 << "write 12 2" << w12;
    QTest::newRow("response skips writes and batch marks")
        << batch + w12 + r12 << "response 12 1" << batch + w12;
    QTest::newRow("mail with y and mw words in its text") << m1 + m2 << "mail 1" << m2;
    QTest::newRow("second mail") << m1 + m2 << "mail 2" << m1;
    QTest::newRow("chat") << w1 + chat << "chat 3" << w1;
    QTest::newRow("command without its end stays")
        << QStringLiteral("\\ 12\r\nWcut off") << "write 12 1" << QStringLiteral("\\ 12\r\nWcut off");
}

void tst_UpFileWriter::findAndCut()
{
    QFETCH(QString, up);
    QFETCH(QString, what);
    QFETCH(QString, remaining);
    const QStringList w = what.split(u' ');
    upfile::Span span;
    if (w[0] == u"write")
        span = upfile::findWrite(up, w[1].toInt(), w[2].toInt());
    else if (w[0] == u"response")
        span = upfile::findResponse(up, w[1].toInt(), w[2].toInt());
    else if (w[0] == u"mail")
        span = upfile::findMail(up, w[1].toInt());
    else
        span = upfile::findChat(up, w[1].toInt());
    QCOMPARE(upfile::cut(up, span), remaining);
    if (w[0] == u"response")
        QCOMPARE(span.reference, QStringLiteral("100"));
}

QTEST_GUILESS_MAIN(tst_UpFileWriter)
#include "tst_upfilewriter.moc"
