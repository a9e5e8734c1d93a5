#pragma once

#include "settings/NetContext.h"
#include "settings/SettingsRecords.h"

#include <QString>

namespace kavrel::settings {

// The texts by which a net's logs are read, taken out of its record.
struct NetMarkers
{
    QString ArticleHeader;
    QString MainPromptMarker;
    QString ReadEndMarker;
    QString SubcommandMarker;
    QString XchatMarker;
};

// The article header marker from a Header or SirialHeader field: each ","
// becomes a TAB and the marker ends before the first blank.
QString articleHeaderMarker(const QString &field);
// A terminated field's text: everything before its first NUL.
QString beforeNul(const QString &field);
// The main prompt: everything before the field's last non-blank character,
// which is its terminator.
QString mainPromptMarker(const QString &field);

// The serial flag of a record: the numeric value of its Sirial_Flg field.
int serialFlag(const NetRecord &record);

NetMarkers markersOf(const NetRecord &record);

// Sets Sirial_Flg and the five markers of the session from the current net.
void takeMarkersIntoUse(NetContext &session);
// Markers of a log read apart from the current net (the full-text index).
void useMarkers(NetContext &session, const NetMarkers &markers, int serial);
// The markers the session has taken into use.
NetMarkers markersInUse(const NetContext &session);

} // namespace kavrel::settings
