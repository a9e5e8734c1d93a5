#pragma once

#include "base/FileIo.h"
#include "base/MessageHost.h"
#include "settings/SettingsRecords.h"

#include <QString>
#include <QVector>

#include <optional>

namespace kavrel::settings {

// The settings and nets the program runs with: where the settings files live,
// what DIR.DEF, SET.def and DATA.DEF hold, the current net and its markers.
// The settings files are read into and written from this value; a failure is
// told through its message host.
struct NetContext
{
    NetContext();

    QString AppDir;
    DirRecord Dir;
    OptionFlags Flags;
    QVector<NetRecord> NetTable; // slot i is record i + 1 of DATA.DEF
    int NetIndex = -1;
    int Sirial_Flg = 0;

    // Markers of the current net, taken into use when a log is opened.
    QString ArticleHeader;
    QString MainPromptMarker;
    QString ReadEndMarker;
    QString SubcommandMarker;
    QString XchatMarker;

    MessageHost *messages = nullptr;

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
        explicit FileReportRound(NetContext &context);
        ~FileReportRound();
        FileReportRound(const FileReportRound &) = delete;
        FileReportRound &operator=(const FileReportRound &) = delete;

    private:
        NetContext &m_context;
    };

    // The current net's record (the empty record when no net is chosen).
    const NetRecord &currentNet() const;

    bool flag(OptionFlags::Index i) const { return Flags.isSet(i); }

private:
    int m_fileReportRounds = 0;
    qsizetype m_fileFailuresToldFrom = 0;
};

} // namespace kavrel::settings
