#pragma once

#include "session/ReaderCommand.h"

#include <Qt>

#include <optional>

namespace kavrel::ui {

// The title list's keys as the reader's commands, by the reader's one table
// of them (reader/TitleKeys.h). None for a key that only moves the list
// (Home, End) or that the main window handles itself.
std::optional<ReaderCommand> titleCommand(int qtKey, Qt::KeyboardModifiers modifiers);

} // namespace kavrel::ui
