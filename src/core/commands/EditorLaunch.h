#pragma once

#include <QString>

namespace kavrel {
class EditorHost;
class Session;
} // namespace kavrel

namespace kavrel::commands {

// Runs the user's editor (Editor_Path) on TEMP.TXT with the main window hidden
// for the wait. The editor is the session's, or the process editor when the
// session has none. When Editor_Path is empty the session's built-in editor
// is used. A start that fails shows the main window again and tells the user
// which program could not be started and why, offering the built-in editor
// when there is one; the result is false unless an editor ran.
bool LaunchEditor(Session &session);

} // namespace kavrel::commands
