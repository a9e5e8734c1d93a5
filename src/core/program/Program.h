#pragma once

#include "commands/ComposeCommands.h"
#include "commands/Drafts.h"
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
    // Kept in no folder until the program names one.
    commands::Drafts drafts;

    // Start-up in the working directory appDir: the shared state reset, the
    // settings read, a left-over TEMP.TXT taken into the drafts that wrote
    // it and deleted, the up directory's trailing
    // separator removed. The window applies the placement.
    void load(const QString &appDir);

    // The main window activated: the net selection screen shows on the first
    // activation when the option asks for it. The window then applies its
    // colours.
    void activate();

    // The main window closing at its placement: the placement written into
    // DIR.DEF, every other window's state closed, then unload. Only the
    // first close counts; answers whether this call closed the program.
    bool mayClose(int left, int top, int height);

    // Shutdown: TEMP.TXT deleted and the unread pointer saved.
    void unload();

    // Before another working directory is loaded with load while the
    // program runs: the current one is closed as closing the main window
    // closes it (placement, unread pointer, TEMP.TXT) and nothing of it is
    // kept. False when the program has closed already.
    bool leaveWorkingDirectory(int left, int top, int height);

    // A new working directory: the net selection screen shows with the net
    // definition editor open on a first net to register.
    static inline const QString kFirstNetName = QStringLiteral("新しいネット");
    void defineFirstNet();

    // The placement values that start-up applies: those greater than 0.
    struct Placement
    {
        int left = 0, top = 0, height = 0;
    };
    Placement savedPlacement() const;

    QString tempTextPath() const;

private:
    bool m_closed = false;
};

} // namespace kavrel
