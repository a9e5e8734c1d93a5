#pragma once

#include "base/FileIo.h"
#include "base/MessageHost.h"
#include "session/MainWindowState.h"
#include "session/ServiceHosts.h"
#include "settings/SettingsRecords.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

namespace kavrel {

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
    int UpFileDirty = 0;
    int RewriteFlag = 0;
    QString ResponseRef;
    QString Recipients;
    QString SignatureText;
    QString TempStamp;
    int SavedTitleIndex = -1;

    // Reader mode: "", "未読検索", "↑", "Write", "Response", "mail", "move Res", "mail Res".
    QString LastWrittenKind;
    int TitleBuildSuppress = 0;
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
    // silent OK / Cancel / No would. Return presses the first button unless
    // defaultAnswer names another (Cancel for what deletes or discards).
    MsgAnswer message(const QString &text, MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None,
        std::optional<MsgAnswer> defaultAnswer = {});

    // Files that could not be read, written or deleted, in the order met.
    // Each is told to the user in a box that names the file and the system's
    // reason; kavrel-cli ends with status 2 when any is here.
    struct FileFailure
    {
        fileio::FileAccess access;
        fileio::FileError error;
    };
    QVector<FileFailure> FileFailures;
    void reportFileError(fileio::FileAccess access, const fileio::FileError &error);

    // While one lives, a file that fails again is not told again: one open,
    // one shutdown or one kavrel-cli command tells each file once.
    class FileReportRound
    {
    public:
        explicit FileReportRound(Session &session);
        ~FileReportRound();
        FileReportRound(const FileReportRound &) = delete;
        FileReportRound &operator=(const FileReportRound &) = delete;

    private:
        Session &m_session;
    };

    // The current net's record (the empty record when no net is chosen).
    const settings::NetRecord &currentNet() const;
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

    bool flag(settings::OptionFlags::Index i) const { return Flags.isSet(i); }

private:
    qsizetype m_fileFailuresToldFrom = 0;
    int m_fileReportRounds = 0;
};

} // namespace kavrel
