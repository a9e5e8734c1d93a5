#include "ReadPathFuzz.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "logindex/BoardListFile.h"
#include "logindex/IdList.h"
#include "logindex/LogOpener.h"
#include "logindex/PointerStore.h"
#include "moveres/MoveTable.h"
#include "program/Program.h"
#include "settings/NetDefinitionsFile.h"
#include "settings/NetMarkers.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kavrel::fuzz {

namespace {

// Enough to reach every kind of row without making one input take long.
constexpr int kBoardsVisited = 8;
constexpr int kRowsVisited = 40;

const QTemporaryDir &workDir()
{
    static const QTemporaryDir dir;
    return dir;
}

QString workPath(const QString &name)
{
    return fileio::joinPath(workDir().path(), name);
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void readRecordsAndLists(const QByteArray &bytes)
{
    const QString text = cp932::decode(bytes);
    logindex::BoardListFile::parse(text);
    logindex::IdList::update(text, text);

    settings::DirRecord dir;
    settings::SettingsStore::decodeDirRecord(bytes, &dir);
    settings::OptionFlags flags;
    settings::SettingsStore::decodeFlags(bytes, &flags);
    const settings::NetRecord net = settings::NetDefinitionsFile::decodeRecord(bytes.left(1280));
    settings::NetEntry::fromRecord(net);
    moveres::decodeMoveTable(bytes);

    writeRaw(workPath(QStringLiteral("ptr/LOGPTR.dat")), bytes);
    const logindex::PointerStore store(
        workPath(QStringLiteral("ptr/LOGPTR.dat")), workPath(QStringLiteral("log")));
    for (int record = 1; record <= 3; ++record)
        store.read(record);
}

int openAndRead(const QByteArray &bytes)
{
    int shown = 0;
    // Each input starts from nothing remembered.
    for (const char *name : { "bl/DAV.bl", "bl/DAV.id", "bl/DAV.IDO", "app/LOGPTR.dat" })
        QFile::remove(workPath(QLatin1String(name)));
    writeRaw(workPath(QStringLiteral("log/DAV1.LOG")), bytes);

    Program program;
    Session &s = program.session;
    s.AppDir = workPath(QStringLiteral("app"));
    s.Dir[settings::DirRecord::LOG_Dir] = workPath(QStringLiteral("log"));
    s.Dir[settings::DirRecord::Up_Dir] = workPath(QStringLiteral("up"));
    s.Dir[settings::DirRecord::BL_Dir] = workPath(QStringLiteral("bl"));
    settings::NetEntry net = settings::NetEntry::defaults(QStringLiteral("FUZZ"));
    net.Header = QStringLiteral("======================================= ");
    s.NetTable = { settings::NetDefinitionsFile::recordFromEntry(net) };
    s.NetIndex = 0;

    logindex::OpenFromNetScreen(s, { QStringLiteral("DAV1.LOG") });
    if (s.log.NoBoardsFlag)
        return shown;
    reader::Reader &reader = program.reader;
    const int boards = std::min(s.main.Board_List.ListCount(), kBoardsVisited);
    for (int item = 0; item < boards; ++item) {
        reader.chooseBoard(item);
        const int rows = std::min(s.main.Title.ListCount(), kRowsVisited);
        for (int row = 0; row < rows; ++row) {
            reader.chooseRow(row);
            ++shown;
        }
    }

    auto &dialog = program.searchDialog;
    dialog.load();
    dialog.setField(search::SearchDialogState::Search_Text, cp932::decode(bytes.left(2)));
    dialog.String_Check = true;
    dialog.setRangeFields(QStringLiteral("00/01/01 00:00:00"), QStringLiteral("99/12/31 23:59:59"));
    dialog.DateTime_Check = true;
    if (dialog.startSearch())
        reader.walkSearch();
    s.search.StringSearchOn = false;
    s.search.DateSearchOn = false;

    reader.unreadFromFirstBoard();
    program.unload();
    return shown;
}

} // namespace

int runReadPath(const QByteArray &input)
{
    static const bool ready = [] {
        for (const char *sub : { "app", "log", "bl", "up", "ptr" })
            QDir(workDir().path()).mkpath(QLatin1String(sub));
        return true;
    }();
    (void)ready;
    readRecordsAndLists(input);
    return openAndRead(input);
}

} // namespace kavrel::fuzz
