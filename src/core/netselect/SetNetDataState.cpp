#include "netselect/SetNetDataState.h"

#include "base/Cp932.h"
#include "base/KeyCodes.h"
#include "dialogs/DirSelectState.h"
#include "netselect/NetSelectState.h"
#include "session/Session.h"

namespace kavrel::netselect {

using settings::NetDefinitionsFile;
using settings::NetEntry;

SetNetDataState::SetNetDataState(Session &session, dialogs::DirSelectState &picker)
    : m_session(session)
    , m_picker(picker)
{
    m_picker.setTarget(
        dialogs::DirSelectState::Purpose::SignPath, [this](const QString &path) { Fields.Sign_Path = path; });
}

void SetNetDataState::openNew(int netSlot, const QString &name)
{
    slot = netSlot;
    isNew = true;
    Fields = NetEntry::defaults(name);
    load();
}

void SetNetDataState::openExisting(int netSlot)
{
    slot = netSlot;
    isNew = false;
    Fields = (netSlot >= 0 && netSlot < m_session.NetTable.size())
        ? NetEntry::fromRecord(m_session.NetTable.at(netSlot))
        : NetEntry();
    load();
}

void SetNetDataState::load()
{
    MonoColors = m_session.flag(settings::OptionFlags::MonoColors);
    applySerialRule();
    loaded = true;
}

void SetNetDataState::unload()
{
    loaded = false;
    if (m_netSelect) {
        m_netSelect->Show();
        m_netSelect->enabled = true;
    }
}

QString SetNetDataState::unstorableCharacters() const
{
    const NetEntry &f = Fields;
    return cp932::unencodable(f.Net_Name + f.Header + f.Main_Prompt + f.Read_End + f.Subcommand + f.Delete
        + f.Up_File_Name + f.Board_list_File_Name + f.Log_File_Name + f.ID_LIST_FILE_NAME + f.SirialHeader
        + f.Xchat + f.Sign_Path);
}

void SetNetDataState::storeNet()
{
    if (slot < 0)
        return;
    // A character DATA.DEF cannot hold would be stored as "?": say so rather
    // than store a different text.
    const QString bad = unstorableCharacters();
    if (!bad.isEmpty()) {
        m_session.message(QStringLiteral("ネット設定に保存できない文字が含まれています。\n") + bad,
            MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    const settings::NetRecord record = NetDefinitionsFile::recordFromEntry(Fields);
    Fields.SirialHeader = NetDefinitionsFile::serialHeaderAsStored(Fields.SirialHeader);
    if (slot == m_session.NetIndex)
        m_session.Sirial_Flg = Fields.Sirial_Flg ? 1 : 0;

    if (m_session.NetTable.size() <= slot)
        m_session.NetTable.resize(slot + 1);
    const settings::NetRecord previous = m_session.NetTable.at(slot);
    m_session.NetTable[slot] = record;
    if (!NetDefinitionsFile(m_session).StoreOne(slot)) {
        m_session.NetTable[slot] = previous; // told already; the editor stays open
        return;
    }
    if (m_netSelect)
        m_netSelect->netStored(slot);
    if (Fields.Sirial_Flg)
        Fields.Header = Fields.SirialHeader;
    unload();
}

void SetNetDataState::closeWithoutStoring()
{
    unload();
}

void SetNetDataState::toggleSerialNumbers()
{
    Fields.Sirial_Flg = !Fields.Sirial_Flg;
    applySerialRule();
}

void SetNetDataState::browseSignPath()
{
    m_picker.purpose = dialogs::DirSelectState::Purpose::SignPath;
    m_picker.Show();
}

void SetNetDataState::pressKey(int keyCode)
{
    if (keyCode == keys::Key_Escape)
        cancel();
}

void SetNetDataState::cancel()
{
    if (loaded)
        unload();
}

void SetNetDataState::applySerialRule()
{
    SirialHeader_Enabled = Fields.Sirial_Flg;
    Header_Enabled = !Fields.Sirial_Flg;
}

QVariantList SetNetDataState::look() const
{
    const settings::NetEntry &f = Fields;
    return { f.Net_Name, f.Header, f.Main_Prompt, f.Read_End, f.Subcommand, f.Delete, f.Up_File_Name,
        f.Board_list_File_Name, f.Log_File_Name, f.ID_LIST_FILE_NAME, f.Sirial_Flg, f.SirialHeader, f.Xchat,
        f.Sign_Path, Header_Enabled, SirialHeader_Enabled, MonoColors, loaded };
}

} // namespace kavrel::netselect
