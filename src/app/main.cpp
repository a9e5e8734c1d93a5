#include "ProgramWindows.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The windows' own preferences land in the user's configuration directory.
    QApplication::setOrganizationName(QStringLiteral("Kavrel"));
    QApplication::setApplicationName(QStringLiteral("Kavrel"));
    // Every text the program shows is Japanese; so are the buttons of its message boxes.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    kavrel::ui::ProgramWindows program;
    // What is being written outlives a crash in Kavrel's own data folder.
    program.core().drafts.setFolder(
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/drafts"));
    program.start();
    return QApplication::exec();
}
