#include "TestSupport.h"

#include "base/Cp932.h"
#include "base/Text.h"
#include "session/Session.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/NetMarkers.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace kavrel;
using namespace kavrel::settings;
using kavrel::test::readFile;
using kavrel::test::sjis;
using kavrel::test::writeFile;

class TestNetDefinitionsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void newNetRecordLayout();
    void readEndComesBackExactly();
    void headerBecomesTabbedMarker();
    void serialHeaderFirstBackspaceOnly();
    void fieldCut_data();
    void fieldCut();
    void recordRoundTrip_data();
    void recordRoundTrip();
    void loadDamagedFiles_data();
    void loadDamagedFiles();
    void storeChangesOnlyItsRecord();
    void tableGrowsPastFiftyOne();
    void readOneRefreshesSlot();
    void deleteCompacts();
    void deleteDropsBlankNamedRecords();
    void fileFoundWhateverItsCase();

private:
    QTemporaryDir m_dir;
    Session m_session;
    test::ScriptedMessages m_messages;
    QString dataDef() const { return m_dir.path() + QStringLiteral("/DATA.DEF"); }
};

static QByteArray recordBytes(const QString &name)
{
    return NetDefinitionsFile::encodeRecord(NetDefinitionsFile::recordFromEntry(NetEntry::defaults(name)));
}

static QByteArray field(const QByteArray &text)
{
    return text + QByteArray(80 - text.size(), ' ');
}

void TestNetDefinitionsFile::init()
{
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
    m_session = Session();
    m_session.AppDir = m_dir.path();
    m_messages = test::ScriptedMessages();
    m_session.messages = &m_messages;
}

void TestNetDefinitionsFile::newNetRecordLayout()
{
    const QByteArray r = recordBytes(QStringLiteral("ＤＡＶネット"));
    QCOMPARE(r.size(), qsizetype(1280));
    const auto at = [&r](int n) { return r.mid((n - 1) * 80, 80); };
    QCOMPARE(at(1), field(sjis(QStringLiteral("ＤＡＶネット"))));
    QCOMPARE(at(2), field("-,-,-,-,-,-,-,-,- "));
    QCOMPARE(at(3), field(QByteArray("Main Command(?:Help)>\0", 22)));
    QCOMPARE(at(4), field(sjis(QStringLiteral("読み終わりました。")) + QByteArray(1, '\0')));
    QCOMPARE(at(5), field(sjis(QStringLiteral("command (?:説明):")) + QByteArray(1, '\0')));
    QCOMPARE(at(6),
        field(sjis(QStringLiteral("本当にメッセージを削除するんですか？ (y/n):")) + QByteArray(1, '\0')));
    QCOMPARE(at(7), field("DAV.up"));
    QCOMPARE(at(8), field("DAV.bl"));
    QCOMPARE(at(9), field("DAV*.LOG"));
    QCOMPARE(at(10), field("DAV.id"));
    QCOMPARE(at(11), field(" "));
    QCOMPARE(at(12), field("0"));
    QCOMPARE(at(13), field(""));
    QCOMPARE(at(14), field(sjis(QStringLiteral("何番に入りますか？ ([RET]:終了):")) + QByteArray(1, '\0')));
    QCOMPARE(at(15), field(""));
    QCOMPARE(at(16), field(" "));
}

void TestNetDefinitionsFile::readEndComesBackExactly()
{
    writeFile(dataDef(), recordBytes(QStringLiteral("A")));
    NetDefinitionsFile file(m_session);
    QCOMPARE(file.LoadAll().size(), 1);
    const QString readEnd = m_session.NetTable.at(0)[NetRecord::Read_End];
    // Nine characters, the NUL, and blanks to 80 characters.
    QCOMPARE(readEnd.size(), qsizetype(80));
    QCOMPARE(readEnd.left(10), QStringLiteral("読み終わりました。") + QChar(u'\0'));
    QCOMPARE(readEnd.mid(10), QString(70, u' '));
    QCOMPARE(markersOf(m_session.NetTable.at(0)).ReadEndMarker, QStringLiteral("読み終わりました。"));
    QCOMPARE(markersOf(m_session.NetTable.at(0)).MainPromptMarker, QStringLiteral("Main Command(?:Help)>"));
    QCOMPARE(NetEntry::fromRecord(m_session.NetTable.at(0)).Read_End, QStringLiteral("読み終わりました。"));
}

void TestNetDefinitionsFile::headerBecomesTabbedMarker()
{
    const NetRecord record = NetDefinitionsFile::recordFromEntry(NetEntry::defaults(QStringLiteral("A")));
    QCOMPARE(markersOf(record).ArticleHeader, QStringLiteral("-\t-\t-\t-\t-\t-\t-\t-\t-"));
}

void TestNetDefinitionsFile::serialHeaderFirstBackspaceOnly()
{
    NetEntry entry = NetEntry::defaults(QStringLiteral("A"));
    entry.SirialHeader = QStringLiteral("\\H#,\\H");
    entry.Sirial_Flg = true;
    const NetRecord record = NetDefinitionsFile::recordFromEntry(entry);
    QCOMPARE(text::trimTrailingBlanks(record[NetRecord::SirialHeader]), QStringLiteral("\b#,\\H"));
    QCOMPARE(NetDefinitionsFile::encodeRecord(record).mid(960, 6), QByteArray("\x08#,\\H "));
    QCOMPARE(record[NetRecord::Sirial_Flg].left(2), QStringLiteral("1 "));
    QCOMPARE(markersOf(record).ArticleHeader, QStringLiteral("\b#\t\\H"));
    // Each store turns the first "\H" left in the field: the entry field shows
    // the backspace, and a second store takes the next one.
    const NetEntry shown = NetEntry::fromRecord(record);
    QCOMPARE(shown.SirialHeader, QStringLiteral("\b#,\\H"));
    const NetRecord again = NetDefinitionsFile::recordFromEntry(shown);
    QCOMPARE(text::trimTrailingBlanks(again[NetRecord::SirialHeader]), QStringLiteral("\b#,\b"));
}

void TestNetDefinitionsFile::fieldCut_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("terminated");
    QTest::addColumn<QByteArray>("bytes");

    const QString kanji40(40, u'漢');
    const QByteArray kanjiBytes = sjis(kanji40);
    QTest::newRow("plain ascii cut at 80") << QString(85, u'a') << false << QByteArray(80, 'a');
    QTest::newRow("plain 40 double-byte fill it") << kanji40 + u'漢' << false << kanjiBytes;
    QTest::newRow("plain double byte on the edge left out")
        << QStringLiteral("a") + kanji40 << false << QByteArray("a") + kanjiBytes.left(78) + ' ';
    QTest::newRow("terminated 79 bytes keeps its NUL")
        << QString(79, u'p') << true << QByteArray(79, 'p') + '\0';
    QTest::newRow("terminated 80 bytes gives a byte to the NUL")
        << QString(80, u'p') << true << QByteArray(79, 'p') + '\0';
    QTest::newRow("terminated double byte on the edge")
        << kanji40 << true << kanjiBytes.left(78) + '\0' + ' ';
    QTest::newRow("terminated empty") << QString() << true << field(QByteArray(1, '\0'));
}

void TestNetDefinitionsFile::fieldCut()
{
    QFETCH(QString, text);
    QFETCH(bool, terminated);
    QFETCH(QByteArray, bytes);
    NetEntry entry = NetEntry::defaults(text);
    entry.Read_End = text;
    const QByteArray record = NetDefinitionsFile::encodeRecord(NetDefinitionsFile::recordFromEntry(entry));
    QCOMPARE(record.mid(terminated ? 240 : 0, 80), bytes);
    QCOMPARE(record.size(), qsizetype(1280));
}

void TestNetDefinitionsFile::recordRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("new net") << recordBytes(QStringLiteral("テストネット"));
    // Fields full to the last byte, double-byte characters throughout.
    QByteArray full;
    for (int f = 0; f < 16; ++f)
        full += sjis(QString(40, QChar(u'ア' + f)));
    QTest::newRow("full double-byte fields") << full;
    QByteArray mixed = recordBytes(QStringLiteral("x"));
    mixed.replace(0, 8, sjis(QStringLiteral("ｱｲｳ漢字\t")));
    mixed.replace(880, 3, "12 ");
    QTest::newRow("halfwidth kana, tab, odd serial flag") << mixed;
}

void TestNetDefinitionsFile::recordRoundTrip()
{
    QFETCH(QByteArray, bytes);
    const NetRecord record = NetDefinitionsFile::decodeRecord(bytes);
    for (const QString &f : record.fields)
        QCOMPARE(f.size(), qsizetype(80));
    QCOMPARE(NetDefinitionsFile::encodeRecord(record), bytes);

    // Through the file: stored and loaded again, byte for byte.
    m_session.NetTable = { record };
    NetDefinitionsFile file(m_session);
    QVERIFY(file.StoreOne(0));
    QCOMPARE(readFile(dataDef()), bytes);
    QCOMPARE(file.LoadAll().size(), 1);
    QCOMPARE(m_session.NetTable.at(0).fields, record.fields);
}

void TestNetDefinitionsFile::loadDamagedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");

    // Three double-byte characters: seven bytes, four characters, 76 blanks.
    const QString a = QStringLiteral("ネットA") + QString(76, u' ');
    const QString b = QStringLiteral("B") + QString(79, u' ');
    QTest::newRow("two records") << recordBytes(QStringLiteral("ネットA")) + recordBytes(QStringLiteral("B"))
                                 << QStringList { a, b };
    QTest::newRow("shorter than a record") << recordBytes(QStringLiteral("B")).left(1000) << QStringList {};
    QTest::newRow("cut-off last record is not a net")
        << recordBytes(QStringLiteral("B")) + recordBytes(QStringLiteral("C")).left(100) << QStringList { b };
    QTest::newRow("empty file") << QByteArray() << QStringList {};

    QByteArray broken = recordBytes(QStringLiteral("B"));
    broken[1] = char(0x82); // a lead byte whose partner is a blank
    broken[79] = char(0x88); // a lead byte cut off by the field's end
    const QString brokenName = cp932::decode(broken.left(80)).leftJustified(80, u' ');
    QTest::newRow("bytes that are not Shift-JIS") << broken << QStringList { brokenName };
}

void TestNetDefinitionsFile::loadDamagedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, names);
    writeFile(dataDef(), bytes);
    NetDefinitionsFile file(m_session);
    QCOMPARE(file.LoadAll(), names);
    QCOMPARE(m_session.NetTable.size(), names.size());
    for (const NetRecord &r : std::as_const(m_session.NetTable)) {
        for (const QString &f : r.fields)
            QCOMPARE(f.size(), qsizetype(80));
    }
    QVERIFY(m_messages.shown.isEmpty());
}

void TestNetDefinitionsFile::storeChangesOnlyItsRecord()
{
    const QByteArray original = recordBytes(QStringLiteral("A")) + recordBytes(QStringLiteral("B"))
        + recordBytes(QStringLiteral("C"));
    writeFile(dataDef(), original);
    NetDefinitionsFile file(m_session);
    file.LoadAll();
    NetEntry entry = NetEntry::fromRecord(m_session.NetTable.at(1));
    entry.Net_Name = QStringLiteral("B2");
    m_session.NetTable[1] = NetDefinitionsFile::recordFromEntry(entry);
    QVERIFY(file.StoreOne(1));
    QCOMPARE(readFile(dataDef()),
        recordBytes(QStringLiteral("A")) + recordBytes(QStringLiteral("B2"))
            + recordBytes(QStringLiteral("C")));

    // Missing file: missing is empty, and LoadAll does not create it.
    QFile::remove(dataDef());
    QVERIFY(file.LoadAll().isEmpty());
    QVERIFY(!QFileInfo::exists(dataDef()));
}

void TestNetDefinitionsFile::tableGrowsPastFiftyOne()
{
    NetDefinitionsFile file(m_session);
    for (int i = 0; i < 53; ++i) {
        m_session.NetTable.append(
            NetDefinitionsFile::recordFromEntry(NetEntry::defaults(QStringLiteral("N%1").arg(i + 1))));
        QVERIFY(file.StoreOne(i));
    }
    const QStringList names = file.LoadAll();
    QCOMPARE(names.size(), 53);
    QCOMPARE(names.at(51).trimmed(), QStringLiteral("N52"));
    QCOMPARE(readFile(dataDef()).mid(52 * 1280, 3), QByteArray("N53"));

    // A slot beyond the file's end: the records between are blank.
    m_session.NetTable.resize(56);
    m_session.NetTable[55] = NetDefinitionsFile::recordFromEntry(NetEntry::defaults(QStringLiteral("N56")));
    QVERIFY(file.StoreOne(55));
    const QByteArray bytes = readFile(dataDef());
    QCOMPARE(bytes.size(), qsizetype(56 * 1280));
    QCOMPARE(bytes.mid(53 * 1280, 2 * 1280), QByteArray(2 * 1280, ' '));
    QCOMPARE(file.LoadAll().size(), 56);
}

void TestNetDefinitionsFile::readOneRefreshesSlot()
{
    writeFile(dataDef(), recordBytes(QStringLiteral("A")) + recordBytes(QStringLiteral("B")));
    NetDefinitionsFile file(m_session);
    file.LoadAll();
    m_session.NetTable[1][NetRecord::Net_Name] = QString(80, u'x');
    QVERIFY(file.ReadOne(1));
    QCOMPARE(m_session.NetTable.at(1)[NetRecord::Net_Name].trimmed(), QStringLiteral("B"));
    QVERIFY(!file.ReadOne(2));
    QVERIFY(!file.ReadOne(-1));
    QCOMPARE(m_session.NetTable.size(), 2);
}

void TestNetDefinitionsFile::deleteCompacts()
{
    QByteArray c = recordBytes(QStringLiteral("C"));
    c[300] = char(0xFF); // a stray byte stays as it was
    writeFile(dataDef(), recordBytes(QStringLiteral("A")) + recordBytes(QStringLiteral("B")) + c);
    NetDefinitionsFile file(m_session);
    file.LoadAll();
    QStringList names;
    QVERIFY(file.DeleteOne(1, &names));
    QCOMPARE(readFile(dataDef()), recordBytes(QStringLiteral("A")) + c);
    QCOMPARE(names.size(), 2);
    QCOMPARE(names.at(0).trimmed(), QStringLiteral("A"));
    QCOMPARE(names.at(1).trimmed(), QStringLiteral("C"));
    QCOMPARE(m_session.NetTable.size(), 2);
    QCOMPARE(m_session.NetTable.at(1)[NetRecord::Net_Name].trimmed(), QStringLiteral("C"));

    QVERIFY(file.DeleteOne(0, &names));
    QVERIFY(file.DeleteOne(0, &names));
    QVERIFY(names.isEmpty());
    QCOMPARE(readFile(dataDef()), QByteArray());
}

void TestNetDefinitionsFile::deleteDropsBlankNamedRecords()
{
    QByteArray blank = recordBytes(QString());
    writeFile(dataDef(),
        recordBytes(QStringLiteral("A")) + blank + recordBytes(QStringLiteral("B"))
            + recordBytes(QStringLiteral("C")) + QByteArray("cut off"));
    NetDefinitionsFile file(m_session);
    QCOMPARE(file.LoadAll().size(), 4);
    QStringList names;
    QVERIFY(file.DeleteOne(3, &names));
    QCOMPARE(readFile(dataDef()), recordBytes(QStringLiteral("A")) + recordBytes(QStringLiteral("B")));
    QCOMPARE(names.size(), 2);
}

void TestNetDefinitionsFile::fileFoundWhateverItsCase()
{
    const QString lower = m_dir.path() + QStringLiteral("/data.def");
    writeFile(lower, recordBytes(QStringLiteral("A")));
    NetDefinitionsFile file(m_session);
    QCOMPARE(file.path(), lower);
    QCOMPARE(file.LoadAll().size(), 1);
    m_session.NetTable.append(NetDefinitionsFile::recordFromEntry(NetEntry::defaults(QStringLiteral("B"))));
    QVERIFY(file.StoreOne(1));
    QCOMPARE(readFile(lower).size(), qsizetype(2560));
    QVERIFY(!QFileInfo::exists(dataDef()) || QFileInfo(dataDef()).canonicalFilePath() == lower);
}

QTEST_GUILESS_MAIN(TestNetDefinitionsFile)
#include "tst_netdefinitionsfile.moc"
