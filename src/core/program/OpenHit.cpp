#include "program/OpenHit.h"

#include "base/BoardItemText.h"
#include "base/FileIo.h"
#include "logindex/LogFiles.h"
#include "program/Program.h"
#include "reader/TitleRows.h"

#include <QDir>
#include <QFileInfo>

namespace kavrel {

namespace {

int boardItemOf(const Program &program, const HitPlace &hit)
{
    if (hit.boardNo >= 0)
        return program.reader.boardItemOfNumber(hit.boardNo);
    // A chat room: "[XCHAT] No" + room + "." + name.
    const ListBox &boards = program.session.main.Board_List;
    const QString prefix = boarditem::kChatPrefix + QStringLiteral(" No") + hit.board.mid(1);
    for (int i = 0; i < boards.ListCount(); ++i) {
        const QString &item = boards.item(i);
        if (item.startsWith(prefix) && (item.size() == prefix.size() || item.at(prefix.size()) == u'.'))
            return i;
    }
    return -1;
}

int rowOf(const Program &program, const HitPlace &hit)
{
    const TitleColumn &titles = program.session.main.Title;
    if (hit.boardNo <= 0)
        return hit.row < titles.ListCount() ? hit.row : -1;
    for (int row = 0; row < titles.ListCount(); ++row) {
        if (reader::bracketText(titles.textOf(row)).trimmed() == hit.number)
            return row;
    }
    return -1;
}

} // namespace

bool openHit(Program &program, const HitPlace &hit)
{
    Session &s = program.session;
    // A log that is gone leaves the reader as it is.
    const QString logDir = QDir(s.AppDir).absoluteFilePath(s.directory(settings::DirRecord::LOG_Dir));
    if (!QFileInfo(fileio::joinPath(logDir, hit.logFile)).isFile())
        return false;
    netselect::NetSelectState &screen = program.netSelect;
    screen.Show();
    const int slot = int(screen.Select_menu.items.indexOf(hit.net));
    if (slot < 0) {
        screen.unload();
        return false;
    }
    if (slot != s.NetIndex) {
        screen.Select_menu.ListIndex = slot;
        screen.chooseNet();
    } else {
        // The current net stays chosen: its up file is not asked about again.
        screen.Log_List_File.items = logindex::listLogFiles(s);
    }
    const QStringList &logs = screen.Log_List_File.items;
    int entry = -1;
    for (int i = 0; i < logs.size(); ++i) {
        if (logs.at(i).compare(hit.logFile, Qt::CaseInsensitive) == 0)
            entry = i;
    }
    if (entry < 0) {
        screen.unload();
        return false;
    }
    screen.Log_List_File.ListIndex = entry;
    screen.openChosenLog();
    if (s.log.NoBoardsFlag || s.netSelectVisible)
        return false;

    const int item = boardItemOf(program, hit);
    if (item < 0)
        return false;
    program.reader.chooseBoard(item);
    const int row = rowOf(program, hit);
    if (row < 0)
        return false;
    if (s.main.Title.ListIndex != row)
        program.reader.chooseRow(row);
    return true;
}

} // namespace kavrel
