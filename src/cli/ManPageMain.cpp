// Writes the man pages kavrel-cli.1 and kavrel.1 into the folder given.

#include "ManPage.h"

#include "base/FileIo.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fputs("usage: kavrel-manpages FOLDER\n", stderr);
        return 2;
    }
    const QDir folder(app.arguments().at(1));
    const std::pair<const char *, QString> pages[] {
        { "kavrel-cli.1", kavrel::cli::cliManPage() },
        { "kavrel.1", kavrel::cli::programManPage() },
    };
    for (const auto &[name, text] : pages) {
        kavrel::fileio::FileError error;
        if (!kavrel::fileio::writeAtomic(folder.filePath(QString::fromLatin1(name)), text.toUtf8(), &error)) {
            std::fputs(qPrintable(error.toString() + u'\n'), stderr);
            return 1;
        }
    }
    return 0;
}
