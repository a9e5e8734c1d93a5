#pragma once

#include "export/ExportRows.h"

namespace kavrel {

class Session;

// What an export of the session's open log reads: the net's name, the
// parsed log, the board list, the up file's text and the net's markers.
exporter::ExportSource exportSourceOf(Session &session);

} // namespace kavrel
