#include "reader/TitleKeys.h"

#include "base/KeyCodes.h"

namespace kavrel::reader {

std::optional<ReaderCommand> titleKeyCommand(int keyCode, int shift)
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
    case Key_Z:
        return shift == Shift_Ctrl ? std::optional(ReaderCommand::Undo) : std::nullopt;
    case Key_Y:
        return shift == Shift_Ctrl ? std::optional(ReaderCommand::Redo) : std::nullopt;
    case Key_Escape:
        return ReaderCommand::Quit;
    default:
        return std::nullopt;
    }
}

} // namespace kavrel::reader
