// The up file's undo history: sequences of writing commands and changes made
// outside Kavrel, undone and redone to every point through Ctrl+Z and Ctrl+Y
// in the title list, the file compared byte for byte; failing writes, an
// unwritable history and damaged generations.
#include "WritingFixture.h"

#include "base/Cp932.h"
#include "session/UpFileHistory.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <optional>
#include <unistd.h>

using namespace kavrel;
using namespace kavrel::test;
using namespace kavrel::test::writinglogs;

namespace {

using Point = std::optional<QByteArray>; // the up file's bytes; none: no file

const QString kOutsideLine = QStringLiteral("手で足した行\r\n");

Point filePoint(const WritingFixture &f)
{
    if (!QFile::exists(f.upPath()))
        return std::nullopt;
    return f.upBytes();
}

// Kavrel reads the up file again, as choosing the net does.
void readAgain(WritingFixture &f)
{
    const Point found = filePoint(f);
    f.session.upFile.load(found ? cp932::decode(*found) : QString());
    QVERIFY(f.session.upFile.keepFound(f.upPath()));
    f.select(f.boardOf(12));
}

// One step of a sequence: W a new write; E<n> and D<n> rewrite and delete
// [書込 n]; S the batch mark of article 307; outside Kavrel, O the terminal
// program sent the file and emptied it, X it removed it, H a line typed in
// at its start.
void runStep(WritingFixture &f, const QString &step, int n)
{
    f.select(f.boardOf(12));
    const QChar what = step.at(0);
    if (what == u'W' || what == u'E') {
        if (what == u'E')
            f.click(QStringLiteral("[書込 %1]").arg(step.mid(1)));
        f.script.willWrite(QStringLiteral("書込%1\r\n本文%1").arg(n));
        f.press(what.toLatin1());
    } else if (what == u'D') {
        f.click(QStringLiteral("[書込 %1]").arg(step.mid(1)));
        f.messages.answers = { MsgAnswer::Ok };
        f.press('D');
    } else if (what == u'S') {
        f.reader.chooseRow(f.rowOf(QStringLiteral("[307]")));
        f.press('S');
    } else if (what == u'O') {
        writeFile(f.upPath(), QByteArray());
        readAgain(f);
    } else if (what == u'X') {
        QVERIFY(QFile::remove(f.upPath()));
        readAgain(f);
    } else if (what == u'H') {
        writeFile(f.upPath(), sjis(kOutsideLine) + f.upBytes());
        readAgain(f);
    }
    f.messages.answers.clear();
}

// Presses Ctrl+Z or Ctrl+Y; the messages it showed.
QStringList step(WritingFixture &f, char key, bool confirm = false)
{
    f.messages.shown.clear();
    if (confirm)
        f.messages.answers = { MsgAnswer::Ok };
    f.press(key, keys::Shift_Ctrl);
    f.messages.answers.clear();
    return f.messages.texts();
}

QString pointText(const Point &p)
{
    return p ? cp932::decode(*p) : QStringLiteral("(no file)");
}

} // namespace

class tst_UpFileHistory : public QObject
{
    Q_OBJECT

private slots:
    void undoAndRedoToEveryPoint_data();
    void undoAndRedoToEveryPoint();
    void undoOfADeleteSelectsTheCommand();
    void sentCommandsAreAskedFirst();
    void failingWriteInAnUndoChangesNothing_data();
    void failingWriteInAnUndoChangesNothing();
    void unwritableHistoryStillWritesTheUpFile_data();
    void unwritableHistoryStillWritesTheUpFile();
    void damagedGenerationIsSkipped_data();
    void damagedGenerationIsSkipped();
    void keepsFiftyGenerations_data();
    void keepsFiftyGenerations();
};

void tst_UpFileHistory::undoAndRedoToEveryPoint_data()
{
    QTest::addColumn<QString>("start"); // the up file before the steps; empty: none
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("changes"); // what each step is called in the history
    QTest::addColumn<QList<int>>("asking"); // the steps whose undo asks first

    QTest::newRow("writes, a rewrite, a delete, a batch mark")
        << QString() << "W W E1 D2 S"
        << QStringList { "書込 1 の保存", "書込 2 の保存", "書込 1 の書き直し", "書込 2 の削除",
               "一括マークの設定" }
        << QList<int> {};
    QTest::newRow("sent and emptied by the terminal program")
        << QString() << "W W O W D1"
        << QStringList { "書込 1 の保存", "書込 2 の保存", "Kavrel の外での変更", "書込 1 の保存",
               "書込 1 の削除" }
        << QList<int> { 3 };
    QTest::newRow("a hand-kept file, edited and removed outside")
        << QStringLiteral("手書きのメモ\r\n") << "W H S X W"
        << QStringList { "書込 1 の保存", "Kavrel の外での変更", "一括マークの設定", "Kavrel の外での変更",
               "書込 1 の保存" }
        << QList<int> { 4 };
    QTest::newRow("a batch mark set, cleared and set again")
        << QString() << "S S W S"
        << QStringList { "一括マークの設定", "一括マークの解除", "書込 1 の保存", "一括マークの設定" }
        << QList<int> {};
}

void tst_UpFileHistory::undoAndRedoToEveryPoint()
{
    QFETCH(QString, start);
    QFETCH(QString, steps);
    QFETCH(QStringList, changes);
    QFETCH(QList<int>, asking);
    WritingFixture f;
    if (!start.isEmpty())
        f.setUpFile(start);
    f.open(standardLog());

    QList<Point> points { filePoint(f) };
    const QStringList sequence = steps.split(u' ');
    for (int i = 0; i < sequence.size(); ++i) {
        runStep(f, sequence.at(i), i + 1);
        points << filePoint(f);
        QVERIFY2(points.last() != points.at(i), qPrintable(sequence.at(i)));
    }

    for (int i = sequence.size(); i >= 1; --i) {
        const QStringList shown = step(f, 'Z', asking.contains(i));
        QCOMPARE(pointText(filePoint(f)), pointText(points.at(i - 1)));
        QVERIFY(filePoint(f) == points.at(i - 1));
        QCOMPARE(f.session.upFile.text(), points.at(i - 1) ? cp932::decode(*points.at(i - 1)) : QString());
        QCOMPARE(f.session.reading.StatusText, changes.at(i - 1) + QStringLiteral("を元に戻しました"));
        QCOMPARE(shown.size(), asking.contains(i) ? 1 : 0);
    }
    QVERIFY(step(f, 'Z').isEmpty());
    QVERIFY(filePoint(f) == points.first());
    QCOMPARE(f.session.reading.StatusText, QStringLiteral("元に戻せる変更はありません"));

    for (int i = 1; i <= sequence.size(); ++i) {
        QVERIFY(step(f, 'Y').isEmpty());
        QCOMPARE(pointText(filePoint(f)), pointText(points.at(i)));
        QVERIFY(filePoint(f) == points.at(i));
        QCOMPARE(f.session.reading.StatusText, changes.at(i - 1) + QStringLiteral("をやり直しました"));
    }
    QVERIFY(step(f, 'Y').isEmpty());
    QVERIFY(filePoint(f) == points.last());
    QCOMPARE(f.session.reading.StatusText, QStringLiteral("やり直せる変更はありません"));
}

void tst_UpFileHistory::undoOfADeleteSelectsTheCommand()
{
    WritingFixture f;
    f.open(standardLog());
    runStep(f, QStringLiteral("W"), 1);
    runStep(f, QStringLiteral("W"), 2);
    const QByteArray both = f.upBytes();
    runStep(f, QStringLiteral("D1"), 3);
    const QByteArray second = f.upBytes();
    f.reader.chooseRow(0);

    QVERIFY(step(f, 'Z').isEmpty());
    QCOMPARE(f.upBytes(), both);
    QCOMPARE(f.session.reading.StatusText, QStringLiteral("書込 1 の削除を元に戻しました"));
    // The title list shows the write again, on its row.
    QCOMPARE(f.marks(), (QStringList { "[書込 1]", "[書込 2]" }));
    QCOMPARE(f.session.main.Title.selectedText(), QStringLiteral("[書込 1]"));
    QCOMPARE(f.session.main.Article.items, (QStringList { "書込1", "本文1" }));
    // ".bak" is the generation before, as after every write.
    QCOMPARE(readFile(f.upPath() + QStringLiteral(".bak")), second);
}

void tst_UpFileHistory::sentCommandsAreAskedFirst()
{
    WritingFixture f;
    f.open(standardLog());
    runStep(f, QStringLiteral("W"), 1);
    runStep(f, QStringLiteral("O"), 2);
    f.messages.shown.clear();
    f.messages.answers = { MsgAnswer::Cancel };
    f.press('Z', keys::Shift_Ctrl);

    QCOMPARE(f.messages.shown.size(), 1);
    const ScriptedMessages::Shown &asked = f.messages.shown.first();
    QVERIFY2(asked.text.contains(QStringLiteral("Kavrel の外で"))
            && asked.text.contains(QStringLiteral("通信ソフトが送信"))
            && asked.text.contains(QStringLiteral("送信済みのコマンド 1 件")),
        qPrintable(asked.text));
    QCOMPARE(asked.buttons, MsgButtons::OkCancel);
    QCOMPARE(asked.defaultAnswer, MsgAnswer::Cancel);
    // Declined: the file stays as the terminal program left it.
    QCOMPARE(f.upBytes(), QByteArray());
    QCOMPARE(f.session.upFile.text(), QString());
}

void tst_UpFileHistory::failingWriteInAnUndoChangesNothing_data()
{
    QTest::addColumn<bool>("readOnlyFolder"); // else a directory in place of ".bak"
    QTest::newRow("read-only up folder") << true;
    QTest::newRow("directory in place of .bak") << false;
}

void tst_UpFileHistory::failingWriteInAnUndoChangesNothing()
{
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && geteuid() == 0)
        QSKIP("root writes into read-only folders");
    WritingFixture f;
    f.open(standardLog());
    runStep(f, QStringLiteral("W"), 1);
    const QByteArray first = f.upBytes();
    runStep(f, QStringLiteral("W"), 2);
    const QByteArray both = f.upBytes();
    const QString folder = QFileInfo(f.upPath()).path();
    const QString bak = f.upPath() + QStringLiteral(".bak");
    if (readOnlyFolder) {
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    } else {
        QVERIFY(QFile::remove(bak));
        QVERIFY(QDir().mkpath(bak + QStringLiteral("/x")));
    }

    const QStringList shown = step(f, 'Z');
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(shown.size(), 1);
    QVERIFY2(
        shown.first().startsWith(QStringLiteral("アップファイルを書き込めませんでした。\r\n") + bak + u':'),
        qPrintable(shown.first()));
    QCOMPARE(f.upBytes(), both);
    QCOMPARE(f.session.upFile.text(), cp932::decode(both));
    QCOMPARE(f.marks(), (QStringList { "[書込 1]", "[書込 2]" }));

    // Nothing was lost: once the file can be written, the undo goes on.
    QDir(bak).removeRecursively();
    QVERIFY(step(f, 'Z').isEmpty());
    QCOMPARE(f.upBytes(), first);
    QVERIFY(step(f, 'Y').isEmpty());
    QCOMPARE(f.upBytes(), both);
}

void tst_UpFileHistory::unwritableHistoryStillWritesTheUpFile_data()
{
    QTest::addColumn<bool>("readOnlyFolder"); // else a file in place of the history folder
    QTest::newRow("file in place of the history folder") << false;
    QTest::newRow("read-only history folder") << true;
}

void tst_UpFileHistory::unwritableHistoryStillWritesTheUpFile()
{
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && geteuid() == 0)
        QSKIP("root writes into read-only folders");
    WritingFixture f;
    f.open(standardLog());
    const QString history = UpFileHistory(f.upPath()).folder();
    if (readOnlyFolder) {
        QVERIFY(QDir().mkpath(history));
        QVERIFY(QFile::setPermissions(history, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    } else {
        writeFile(QFileInfo(history).path(), "not a folder");
    }
    f.messages.shown.clear();
    runStep(f, QStringLiteral("W"), 1);
    QFile::setPermissions(history, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QCOMPARE(f.upBytes(), sjis(QStringLiteral("\\ 12\r\nW書込1\r\n本文1\r\n.\r\nyQ")));
    QCOMPARE(f.marks(), QStringList { "[書込 1]" });
    const QStringList texts = f.messages.texts();
    QCOMPARE(texts.size(), 2); // the question of W, then the notice
    QVERIFY2(texts.last().startsWith(
                 QStringLiteral("アップファイルの履歴を残せませんでした。この変更は元に戻せません。\r\n")),
        qPrintable(texts.last()));
}

void tst_UpFileHistory::damagedGenerationIsSkipped_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("a byte of the text changed") << "byte";
    QTest::newRow("cut short") << "short";
    QTest::newRow("not a generation") << "foreign";
}

void tst_UpFileHistory::damagedGenerationIsSkipped()
{
    QFETCH(QString, damage);
    WritingFixture f;
    f.open(standardLog());
    runStep(f, QStringLiteral("W"), 1);
    const QByteArray first = f.upBytes();
    runStep(f, QStringLiteral("W"), 2);
    runStep(f, QStringLiteral("W"), 3);
    // Generation 1 is the history's start (no file), 2 to 4 the writes.
    const QString path = UpFileHistory(f.upPath()).folder() + QStringLiteral("/00000003.gen");
    QByteArray bytes = readFile(path);
    if (damage == u"byte")
        bytes[bytes.size() - 3] = 'x';
    else if (damage == u"short")
        bytes.chop(1);
    else
        bytes = "\\ 12\r\nW\r\n.\r\nyQ";
    writeFile(path, bytes);

    const QStringList shown = step(f, 'Z');
    QCOMPARE(shown,
        QStringList { QStringLiteral("アップファイルの履歴の世代 3 は壊れているため、飛ばしました。") });
    QCOMPARE(f.upBytes(), first);
    QCOMPARE(f.session.reading.StatusText, QStringLiteral("書込 3 の保存を元に戻しました"));
    // Never restored on the way back either.
    step(f, 'Y');
    QCOMPARE(f.upBytes(),
        sjis(cp932::decode(first) + QStringLiteral("\\ 12\r\nW書込2\r\n本文2\r\n.\r\nyQ")
            + QStringLiteral("\\ 12\r\nW書込3\r\n本文3\r\n.\r\nyQ")));
}

void tst_UpFileHistory::keepsFiftyGenerations_data()
{
    QTest::addColumn<int>("changes");
    QTest::addColumn<qint64>("oldest");
    QTest::newRow("50") << 50 << qint64(1);
    QTest::newRow("51") << 51 << qint64(2);
}

void tst_UpFileHistory::keepsFiftyGenerations()
{
    QFETCH(int, changes);
    QFETCH(qint64, oldest);
    QTemporaryDir dir;
    const QString up = dir.filePath(QStringLiteral("TEST.up"));
    UpFileHistory history(up);
    QVERIFY(history.read());
    for (int i = 1; i <= changes; ++i)
        QVERIFY(history.add(
            QByteArray::number(i), QStringLiteral("変更 %1").arg(i), QDateTime::currentDateTime()));

    UpFileHistory again(up);
    QVERIFY(again.read());
    QCOMPARE(again.generations().size(), qMin(changes, UpFileHistory::kMaxGenerations));
    QCOMPARE(again.generations().first().number, oldest);
    QCOMPARE(again.generations().first().bytes, std::optional(QByteArray::number(oldest)));
    QCOMPARE(again.current()->number, qint64(changes));
    QCOMPARE(QDir(again.folder()).entryList(QDir::Files).size(), again.generations().size() + 1);
}

QTEST_GUILESS_MAIN(tst_UpFileHistory)
#include "tst_upfilehistory.moc"
