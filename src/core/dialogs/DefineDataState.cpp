#include "dialogs/DefineDataState.h"

#include "base/KeyCodes.h"
#include "session/Session.h"
#include "settings/SettingsStore.h"

namespace kavrel::dialogs {

using settings::OptionFlags;

void DefineDataState::Show()
{
    if (!visible)
        load();
    visible = true;
}

void DefineDataState::load()
{
    NET_SELECT_CHECK = m_session.flag(OptionFlags::NetSelectAtStart);
    Sign_CHECK = m_session.flag(OptionFlags::SignatureOn);
    Res_Del_Check = m_session.flag(OptionFlags::ResBlankQuoteDelete);
    Board_List_Check = m_session.flag(OptionFlags::BoardListFrozen);
    Title_Only_Check = m_session.flag(OptionFlags::TitleOnlySignature);
    Mono_Check = m_session.flag(OptionFlags::MonoColors);
    Shift_Check = m_session.flag(OptionFlags::SpaceMovesOn);
}

void DefineDataState::save()
{
    std::array<bool, OptionFlags::Count> checked {};
    checked[OptionFlags::NetSelectAtStart] = NET_SELECT_CHECK;
    checked[OptionFlags::SignatureOn] = Sign_CHECK;
    checked[OptionFlags::ResBlankQuoteDelete] = Res_Del_Check;
    checked[OptionFlags::BoardListFrozen] = Board_List_Check;
    checked[OptionFlags::TitleOnlySignature] = Title_Only_Check;
    checked[OptionFlags::MonoColors] = Mono_Check;
    checked[OptionFlags::SpaceMovesOn] = Shift_Check;
    // A write that fails has told the user why; the ticks stay for a retry.
    if (settings::WriteOptionFlags(m_session, checked))
        visible = false;
}

void DefineDataState::discard()
{
    visible = false;
}

void DefineDataState::pressKey(int keyCode)
{
    if (keyCode == keys::Key_Escape)
        cancel();
}

void DefineDataState::cancel()
{
    visible = false;
}

} // namespace kavrel::dialogs
