#include "logindex/LogOpener.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "logindex/IdList.h"
#include "logindex/LogScanner.h"
#include "logindex/PointerStore.h"
#include "moveres/MoveTable.h"
#include "session/Session.h"
#include "settings/NetMarkers.h"

namespace kavrel::logindex {

namespace {
const QString kMergeName = QStringLiteral("Temp.log");
const QString kSearchEndedMessage = QStringLiteral("ＬＯＧファイルが変更になったので、検索は終了します。");
} // namespace

void OpenFromNetScreen(Session &session, const QStringList &selectedEntries)
{
    const QString logDir = session.directory(settings::DirRecord::LOG_Dir);
    const Session::FileReportRound round(session);

    // Read (and merge) first, so that a file that cannot be read changes nothing.
    QByteArray bytes;
    QString newPath;
    int multiSelect = 0;
    fileio::FileError error;
    if (selectedEntries.size() == 1) {
        newPath = fileio::joinPath(logDir, selectedEntries.first());
        if (!fileio::readAll(newPath, &bytes, &error)) {
            session.reportFileError(fileio::FileAccess::Read, error);
            return;
        }
    } else {
        for (const QString &entry : selectedEntries) {
            QByteArray part;
            if (!fileio::readAll(fileio::joinPath(logDir, entry), &part, &error)) {
                session.reportFileError(fileio::FileAccess::Read, error);
                return;
            }
            bytes += part;
        }
        newPath = fileio::joinPath(logDir, kMergeName);
        // The merge is read from memory: a Temp.log that cannot be written
        // is reported and the open goes on.
        if (!fileio::writeAtomic(newPath, bytes, &error))
            session.reportFileError(fileio::FileAccess::Write, error);
        multiSelect = 1;
    }

    session.LeftLogPath = session.LogPath;
    session.PrevLogPath = session.LogPath;
    if (session.NetIndex != session.PrevOpenNetIndex) {
        session.PrevLogPath.clear();
        session.PrevOpenNetIndex = session.NetIndex;
    }
    session.MultiSelectMode = multiSelect;

    const bool searching
        = session.DateSearchOn == QLatin1String("1") || session.StringSearchOn == QLatin1String("1");
    if (searching && newPath != session.PrevLogPath) {
        session.DateSearchOn = QStringLiteral("0");
        session.StringSearchOn = QStringLiteral("0");
        session.message(kSearchEndedMessage, MsgButtons::Ok);
    }
    session.LogPath = newPath;

    MainWindowState &main = session.main;
    main.clearTitleColumns();
    main.Board_List.clear();

    LoadLogBytes(session, bytes);

    session.PtrNetIndex = session.NetIndex;
    main.Text1 = session.PtrRec.LogName;
    main.Text2 = QString::number(session.PtrRec.Pointer);
    main.Text3 = QString::number(session.ReadPointer);

    settings::takeMarkersIntoUse(session);
    session.netSelectVisible = false;

    ScanLog(session);
    if (session.NoBoardsFlag == 1) {
        main.Article.clear();
        return;
    }

    main.visible = true;
    main.Search_Pointer_Enabled = true;
    main.Read_End_Enabled = true;
    main.Caption = QStringLiteral("Kavrel[") + session.LogPath + QStringLiteral("]");
    if (!main.Title.isEmpty() && main.Title.ListIndex < 0)
        main.selectTitle(0);
    main.Search_Log_Enabled = true;
    if (!main.Board_List.isEmpty())
        main.Ido_Set_Enabled = true;
    moveres::LoadMoveTable(session);
    // The first board was shown before the net's table was loaded: its
    // target is shown again from this table, so that a response written at
    // once goes where the table says.
    moveres::ShowMoveTarget(session);
}

bool LoadLog(Session &session)
{
    QByteArray bytes;
    fileio::FileError error;
    if (!fileio::readAll(session.LogPath, &bytes, &error)) {
        session.reportFileError(fileio::FileAccess::Read, error);
        return false;
    }
    LoadLogBytes(session, bytes);
    return true;
}

void LoadLogBytes(Session &session, const QByteArray &bytes)
{
    session.LogText = cp932::decode(bytes);
    session.main.Text4 = QString::number(bytes.size());
    UpdateIdList(session);
    LoadPointerForLog(session);
}

void UpdateIdList(Session &session)
{
    const QString path = session.idListFilePath();
    QString listText;
    fileio::FileError error;
    const bool readable = IdList::read(path, &listText, &error);
    session.IdListText = IdList::update(listText, session.LogText);
    // Without a file name the path is the list directory itself: nothing to write.
    if (session.netField(settings::NetRecord::ID_LIST_FILE_NAME).isEmpty())
        return;
    // A list that exists and cannot be read keeps its IDs: it is not written over.
    if (!readable) {
        session.reportFileError(fileio::FileAccess::Read, error);
        return;
    }
    if (!fileio::writeAtomic(path, cp932::encode(session.IdListText), &error))
        session.reportFileError(fileio::FileAccess::Write, error);
}

} // namespace kavrel::logindex
