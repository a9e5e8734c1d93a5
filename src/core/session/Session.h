#pragma once

#include "base/BoardItem.h"
#include "base/FileIo.h"
#include "base/MessageHost.h"
#include "session/MainWindowState.h"
#include "session/ServiceHosts.h"
#include "settings/NetContext.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kavrel {

namespace logindex {
class ParsedLog;
}
// The reader's mode: what a later row change, title focus or store is to do.
enum class ReaderMode {
    None,
    UnreadSearch, // the next row change runs the unread search
    MovedUp, // moved up out of a board: the preceding board opens on its last row
    // The compose kind; the rebuilt title list selects the command just written.
    Write,
    Response,
    Mail,
    MoveResponse, // a move-response waits for the title list to regain the focus
    MailReply, // a mail reply waits likewise
};

// The unread pointer of the current net as held in memory.
struct PtrRecord
{
    QString LogName = QString(80, u' '); // 80 blanks: no record held
    qint64 Pointer = 0;

    bool isEmpty() const { return LogName.trimmed().isEmpty(); }
};

// Everything the reader's windows and procedures share while the program runs:
// the settings, the current net and its markers, the open log and its index,
// the unread pointer, the up file and compose state, the search and the move
// table, and the headless main window. One Session is passed to every part of
// the core; nothing reaches a global.
// The settings, the current net and its markers are the net context it is
// built on, which the settings files are read into and written from.
class Session : public settings::NetContext
{
public:
    Session();

    // The open log and its index.
    QString LogText;
    QString LogPath;
    QStringList BoardKeys; // slot k belongs to board item k of Board_List
    // The board list's items as the board scan read them (see session/LogBoards.h).
    std::vector<BoardItem> LogBoards;
    int NoBoardsFlag = 0;
    int MultiSelectMode = 0;
    QString PrevLogPath;
    int PrevOpenNetIndex = 255;
    // The log open before the current open, of whatever net: the unread pointer of a net being left is
    // raised only when ReadPointer counts in that net's pointer log.
    QString LeftLogPath;
    QString IdListText;
    // The parsed form of LogText, built on first use (logindex::parsedLog).
    std::shared_ptr<const logindex::ParsedLog> ParsedLogModel;

    // Unread pointer.
    PtrRecord PtrRec;
    qint64 ReadPointer = 0;
    int PtrNetIndex = -1;
    int PtrSavePending = 0;

    // Up file and compose state.
    QString UpFileText;
    QString UpFilePath;
    bool UpFileDirty = false;
    bool RewriteFlag = false;
    QString ResponseRef;
    QString Recipients;
    QString SignatureText;
    QString TempStamp;
    int SavedTitleIndex = -1;

    // The reader's mode.
    ReaderMode LastWrittenKind = ReaderMode::None;
    bool TitleBuildSuppress = false;
    bool NextArticleArmed = false;

    // Search.
    QString SearchFrom;
    QString SearchTo;
    bool DateSearchOn = false;
    bool StringSearchOn = false;
    QString SearchText;

    // Move-response table: entry n is the target of board n ("" or a number).
    QStringList MoveTable;
    QString MoveFileBase;

    // The main window's headless state.
    MainWindowState main;
    // Whether the net selection screen is shown (opening a log closes it).
    bool netSelectVisible = false;

    // Services the windows or the tests provide (the message host is the net
    // context's).
    EditorHost *editor = nullptr;
    // The program's own editor window: used when Editor_Path is empty, and
    // offered when the editor it names cannot be started.
    EditorHost *builtInEditor = nullptr;
    ComposeHost *compose = nullptr;

    // A field of the current net without its blank padding.
    QString netField(settings::NetRecord::Field field) const;

    // Paths of the current net's files.
    QString upFilePath() const;
    QString boardListFilePath() const;
    QString idListFilePath() const;
    QString appFile(const QString &name) const;
    // A directory of the settings; an empty one is the working directory
    // (AppDir), never the root.
    QString directory(settings::DirRecord::Index which) const;
    // The current net's signature file: Sign_Path, a relative one taken in
    // AppDir; empty when the net names none.
    QString signatureFilePath() const;
};

} // namespace kavrel
