#include "Program.h"

#include "DefineDataWindow.h"
#include "DefineOpWindow.h"
#include "DirSelectWindow.h"
#include "MainWindow.h"
#include "NetSelectWindow.h"
#include "QtMessageHost.h"
#include "SetNetDataWindow.h"

#include "settings/SettingsStore.h"

#include "base/FileIo.h"

#include <QApplication>
#include <QDir>

namespace kavrel::ui {

const QString Program::kVersionText = QStringLiteral("Kavrel Version 0.885");

QString Program::keyListText()
{
    const QStringList lines = {
        QStringLiteral("キー操作一覧"),
        QString(),
        QStringLiteral("W.......アーティクル書き込み&書き直し"),
        QStringLiteral("P.......レスポンス書き込み＆書き直し"),
        QStringLiteral("G.......臨時移動レス書き込み"),
        QStringLiteral("E.......各書込書き直し"),
        QStringLiteral("D.......書き込み削除"),
        QStringLiteral("M.......メール書き込み＆書き直し"),
        QStringLiteral("S.......バッチセット"),
        QStringLiteral("[SPACE] or → or Roll(Page)Down 次アーテクル又は次行に移動"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

Program::Program(MessageHost *messages, QObject *parent) : QObject(parent)
{
    if (messages) {
        m_session.messages = messages;
    } else {
        m_ownMessages = std::make_unique<QtMessageHost>([this]() -> QWidget * {
            return QApplication::activeWindow() ? QApplication::activeWindow() : m_main.get();
        });
        m_ownMessages->beforeShow = [this] { refresh(); };
        m_session.messages = m_ownMessages.get();
    }
    m_main = std::make_unique<MainWindow>(*this, m_session);
    m_netSelectWindow = std::make_unique<NetSelectWindow>(*this, m_netSelect);
    m_setNetDataWindow = std::make_unique<SetNetDataWindow>(*this, m_setNetData);
    m_defineOpWindow = std::make_unique<DefineOpWindow>(*this, m_defineOp);
    m_defineDataWindow = std::make_unique<DefineDataWindow>(*this, m_defineData);
    m_dirSelectWindow = std::make_unique<DirSelectWindow>(*this, m_dirSelect);
    // The picker after the windows that open it, so that it comes out on top.
    m_windows = {m_netSelectWindow.get(), m_setNetDataWindow.get(), m_defineOpWindow.get(),
                 m_defineDataWindow.get(), m_dirSelectWindow.get()};
}

Program::~Program()
{
    m_windows.clear();
    m_session.main.events = nullptr;
    m_session.messages = nullptr;
}

void Program::formLoad()
{
    Session &s = m_session;
    s.UpFileDirty = 0;
    s.NoBoardsFlag = 0;
    s.PrevOpenNetIndex = 255;
    s.PtrNetIndex = -1;
    s.UpFileText.clear();
    s.main.Search_Pointer_Enabled = false;
    s.main.Read_End_Enabled = false;
    s.main.Search_Log_Enabled = false;
    s.main.Ido_Set_Enabled = false;
    s.main.Board_List.clear();
    s.main.clearTitleColumns();
    s.main.Article.clear();
    s.PtrRec.LogName = QString(80, u' ');
    s.AppDir = QDir::currentPath();
    if (s.AppDir.size() > 1 && s.AppDir.endsWith(u'/'))
        s.AppDir.chop(1);
    settings::ReadSettings(s);
    fileio::removeIfExists(s.appFile(QStringLiteral("TEMP.TXT")));
    QString &upDir = s.Dir[settings::DirRecord::Up_Dir];
    if (upDir.size() > 1 && upDir.endsWith(u'/'))
        upDir.chop(1);
    s.main.visible = true; // the start-up window is shown after its load
}

void Program::start()
{
    formLoad();
    m_main->applyPlacement();
    refresh();
    m_main->activateWindow();
}

void Program::forward(const std::function<void()> &action)
{
    action();
    refresh();
}

void Program::refresh()
{
    if (m_refreshDepth > 0)
        return; // a window's sync made the core act: the outer refresh shows it
    ++m_refreshDepth;
    m_main->sync();
    for (StateWindow *window : std::as_const(m_windows))
        window->sync();
    --m_refreshDepth;
}

void Program::titleKeyDown(int keyCode, int shift)
{
    if (m_session.main.events)
        m_session.main.events->Title_KeyDown(keyCode, shift);
}

void Program::titleKeyUp(int, int)
{
    // TODO(reader): Title_KeyUp when the reader provides it.
}

void Program::netSelectCommand()
{
    if (!m_session.main.Board_List.enabled)
        return;
    m_netSelect.Show();
}

void Program::showIdList()
{
    // TODO(commands): the ID list window in viewer mode.
}

void Program::showSearch()
{
    // TODO(search): the search dialog.
}

void Program::showDefineOp()
{
    m_defineOp.Show();
}

void Program::showDefineData()
{
    m_defineData.Show();
}

void Program::showIdo()
{
    // TODO(moveres): the move-response window for table editing.
}

void Program::searchPointer()
{
    // TODO(reader): Search_Pointer_Click.
}

void Program::readEnd()
{
    // TODO(reader): Read_End_Click.
}

void Program::showVersion()
{
    m_session.message(kVersionText, MsgButtons::Ok);
}

void Program::showKeyList()
{
    m_session.message(keyListText(), MsgButtons::Ok);
}

void Program::mainWindowActivated()
{
    // Form_Activate: the net selection screen once, if the option asks for it.
    MainWindowState &main = m_session.main;
    if (main.NetSelectShown != 1 && m_session.flag(settings::OptionFlags::NetSelectAtStart)) {
        main.NetSelectShown = 1;
        m_netSelect.Show();
    }
    m_main->applyColours();
}

void Program::mainWindowClosing()
{
    if (m_closing)
        return;
    m_closing = true;
    // Form_QueryUnload: the placement into DIR.DEF, the other windows closed.
    const QRect frame = m_main->frameGeometry();
    settings::WriteWindowPlacement(m_session, frame.left(), frame.top(), m_main->height());
    m_netSelect.Form_Unload();
    m_setNetData.loaded = false;
    m_defineOp.visible = false;
    m_defineData.visible = false;
    m_dirSelect.visible = false;
    // TODO(commands, moveres, search): close the ID list, move-response and search windows.
    for (StateWindow *window : std::as_const(m_windows))
        window->hide();
    // Form_Unload: the scratch file goes, the unread pointer is saved.
    fileio::removeIfExists(m_session.appFile(QStringLiteral("TEMP.TXT")));
    // TODO(logindex): logindex::SavePointerAtExit(m_session).
    m_session.main.visible = false;
    m_main->hide();
}

} // namespace kavrel::ui
