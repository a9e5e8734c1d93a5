#include "dialogs/DirSelectState.h"

#include "base/FileIo.h"
#include "base/KeyCodes.h"
#include "session/Session.h"

#include <QDir>
#include <QFileInfo>

namespace kavrel::dialogs {

void DirSelectState::setTarget(Purpose purpose, std::function<void(const QString &)> target)
{
    m_targets.emplace(purpose, std::move(target));
}

void DirSelectState::Show()
{
    if (!visible)
        load();
    // Every showing follows the purpose it is shown for, also when the
    // picker was still open from an earlier browse.
    File_Select_Enabled = purpose == Purpose::EditorPath || purpose == Purpose::SignPath;
    visible = true;
}

void DirSelectState::load()
{
    Select_Drive.clear();
    for (const QFileInfo &drive : QDir::drives())
        Select_Drive.addItem(drive.absoluteFilePath());
    Select_Drive.ListIndex = Select_Drive.isEmpty() ? -1 : 0;
    const QString start = m_session.AppDir.isEmpty() ? QDir::currentPath() : m_session.AppDir;
    chooseDirectory(start);
}

void DirSelectState::chooseDrive()
{
    const QString drive = Select_Drive.selectedText();
    if (!drive.isEmpty())
        chooseDirectory(drive);
}

void DirSelectState::chooseDirectory(const QString &path)
{
    Select_Dir_Path = QDir::cleanPath(QDir(Select_Dir_Path).absoluteFilePath(path));
    const QDir dir(Select_Dir_Path);
    Select_Dir.clear();
    Select_Dir.items = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    File_Select.clear();
    File_Select.items = dir.entryList(QDir::Files, QDir::Name);
}

void DirSelectState::takePick()
{
    QString picked;
    if (purpose == Purpose::Log || purpose == Purpose::UpText || purpose == Purpose::BoardList) {
        picked = Select_Dir_Path;
    } else if (purpose == Purpose::EditorPath || purpose == Purpose::SignPath) {
        if (File_Select.ListIndex < 0)
            return; // a file is required
        // The root already ends in "/": no second one.
        picked = Select_Dir_Path.endsWith(u'/')
            ? Select_Dir_Path + File_Select.selectedText()
            : fileio::joinPath(Select_Dir_Path, File_Select.selectedText());
    }
    if (!picked.isEmpty()) {
        const auto target = m_targets.constFind(purpose);
        if (target != m_targets.constEnd() && *target)
            (*target)(picked);
    }
    close();
    purpose = Purpose::None;
}

void DirSelectState::cancelPick()
{
    close();
}

void DirSelectState::pressKey(int keyCode)
{
    if (keyCode == keys::Key_Escape)
        cancel();
}

void DirSelectState::close()
{
    visible = false;
}

} // namespace kavrel::dialogs
