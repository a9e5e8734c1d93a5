#include "TitleKeys.h"

namespace kavrel::ui {

std::optional<ReaderCommand> titleCommand(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held
        = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    switch (qtKey) {
    case Qt::Key_Space:
    case Qt::Key_PageDown:
    case Qt::Key_Right:
        return ReaderCommand::Page;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        return ReaderCommand::Previous;
    case Qt::Key_Down:
        return held == Qt::ShiftModifier || held == Qt::ControlModifier ? ReaderCommand::NextUnread
                                                                        : ReaderCommand::Next;
    case Qt::Key_S:
        if (held == Qt::ControlModifier)
            return ReaderCommand::EndSearch;
        if (held == Qt::NoModifier)
            return ReaderCommand::ToggleBatch;
        return std::nullopt;
    case Qt::Key_W:
        return ReaderCommand::Write;
    case Qt::Key_P:
        return ReaderCommand::Respond;
    case Qt::Key_G:
        return ReaderCommand::RespondElsewhere;
    case Qt::Key_E:
        return ReaderCommand::Rewrite;
    case Qt::Key_D:
        return ReaderCommand::Delete;
    case Qt::Key_M:
        return ReaderCommand::Mail;
    case Qt::Key_Escape:
        return ReaderCommand::Quit;
    default:
        return std::nullopt;
    }
}

} // namespace kavrel::ui
