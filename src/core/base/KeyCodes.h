#pragma once

// The key codes and shift states of the keyboard interface the windows hand
// to the core: letters as their upper-case ASCII codes, Enter 13, Esc 27,
// Space 32, Page Up 33, Page Down 34, End 35, Home 36, Left 37, Up 38,
// Right 39, Down 40; shift 1, control 2, alt 4.
namespace kavrel::keys {

enum Key : int {
    Key_Enter = 13,
    Key_Escape = 27,
    Key_Space = 32,
    Key_PageUp = 33,
    Key_PageDown = 34,
    Key_End = 35,
    Key_Home = 36,
    Key_Left = 37,
    Key_Up = 38,
    Key_Right = 39,
    Key_Down = 40,
    Key_D = 68,
    Key_E = 69,
    Key_G = 71,
    Key_M = 77,
    Key_P = 80,
    Key_S = 83,
    Key_W = 87,
    Key_Y = 89,
    Key_Z = 90,
};
enum ShiftMask : int { Shift_None = 0, Shift_Shift = 1, Shift_Ctrl = 2, Shift_Alt = 4 };

} // namespace kavrel::keys
