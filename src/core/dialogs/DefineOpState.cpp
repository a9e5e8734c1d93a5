#include "dialogs/DefineOpState.h"

#include "base/KeyCodes.h"
#include "dialogs/DirSelectState.h"
#include "session/Session.h"
#include "settings/SettingsStore.h"

namespace kavrel::dialogs {

using settings::DirRecord;

DefineOpState::DefineOpState(Session &session, DirSelectState &picker)
    : m_session(session)
    , m_picker(picker)
{
    m_picker.setTarget(DirSelectState::Purpose::Log, [this](const QString &path) { LOG_Dir = path; });
    m_picker.setTarget(DirSelectState::Purpose::UpText, [this](const QString &path) { Up_Dir = path; });
    m_picker.setTarget(DirSelectState::Purpose::BoardList, [this](const QString &path) { BL_Dir = path; });
    m_picker.setTarget(
        DirSelectState::Purpose::EditorPath, [this](const QString &path) { Editor_Path = path; });
}

void DefineOpState::Show()
{
    if (!visible)
        load();
    visible = true;
}

void DefineOpState::load()
{
    settings::ReadSettings(m_session);
    LOG_Dir = m_session.Dir[DirRecord::LOG_Dir];
    Up_Dir = m_session.Dir[DirRecord::Up_Dir];
    BL_Dir = m_session.Dir[DirRecord::BL_Dir];
    Editor_Path = m_session.Dir[DirRecord::Editor_Path];
    MonoColors = m_session.flag(settings::OptionFlags::MonoColors);
}

void DefineOpState::saveDirectories()
{
    // A record DIR.DEF cannot hold is refused with a message; the dialog then
    // stays open so that the user can shorten a path.
    if (settings::WriteDirSettings(m_session, LOG_Dir, Up_Dir, BL_Dir, Editor_Path))
        visible = false;
}

void DefineOpState::closeWithoutSaving()
{
    visible = false;
}

void DefineOpState::browseLogDir()
{
    browse(DirSelectState::Purpose::Log);
}

void DefineOpState::browseUpDir()
{
    browse(DirSelectState::Purpose::UpText);
}

void DefineOpState::browseBoardListDir()
{
    browse(DirSelectState::Purpose::BoardList);
}

void DefineOpState::browseEditorPath()
{
    browse(DirSelectState::Purpose::EditorPath);
}

void DefineOpState::pressKey(int keyCode)
{
    if (keyCode == keys::Key_Escape)
        cancel();
}

void DefineOpState::cancel()
{
    visible = false;
}

void DefineOpState::browse(DirSelectState::Purpose purpose)
{
    m_picker.purpose = purpose;
    m_picker.Show();
}

} // namespace kavrel::dialogs
