#pragma once

#include "ProgramCommands.h"

#include "program/Program.h"

#include <QObject>

#include <functional>
#include <memory>

namespace kavrel::ui {

class DefineDataWindow;
class DefineOpWindow;
class DirSelectWindow;
class EditorWindow;
class IdListWindowView;
class IdoWindow;
class MainWindow;
class NetSelectWindow;
class QtMessageHost;
class SearchWindow;
class SetNetDataWindow;
class StateWindow;

// The running program: the core's program (the session and the states of
// every window) and the Qt windows that show them, each connected to its own
// state's change signal. Windows hand each user action to the core as one
// command (forward()); the core decides, the states that changed say so, and
// their windows show it.
class ProgramWindows : public QObject, public ProgramCommands
{
    Q_OBJECT
public:
    // messages: the host for message boxes; null gives real message boxes.
    explicit ProgramWindows(MessageHost *messages = nullptr, QObject *parent = nullptr);
    ~ProgramWindows() override;

    Session &session() override { return m_core.session; }
    kavrel::Program &core() override { return m_core; }
    MainWindow &mainWindow() { return *m_main; }
    NetSelectWindow &netSelectWindow() { return *m_netSelectWindow; }
    SetNetDataWindow &setNetDataWindow() { return *m_setNetDataWindow; }
    DefineOpWindow &defineOpWindow() { return *m_defineOpWindow; }
    DirSelectWindow &dirSelectWindow() { return *m_dirSelectWindow; }
    DefineDataWindow &defineDataWindow() { return *m_defineDataWindow; }
    SearchWindow &searchWindow() { return *m_searchWindow; }
    IdListWindowView &idListWindow() { return *m_idListWindow; }
    IdoWindow &idoWindow() { return *m_idoWindow; }
    EditorWindow &editorWindow() { return *m_editorWindow; }

    // The core's window states.
    netselect::NetSelectState &netSelect() { return m_core.netSelect; }
    netselect::SetNetDataState &setNetData() { return m_core.setNetData; }
    dialogs::DirSelectState &dirSelect() { return m_core.dirSelect; }
    dialogs::DefineOpState &defineOp() { return m_core.defineOp; }
    dialogs::DefineDataState &defineData() { return m_core.defineData; }
    reader::Reader &reader() override { return m_core.reader; }
    search::SearchDialogState &searchDialog() { return m_core.searchDialog; }

    // load with the current directory as AppDir, then shows the main
    // window (the net selection screen follows on its first activation).
    void start();
    // Closes the working directory as closing the main window does and
    // starts again in folder, kept as the one opened last. A folder that is
    // no working directory is refused with a message; false then.
    bool openWorkingDirectory(const QString &folder) override;

    bool editorRunning() const override { return m_editorRunning; }

    void forward(const std::function<void()> &action) override;
    // Shows the changes made so far, before the program waits for the user
    // inside a command (a message box, the editor).
    static void showChanges();

    void titlePress(ReaderCommand command) override;
    void titleKeyPress(int keyCode, int shift) override;
    void titleCommand(ReaderCommand command) override;
    void netSelectCommand() override;
    void showIdList() override;
    void showSearch() override;
    void showDefineOp() override;
    void showDefineData() override;
    void showIdo() override;
    void searchPointer() override;
    void readEnd() override;
    void showVersion() override;
    void showKeyList() override;
    void mainWindowActivated() override;
    void mainWindowClosing() override;

private:
    void activateAfterClose();

    kavrel::Program m_core;
    Session &m_session = m_core.session;
    std::unique_ptr<QtMessageHost> m_ownMessages;
    // Shows the windows as they stand before and after the editor wait.
    class RefreshingEditor : public EditorHost
    {
    public:
        RefreshingEditor(ProgramWindows &windows, EditorHost *editor)
            : m_windows(windows)
            , m_editor(editor)
        {
        }
        bool edit(const QString &editorPath, const QString &filePath, QString *error) override;

    private:
        ProgramWindows &m_windows;
        EditorHost *m_editor;
    };
    std::unique_ptr<RefreshingEditor> m_editor;
    std::unique_ptr<EditorWindow> m_editorWindow;
    std::unique_ptr<RefreshingEditor> m_builtInEditor;

    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<NetSelectWindow> m_netSelectWindow;
    std::unique_ptr<SetNetDataWindow> m_setNetDataWindow;
    std::unique_ptr<DefineOpWindow> m_defineOpWindow;
    std::unique_ptr<DirSelectWindow> m_dirSelectWindow;
    std::unique_ptr<DefineDataWindow> m_defineDataWindow;
    std::unique_ptr<SearchWindow> m_searchWindow;
    std::unique_ptr<IdListWindowView> m_idListWindow;
    std::unique_ptr<IdoWindow> m_idoWindow;
    QList<StateWindow *> m_windows; // in the order they open over each other
    bool m_editorRunning = false;
};

} // namespace kavrel::ui
