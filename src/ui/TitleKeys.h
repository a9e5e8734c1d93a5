#pragma once

#include "session/ReaderCommand.h"

#include <Qt>

#include <optional>

namespace kavrel::ui {

// The title list's keys as the reader's commands: Space, Page Down and →
// page; ↑ and Page Up go back; ↓ goes on, with Shift or Ctrl alone to the
// next unread article; Ctrl+S ends a search and S alone marks for the batch;
// W P G E D M write; Esc quits. None for a key that only moves the list
// (Home, End) or that the main window handles itself.
std::optional<ReaderCommand> titleCommand(int qtKey, Qt::KeyboardModifiers modifiers);

} // namespace kavrel::ui
