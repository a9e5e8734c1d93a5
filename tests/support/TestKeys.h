#pragma once

#include "base/KeyCodes.h"
#include "reader/Reader.h"
#include "reader/TitleKeys.h"

namespace kavrel::test {

// One press of a key in the title list, as the main window hands it on.
inline void pressKey(reader::Reader &reader, int keyCode, int shift = keys::Shift_None)
{
    if (const auto command = reader::titleKeyCommand(keyCode, shift))
        reader.press(*command);
    else
        reader.pressKey(keyCode, shift);
}

} // namespace kavrel::test
