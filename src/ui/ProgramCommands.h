#pragma once

#include "session/ReaderCommand.h"

#include <functional>

class QString;

namespace kavrel {
class Program;
class Session;
namespace reader {
class Reader;
}
} // namespace kavrel

namespace kavrel::ui {

// What the main window and the windows it opens may ask of the running
// program: the core to act on, one user action run as one command, and the
// main window's menu and toolbar commands. They depend on this, never on the
// windows the program made.
class ProgramCommands
{
public:
    virtual ~ProgramCommands() = default;

    virtual Session &session() = 0;
    virtual kavrel::Program &core() = 0;
    virtual reader::Reader &reader() = 0;

    // Runs one user action in the core as one command; the states it changed
    // then tell their windows, and only those refresh.
    virtual void forward(const std::function<void()> &action) = 0;

    // True while the user's editor runs (the main window is hidden meanwhile).
    virtual bool editorRunning() const = 0;

    // A key pressed in the title list that stands for a command, and one
    // that does not (Home, End...): the reader's press of either.
    virtual void titlePress(ReaderCommand command) = 0;
    virtual void titleKeyPress(int keyCode, int shift) = 0;
    // The command alone, as the toolbar's buttons run it.
    virtual void titleCommand(ReaderCommand command) = 0;
    virtual void netSelectCommand() = 0;
    virtual void showIdList() = 0;
    virtual void showSearch() = 0;
    virtual void showDefineOp() = 0;
    virtual void showDefineData() = 0;
    virtual void showIdo() = 0;
    virtual void searchPointer() = 0;
    virtual void readEnd() = 0;
    virtual void showVersion() = 0;
    virtual void showKeyList() = 0;
    // Closes the working directory and starts again in folder; false when
    // it is refused (with a message).
    virtual bool openWorkingDirectory(const QString &folder) = 0;
    virtual void mainWindowActivated() = 0;
    // mayClose and unload: the main window is closing.
    virtual void mainWindowClosing() = 0;
};

} // namespace kavrel::ui
