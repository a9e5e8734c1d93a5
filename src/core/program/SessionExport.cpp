#include "program/SessionExport.h"

#include "session/Session.h"

namespace kavrel {

exporter::ExportSource exportSourceOf(Session &session)
{
    logindex::parsedLog(session); // made once per log and markers, and kept in the session
    return { session.netField(settings::NetRecord::Net_Name), session.log.ParsedLogModel,
        session.main.Board_List.items, session.log.BoardKeys, session.upFile.text(),
        settings::markersInUse(session), session.Sirial_Flg == 1 };
}

} // namespace kavrel
