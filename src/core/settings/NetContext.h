#pragma once

#include "base/MessageHost.h"
#include "settings/SettingsRecords.h"

#include <QString>
#include <QVector>

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
    // silent OK / Cancel / No would.
    MsgAnswer message(const QString &text, MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);

    // The current net's record (the empty record when no net is chosen).
    const NetRecord &currentNet() const;

    bool flag(OptionFlags::Index i) const { return Flags.isSet(i); }
};

} // namespace kavrel::settings
