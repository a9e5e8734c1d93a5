#pragma once

#include "session/Session.h"

#include <QObject>

#include <functional>
#include <memory>

namespace kavrel::ui {

class MainWindow;
class QtMessageHost;

// The running program: the session, the core's states of every window, and
// the Qt windows that show them. Windows hand each user action to the core
// through forward(), which afterwards brings every window in step with the
// core: the core decides, the windows show.
class Program : public QObject
{
    Q_OBJECT
public:
    // messages: the host for message boxes; null gives real message boxes.
    explicit Program(MessageHost *messages = nullptr, QObject *parent = nullptr);
    ~Program() override;

    Session &session() { return m_session; }
    MainWindow &mainWindow() { return *m_main; }

    // Form_Load with the current directory as AppDir, then shows the main
    // window (the net selection screen follows on its first activation).
    void start();

    // Runs one user action in the core, then shows its effects.
    void forward(const std::function<void()> &action);
    void refresh();

    // The main window's commands.
    void titleKeyDown(int keyCode, int shift);
    void titleKeyUp(int keyCode, int shift);
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
    // Form_QueryUnload and Form_Unload: the main window is closing.
    void mainWindowClosing();

    static const QString kVersionText;
    static QString keyListText();

private:
    void formLoad();

    Session m_session;
    std::unique_ptr<QtMessageHost> m_ownMessages;
    std::unique_ptr<MainWindow> m_main;
    int m_refreshDepth = 0;
    bool m_closing = false;
};

} // namespace kavrel::ui
