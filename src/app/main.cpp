#include "ProgramWindows.h"
#include "Usage.h"
#include "WorkingDirectoryChooser.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// --help and --version answer before any window, so that they work without a
// display; anything else starting with '-' is misuse.
std::optional<int> answerAboutItself(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::puts(qPrintable(kavrel::cli::programUsageText()));
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::puts(qPrintable(kavrel::cli::programVersionText()));
            return 0;
        }
    }
    return std::nullopt;
}

// kavrel [DIR]: the working directory named on the command line (Qt's own
// options are taken out of the arguments already), or empty.
QString namedWorkingDirectory(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (!argument.startsWith(u'-'))
            return argument;
    }
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> code = answerAboutItself(argc, argv))
        return *code;
    QApplication app(argc, argv);
    // The windows' own preferences land in the user's configuration directory.
    QApplication::setOrganizationName(QStringLiteral("Kavrel"));
    QApplication::setApplicationName(QStringLiteral("Kavrel"));
    // Every text the program shows is Japanese; so are the buttons of its message boxes.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    // The menu entry and the icon belong to this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kavrel.Kavrel"));
    kavrel::ui::ProgramWindows program;
    // What is being written outlives a crash in Kavrel's own data folder.
    program.core().drafts.setFolder(
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/drafts"));
    kavrel::ui::WorkingDirectoryChooser chooser(program);
    if (!chooser.start(namedWorkingDirectory(QApplication::arguments())))
        return 0;
    return QApplication::exec();
}
