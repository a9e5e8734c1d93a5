#pragma once

#include "commands/ComposeCommands.h"
#include "commands/ProcessEditor.h"
#include "dialogs/DefineDataState.h"
#include "dialogs/DefineOpState.h"
#include "dialogs/DirSelectState.h"
#include "netselect/NetSelectState.h"
#include "netselect/SetNetDataState.h"
#include "reader/Reader.h"
#include "search/SearchDialogState.h"
#include "session/Session.h"

#include <QString>

namespace kavrel {

// The program without its windows: one session and the headless state of
// every window, wired together, with the main window's start-up and shutdown.
// The Qt program and kavrel-cli both drive it.
class Program
{
public:
    Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    Session session;
    dialogs::DirSelectState dirSelect;
    dialogs::DefineOpState defineOp;
    dialogs::DefineDataState defineData;
    netselect::SetNetDataState setNetData;
    netselect::NetSelectState netSelect;
    reader::Reader reader;
    search::SearchDialogState searchDialog;
    commands::ProcessEditor processEditor;
    commands::ComposeCommands compose;

    // Start-up in the working directory appDir: the shared state reset, the
    // settings read, a left-over TEMP.TXT deleted, the up directory's trailing
    // separator removed. The window applies the placement.
    void Form_Load(const QString &appDir);

    // Shutdown: TEMP.TXT deleted and the unread pointer saved.
    void Form_Unload();

    // The placement values that start-up applies: those greater than 0.
    struct Placement
    {
        int left = 0, top = 0, height = 0;
    };
    Placement savedPlacement() const;

    QString tempTextPath() const;
};

} // namespace kavrel
