#pragma once

#include "base/MessageHost.h"
#include "session/MainWindowState.h"
#include "session/ServiceHosts.h"
#include "settings/SettingsRecords.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace kavrel {

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
class Session
{
public:
    Session();

    // Settings and nets.
    QString AppDir;
    settings::DirRecord Dir;
    settings::OptionFlags Flags;
    QVector<settings::NetRecord> NetTable; // slot i is record i + 1 of DATA.DEF
    int NetIndex = -1;
    int Sirial_Flg = 0;

    // Markers of the current net, taken into use when a log is opened.
    QString ArticleHeader;
    QString MainPromptMarker;
    QString ReadEndMarker;
    QString SubcommandMarker;
    QString XchatMarker;

    // The open log and its index.
    QString LogText;
    QString LogPath;
    QStringList BoardKeys; // slot k belongs to board item k of Board_List
    int NoBoardsFlag = 0;
    int MultiSelectMode = 0;
    QString PrevLogPath;
    int PrevOpenNetIndex = 255;
    // The log open before the current open, of whatever net: the unread pointer of a net being left is
    // raised only when ReadPointer counts in that net's pointer log.
    QString LeftLogPath;
    QString IdListText;

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
    QString DateSearchOn = QStringLiteral("0");
    QString StringSearchOn = QStringLiteral("0");
    QString SearchText;

    // Move-response table: entry n is the target of board n ("" or a number).
    QStringList MoveTable;
    QString MoveFileBase;

    // The main window's headless state.
    MainWindowState main;
    // Whether the net selection screen is shown (opening a log closes it).
    bool netSelectVisible = false;

    // Services the windows or the tests provide.
    MessageHost *messages = nullptr;
    EditorHost *editor = nullptr;
    ComposeHost *compose = nullptr;

    // Shows a message box titled "Kavrel"; without a host, answers as a
    // silent OK / Cancel / No would.
    MsgAnswer message(const QString &text, MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);

    // The current net's record (the empty record when no net is chosen).
    const settings::NetRecord &currentNet() const;
    // A field of the current net without its blank padding.
    QString netField(settings::NetRecord::Field field) const;

    // Paths of the current net's files.
    QString upFilePath() const;
    QString boardListFilePath() const;
    QString idListFilePath() const;
    QString appFile(const QString &name) const;

    bool flag(settings::OptionFlags::Index i) const { return Flags.isSet(i); }
};

} // namespace kavrel
