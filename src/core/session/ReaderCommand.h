#pragma once

#include <optional>

namespace kavrel {

// What the user asks of the reader in the title list.
enum class ReaderCommand {
    Page, // Space, Page Down, →: the next line, article or board
    Previous, // ↑, Page Up
    Next, // ↓
    NextUnread, // Shift+↓ or Ctrl+↓
    EndSearch, // Ctrl+S
    Write, // W
    Respond, // P
    RespondElsewhere, // G
    Rewrite, // E
    Delete, // D
    Mail, // M
    ToggleBatch, // S
    Quit, // Esc
};

// The command a key of the title list stands for; none for a key that only
// moves the list (Home, End) or means nothing to the reader.
std::optional<ReaderCommand> commandForKey(int keyCode, int shift);

} // namespace kavrel
