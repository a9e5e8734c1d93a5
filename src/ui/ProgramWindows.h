#pragma once

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
// every window) and the Qt windows that show them. Windows hand each user action to the core
// through forward(), which afterwards brings every window in step with the
// core: the core decides, the windows show.
class ProgramWindows : public QObject
{
    Q_OBJECT
public:
    // messages: the host for message boxes; null gives real message boxes.
    explicit ProgramWindows(MessageHost *messages = nullptr, QObject *parent = nullptr);
    ~ProgramWindows() override;

    Session &session() { return m_core.session; }
    kavrel::Program &core() { return m_core; }
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
    reader::Reader &reader() { return m_core.reader; }
    search::SearchDialogState &searchDialog() { return m_core.searchDialog; }

    // load with the current directory as AppDir, then shows the main
    // window (the net selection screen follows on its first activation).
    void start();
    // Closes the working directory as closing the main window does and
    // starts again in folder, kept as the one opened last. A folder that is
    // no working directory is refused with a message; false then.
    bool openWorkingDirectory(const QString &folder);

    // True while the user's editor runs (the main window is hidden meanwhile).
    bool editorRunning() const { return m_editorRunning; }

    // Runs one user action in the core, then shows its effects.
    void forward(const std::function<void()> &action);
    void refresh();

    // The main window's commands.
    // A key pressed in the title list that stands for a command, and one
    // that does not (Home, End...): the reader's press of either.
    void titlePress(ReaderCommand command);
    void titleKeyPress(int keyCode, int shift);
    // The command alone, as the toolbar's buttons run it.
    void titleCommand(ReaderCommand command);
    void netSelectCommand();
    void showIdList();
    void showSearch();
    void showDefineOp();
    void showDefineData();
    void showIdo();
    void searchPointer();
    void readEnd();
    void showVersion();
    void showKeyList();
    void mainWindowActivated();
    // mayClose and unload: the main window is closing.
    void mainWindowClosing();

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
    QList<StateWindow *> m_windows; // in the order they are brought in step
    int m_refreshDepth = 0;
    bool m_editorRunning = false;
};

} // namespace kavrel::ui
