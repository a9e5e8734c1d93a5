#pragma once

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
    Undo, // Ctrl+Z: the up file's previous generation
    Redo, // Ctrl+Y: its next generation
    Quit, // Esc
};

} // namespace kavrel
