#pragma once

#include <Qt>

class QKeyEvent;

namespace kavrel::ui {

// The reader's key handlers take the key codes and shift states of the
// original keyboard interface: letters and digits as their upper-case ASCII
// codes, Enter 13, Esc 27, Space 32, Page Up 33, Page Down 34, End 35,
// Home 36, Left 37, Up 38, Right 39, Down 40; shift 1, control 2, alt 4.
namespace vbkeys {

// The key an input method reports while it composes text.
constexpr int kInputMethodKey = 229;

// 0 for a key that has no code (a lone modifier, a dead key).
int keyCode(int qtKey);
int keyCode(const QKeyEvent *event);
int shiftState(Qt::KeyboardModifiers modifiers);

} // namespace vbkeys
} // namespace kavrel::ui
