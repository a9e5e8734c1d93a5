#include "ProgramWindows.h"
#include "Usage.h"

#include <QApplication>
#include <QLibraryInfo>
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
    kavrel::ui::ProgramWindows program;
    program.start();
    return QApplication::exec();
}
