#pragma once

#include "base/KeyCodes.h"
#include "reader/Reader.h"
#include "session/ReaderCommand.h"

#include <optional>

namespace kavrel::test {

// The command a key code of the title list stands for, as the main window
// maps its keys; none for a key that only moves the list (Home, End) or
// means nothing to the reader. Tests written as key presses go through it.
inline std::optional<ReaderCommand> commandForKey(int keyCode, int shift)
{
    using namespace kavrel::keys;
    switch (keyCode) {
    case Key_Space:
    case Key_PageDown:
    case Key_Right:
        return ReaderCommand::Page;
    case Key_Up:
    case Key_PageUp:
        return ReaderCommand::Previous;
    case Key_Down:
        return shift == Shift_Shift || shift == Shift_Ctrl ? ReaderCommand::NextUnread : ReaderCommand::Next;
    case Key_S:
        if (shift == Shift_Ctrl)
            return ReaderCommand::EndSearch;
        if (shift == Shift_None)
            return ReaderCommand::ToggleBatch;
        return std::nullopt;
    case Key_W:
        return ReaderCommand::Write;
    case Key_P:
        return ReaderCommand::Respond;
    case Key_G:
        return ReaderCommand::RespondElsewhere;
    case Key_E:
        return ReaderCommand::Rewrite;
    case Key_D:
        return ReaderCommand::Delete;
    case Key_M:
        return ReaderCommand::Mail;
    case Key_Escape:
        return ReaderCommand::Quit;
    default:
        return std::nullopt;
    }
}

// One press of a key in the title list, as the main window hands it on.
inline void pressKey(reader::Reader &reader, int keyCode, int shift = keys::Shift_None)
{
    if (const auto command = commandForKey(keyCode, shift))
        reader.press(*command);
    else
        reader.pressKey(keyCode, shift);
}

} // namespace kavrel::test
