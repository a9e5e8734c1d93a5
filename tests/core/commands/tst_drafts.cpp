// Drafts offered when their net is chosen again: the question, the answers,
// the store as the command would have stored, and records that cannot be read.
#include "WritingFixture.h"

#include "base/FileIo.h"
#include "commands/DraftOffer.h"
#include "commands/Drafts.h"
#include "commands/UpFileCommands.h"
#include "commands/WaitingCommandRewrite.h"

#include <QDir>
#include <QTest>

using namespace kavrel;
using namespace kavrel::test;
namespace upfile = kavrel::commands::upfile;
using commands::Draft;
using commands::DraftKind;
using commands::Drafts;

namespace {

const QString kText = QStringLiteral("Re:今日の一枚\r\nきれいですね。");
// Made when asked: a QString constant of another file may not be made yet while this one is.
QString waitingCommand()
{
    return upfile::writeCommand(1, QStringLiteral("前の題\r\n前の本文"), QString());
}

Draft draft(DraftKind kind, ReaderMode storeAs, const QString &started)
{
    Draft d;
    d.kind = kind;
    d.target.kind = storeAs;
    d.target.board = 3;
    d.target.reference = QStringLiteral("1201");
    d.netName = QStringLiteral("かぶらネット");
    d.boardName = QStringLiteral("No.3 パソコン相談室");
    d.started = QDateTime::fromString(started, Qt::ISODate);
    d.hasText = true;
    d.text = kText;
    return d;
}

QByteArray record(const Draft &d)
{
    return Drafts::encode(d);
}

} // namespace

class tst_Drafts : public QObject
{
    Q_OBJECT

private slots:
    void offer_data();
    void offer();
    void unwritableFolderIsSaidOnce();
    void rewriteWithoutARow_data();
    void rewriteWithoutARow();
};

void tst_Drafts::offer_data()
{
    QTest::addColumn<QByteArrayList>("records");
    QTest::addColumn<QString>("upBefore");
    QTest::addColumn<QList<MsgAnswer>>("answers");
    QTest::addColumn<bool>("editorSaves");
    QTest::addColumn<QStringList>("questions"); // the start of each message shown
    QTest::addColumn<QString>("upAfter");
    QTest::addColumn<int>("recordsLeft");

    const Draft response
        = draft(DraftKind::Response, ReaderMode::Response, QStringLiteral("2026-12-07T21:40:00"));
    const QString asked = QStringLiteral(
        "書きかけの文章があります（レス, No.3 パソコン相談室, 12/07 21:40）。続けて書きますか？");
    const QString responseUp = upfile::responseCommand(3, QStringLiteral("1201"), kText, QString());

    QTest::newRow("taken up and stored as the response, even without its log")
        << QByteArrayList { record(response) } << QString() << QList<MsgAnswer> { MsgAnswer::Yes } << true
        << QStringList { asked } << responseUp << 0;
    QTest::newRow("kept for later") << QByteArrayList { record(response) } << QString()
                                    << QList<MsgAnswer> { MsgAnswer::No } << false << QStringList { asked }
                                    << QString() << 1;
    QTest::newRow("discarded after the second question")
        << QByteArrayList { record(response) } << QString()
        << QList<MsgAnswer> { MsgAnswer::Cancel, MsgAnswer::Yes } << false
        << QStringList { asked, commands::kDiscardDraftQuestion } << QString() << 0;
    QTest::newRow("discard not confirmed")
        << QByteArrayList { record(response) } << QString()
        << QList<MsgAnswer> { MsgAnswer::Cancel, MsgAnswer::No } << false
        << QStringList { asked, commands::kDiscardDraftQuestion } << QString() << 1;
    QTest::newRow("editor closed unsaved: given up")
        << QByteArrayList { record(response) } << QString() << QList<MsgAnswer> { MsgAnswer::Yes } << false
        << QStringList { asked } << QString() << 0;

    Draft older = draft(DraftKind::Write, ReaderMode::Write, QStringLiteral("2026-12-06T08:00:00"));
    older.boardName = QStringLiteral("No.1 雑談");
    QTest::newRow("the newest first")
        << QByteArrayList { record(older), record(response) } << QString()
        << QList<MsgAnswer> { MsgAnswer::No, MsgAnswer::No } << false
        << QStringList { asked, QStringLiteral("書きかけの文章があります（書込, No.1 雑談, 12/06 08:00）") }
        << QString() << 2;

    Draft otherNet = response;
    otherNet.netName = QStringLiteral("みなとネット");
    QTest::newRow("another net's draft waits for its net")
        << QByteArrayList { record(otherNet) } << QString() << QList<MsgAnswer> {} << false << QStringList {}
        << QString() << 1;

    Draft rewrite = draft(DraftKind::Rewrite, ReaderMode::Write, QStringLiteral("2026-12-07T22:00:00"));
    rewrite.target.board = 1;
    rewrite.target.rewrite = true;
    rewrite.replaces = waitingCommand();
    const QString other = upfile::writeCommand(7, QStringLiteral("別"), QString());
    QTest::newRow("a rewrite replaces its waiting command")
        << QByteArrayList { record(rewrite) } << waitingCommand() + other
        << QList<MsgAnswer> { MsgAnswer::Yes } << true
        << QStringList { QStringLiteral("書きかけの文章があります（書き直し,") }
        << other + upfile::writeCommand(1, kText, QString()) << 0;

    const QByteArray whole = record(response);
    const QString notice = QStringLiteral("書きかけの文章の記録を読み取れませんでした（");
    QTest::newRow("cut short: offered as text, kept")
        << QByteArrayList { whole.left(whole.size() - 10) } << QString() << QList<MsgAnswer> { MsgAnswer::No }
        << false << QStringList { notice + QStringLiteral("下書きの記録が途中で切れています") } << QString()
        << 1;
    QTest::newRow("not Kavrel's: taken out as a text file")
        << QByteArrayList { QByteArray("hello\n") } << QString() << QList<MsgAnswer> { MsgAnswer::Yes }
        << false
        << QStringList { notice + QStringLiteral("Kavrelの下書きではありません"),
               QStringLiteral("書きかけの文章を次のファイルに保存しました。") }
        << QString() << 0;
    QByteArray newer = whole;
    newer.replace("Kavrel draft 1\n", "Kavrel draft 9\n");
    QTest::newRow("from a newer version: discarded after asking")
        << QByteArrayList { newer } << QString() << QList<MsgAnswer> { MsgAnswer::Cancel, MsgAnswer::Yes }
        << false
        << QStringList { notice + QStringLiteral("新しい版のKavrelの下書きです"),
               commands::kDiscardDraftQuestion }
        << QString() << 0;
}

void tst_Drafts::offer()
{
    QFETCH(QByteArrayList, records);
    QFETCH(QString, upBefore);
    QFETCH(QList<MsgAnswer>, answers);
    QFETCH(bool, editorSaves);
    QFETCH(QStringList, questions);
    QFETCH(QString, upAfter);
    QFETCH(int, recordsLeft);

    WritingFixture f;
    const QString folder = f.dir.filePath(QStringLiteral("data/drafts"));
    for (int i = 0; i < records.size(); ++i)
        writeFile(folder + QStringLiteral("/d%1.draft").arg(i), records.at(i));
    if (!upBefore.isEmpty())
        f.setUpFile(upBefore);
    Drafts drafts(f.session);
    drafts.setFolder(folder);
    f.messages.answers = answers;
    if (editorSaves)
        f.script.willWrite(kText);

    commands::OfferDrafts(f.session, drafts);

    QCOMPARE(f.messages.texts().size(), questions.size());
    for (int i = 0; i < questions.size(); ++i)
        QVERIFY2(f.messages.texts().at(i).startsWith(questions.at(i)), qPrintable(f.messages.texts().at(i)));
    QCOMPARE(f.upBytes(), sjis(upAfter));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), recordsLeft);
    QVERIFY(!QFile::exists(f.tempPath()));
    const QStringList taken = QDir(f.session.AppDir).entryList({ QStringLiteral("DRAFT_*.TXT") });
    if (QTest::currentDataTag() == QLatin1String("not Kavrel's: taken out as a text file")) {
        QCOMPARE(taken.size(), 1);
        QCOMPARE(readFile(f.session.appFile(taken.first())), QByteArray("hello\n"));
    } else {
        QVERIFY(taken.isEmpty());
    }
}

void tst_Drafts::unwritableFolderIsSaidOnce()
{
    WritingFixture f;
    // A file where the folder should be: no draft can be written there.
    const QString folder = f.dir.filePath(QStringLiteral("drafts"));
    writeFile(folder, "not a folder");
    Drafts drafts(f.session);
    drafts.setFolder(folder);

    drafts.begin(draft(DraftKind::Write, ReaderMode::Write, QStringLiteral("2026-12-07T21:40:00")));
    QVERIFY(!drafts.keepText(QStringLiteral("一行目")));
    QVERIFY(!drafts.keepText(QStringLiteral("二行目")));
    QCOMPARE(f.messages.texts().size(), 1);
    QVERIFY(f.messages.texts().first().startsWith(
        QStringLiteral("書きかけの文章を下書きとして保存できません。")));
    drafts.end();
    QCOMPARE(readFile(folder), QByteArray("not a folder"));
}

void tst_Drafts::rewriteWithoutARow_data()
{
    QTest::addColumn<QString>("up");
    QTest::addColumn<int>("n"); // as the send preview numbers the commands
    QTest::addColumn<QString>("starting"); // the editor's text; none when it does not run
    QTest::addColumn<QString>("saved"); // none: closed unsaved
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("upAfter");

    // Made here, not at start-up: the commands' texts are not there yet then.
    const QString waiting = upfile::writeCommand(1, QStringLiteral("前の題\r\n前の本文"), QString());
    const QString memo = QStringLiteral("メモ\r\n");
    const QString other = upfile::writeCommand(7, QStringLiteral("別"), QString());
    const QString saved = QStringLiteral("新しい題\r\n新しい本文");
    QTest::newRow("a write, after the user's own text")
        << memo + waiting + other << 1 << QStringLiteral("前の題\r\n前の本文") << saved << QString()
        << memo + other + upfile::writeCommand(1, saved, QString());
    const QString sig = QStringLiteral("-- 山田\r\n");
    QTest::newRow("a response keeps its reference, the signature is the text's own")
        << other + upfile::responseCommand(12, QStringLiteral("%000999"), QStringLiteral("Re\r\nx"), sig) << 2
        << QStringLiteral("Re\r\nx\r\n-- 山田") << QStringLiteral("Re\r\ny\r\n-- 山田") << QString()
        << other
            + upfile::responseCommand(
                12, QStringLiteral("%000999"), QStringLiteral("Re\r\ny\r\n-- 山田"), {});
    const QStringList to { QStringLiteral("100"), QStringLiteral("KAV00123") };
    QTest::newRow("a mail keeps its recipients")
        << upfile::mailCommand(to, QStringLiteral("件名\r\n本文"), QString()) << 1
        << QStringLiteral("件名\r\n本文") << saved << QString() << upfile::mailCommand(to, saved, QString());
    QTest::newRow("a chat write stays in its room")
        << upfile::chatCommand(2, QStringLiteral("やあ\r\n元気")) << 1 << QStringLiteral("やあ\r\n元気")
        << QStringLiteral("やあ\r\n眠い") << QString()
        << upfile::chatCommand(2, QStringLiteral("やあ\r\n眠い"));
    QTest::newRow("closed unsaved: nothing changes")
        << waiting + other << 2 << QStringLiteral("別") << QString() << QString() << waiting + other;
    const QString batch = upfile::batchCommand(12, 305);
    QTest::newRow("a batch mark has no text")
        << batch << 1 << QString() << QString() << commands::kBatchMarkHasNoText << batch;
    const QString unclosed = QStringLiteral("\\ 12\r\nWT\r\nB\r\n");
    QTest::newRow("a command without its closing line is left to the user")
        << unclosed << 1 << QString() << QString() << commands::kUnclosedNotRewritten << unclosed;
}

void tst_Drafts::rewriteWithoutARow()
{
    QFETCH(QString, up);
    QFETCH(int, n);
    QFETCH(QString, starting);
    QFETCH(QString, saved);
    QFETCH(QString, said);
    QFETCH(QString, upAfter);

    WritingFixture f;
    f.setUpFile(up);
    const QString folder = f.dir.filePath(QStringLiteral("data/drafts"));
    Drafts drafts(f.session);
    drafts.setFolder(folder);
    if (!saved.isEmpty())
        f.script.willWrite(saved);

    QCOMPARE(commands::rewriteWaitingCommand(f.session, drafts, n), upAfter != up);

    QCOMPARE(f.script.runs(), starting.isEmpty() ? 0 : 1);
    if (!starting.isEmpty())
        QCOMPARE(f.script.lastStartingBytes(), sjis(starting));
    QCOMPARE(f.messages.texts(), said.isEmpty() ? QStringList() : QStringList { said });
    QCOMPARE(f.upBytes(), sjis(upAfter));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 0); // stored or given up: no draft left
    QVERIFY(!QFile::exists(f.tempPath()));
}

QTEST_GUILESS_MAIN(tst_Drafts)
#include "tst_drafts.moc"
