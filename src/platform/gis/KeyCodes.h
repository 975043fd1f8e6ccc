#pragma once

#include <Qt>

namespace ocable::gis {

// The map's owners speak Windows conventions: virtual-key codes (letters
// as their capital's code, digits as theirs, F1 = 112 ... F3 = 114, arrows
// 37 to 40), a shift state of 1 Shift + 2 Ctrl + 4 Alt, and mouse buttons
// 1 left, 2 right, 4 middle.
int virtualKeyOf(int qtKey); // 0 for keys without a virtual-key code
int shiftStateOf(Qt::KeyboardModifiers modifiers);
int buttonsOf(Qt::MouseButtons buttons);

} // namespace ocable::gis
