#include "TitleKeys.h"

#include "VbKeys.h"
#include "reader/TitleKeys.h"

namespace kavrel::ui {

std::optional<ReaderCommand> titleCommand(int qtKey, Qt::KeyboardModifiers modifiers)
{
    return reader::titleKeyCommand(vbkeys::keyCode(qtKey), vbkeys::shiftState(modifiers));
}

} // namespace kavrel::ui
