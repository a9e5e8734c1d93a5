// 通し読み on the demo, with an older capture of board 3 beside its logs:
// Ctrl+T in the title list opens the window on the current board, a click
// on a month of the timeline keeps that month's rows, and Enter opens a row's
// capture in the main window.

#include "ArchiveTimeline.h"
#include "ArchiveWindow.h"
#include "DemoDir.h"
#include "LogGenerator.h"
#include "MainWindow.h"
#include "ProgramWindows.h"
#include "TestSupport.h"
#include "TitleView.h"

#include "base/BoardItemText.h"
#include "fulltext/FullTextIndex.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

using namespace kavrel;

namespace {

// Every file of the working directory but the index, with a digest of its bytes.
QMap<QString, QByteArray> filesOf(const QString &dir)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName().startsWith(fulltext::FullTextIndex::kFileName))
            continue;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            out.insert(path, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
    }
    return out;
}

} // namespace

class TestArchiveWindow : public QObject, private test::DemoProgram
{
    Q_OBJECT

private slots:
    void init()
    {
        startDemo();
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        // Another capture of the log of 26/12/05, in which article 1199 is an
        // older one of the same number, written in October.
        QFile source(demo->path(QStringLiteral("LOG/KAB0605.LOG")));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QFile older(demo->path(QStringLiteral("LOG/KAB0604.LOG")));
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write(source.readAll().replace("26/12/05 18:02:10", "26/10/05 18:02:10"));
    }
    void cleanup() { stopDemo(); }

    void aMonthFiltersTheRowsAndARowOpensInTheMainWindow()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        const QMap<QString, QByteArray> before = filesOf(demo->path(QStringLiteral(".")));

        QTest::keyClick(window->titleView(), Qt::Key_T, Qt::ControlModifier);
        auto *archive = window->findChild<ui::ArchiveWindow *>(QStringLiteral("Archive_Read"));
        QVERIFY(archive && archive->isVisible());
        QCOMPARE(archive->windowTitle(), QStringLiteral("通し読み - かぶらネット"));
        QCOMPARE(archive->state().boardNo(), int(boarditem::boardNumber(window->boardList()->currentText())));
        QAbstractItemModelTester boardsTester(archive->boardView()->model());
        QAbstractItemModelTester rowsTester(archive->rowView()->model());

        // Every board ever seen; board 3 with its two articles 1199.
        QAbstractItemModel *boards = archive->boardView()->model();
        QCOMPARE(boards->rowCount(), 3);
        QCOMPARE(boards->index(1, 0).data().toInt(), 3);
        QCOMPARE(boards->index(1, 1).data().toString(), QStringLiteral("パソコン通信の話題"));
        QCOMPARE(boards->index(1, 2).data().toInt(), 7);
        QCOMPARE(boards->index(1, 3).data().toString(), QStringLiteral("2026-10-05"));
        QCOMPARE(boards->index(1, 4).data().toString(), QStringLiteral("2026-12-06"));
        QTest::mouseClick(archive->boardView()->viewport(), Qt::LeftButton, {},
            archive->boardView()->visualRect(boards->index(1, 1)).center());
        QCOMPARE(archive->state().boardNo(), 3);
        QAbstractItemModel *rows = archive->rowView()->model();
        QCOMPARE(rows->rowCount(), 7);
        // 1200 was captured by two logs.
        QCOMPARE(rows->index(2, 0).data().toString(), QStringLiteral("1200"));
        QCOMPARE(rows->index(2, 4).data().toInt(), 2);
        QCOMPARE(rows->index(1, 4).data().toString(), QString());
        QCOMPARE(rows->index(5, 0).data().toString(), QStringLiteral("    1203"));

        // October, November (none) and December.
        ui::ArchiveTimeline *timeline = archive->timeline();
        QCOMPARE(archive->state().months().size(), 3);
        QVERIFY(timeline->barRect(2).isValid() && !timeline->barRect(3).isValid());
        QTest::mousePress(timeline, Qt::LeftButton, {}, timeline->barRect(1).center());
        QTest::mouseRelease(timeline, Qt::LeftButton, {}, timeline->barRect(2).center());
        QCOMPARE(archive->state().firstMonth(), 1);
        QCOMPARE(archive->state().lastMonth(), 2);
        QCOMPARE(rows->rowCount(), 6);
        QCOMPARE(archive->statusLabel()->text(), QStringLiteral("6 件（全 7 件）"));

        // Esc lets go of the months; Space at the end of an article goes on to the next.
        archive->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(archive));
        archive->rowView()->setFocus();
        QTest::keyClick(archive->rowView(), Qt::Key_Escape);
        QVERIFY(archive->isVisible());
        QCOMPARE(rows->rowCount(), 7);
        QCOMPARE(archive->rowView()->currentIndex().row(), 0);
        QTest::keyClick(archive->rowView(), Qt::Key_Space);
        QCOMPARE(archive->rowView()->currentIndex().row(), 1);
        QTest::keyClick(archive->rowView(), Qt::Key_End);
        QCOMPARE(archive->rowView()->currentIndex().row(), 6);
        QVERIFY(archive->articleView()->toPlainText().contains(QStringLiteral("モデムの初期化コマンド")));

        QTest::mouseClick(timeline, Qt::LeftButton, {}, timeline->barRect(0).center());
        QCOMPARE(rows->rowCount(), 1);
        QCOMPARE(rows->index(0, 1).data().toString(), QStringLiteral("2026-10-05 18:02:10"));
        QCOMPARE(filesOf(demo->path(QStringLiteral("."))), before); // the window changed no file

        QTest::keyClick(archive->rowView(), Qt::Key_Return);
        QCOMPARE(window->windowTitle(), QStringLiteral("Kavrel[LOG/KAB0604.LOG]"));
        QCOMPARE(window->boardList()->currentText(), QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        QVERIFY(program->session().main.Title.selectedText().contains(QStringLiteral("[1199]")));
        QVERIFY(program->session().main.Article.items.contains(
            QStringLiteral("9600bpsのモデムを買いました。初期化コマンドは何がよいでしょうか。")));

        // Esc with no month chosen closes the window, which opens again where it was left.
        archive->resize(900, 500);
        QTest::keyClick(archive->rowView(), Qt::Key_Escape);
        QTest::keyClick(archive->rowView(), Qt::Key_Escape);
        QVERIFY(!archive->isVisible());
        delete archive;
        window->action(QStringLiteral("Archive_Read"))->trigger();
        archive = window->findChild<ui::ArchiveWindow *>(QStringLiteral("Archive_Read"));
        QVERIFY(archive && archive->isVisible());
        QCOMPARE(archive->size(), QSize(900, 500));
        QCOMPARE(archive->state().boardNo(), 3); // now the main window's board
    }

    void aBoardOfManyPagesIsListedToItsEnd()
    {
        // A log whose board 1 has more articles than a page of rows.
        test::LogGeneratorOptions o;
        o.articleHeader = QString(39, u'=') + u' ';
        o.boards = 2;
        o.largeBoardArticles = 1200;
        o.bodyLines = 1;
        test::writeFile(demo->path(QStringLiteral("LOG/KAB7001.LOG")), test::LogGenerator(o).bytes());
        ui::ArchiveWindow archive(*program);
        archive.openOn(QStringLiteral("かぶらネット"), 1);
        QCOMPARE(archive.state().boardNo(), 1);
        const int all = archive.state().boards().at(archive.state().boardIndex()).articles;
        QVERIFY(all > 2 * fulltext::ArchiveWindowState::kPageRows);
        QAbstractItemModel *rows = archive.rowView()->model();
        QCOMPARE(rows->rowCount(), fulltext::ArchiveWindowState::kPageRows);
        QCOMPARE(archive.state().rows().size(), fulltext::ArchiveWindowState::kPageRows);
        QAbstractItemModelTester rowsTester(rows); // which fetches as a view would

        // As the view scrolls down, it asks for the rest.
        while (rows->canFetchMore({}))
            rows->fetchMore({});
        QCOMPARE(rows->rowCount(), all);
        QCOMPARE(archive.state().rows().size(), all);
        QCOMPARE(archive.statusLabel()->text(), QStringLiteral("%1 件").arg(all));
        QStringList numbers;
        for (int row = 0; row < all; ++row)
            numbers << rows->index(row, 0).data().toString().trimmed();
        numbers.removeDuplicates();
        QCOMPARE(numbers.size(), all);
    }
};

QTEST_MAIN(TestArchiveWindow)
#include "tst_archivewindow.moc"
