// The main window showing a board of 100,000 rows and an article of 100,000
// lines: how long until the views show them, and scrolling to the end.
// Run with QT_QPA_PLATFORM=offscreen.

#include "MainWindow.h"
#include "ProgramWindows.h"
#include "TestSupport.h"
#include "TitleView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kavrel::test::ScriptedMessages messages;
    kavrel::ui::ProgramWindows program(&messages);
    program.start();
    kavrel::ui::MainWindow &window = program.mainWindow();
    window.resize(900, 700);
    kavrel::MainWindowState &main = program.session().main;
    main.events = nullptr; // the rows are put in directly

    for (const int rows : { 10000, 50000, 100000 }) {
        program.forward([&] {
            main.clearTitleColumns();
            main.Article.clear();
        });
        QElapsedTimer timer;
        timer.start();
        program.forward([&] {
            for (int i = 0; i < rows; ++i)
                main.appendRow(QStringLiteral(" "), QStringLiteral("%1[%2]").arg(QString(i % 7, u' ')).arg(i),
                    QStringLiteral("KAV%1:山田花子").arg(i % 1000, 5, 10, QLatin1Char('0')),
                    QStringLiteral("Re:新しいログリーダーの話 その%1").arg(i));
            for (int i = 0; i < rows; ++i)
                main.Article.addItem(QStringLiteral("本文の%1行目です。").arg(i));
            main.Title.ListIndex = 0;
        });
        QApplication::processEvents();
        const qint64 shown = timer.elapsed();
        timer.restart();
        program.forward([&] { main.Title.ListIndex = rows - 1; });
        window.articleView()->scrollToBottom();
        QApplication::processEvents();
        std::printf("%6d rows: shown in %lld ms (including filling the core lists), last row in %lld ms\n",
            rows, static_cast<long long>(shown), static_cast<long long>(timer.elapsed()));
    }
    return 0;
}
