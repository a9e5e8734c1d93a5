#include "WorkingDirectoryChooser.h"

#include "FirstStartDialog.h"
#include "ProgramWindows.h"
#include "WindowPrefs.h"

#include "settings/WorkingDirectory.h"

#include <QDir>

namespace kavrel::ui {

WorkingDirectoryChooser::WorkingDirectoryChooser(ProgramWindows &program)
    : m_program(program)
{
}

bool WorkingDirectoryChooser::start(const QString &named)
{
    const QString last = prefs::open()->value(prefs::kWorkingDirectory).toString();
    const auto start = settings::WorkingDirectory::startIn(named, last);
    if (!start.needsDialog()) {
        startIn(start.path, false);
        return true;
    }
    FirstStartDialog dialog(start.problem, start.path);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    startIn(dialog.folder(), dialog.created());
    return true;
}

void WorkingDirectoryChooser::startIn(const QString &folder, bool created)
{
    prefs::open()->setValue(prefs::kWorkingDirectory, folder);
    // The settings name their folders relative to the working directory.
    QDir::setCurrent(folder);
    m_program.start();
    if (created)
        m_program.forward([this] { m_program.core().defineFirstNet(); });
}

} // namespace kavrel::ui
