#include "ProgramWindows.h"

#include "DefineDataWindow.h"
#include "DefineOpWindow.h"
#include "DirSelectWindow.h"
#include "EditorWindow.h"
#include "IdListWindowView.h"
#include "IdoWindow.h"
#include "JapaneseQt.h"
#include "MainWindow.h"
#include "NetSelectWindow.h"
#include "QtMessageHost.h"
#include "SearchWindow.h"
#include "SetNetDataWindow.h"
#include "WindowPlaces.h"
#include "WindowPrefs.h"

#include "base/ChangeSignal.h"
#include "base/FileIo.h"
#include "settings/WorkingDirectory.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace kavrel::ui {

ProgramWindows::ProgramWindows(MessageHost *messages, QObject *parent)
    : QObject(parent)
{
    useJapanese();
    if (messages) {
        m_session.messages = messages;
    } else {
        m_ownMessages = std::make_unique<QtMessageHost>([this]() -> QWidget * {
            return QApplication::activeWindow() ? QApplication::activeWindow() : m_main.get();
        });
        m_ownMessages->beforeShow = [] { showChanges(); };
        m_session.messages = m_ownMessages.get();
    }
    m_main = std::make_unique<MainWindow>(*this, m_session);
    QWidget *main = m_main.get();
    m_netSelectWindow = std::make_unique<NetSelectWindow>(main, m_core.netSelect);
    m_setNetDataWindow = std::make_unique<SetNetDataWindow>(main, m_core.setNetData);
    m_defineOpWindow = std::make_unique<DefineOpWindow>(main, m_core.defineOp);
    m_defineDataWindow = std::make_unique<DefineDataWindow>(main, m_core.defineData);
    m_dirSelectWindow = std::make_unique<DirSelectWindow>(main, m_core.dirSelect);
    m_searchWindow = std::make_unique<SearchWindow>(main, m_core.searchDialog);
    m_idListWindow = std::make_unique<IdListWindowView>(main, m_core.compose.idListWindow());
    m_idoWindow = std::make_unique<IdoWindow>(main, m_core.compose.moveWindow());
    // The picker after the windows that open it, so that it comes out on top.
    m_windows = { m_netSelectWindow.get(), m_setNetDataWindow.get(), m_defineOpWindow.get(),
        m_defineDataWindow.get(), m_searchWindow.get(), m_idListWindow.get(), m_idoWindow.get(),
        m_dirSelectWindow.get() };
    for (StateWindow *window : std::as_const(m_windows)) {
        window->showState();
        // A window that the core closed hands the keyboard on.
        connect(window, &StateWindow::refreshed, this, &ProgramWindows::activateAfterClose);
    }
    connect(&m_session.main.changes(), &ChangeSignal::changed, this, &ProgramWindows::activateAfterClose);
    // Esc in the title list ends the program as closing the window does.
    m_core.reader.closeRequested = [this] { m_main->close(); };
    m_editor = std::make_unique<RefreshingEditor>(*this, m_session.editor);
    m_session.editor = m_editor.get();
    m_editorWindow = std::make_unique<EditorWindow>(m_session);
    m_editorWindow->setDrafts(&m_core.drafts);
    m_builtInEditor = std::make_unique<RefreshingEditor>(*this, m_editorWindow.get());
    m_session.builtInEditor = m_builtInEditor.get();
}

ProgramWindows::~ProgramWindows()
{
    m_windows.clear();
    m_session.messages = nullptr;
    m_session.editor = nullptr;
    m_session.builtInEditor = nullptr;
}

void ProgramWindows::start()
{
    {
        const ChangeSignal::Command command;
        m_core.load(QDir::currentPath());
        m_session.main.visible = true; // the start-up window is shown after its load
        m_main->applyPlacement();
    }
    m_main->activateWindow();
}

bool ProgramWindows::openWorkingDirectory(const QString &folder)
{
    const QString problem = settings::WorkingDirectory::problemOf(folder);
    if (!problem.isEmpty()) {
        m_session.message(problem, MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    const QRect frame = m_main->frameGeometry();
    if (!m_core.leaveWorkingDirectory(frame.left(), frame.top(), m_main->height()))
        return false;
    for (StateWindow *window : std::as_const(m_windows))
        window->hide();
    prefs::open()->setValue(prefs::kWorkingDirectory, absolute);
    // The settings name their folders relative to the working directory.
    QDir::setCurrent(absolute);
    start();
    return true;
}

void ProgramWindows::forward(const std::function<void()> &action)
{
    const ChangeSignal::Command command;
    action();
}

void ProgramWindows::showChanges()
{
    ChangeSignal::reportChanges();
}

void ProgramWindows::activateAfterClose()
{
    // When the active window closes, the window under it takes the keyboard:
    // the last of ours still open, else the main window.
    QWidget *active = QApplication::activeWindow();
    if (active && active->isVisible())
        return;
    for (auto it = m_windows.crbegin(); it != m_windows.crend(); ++it) {
        if ((*it)->isVisible() && (*it)->isEnabled()) {
            (*it)->activateWindow();
            return;
        }
    }
    if (m_main->isVisible() && m_main->isEnabled())
        m_main->activateWindow();
}

void ProgramWindows::titlePress(ReaderCommand command)
{
    m_core.reader.press(command);
}

void ProgramWindows::titleKeyPress(int keyCode, int shift)
{
    m_core.reader.pressKey(keyCode, shift);
}

void ProgramWindows::titleCommand(ReaderCommand command)
{
    m_core.reader.execute(command);
}

void ProgramWindows::netSelectCommand()
{
    if (!m_session.main.Board_List.enabled)
        return;
    m_core.netSelect.Show();
}

void ProgramWindows::showIdList()
{
    m_core.compose.showIdList();
}

void ProgramWindows::showSearch()
{
    if (!m_core.searchDialog.visible)
        m_core.searchDialog.load();
}

void ProgramWindows::showDefineOp()
{
    m_core.defineOp.Show();
}

void ProgramWindows::showDefineData()
{
    m_core.defineData.Show();
}

void ProgramWindows::showIdo()
{
    m_core.compose.showMoveSettings();
}

void ProgramWindows::searchPointer()
{
    m_core.reader.resetReadPointer();
}

void ProgramWindows::readEnd()
{
    m_core.reader.markLogRead();
}

void ProgramWindows::showVersion()
{
    m_core.reader.showVersion();
}

void ProgramWindows::showKeyList()
{
    m_core.reader.showKeyList();
}

void ProgramWindows::mainWindowActivated()
{
    m_core.activate();
    m_main->applyColours();
}

void ProgramWindows::mainWindowClosing()
{
    const QRect frame = m_main->frameGeometry();
    if (!m_core.mayClose(frame.left(), frame.top(), m_main->height()))
        return;
    places::keep(m_main.get(), prefs::kMainGeometry);
    for (StateWindow *window : std::as_const(m_windows))
        window->hide();
    m_main->hide();
}

bool ProgramWindows::RefreshingEditor::edit(
    const QString &editorPath, const QString &filePath, QString *error)
{
    // The main window hides while the editor runs; the other windows stay
    // usable, as the wait processes their events.
    showChanges();
    m_windows.m_editorRunning = true;
    const bool ok = m_editor ? m_editor->edit(editorPath, filePath, error) : false;
    m_windows.m_editorRunning = false;
    if (!m_editor && error)
        *error = QStringLiteral("no editor");
    return ok;
}

} // namespace kavrel::ui
