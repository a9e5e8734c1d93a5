#include "netselect/NetSelectState.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/KeyCodes.h"
#include "base/Text.h"
#include "commands/DraftOffer.h"
#include "commands/UpFileUndo.h"
#include "logindex/LogFiles.h"
#include "logindex/LogOpener.h"
#include "logindex/PointerStore.h"
#include "netselect/SetNetDataState.h"
#include "session/Session.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/NetMarkers.h"

#include <QDir>
#include <QFileInfo>

namespace kavrel::netselect {

namespace {
constexpr int kNoNet = 255; // PrevOpenNetIndex before any open
} // namespace

using settings::NetDefinitionsFile;
using settings::NetRecord;

NetSelectState::NetSelectState(Session &session, SetNetDataState &editor)
    : m_session(session)
    , m_editor(editor)
{
    m_editor.m_netSelect = this;
}

void NetSelectState::Show()
{
    if (!loaded)
        load();
}

void NetSelectState::load()
{
    MonoColors = m_session.flag(settings::OptionFlags::MonoColors);
    m_session.main.disable();

    Select_menu.clear();
    for (const QString &name : NetDefinitionsFile(m_session).LoadAll())
        Select_menu.addItem(text::trimTrailingBlanks(name));

    Net_Name.clear();
    Log_List_File.clear();
    Log_List_File2.clear();
    if (!Select_menu.isEmpty())
        highlightNet(0);
    multi_check = false;
    Log_List_File_Visible = true;
    Log_List_File2_Visible = false;
    enabled = true;
    focus = Focus::Select_menu;
    loaded = true;
    m_session.netSelectVisible = true;
}

void NetSelectState::unload()
{
    if (!loaded)
        return;
    MainWindowState &main = m_session.main;
    main.enabled = true;
    main.BatchSet.clear();
    main.Title.clear();
    main.InfoColumn.clear();
    main.SubjectColumn.clear();
    main.Article.clear();
    loaded = false;
    m_session.netSelectVisible = false;
}

void NetSelectState::chooseNet()
{
    if (!acceptsInput())
        return;
    if (Select_menu.ListIndex >= 0)
        chooseNet(Select_menu.ListIndex);
}

void NetSelectState::keyInNetList(int keyCode)
{
    if (keyCode == keys::Key_Enter)
        chooseNet();
    else
        pressKey(keyCode);
}

void NetSelectState::highlightNet(int row)
{
    Select_menu.ListIndex = row;
    if (row < 0 || row >= m_session.NetTable.size())
        return;
    // The net's logs are listed at once; the net itself (its up file) is
    // taken only when it is chosen, or when one of its logs is opened.
    const QString pattern = text::trimTrailingBlanks(m_session.NetTable.at(row)[NetRecord::Log_File_Name]);
    const QDir dir(m_session.directory(settings::DirRecord::LOG_Dir));
    showLogs(logindex::logFilesAmong(dir.entryList(QDir::Files, QDir::NoSort), pattern));
}

void NetSelectState::showLogs(const QStringList &logs)
{
    Log_List_File.clear();
    Log_List_File.items = logs;
    Log_List_File.ListIndex = int(logs.size()) - 1;
    Log_List_File2.setItems(logs);
}

void NetSelectState::chooseNet(int slot)
{
    if (slot != m_session.NetIndex) {
        m_session.upFile.load(QString());
        // The signature read for one net is never added to another's texts.
        m_session.composing.SignatureText.clear();
    }
    m_session.NetIndex = slot;
    m_session.Sirial_Flg = settings::serialFlag(m_session.currentNet());

    showLogs(logindex::listLogFiles(m_session));
    focus = Log_List_File_Visible ? Focus::Log_List_File : Focus::Log_List_File2;

    loadUpFile();
    // What was being written for this net when the program last ended.
    if (drafts)
        commands::OfferDrafts(m_session, *drafts);
}

void NetSelectState::loadUpFile()
{
    const QString path = m_session.upFilePath();
    if (!QFileInfo(path).isFile()) {
        keepFoundUpFile();
        return;
    }
    fileio::FileError error;
    QByteArray bytes;
    const bool read = fileio::readAll(path, &bytes, &error);
    if (m_session.message(kUpFileQuestion, MsgButtons::OkCancel, MsgIcon::Critical, MsgAnswer::Cancel)
        == MsgAnswer::Ok) {
        // The waiting commands are kept one generation back, as every other
        // change of the up file keeps them. When that or the delete fails the
        // up file stays, and so do its commands.
        fileio::FileAccess failed = fileio::FileAccess::Write;
        if (read) {
            if (m_session.upFile.discard(path, &error, &failed)) {
                commands::reportUnkeptHistory(m_session);
                return;
            }
            m_session.reportFileError(failed, error);
        }
    }
    if (!read) {
        m_session.reportFileError(fileio::FileAccess::Read, error);
        return;
    }
    const QString text = cp932::decode(bytes);
    const qsizetype nul = text::findFrom(text, QChar(u'\0'));
    m_session.upFile.load(nul > 0 ? text::left(text, nul - 1) : text);
    keepFoundUpFile();
}

void NetSelectState::keepFoundUpFile()
{
    // A file another program changed (the terminal program sent and emptied
    // or removed it) becomes a generation of its own in the undo history.
    fileio::FileError error;
    if (!m_session.upFile.keepFound(m_session.upFilePath(), &error)) {
        m_session.message(
            QStringLiteral("アップファイルの履歴を残せませんでした。") + CRLF + error.toString(),
            MsgButtons::Ok, MsgIcon::Exclamation);
    }
}

void NetSelectState::registerNet()
{
    if (!acceptsInput())
        return;
    // A blank name is how DATA.DEF marks a deleted record: it is no name.
    if (Net_Name.trimmed().isEmpty()) {
        m_session.message(kEmptyNameMessage);
        return;
    }
    const QString name = Net_Name;
    const int slot = Select_menu.ListCount();
    Select_menu.addItem(name);
    if (m_session.NetTable.size() <= slot)
        m_session.NetTable.resize(slot + 1);
    NetRecord &record = m_session.NetTable[slot];
    for (QString &field : record.fields)
        field = QString(NetRecord::kFieldWidth, u' ');
    record[NetRecord::Net_Name] = text::fixedWidth(name, NetRecord::kFieldWidth);

    unload();
    m_editor.openNew(slot, name);
}

void NetSelectState::editNet()
{
    if (!acceptsInput())
        return;
    const int slot = Select_menu.ListIndex;
    if (slot < 0)
        return;
    enabled = false;
    NetDefinitionsFile(m_session).ReadOne(slot);
    m_editor.openExisting(slot);
}

void NetSelectState::deleteNet()
{
    if (!acceptsInput())
        return;
    const int slot = Select_menu.ListIndex;
    if (slot < 0)
        return;
    if (m_session.message(kDeleteQuestion, MsgButtons::OkCancel, MsgIcon::Critical, MsgAnswer::Cancel)
        != MsgAnswer::Ok)
        return;
    // The nets that stay, by their record numbers before the delete: their
    // unread pointers move along with them.
    QVector<int> keptRecords;
    for (int i = 0; i < m_session.NetTable.size(); ++i) {
        if (i != slot && !text::trimTrailingBlanks(m_session.NetTable.at(i)[NetRecord::Net_Name]).isEmpty())
            keptRecords << i + 1;
    }
    QStringList names;
    if (!NetDefinitionsFile(m_session).DeleteOne(slot, &names))
        return;
    if (keptRecords.size() == names.size()) {
        const logindex::PointerStore store(m_session.appFile(logindex::PointerStore::kFileName),
            m_session.directory(settings::DirRecord::LOG_Dir));
        fileio::FileError error;
        if (!store.keepRecords(keptRecords, &error))
            m_session.reportFileError(fileio::FileAccess::Write, error);
        const int held = m_session.unread.PtrNetIndex;
        if (held >= 0) {
            m_session.unread.PtrNetIndex = int(keptRecords.indexOf(held + 1));
            if (m_session.unread.PtrNetIndex < 0)
                m_session.unread.PtrRec = PtrRecord(); // the deleted net's pointer goes with it
        }
    }

    // The slots after the deleted one moved up by one; the current net and
    // the net of the last open follow their records.
    if (m_session.NetIndex == slot) {
        m_session.NetIndex = -1;
        m_session.upFile.load(QString());
    } else if (m_session.NetIndex > slot) {
        --m_session.NetIndex;
    }
    if (m_session.log.PrevOpenNetIndex == slot)
        m_session.log.PrevOpenNetIndex = kNoNet;
    else if (m_session.log.PrevOpenNetIndex > slot && m_session.log.PrevOpenNetIndex != kNoNet)
        --m_session.log.PrevOpenNetIndex;

    Select_menu.clear();
    for (const QString &name : std::as_const(names))
        Select_menu.addItem(text::trimTrailingBlanks(name));
}

void NetSelectState::toggleMultiSelect()
{
    if (!acceptsInput())
        return;
    multi_check = !multi_check;
    Log_List_File2_Visible = multi_check;
    Log_List_File_Visible = !multi_check;
}

void NetSelectState::openChosenLog()
{
    if (!acceptsInput())
        return;
    const QString entry = Log_List_File.selectedText();
    if (Log_List_File.ListIndex >= 0)
        openLogs({ entry });
}

void NetSelectState::keyInLogList(int keyCode)
{
    if (keyCode == keys::Key_Enter)
        openChosenLog();
    else
        pressKey(keyCode);
}

void NetSelectState::openChosenLogs()
{
    if (!acceptsInput())
        return;
    const QStringList entries = Log_List_File2.selectedItems();
    if (!entries.isEmpty())
        openLogs(entries);
}

void NetSelectState::readChosenLogs()
{
    if (!acceptsInput())
        return;
    if (Log_List_File_Visible) {
        bool anyName = false;
        for (const QString &item : std::as_const(Log_List_File.items))
            anyName = anyName || !item.isEmpty();
        if (anyName)
            openChosenLog();
        return;
    }
    if (Log_List_File2_Visible)
        openChosenLogs();
}

void NetSelectState::closeScreen()
{
    unload();
}

void NetSelectState::pressKey(int keyCode)
{
    if (keyCode == keys::Key_Escape)
        cancel();
}

void NetSelectState::netStored(int slot)
{
    if (loaded && slot >= 0 && slot < Select_menu.ListCount() && slot < m_session.NetTable.size())
        Select_menu.items[slot] = text::trimTrailingBlanks(m_session.NetTable.at(slot)[NetRecord::Net_Name]);
}

bool NetSelectState::acceptsInput() const
{
    // Closed, or disabled while the editor works on a net.
    return loaded && enabled;
}

void NetSelectState::openLogs(const QStringList &entries)
{
    // Logs listed by the highlight alone: their net is chosen first.
    if (Select_menu.ListIndex >= 0 && Select_menu.ListIndex != m_session.NetIndex)
        chooseNet(Select_menu.ListIndex);
    logindex::OpenProgress progress;
    if (openProgress) {
        const QString name = entries.join(u' ');
        progress = [this, name](qint64 done, qint64 total) { return openProgress(name, done, total); };
    }
    logindex::OpenFromNetScreen(m_session, entries, progress);
    // The open closes the screen before it scans the log; what the scan put
    // into the reader's lists stays, so only the main window comes back.
    if (loaded && !m_session.netSelectVisible) {
        loaded = false;
        m_session.main.enabled = true;
    }
}

void NetSelectState::selectLogs(const QList<bool> &selected)
{
    for (int i = 0; i < selected.size(); ++i)
        Log_List_File2.setSelected(i, selected.at(i));
}

QVariantList NetSelectState::look() const
{
    return { Select_menu.items, Select_menu.ListIndex, Net_Name, Log_List_File.items, Log_List_File.ListIndex,
        Log_List_File2.items, QVariant::fromValue(Log_List_File2.Selected), multi_check,
        Log_List_File_Visible, Log_List_File2_Visible, MonoColors, enabled, loaded, int(focus) };
}

} // namespace kavrel::netselect
