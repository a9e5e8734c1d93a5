#pragma once

#include "session/ReaderCommand.h"

#include <optional>

namespace kavrel::reader {

// The title list's keys (key codes and shift states of base/KeyCodes.h) as
// the reader's commands, the one table of them: Space, Page Down and →
// page; ↑ and Page Up go back; ↓ goes on, with Shift or Ctrl alone to the
// next unread article; Ctrl+S ends a search and S alone marks for the batch;
// W P G E D M write; Esc quits. None for a key that only moves the list
// (Home, End) or means nothing to the reader.
std::optional<ReaderCommand> titleKeyCommand(int keyCode, int shift);

} // namespace kavrel::reader
