#include "program/Program.h"

#include "base/FileIo.h"
#include "base/FileLookup.h"
#include "base/Text.h"
#include "logindex/PointerStore.h"
#include "settings/SettingsStore.h"

namespace kavrel {

Program::Program()
    : dirSelect(session)
    , defineOp(session, dirSelect)
    , defineData(session)
    , setNetData(session, dirSelect)
    , netSelect(session, setNetData)
    , reader(session)
    , searchDialog(session)
    , compose(session)
    , drafts(session)
{
    session.editor = &processEditor;
    compose.setDrafts(&drafts);
    netSelect.drafts = &drafts;
}

void Program::load(const QString &appDir)
{
    session.log.NoBoardsFlag = false;
    session.log.PrevOpenNetIndex = 255;
    session.unread.PtrNetIndex = -1;
    session.upFile.load(QString());
    session.main.Search_Pointer_Enabled = false;
    session.main.Read_End_Enabled = false;
    session.main.Search_Log_Enabled = false;
    session.main.Ido_Set_Enabled = false;
    session.main.Board_List.clear();
    session.main.clearTitleColumns();
    session.main.Article.clear();
    session.unread.PtrRec = PtrRecord();

    QString dir = appDir;
    if (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    session.AppDir = dir;
    settings::ReadSettings(session);
    // An editor killed with the program leaves its text only here.
    drafts.takeInEditedFile(tempTextPath());
    fileio::FileError error;
    if (!fileio::removeIfExists(tempTextPath(), &error))
        session.reportFileError(fileio::FileAccess::Remove, error);

    QString &upDir = session.Dir[settings::DirRecord::Up_Dir];
    if (upDir.size() > 1 && upDir.endsWith(QLatin1Char('/')))
        upDir.chop(1);
}

void Program::activate()
{
    MainWindowState &main = session.main;
    if (main.NetSelectShown != 1 && session.flag(settings::OptionFlags::NetSelectAtStart)) {
        main.NetSelectShown = 1;
        netSelect.Show();
    }
}

bool Program::mayClose(int left, int top, int height)
{
    if (m_closed)
        return false;
    m_closed = true;
    settings::WriteWindowPlacement(session, left, top, height);
    netSelect.unload();
    setNetData.loaded = false;
    defineOp.visible = false;
    defineData.visible = false;
    dirSelect.visible = false;
    searchDialog.visible = false;
    compose.idListWindow().close();
    if (compose.moveWindow().visible)
        compose.moveWindow().close();
    unload();
    session.main.visible = false;
    return true;
}

void Program::unload()
{
    const Session::FileReportRound round(session);
    // The text of an editor still open as the program closes stays with its draft.
    drafts.takeInEditedFile(tempTextPath());
    fileio::FileError error;
    if (!fileio::removeIfExists(tempTextPath(), &error))
        session.reportFileError(fileio::FileAccess::Remove, error);
    logindex::SavePointerAtExit(session);
}

bool Program::leaveWorkingDirectory(int left, int top, int height)
{
    if (!mayClose(left, top, height))
        return false;
    m_closed = false;
    session.Dir = settings::DirRecord();
    session.Flags = settings::NetContext().Flags;
    session.NetTable.clear();
    session.NetIndex = -1;
    session.Sirial_Flg = 0;
    session.log = OpenLog();
    session.unread = UnreadTracker();
    session.upFile = UpFileStore();
    session.composing = ComposeState();
    session.reading = ReaderState();
    session.search = SearchState();
    session.moves = MoveTableState();
    session.netSelectVisible = false;
    return true;
}

void Program::defineFirstNet()
{
    netSelect.Show();
    netSelect.Net_Name = kFirstNetName;
    netSelect.registerNet();
}

Program::Placement Program::savedPlacement() const
{
    Placement p;
    const auto value = [this](settings::DirRecord::Index i) {
        const qint64 v = text::val(session.Dir[i]);
        return v > 0 ? int(v) : 0;
    };
    p.left = value(settings::DirRecord::WindowLeft);
    p.top = value(settings::DirRecord::WindowTop);
    p.height = value(settings::DirRecord::WindowHeight);
    return p;
}

QString Program::tempTextPath() const
{
    return fileio::pathIgnoringCase(session.AppDir, QStringLiteral("TEMP.TXT"));
}

} // namespace kavrel
