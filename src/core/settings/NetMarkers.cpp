#include "settings/NetMarkers.h"

#include "base/Text.h"

namespace kavrel::settings {

QString articleHeaderMarker(const QString &field)
{
    QString marker;
    for (QChar c : field) {
        if (c == u' ')
            break;
        marker.append(c == u',' ? QChar(u'\t') : c);
    }
    return marker;
}

QString beforeNul(const QString &field)
{
    const qsizetype nul = field.indexOf(QChar(u'\0'));
    return nul < 0 ? field : field.left(nul);
}

QString mainPromptMarker(const QString &field)
{
    qsizetype last = field.size();
    while (last > 0 && field.at(last - 1) == u' ')
        --last;
    return last > 0 ? field.left(last - 1) : QString();
}

int serialFlag(const NetRecord &record)
{
    return int(text::val(record[NetRecord::Sirial_Flg]));
}

NetMarkers markersOf(const NetRecord &record)
{
    NetMarkers m;
    m.ArticleHeader = articleHeaderMarker(
        serialFlag(record) != 0 ? record[NetRecord::SirialHeader] : record[NetRecord::Header]);
    m.MainPromptMarker = mainPromptMarker(record[NetRecord::Main_Prompt]);
    m.ReadEndMarker = beforeNul(record[NetRecord::Read_End]);
    m.SubcommandMarker = beforeNul(record[NetRecord::Subcommand]);
    m.XchatMarker = beforeNul(record[NetRecord::Xchat]);
    return m;
}

void takeMarkersIntoUse(NetContext &session)
{
    const NetRecord &record = session.currentNet();
    useMarkers(session, markersOf(record), serialFlag(record));
}

void useMarkers(NetContext &session, const NetMarkers &markers, int serial)
{
    session.Sirial_Flg = serial;
    session.ArticleHeader = markers.ArticleHeader;
    session.MainPromptMarker = markers.MainPromptMarker;
    session.ReadEndMarker = markers.ReadEndMarker;
    session.SubcommandMarker = markers.SubcommandMarker;
    session.XchatMarker = markers.XchatMarker;
}

NetMarkers markersInUse(const NetContext &session)
{
    return { session.ArticleHeader, session.MainPromptMarker, session.ReadEndMarker, session.SubcommandMarker,
        session.XchatMarker };
}

} // namespace kavrel::settings
