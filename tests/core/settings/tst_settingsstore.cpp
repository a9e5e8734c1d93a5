#include "TestSupport.h"

#include "base/Cp932.h"
#include "session/Session.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace kavrel;
using namespace kavrel::settings;
using kavrel::test::readFile;
using kavrel::test::sjis;
using kavrel::test::writeFile;

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void decodeDirRecord_data();
    void decodeDirRecord();
    void dirRecordLayout();
    void dirRoundTrip();
    void readSettingsNeedsDirDef_data();
    void readSettingsNeedsDirDef();
    void filesFoundWhateverTheirCase();
    void saveDirectoriesStripsOneSlash();
    void overlongRecordRefused();
    void unencodablePathRefused();
    void recordFillingTheSlotExactlyIsStored();
    void windowPlacementKeepsTheDirectories();
    void flagsSaveKeepsReservedBytes();
    void flagsSaveCreatesNewFile();
    void flagsReadFromShortFile();
    void settingsThatCannotBeWrittenAreTold();

private:
    QTemporaryDir m_dir;
    Session m_session;
    test::ScriptedMessages m_messages;
    QString dirDef() const { return m_dir.path() + QStringLiteral("/DIR.DEF"); }
    QString setDef() const { return m_dir.path() + QStringLiteral("/SET.def"); }
};

// A DIR.DEF record as the bytes of its values, each after its length word.
static QByteArray dirBytes(const QList<QByteArray> &values)
{
    QByteArray out;
    for (const QByteArray &v : values) {
        out.append(char(v.size() & 0xFF));
        out.append(char(v.size() >> 8));
        out.append(v);
    }
    return out;
}

static QList<QByteArray> elevenValues()
{
    return { "/logs", "/up", "/lists", "", "120", "80", "", "/usr/bin/vi", "", "600", "" };
}

void TestSettingsStore::init()
{
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
    m_session = Session();
    m_session.AppDir = m_dir.path();
    m_messages = test::ScriptedMessages();
    m_session.messages = &m_messages;
}

void TestSettingsStore::decodeDirRecord_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("read");
    QTest::addColumn<QStringList>("values");

    const QStringList before(DirRecord::Count, QStringLiteral("old"));
    QStringList all = before;
    const auto eleven = elevenValues();
    for (int i = 0; i < eleven.size(); ++i)
        all[i] = QString::fromLatin1(eleven[i]);

    QTest::newRow("whole record") << dirBytes(eleven) << 11 << all;
    QTest::newRow("junk after the record is ignored")
        << dirBytes(eleven) + QByteArray("\x05\x00junk", 6) << 11 << all;

    QStringList firstTwo = before;
    firstTwo[0] = QStringLiteral("/logs");
    firstTwo[1] = QStringLiteral("/up");
    QTest::newRow("empty file") << QByteArray() << 0 << before;
    QTest::newRow("one byte of a length word") << QByteArray(1, '\x05') << 0 << before;
    QTest::newRow("cut after two values") << dirBytes({ "/logs", "/up" }) << 2 << firstTwo;
    QTest::newRow("length word cut in half")
        << dirBytes({ "/logs", "/up" }) + QByteArray(1, '\x03') << 2 << firstTwo;
    QTest::newRow("length points past the file")
        << dirBytes({ "/logs", "/up" }) + QByteArray("\x09\x00/ls", 5) << 2 << firstTwo;

    // A value that would end past byte 300 is not part of the record, even
    // when the file goes on.
    QByteArray pastSlot = dirBytes({ "/logs", "/up", QByteArray(290, 'x') });
    pastSlot.append(QByteArray(100, ' '));
    QTest::newRow("length points past the slot") << pastSlot << 2 << firstTwo;
    QTest::newRow("length word of 0xFFFF")
        << dirBytes({ "/logs", "/up" }) + QByteArray("\xFF\xFF", 2) << 2 << firstTwo;

    QStringList japanese = before;
    japanese[0] = QStringLiteral("/ログ");
    japanese[1] = QStringLiteral("/a") + QChar(QChar::ReplacementCharacter);
    japanese[2] = cp932::decode(QByteArray("b\xFF")); // the codec's substitute for a stray byte
    QTest::newRow("Shift-JIS and bytes that are not")
        << dirBytes({ sjis(QStringLiteral("/ログ")), QByteArray("/a\x82"), QByteArray("b\xFF") }) << 3
        << japanese;
}

void TestSettingsStore::decodeDirRecord()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, read);
    QFETCH(QStringList, values);
    DirRecord record;
    for (auto &v : record.values)
        v = QStringLiteral("old");
    QCOMPARE(SettingsStore::decodeDirRecord(bytes, &record), read);
    QCOMPARE(QStringList(record.values.begin(), record.values.end()), values);
}

void TestSettingsStore::dirRecordLayout()
{
    DirRecord record;
    record[DirRecord::LOG_Dir] = QStringLiteral("/ログ");
    record[DirRecord::WindowLeft] = QStringLiteral("15");
    QByteArray expected
        = dirBytes({ sjis(QStringLiteral("/ログ")), "", "", "", "15", "", "", "", "", "", "" });
    QCOMPARE(SettingsStore::encodeDirRecord(record), expected);
    QCOMPARE(expected.left(7), QByteArray("\x05\x00/\x83\x8D\x83\x4F", 7));
}

void TestSettingsStore::dirRoundTrip()
{
    // An old DIR.DEF: the record, then the rest of its slot.
    QByteArray old = dirBytes(elevenValues());
    old.append(QByteArray(300 - old.size(), '\0'));
    writeFile(dirDef(), old);
    ReadSettings(m_session);
    QVERIFY(WriteDirSettings(m_session, QStringLiteral("/ログ/"), QStringLiteral("/up"),
        QStringLiteral("/lists"), QStringLiteral("/usr/bin/エディタ")));

    Session again;
    again.AppDir = m_dir.path();
    ReadSettings(again);
    QCOMPARE(again.Dir.values, m_session.Dir.values);
    QCOMPARE(again.Dir[DirRecord::LOG_Dir], QStringLiteral("/ログ"));
    QCOMPARE(again.Dir[DirRecord::Editor_Path], QStringLiteral("/usr/bin/エディタ"));
    QCOMPARE(again.Dir[DirRecord::WindowHeight], QStringLiteral("600"));
    QCOMPARE(readFile(dirDef()).size(), qsizetype(300)); // the slot's tail stays
}

void TestSettingsStore::readSettingsNeedsDirDef_data()
{
    QTest::addColumn<bool>("withDir");
    QTest::addColumn<bool>("withSet");
    QTest::addColumn<QString>("logDir");
    QTest::addColumn<bool>("netSelect");

    QTest::newRow("both") << true << true << QStringLiteral("/logs") << true;
    QTest::newRow("DIR.DEF only: no flag set") << true << false << QStringLiteral("/logs") << false;
    QTest::newRow("SET.def without DIR.DEF is not read") << false << true << QString() << false;
    QTest::newRow("neither") << false << false << QString() << false;
}

void TestSettingsStore::readSettingsNeedsDirDef()
{
    QFETCH(bool, withDir);
    QFETCH(bool, withSet);
    QFETCH(QString, logDir);
    QFETCH(bool, netSelect);
    if (withDir)
        writeFile(dirDef(), dirBytes(elevenValues()));
    if (withSet)
        writeFile(setDef(), "111111111");
    ReadSettings(m_session);
    QCOMPARE(m_session.Dir[DirRecord::LOG_Dir], logDir);
    QCOMPARE(m_session.flag(OptionFlags::NetSelectAtStart), netSelect);
    QCOMPARE(m_session.flag(OptionFlags::SpaceMovesOn), netSelect);
    QVERIFY(m_messages.shown.isEmpty());
}

void TestSettingsStore::filesFoundWhateverTheirCase()
{
    writeFile(m_dir.path() + QStringLiteral("/dir.def"), dirBytes(elevenValues()));
    writeFile(m_dir.path() + QStringLiteral("/Set.Def"), "100000010");
    ReadSettings(m_session);
    QCOMPARE(m_session.Dir[DirRecord::Up_Dir], QStringLiteral("/up"));
    QVERIFY(m_session.flag(OptionFlags::SpaceMovesOn));

    QVERIFY(WriteDirSettings(
        m_session, QStringLiteral("/l"), QStringLiteral("/u"), QStringLiteral("/b"), QStringLiteral("/e")));
    QVERIFY(WriteOptionFlags(m_session, {}));
    // Saving rewrites the files that were found; no second file appears.
    QStringList files = QDir(m_dir.path()).entryList(QDir::Files);
    files.sort();
    QCOMPARE(files, QStringList({ QStringLiteral("Set.Def"), QStringLiteral("dir.def") }));
    QCOMPARE(readFile(m_dir.path() + QStringLiteral("/Set.Def")), QByteArray("000000000"));
}

void TestSettingsStore::saveDirectoriesStripsOneSlash()
{
    m_session.Dir[DirRecord::WindowTop] = QStringLiteral("40");
    QVERIFY(WriteDirSettings(m_session, QStringLiteral("/logs/"), QStringLiteral("/up//"),
        QStringLiteral("/"), QStringLiteral("/bin/ed/")));
    QCOMPARE(m_session.Dir[DirRecord::LOG_Dir], QStringLiteral("/logs"));
    QCOMPARE(m_session.Dir[DirRecord::Up_Dir], QStringLiteral("/up/"));
    QCOMPARE(m_session.Dir[DirRecord::BL_Dir], QString()); // the root: files go to "/" + name
    QCOMPARE(m_session.Dir[DirRecord::Editor_Path], QStringLiteral("/bin/ed/"));
    QCOMPARE(m_messages.texts(), QStringList { QStringLiteral("この設定は次回起動時より有効です。") });
    QCOMPARE(readFile(dirDef()), dirBytes({ "/logs", "/up/", "", "", "", "40", "", "/bin/ed/", "", "", "" }));
}

void TestSettingsStore::overlongRecordRefused()
{
    writeFile(dirDef(), dirBytes(elevenValues()));
    ReadSettings(m_session);
    const DirRecord before = m_session.Dir;
    const QString longPath = QStringLiteral("/") + QString(150, u'エ'); // 301 bytes
    QVERIFY(!WriteDirSettings(
        m_session, QStringLiteral("/l"), QStringLiteral("/u"), QStringLiteral("/b"), longPath));
    QCOMPARE(m_messages.shown.size(), 1);
    const QString text = m_messages.shown.first().text;
    QVERIFY2(
        text.startsWith(QStringLiteral("ディレクトリ設定が長すぎるため保存できません。")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("起動エディタフルパス")), qPrintable(text));
    QCOMPARE(readFile(dirDef()), dirBytes(elevenValues()));
    QCOMPARE(m_session.Dir.values, before.values);
}

void TestSettingsStore::unencodablePathRefused()
{
    QVERIFY(!WriteDirSettings(m_session, QStringLiteral("/home/josé/logs"), QString(), QString(), QString()));
    QCOMPARE(m_messages.shown.size(), 1);
    QVERIFY(m_messages.shown.first().text.contains(QStringLiteral("ＬＯＧファイルディレクトリ")));
    QVERIFY(!QFileInfo::exists(dirDef()));
}

void TestSettingsStore::recordFillingTheSlotExactlyIsStored()
{
    // Eleven length words take 22 bytes; 278 bytes of text fill the slot.
    const QString path = QStringLiteral("/") + QString(277, u'x');
    QVERIFY(WriteDirSettings(m_session, QString(), QString(), QString(), path));
    QCOMPARE(readFile(dirDef()).size(), qsizetype(300));
    Session again;
    again.AppDir = m_dir.path();
    ReadSettings(again);
    QCOMPARE(again.Dir[DirRecord::Editor_Path], path);
}

void TestSettingsStore::windowPlacementKeepsTheDirectories()
{
    writeFile(dirDef(), dirBytes(elevenValues()));
    ReadSettings(m_session);
    QVERIFY(WriteWindowPlacement(m_session, 10, -20, 480));
    QCOMPARE(readFile(dirDef()),
        dirBytes({ "/logs", "/up", "/lists", "", "10", "-20", "", "/usr/bin/vi", "", "480", "" }));
    QVERIFY(m_messages.shown.isEmpty());
}

void TestSettingsStore::flagsSaveKeepsReservedBytes()
{
    writeFile(dirDef(), dirBytes(elevenValues()));
    QByteArray set("10101X01\xB1", 9);
    set.append(QByteArray(91, ' '));
    writeFile(setDef(), set);
    ReadSettings(m_session);
    QCOMPARE(m_session.Flags[OptionFlags::Reserved6], QStringLiteral("X"));

    std::array<bool, OptionFlags::Count> checked {};
    checked[OptionFlags::SignatureOn] = true;
    checked[OptionFlags::MonoColors] = true;
    checked[OptionFlags::Reserved6] = true; // no check box: ignored
    QVERIFY(WriteOptionFlags(m_session, checked));
    QByteArray expected("01000X10\xB1", 9);
    expected.append(QByteArray(91, ' '));
    QCOMPARE(readFile(setDef()), expected);
    QVERIFY(m_session.flag(OptionFlags::MonoColors));
    QVERIFY(!m_session.flag(OptionFlags::NetSelectAtStart));

    // Saving what was loaded writes the same nine bytes again.
    std::array<bool, OptionFlags::Count> same {};
    for (int i = 0; i < OptionFlags::Count; ++i)
        same[i] = m_session.flag(OptionFlags::Index(i));
    QVERIFY(WriteOptionFlags(m_session, same));
    QCOMPARE(readFile(setDef()), expected);
}

void TestSettingsStore::flagsSaveCreatesNewFile()
{
    m_session.Flags[OptionFlags::Reserved9] = QStringLiteral("7");
    std::array<bool, OptionFlags::Count> checked {};
    checked[OptionFlags::NetSelectAtStart] = true;
    checked[OptionFlags::SpaceMovesOn] = true;
    QVERIFY(WriteOptionFlags(m_session, checked));
    QCOMPARE(readFile(setDef()), QByteArray("100000010"));
    QCOMPARE(m_session.Flags[OptionFlags::Reserved9], QStringLiteral("0"));
}

void TestSettingsStore::flagsReadFromShortFile()
{
    writeFile(dirDef(), dirBytes(elevenValues()));
    writeFile(setDef(), "11");
    m_session.Flags[OptionFlags::MonoColors] = QStringLiteral("1");
    ReadSettings(m_session);
    QVERIFY(m_session.flag(OptionFlags::NetSelectAtStart));
    QVERIFY(m_session.flag(OptionFlags::SignatureOn));
    QVERIFY(!m_session.flag(OptionFlags::ResBlankQuoteDelete));
    QVERIFY(m_session.flag(OptionFlags::MonoColors)); // not in the file: as it was
}

void TestSettingsStore::settingsThatCannotBeWrittenAreTold()
{
    // A full disk keeps the old DIR.DEF whole, and the box names it.
    test::writeFile(dirDef(), dirBytes(elevenValues()));
    const QByteArray before = test::readFile(dirDef());
    settings::ReadSettings(m_session);
    bool saved = true;
    {
        const test::FileSizeLimit full(10);
        saved = settings::WriteWindowPlacement(m_session, 1, 2, 3);
    }
    QVERIFY(!saved);
    QCOMPARE(test::readFile(dirDef()), before);
    QCOMPARE(m_messages.texts().size(), 1);
    QVERIFY(m_messages.texts().first().startsWith(
        QStringLiteral("ファイルに書き込めません: ") + dirDef() + "\n"));

    // A directory where SET.def should be: told every time the user saves.
    QVERIFY(QDir().mkpath(setDef()));
    QVERIFY(!settings::WriteOptionFlags(m_session, {}));
    QVERIFY(!settings::WriteOptionFlags(m_session, {}));
    QCOMPARE(m_messages.texts().size(), 3);
    QVERIFY(m_messages.texts().last().contains(setDef()));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
