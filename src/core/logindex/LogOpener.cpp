#include "logindex/LogOpener.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "logindex/IdList.h"
#include "logindex/LogScanner.h"
#include "logindex/PointerStore.h"
#include "moveres/MoveTable.h"
#include "session/Session.h"
#include "settings/NetMarkers.h"

#include <QFile>

#include <algorithm>

namespace kavrel::logindex {

namespace {
const QString kMergeName = QStringLiteral("Temp.log");
const QString kSearchEndedMessage = QStringLiteral("ＬＯＧファイルが変更になったので、検索は終了します。");
} // namespace

bool OpenFromNetScreen(Session &session, const QStringList &selectedEntries, const OpenProgress &progress)
{
    const QString logDir = session.directory(settings::DirRecord::LOG_Dir);
    const Session::FileReportRound round(session);

    // Read (and merge) and decode first, so that a file that cannot be read,
    // or a cancel, changes nothing.
    QString text;
    qint64 length = 0;
    QString newPath;
    int multiSelect = 0;
    fileio::FileError error;
    if (selectedEntries.size() == 1) {
        newPath = fileio::joinPath(logDir, selectedEntries.first());
        if (!readLogText(newPath, &text, &length, progress, 4 << 20, &error)) {
            if (!error.path.isEmpty())
                session.reportFileError(fileio::FileAccess::Read, error);
            return false;
        }
    } else {
        QByteArray bytes;
        for (const QString &entry : selectedEntries) {
            QByteArray part;
            if (!fileio::readAll(fileio::joinPath(logDir, entry), &part, &error)) {
                session.reportFileError(fileio::FileAccess::Read, error);
                return false;
            }
            bytes += part;
        }
        if (!decodeLogBytes(bytes, &text, progress))
            return false;
        length = bytes.size();
        newPath = fileio::joinPath(logDir, kMergeName);
        // The merge is read from memory: a Temp.log that cannot be written
        // is reported and the open goes on.
        if (!fileio::writeAtomic(newPath, bytes, &error))
            session.reportFileError(fileio::FileAccess::Write, error);
        multiSelect = 1;
    }

    session.log.LeftLogPath = session.log.LogPath;
    session.log.PrevLogPath = session.log.LogPath;
    if (session.NetIndex != session.log.PrevOpenNetIndex) {
        session.log.PrevLogPath.clear();
        session.log.PrevOpenNetIndex = session.NetIndex;
    }
    session.log.MultiSelectMode = multiSelect;

    const bool searching = session.search.DateSearchOn || session.search.StringSearchOn;
    if (searching && newPath != session.log.PrevLogPath) {
        session.search.DateSearchOn = false;
        session.search.StringSearchOn = false;
        session.message(kSearchEndedMessage, MsgButtons::Ok);
    }
    session.log.LogPath = newPath;

    MainWindowState &main = session.main;
    main.clearTitleColumns();
    main.Board_List.clear();

    LoadLogText(session, std::move(text), length);

    session.unread.PtrNetIndex = session.NetIndex;
    main.pointerLogName = session.unread.PtrRec.LogName;
    main.pointerValue = QString::number(session.unread.PtrRec.Pointer);
    main.readPointer = QString::number(session.unread.ReadPointer);

    settings::takeMarkersIntoUse(session);
    session.netSelectVisible = false;

    ScanLog(session);
    if (session.log.NoBoardsFlag == 1) {
        main.Article.clear();
        return true;
    }

    main.visible = true;
    main.Search_Pointer_Enabled = true;
    main.Read_End_Enabled = true;
    main.Caption = QStringLiteral("Kavrel[") + session.log.LogPath + QStringLiteral("]");
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
    return true;
}

bool decodeLogBytes(const QByteArray &bytes, QString *text, const OpenProgress &progress, qint64 pieceSize)
{
    text->clear();
    const qint64 total = bytes.size();
    qint64 done = 0;
    while (done < total) {
        if (progress && !progress(done, total))
            return false;
        qint64 end = std::min(total, done + std::max<qint64>(1, pieceSize));
        if (end < total) {
            // Up to the last line feed of the piece (a piece without one goes on to the next).
            const qint64 lf = bytes.lastIndexOf('\n', end - 1);
            if (lf >= done)
                end = lf + 1;
            else if (const qint64 next = bytes.indexOf('\n', end); next >= 0)
                end = next + 1;
            else
                end = total;
        }
        *text += cp932::decode(QByteArray::fromRawData(bytes.constData() + done, end - done));
        done = end;
    }
    if (progress && !progress(total, total))
        return false;
    text->squeeze();
    return true;
}

bool readLogText(const QString &path, QString *text, qint64 *length, const OpenProgress &progress,
    qint64 pieceSize, fileio::FileError *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Read as every other file is, for the same report of what went wrong.
        QByteArray bytes;
        if (!fileio::readAll(path, &bytes, error))
            return false;
        *length = bytes.size();
        return decodeLogBytes(bytes, text, progress, pieceSize);
    }
    const qint64 total = file.size();
    // Not reserved at the file's size: a text of double-byte characters is
    // far shorter than that, and the growth of a large text moves no memory.
    text->clear();
    QByteArray carry; // the end of the last piece after its last line feed
    qint64 done = 0;
    for (;;) {
        if (progress && !progress(done, total))
            return false;
        QByteArray piece = carry + file.read(std::max<qint64>(1, pieceSize));
        if (file.error() != QFileDevice::NoError) {
            QByteArray bytes; // the same report as a failed whole read
            if (!fileio::readAll(path, &bytes, error))
                return false;
            *length = bytes.size();
            return decodeLogBytes(bytes, text, progress, pieceSize);
        }
        const bool atEnd = file.atEnd() || piece.size() == carry.size();
        const qint64 lf = atEnd ? piece.size() - 1 : piece.lastIndexOf('\n');
        carry = piece.mid(lf + 1);
        piece.truncate(lf + 1);
        *text += cp932::decode(piece);
        done += piece.size();
        if (atEnd) {
            done += carry.size();
            if (!carry.isEmpty())
                *text += cp932::decode(carry);
            break;
        }
    }
    *length = done;
    if (progress && !progress(done, std::max(done, total)))
        return false;
    text->squeeze();
    return true;
}

bool LoadLog(Session &session)
{
    QString text;
    qint64 length = 0;
    fileio::FileError error;
    if (!readLogText(session.log.LogPath, &text, &length, {}, 4 << 20, &error)) {
        if (!error.path.isEmpty())
            session.reportFileError(fileio::FileAccess::Read, error);
        return false;
    }
    LoadLogText(session, std::move(text), length);
    return true;
}

void LoadLogBytes(Session &session, const QByteArray &bytes)
{
    LoadLogText(session, cp932::decode(bytes), bytes.size());
}

void LoadLogText(Session &session, QString text, qint64 length)
{
    // The model of the previous log holds its text: both go now.
    session.log.ParsedLogModel.reset();
    session.log.LogText = std::move(text);
    session.main.logLength = QString::number(length);
    UpdateIdList(session);
    LoadPointerForLog(session);
}

void UpdateIdList(Session &session)
{
    const QString path = session.idListFilePath();
    QString listText;
    fileio::FileError error;
    const bool readable = IdList::read(path, &listText, &error);
    session.log.IdListText = IdList::update(listText, session.log.LogText);
    // Without a file name the path is the list directory itself: nothing to write.
    if (session.netField(settings::NetRecord::ID_LIST_FILE_NAME).isEmpty())
        return;
    // A list that exists and cannot be read keeps its IDs: it is not written over.
    if (!readable) {
        session.reportFileError(fileio::FileAccess::Read, error);
        return;
    }
    if (!fileio::writeAtomic(path, cp932::encode(session.log.IdListText), &error))
        session.reportFileError(fileio::FileAccess::Write, error);
}

} // namespace kavrel::logindex
