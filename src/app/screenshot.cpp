// kavrel-screenshot OUTPUT.png [NET LOG [BOARD ROW]]
// kavrel-screenshot --archive OUTPUT.png NET LOG BOARD ROW [FIRST LAST]
// kavrel-screenshot --preview OUTPUT.png NET LOG BOARD ROW
//
// Starts Kavrel in the current working directory as the user would, chooses
// a net and a log on the net selection screen, shows a board's row, and saves
// a picture of the main window. With --archive, the picture is of the
// 通し読み window opened on that board, its months FIRST to LAST chosen (places
// on its timeline) and its row ROW shown. With --preview, it is of the
// 送信予定の確認 window with its row ROW chosen. Run it under an X server (xvfb-run) with the
// Japanese fonts installed, in a copy of the demo.

#include "ArchiveWindow.h"
#include "Fonts.h"
#include "MainWindow.h"
#include "ProgramWindows.h"
#include "UpPreviewWindow.h"
#include "WindowPrefs.h"

#include "base/MessageHost.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLibraryInfo>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace {

// Keeps a waiting up file and acknowledges everything else.
class KeepEverything : public kavrel::MessageHost
{
public:
    kavrel::MsgAnswer show(
        const QString &text, kavrel::MsgButtons buttons, kavrel::MsgIcon, kavrel::MsgAnswer) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        switch (buttons) {
        case kavrel::MsgButtons::Ok:
            return kavrel::MsgAnswer::Ok;
        case kavrel::MsgButtons::OkCancel:
            return kavrel::MsgAnswer::Cancel;
        default:
            return kavrel::MsgAnswer::No;
        }
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments();
    const bool archive = args.size() > 1 && args.at(1) == QLatin1String("--archive");
    const bool preview = args.size() > 1 && args.at(1) == QLatin1String("--preview");
    if (archive || preview)
        args.removeAt(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: kavrel-screenshot OUTPUT.png [NET LOG [BOARD ROW]]\n");
        return 2;
    }
    const QString &output = args.at(1);
    const int net = args.value(2, QStringLiteral("0")).toInt();
    const QString log = args.value(3);
    const int board = args.value(4, QStringLiteral("-1")).toInt();
    const int row = args.value(5, QStringLiteral("-1")).toInt();

    // The picture shows a layout a user made: the headings shown and the
    // split moved down, kept in a settings file of the scratch directory.
    QSettings::setPath(
        QSettings::IniFormat, QSettings::UserScope, QDir::currentPath() + QStringLiteral("/.config"));
    {
        const auto prefs = kavrel::ui::prefs::open();
        const int row = QFontMetrics(kavrel::ui::fonts::listFont()).height() + 2;
        prefs->setValue(kavrel::ui::prefs::kColumnHeadings, true);
        prefs->setValue(kavrel::ui::prefs::kTitleHeight, 9 * row + 2 * row);
    }

    KeepEverything messages;
    kavrel::ui::ProgramWindows program(&messages);
    program.start();
    kavrel::ui::MainWindow &window = program.mainWindow();
    window.resize(900, 640);

    int status = 1;
    QTimer::singleShot(500, &app, [&] {
        auto &screen = program.netSelect();
        program.forward([&] { screen.Show(); });
        program.forward([&] {
            screen.Select_menu.ListIndex = net;
            screen.chooseNet();
        });
        program.forward([&] {
            const int index = log.isEmpty() ? screen.Log_List_File.ListCount() - 1
                                            : int(screen.Log_List_File.items.indexOf(log));
            screen.Log_List_File.ListIndex = index;
            screen.openChosenLog();
        });
        if (board >= 0)
            program.forward([&] { program.reader().showBoard(board); });
        if (row >= 0 && !archive && !preview)
            program.forward([&] { program.reader().chooseRow(row); });
        QWidget *shown = &window;
        if (archive) {
            auto *archiveWindow = kavrel::ui::ArchiveWindow::showFor(program, &window);
            archiveWindow->resize(900, 600);
            if (args.size() > 7)
                archiveWindow->chooseMonths(args.at(6).toInt(), args.at(7).toInt());
            archiveWindow->rowView()->selectRow(row);
            shown = archiveWindow;
        }
        if (preview) {
            auto *previewWindow = kavrel::ui::UpPreviewWindow::showFor(program, &window);
            previewWindow->resize(960, 560);
            previewWindow->reload();
            previewWindow->rows()->selectRow(row);
            shown = previewWindow;
        }
        QTimer::singleShot(800, &app, [&, shown] {
            status = shown->grab().save(output) ? 0 : 1;
            if (status != 0)
                std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
            QApplication::quit();
        });
    });
    QApplication::exec();
    return status;
}
