#pragma once

#include <QString>

namespace kavrel::ui {

class ProgramWindows;

// Which working directory the program runs in: the one named on the command
// line, else the one opened last (kept in Kavrel's settings file), else the
// one the first-start dialog gives.
class WorkingDirectoryChooser
{
public:
    explicit WorkingDirectoryChooser(ProgramWindows &program);

    // Starts the program in its working directory; false when the user quit
    // the first-start dialog.
    bool start(const QString &named);

private:
    void startIn(const QString &folder, bool created);

    ProgramWindows &m_program;
};

} // namespace kavrel::ui
