#include "commands/ProcessEditor.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>

namespace kavrel::commands {

bool ProcessEditor::commandLine(
    const QString &editorPath, const QString &filePath, QString *program, QStringList *arguments)
{
    const QFileInfo info(editorPath);
    if (!editorPath.isEmpty() && info.isFile() && info.isExecutable()) {
        *program = editorPath;
        *arguments = { filePath };
        return true;
    }
    QStringList parts = QProcess::splitCommand(editorPath);
    if (parts.isEmpty())
        return false;
    *program = parts.takeFirst();
    parts.append(filePath);
    *arguments = parts;
    return true;
}

bool ProcessEditor::edit(const QString &editorPath, const QString &filePath, QString *error)
{
    QString program;
    QStringList arguments;
    if (!commandLine(editorPath, filePath, &program, &arguments)) {
        if (error)
            *error = QStringLiteral("エディタが設定されていません");
        return false;
    }

    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    // The editor's output goes where ours goes; unread pipes could stall it.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);

    QEventLoop loop;
    bool done = false;
    bool failedToStart = false;
    QObject::connect(&process, &QProcess::finished, &loop, [&] {
        done = true;
        loop.quit();
    });
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            failedToStart = true;
            done = true;
            loop.quit();
        }
    });
    process.start();
    if (!done)
        loop.exec();

    if (failedToStart) {
        if (error)
            *error = process.errorString();
        return false;
    }
    return true;
}

} // namespace kavrel::commands
