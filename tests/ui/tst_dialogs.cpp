// Qt's standard dialogs as Kavrel shows them, under a system locale that is
// not Japanese: the export's save dialog speaks Japanese, suggests a name and
// remembers the folder and the format; and where the windows open.

#include "DemoDir.h"
#include "MainWindow.h"
#include "ProgramWindows.h"
#include "RawLogView.h"
#include "SearchWindow.h"
#include "TestSupport.h"
#include "WindowPrefs.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QTreeView>

#include <functional>

using namespace kavrel;

namespace {

// Runs f on the file dialog once it is shown modally; f must close it.
void onFileDialog(const std::function<void(QFileDialog *)> &f)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            f(dialog);
        }
    });
    timer->start();
}

// Waits (inside the dialog's own loop) until the file list shows rows rows.
void waitForFiles(QFileDialog *dialog, int rows)
{
    auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
    for (int i = 0; i < 200 && view->model()->rowCount(view->rootIndex()) < rows; ++i)
        QTest::qWait(20);
}

// Every text the dialog shows a person: captions, tips, headings, the file
// list's cells but the names.
QStringList shownTexts(QFileDialog *dialog)
{
    QStringList texts { dialog->windowTitle() };
    for (const QLabel *label : dialog->findChildren<QLabel *>())
        texts << label->text();
    for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
        texts << button->text() << button->toolTip();
    for (const QComboBox *box : dialog->findChildren<QComboBox *>()) {
        if (box->objectName() == u"fileTypeCombo" || box->objectName() == u"lookInCombo")
            continue; // the formats' own names, the folders' paths
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
    }
    auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
    const QAbstractItemModel *model = view->model();
    for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
        texts << model->headerData(column, Qt::Horizontal).toString();
        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
            if (column > 0)
                texts << model->index(row, column, view->rootIndex()).data().toString();
        }
    }
    return texts;
}

} // namespace

class TestDialogs : public QObject, private test::DemoProgram
{
    Q_OBJECT

private slots:
    void init()
    {
        startDemo();
        QTRY_VERIFY(program->netSelectWindow().isVisible());
    }
    void cleanup() { stopDemo(); }

    void theSaveDialogSpeaksJapanese()
    {
        QVERIFY(QDir(demo->path("out")).mkpath(QStringLiteral("sub")));
        test::writeFile(demo->path("out/a.txt"), QByteArray(1500, 'a'));
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        QStringList texts;
        onFileDialog([&](QFileDialog *dialog) {
            dialog->setDirectory(demo->path("out"));
            dialog->setViewMode(QFileDialog::Detail);
            waitForFiles(dialog, 2);
            texts = shownTexts(dialog);
            dialog->reject();
        });
        window->action("Export")->trigger();
        QVERIFY(texts.size() > 10);
        // Unit symbols such as KiB are no words.
        const QRegularExpression latin(QStringLiteral("\\b(?![KMGT]iB\\b)[A-Za-z]{2,}"));
        QStringList english;
        for (const QString &text : std::as_const(texts)) {
            if (text.contains(latin))
                english << text;
        }
        QVERIFY2(english.isEmpty(), qPrintable(english.join(QStringLiteral(" | "))));
        QVERIFY(texts.contains(QStringLiteral("フォルダー")));
    }

    void theExportSuggestsANameAndRemembers()
    {
        QVERIFY(QDir().mkpath(demo->path("out")));
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        QComboBox *boards = window->boardList();
        const int pc = boards->findText(QStringLiteral("No.3 ｢パソコン通信の話題｣"));
        boards->setCurrentIndex(pc);
        emit boards->activated(pc);

        QString suggested, afterHtml;
        onFileDialog([&](QFileDialog *dialog) {
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            suggested = name->text();
            // The user picks HTML, then the folder.
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);
            afterHtml = name->text();
            dialog->setDirectory(demo->path("out"));
            name->setText(afterHtml);
            static_cast<QDialog *>(dialog)->accept();
        });
        window->action("Export")->trigger();
        QCOMPARE(suggested, QStringLiteral("かぶらネット-3-パソコン通信の話題.txt"));
        QCOMPARE(afterHtml, QStringLiteral("かぶらネット-3-パソコン通信の話題.html"));
        QVERIFY(QFile::exists(demo->path("out/かぶらネット-3-パソコン通信の話題.html")));

        // The next export starts in that folder, in that format.
        QString folder, format;
        onFileDialog([&](QFileDialog *dialog) {
            folder = dialog->directory().absolutePath();
            format = dialog->selectedNameFilter();
            suggested = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
            dialog->reject();
        });
        window->action("Export")->trigger();
        QCOMPARE(folder, QDir(demo->path("out")).absolutePath());
        QVERIFY2(format.startsWith(QStringLiteral("HTML")), qPrintable(format));
        QCOMPARE(suggested, QStringLiteral("かぶらネット-3-パソコン通信の話題.html"));
        QCOMPARE(ui::prefs::open()->value(ui::prefs::kExportFormat).toString(), QStringLiteral("html"));
    }

    // The main window starts on two thirds of the screen, centred, and comes
    // back as it was left.
    void theMainWindowComesBackAsLeft()
    {
        const QRect area = window->screen()->availableGeometry();
        QCOMPARE(window->size(), QSize(area.width() * 2 / 3, area.height() * 2 / 3));
        QVERIFY2((window->frameGeometry().center() - area.center()).manhattanLength() <= 8,
            qPrintable(QStringLiteral("%1,%2 %3x%4 in %5,%6 %7x%8")
                           .arg(window->frameGeometry().x())
                           .arg(window->frameGeometry().y())
                           .arg(window->frameGeometry().width())
                           .arg(window->frameGeometry().height())
                           .arg(area.x())
                           .arg(area.y())
                           .arg(area.width())
                           .arg(area.height())));

        const QRect left(40, 30, area.width() - 100, area.height() - 90);
        window->setGeometry(left);
        QTRY_COMPARE(window->geometry(), left);
        window->close();
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        window = &program->mainWindow();
        QTRY_COMPARE(window->geometry(), left);
    }

    // Other windows open centred over it, then where they were left.
    void otherWindowsOpenOverTheMainWindow()
    {
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        window->action("Raw_Log")->trigger();
        auto *raw = window->findChild<ui::RawLogView *>(QStringLiteral("RawLog"));
        QVERIFY(raw && raw->isVisible());
        QVERIFY2((raw->frameGeometry().center() - window->frameGeometry().center()).manhattanLength() <= 8,
            qPrintable(QStringLiteral("%1,%2 %3x%4 over %5,%6 %7x%8")
                           .arg(raw->x())
                           .arg(raw->y())
                           .arg(raw->width())
                           .arg(raw->height())
                           .arg(window->x())
                           .arg(window->y())
                           .arg(window->width())
                           .arg(window->height())));
        window->action("Search_Log")->trigger();
        ui::SearchWindow &search = program->searchWindow();
        QVERIFY(search.isVisible());
        QVERIFY((search.frameGeometry().center() - window->frameGeometry().center()).manhattanLength() <= 8);

        const QPoint rawPlace = raw->pos() + QPoint(17, 11);
        const QPoint searchPlace = search.pos() + QPoint(-13, 9);
        raw->move(rawPlace);
        search.move(searchPlace);
        QTRY_COMPARE(search.pos(), searchPlace);
        raw->close();
        QTest::keyClick(search.findChild<QLineEdit *>("Search_Text"), Qt::Key_Escape);
        QVERIFY(!search.isVisible());
        // Next start, the same places.
        window->close();
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        window = &program->mainWindow();
        QTRY_VERIFY(program->netSelectWindow().isVisible());
        test::openLogByClicks(*program, *messages, 0, "KAB0606.LOG");
        window->action("Raw_Log")->trigger();
        raw = window->findChild<ui::RawLogView *>(QStringLiteral("RawLog"));
        QTRY_COMPARE(raw->pos(), rawPlace);
        window->action("Search_Log")->trigger();
        QTRY_COMPARE(program->searchWindow().pos(), searchPlace);
    }
};

int main(int argc, char *argv[])
{
    // A system that speaks English.
    qputenv("LC_ALL", "C");
    qputenv("LANG", "C");
    QApplication app(argc, argv);
    TestDialogs test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs.moc"
