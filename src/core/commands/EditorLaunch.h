#pragma once

#include <QString>

namespace kavrel {
class EditorHost;
class Session;
} // namespace kavrel

namespace kavrel::commands {

// Runs the user's editor (Editor_Path) on TEMP.TXT with the main window hidden
// for the wait. The editor is the session's, or the process editor when the
// session has none. A start that fails shows the main window again and tells
// the user which program could not be started and why; the result is false.
bool LaunchEditor(Session &session);

} // namespace kavrel::commands
