#include "logindex/LogOpener.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "logindex/IdList.h"
#include "logindex/LogScanner.h"
#include "logindex/ParsedLog.h"
#include "logindex/PointerStore.h"
#include "moveres/MoveTable.h"
#include "session/Session.h"
#include "settings/NetMarkers.h"

#include <QFile>

#include <algorithm>

namespace kavrel::logindex {

namespace {
const QString kMergeName = QStringLiteral("Temp.log");

// The reports of one open as one span over the log's size in bytes: reading
// and decoding, then finding the article blocks, then taking the log into use
// (ID list, unread pointer, board scan) and the first board's title list.
class OpenSpan
{
public:
    static constexpr int kDecoded = 45;
    static constexpr int kParsed = 60;
    static constexpr int kLoaded = 70;
    static constexpr int kScanned = 80;

    explicit OpenSpan(const OpenProgress &progress)
        : m_progress(progress)
    {
    }

    // A progress for the part of the span from one percent to another; its
    // answer is the caller's.
    OpenProgress part(int from, int to)
    {
        if (!m_progress)
            return {};
        return [this, from, to](qint64 done, qint64 total) {
            if (m_total < 0)
                m_total = total; // the first part is the read, over the file's bytes
            const double share = total > 0 ? double(std::min(done, total)) / double(total) : 1.0;
            return m_progress(qint64(double(m_total) * (from + share * (to - from)) / 100.0), m_total);
        };
    }
    // Once the log is taken into use the open goes on to its end: the answer
    // is not looked at.
    void reached(int percent)
    {
        if (m_progress)
            m_progress(m_total * percent / 100, m_total);
    }
    void setTotal(qint64 total) { m_total = total; }

private:
    const OpenProgress &m_progress;
    qint64 m_total = -1;
};

const QString kSearchEndedMessage = QStringLiteral("ＬＯＧファイルが変更になったので、検索は終了します。");

// The chosen logs read and decoded: the text, the file's length, the path
// the log is known by, and for a merge its bytes, to be written to Temp.log
// once nothing can cancel.
struct ChosenLog
{
    QString text;
    qint64 length = 0;
    QString path;
    bool multiSelect = false;
    QByteArray mergedBytes;
};

// Reads (and merges) and decodes the chosen entries. A file that cannot be
// read is reported; false then, and when progress cancels.
bool readChosenLogs(
    Session &session, const QStringList &selectedEntries, const OpenProgress &decoding, ChosenLog *chosen)
{
    const QString logDir = session.directory(settings::DirRecord::LOG_Dir);
    fileio::FileError error;
    if (selectedEntries.size() == 1) {
        chosen->path = fileio::joinPath(logDir, selectedEntries.first());
        if (!readLogText(chosen->path, &chosen->text, &chosen->length, decoding, 4 << 20, &error)) {
            if (!error.path.isEmpty())
                session.reportFileError(fileio::FileAccess::Read, error);
            return false;
        }
        return true;
    }
    QByteArray bytes;
    for (const QString &entry : selectedEntries) {
        QByteArray part;
        if (!fileio::readAll(fileio::joinPath(logDir, entry), &part, &error)) {
            session.reportFileError(fileio::FileAccess::Read, error);
            return false;
        }
        bytes += part;
    }
    if (!decodeLogBytes(bytes, &chosen->text, decoding))
        return false;
    chosen->length = bytes.size();
    chosen->path = fileio::joinPath(logDir, kMergeName);
    chosen->mergedBytes = std::move(bytes);
    chosen->multiSelect = true;
    return true;
}

// The log paths move on (the left and previous logs), a search of another
// log ends, and the main window's lists are emptied for the new log.
void moveToNewLog(Session &session, const ChosenLog &chosen)
{
    session.log.LeftLogPath = session.log.LogPath;
    session.log.PrevLogPath = session.log.LogPath;
    if (session.NetIndex != session.log.PrevOpenNetIndex) {
        session.log.PrevLogPath.clear();
        session.log.PrevOpenNetIndex = session.NetIndex;
    }
    session.log.MultiSelectMode = chosen.multiSelect;

    const bool searching = session.search.DateSearchOn || session.search.StringSearchOn;
    if (searching && chosen.path != session.log.PrevLogPath) {
        session.search.DateSearchOn = false;
        session.search.StringSearchOn = false;
        session.message(kSearchEndedMessage, MsgButtons::Ok);
    }
    session.log.LogPath = chosen.path;

    MainWindowState &main = session.main;
    main.clearTitleColumns();
    main.Board_List.clear();
    session.log.LogBoards.clear();
}

// After the board scan: the main window comes up on the first board with its
// commands enabled, and the net's move table is loaded.
void showFirstBoard(Session &session)
{
    MainWindowState &main = session.main;
    main.visible = true;
    main.Search_Pointer_Enabled = true;
    main.Read_End_Enabled = true;
    main.Caption = QStringLiteral("Kavrel[") + session.log.LogPath + QStringLiteral("]");
    if (!main.Title.isEmpty() && main.Title.ListIndex < 0)
        clickRow(main, 0);
    main.Search_Log_Enabled = true;
    if (!main.Board_List.isEmpty())
        main.Ido_Set_Enabled = true;
    moveres::LoadMoveTable(session);
    // The first board was shown before the net's table was loaded: its
    // target is shown again from this table, so that a response written at
    // once goes where the table says.
    moveres::ShowMoveTarget(session);
}
} // namespace

bool OpenFromNetScreen(Session &session, const QStringList &selectedEntries, const OpenProgress &progress)
{
    const Session::FileReportRound round(session);
    OpenSpan span(progress);

    // Read (and merge) and decode first, so that a file that cannot be read,
    // or a cancel, changes nothing.
    ChosenLog chosen;
    if (!readChosenLogs(session, selectedEntries, span.part(0, OpenSpan::kDecoded), &chosen))
        return false;
    span.setTotal(chosen.length);

    // The article blocks are found with the net's markers before the log is
    // taken into use, so that this part too can be cancelled.
    const settings::NetRecord &net = session.currentNet();
    const settings::NetMarkers markers = settings::markersOf(net);
    auto model = ParsedLog::build(chosen.text, markers.ArticleHeader, markers.ReadEndMarker,
        settings::serialFlag(net) == 1, span.part(OpenSpan::kDecoded, OpenSpan::kParsed));
    if (!model)
        return false;
    if (chosen.multiSelect) {
        // The merge is read from memory: a Temp.log that cannot be written
        // is reported and the open goes on.
        fileio::FileError error;
        if (!fileio::writeAtomic(chosen.path, chosen.mergedBytes, &error))
            session.reportFileError(fileio::FileAccess::Write, error);
        chosen.mergedBytes = QByteArray();
    }

    moveToNewLog(session, chosen);
    LoadLogText(session, std::move(chosen.text), chosen.length);
    span.reached(OpenSpan::kLoaded);

    MainWindowState &main = session.main;
    session.unread.PtrNetIndex = session.NetIndex;
    main.pointerLogName = session.unread.PtrRec.LogName;
    main.pointerValue = QString::number(session.unread.PtrRec.Pointer);
    main.readPointer = QString::number(session.unread.ReadPointer);

    settings::takeMarkersIntoUse(session);
    session.log.ParsedLogModel = std::move(model);
    session.netSelectVisible = false;

    ScanLog(session, [&span] { span.reached(OpenSpan::kScanned); });
    if (session.log.NoBoardsFlag) {
        main.Article.clear();
        span.reached(100);
        return true;
    }
    showFirstBoard(session);
    span.reached(100);
    return true;
}

namespace {

// Decodes pieces straight into one text. The text is sized for as many units
// as there are bytes (never fewer than the decode needs) and cut to what was
// written at the end: the room never written to takes no memory.
class TextFill
{
public:
    explicit TextFill(QString *text, qint64 expectedBytes)
        : m_text(text)
    {
        m_text->clear();
        m_text->resize(qsizetype(expectedBytes) + 1);
    }

    void add(QByteArrayView piece, bool last)
    {
        const qsizetype room = m_units + cp932::Decoder::maxUnits(piece.size());
        if (room > m_text->size())
            m_text->resize(std::max(room, m_text->size() * 3 / 2)); // the file grew while read
        m_units += m_decoder.decode(piece, reinterpret_cast<char16_t *>(m_text->data()) + m_units, last);
    }

    void finish()
    {
        m_text->truncate(m_units);
        m_text->squeeze();
    }

private:
    QString *m_text;
    cp932::Decoder m_decoder;
    qsizetype m_units = 0;
};

} // namespace

bool decodeLogBytes(const QByteArray &bytes, QString *text, const OpenProgress &progress, qint64 pieceSize)
{
    const qint64 total = bytes.size();
    TextFill fill(text, total);
    qint64 done = 0;
    while (done < total) {
        if (progress && !progress(done, total))
            return false;
        const qint64 end = std::min(total, done + std::max<qint64>(1, pieceSize));
        fill.add(QByteArrayView(bytes.constData() + done, end - done), end == total);
        done = end;
    }
    if (total == 0)
        fill.add(QByteArrayView(), true);
    if (progress && !progress(total, total))
        return false;
    fill.finish();
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
    TextFill fill(text, total);
    QByteArray piece(qsizetype(std::max<qint64>(1, std::min<qint64>(pieceSize, std::max<qint64>(total, 1)))),
        Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        if (progress && !progress(done, std::max(done, total)))
            return false;
        const qint64 n = file.read(piece.data(), piece.size());
        if (n < 0 || file.error() != QFileDevice::NoError) {
            QByteArray bytes; // the same report as a failed whole read
            if (!fileio::readAll(path, &bytes, error))
                return false;
            *length = bytes.size();
            return decodeLogBytes(bytes, text, progress, pieceSize);
        }
        const bool atEnd = n == 0 || file.atEnd();
        fill.add(QByteArrayView(piece.constData(), n), atEnd);
        done += n;
        if (atEnd)
            break;
    }
    *length = done;
    if (progress && !progress(done, std::max(done, total)))
        return false;
    fill.finish();
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
