#pragma once

#include "controls/shift_state.h"

class QMouseEvent;

namespace controls {

// Classic mouse-button codes, a bit mask: two buttons at once give their sum.
enum MouseButtonCode { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

// What a classic MouseDown event carries.
struct MouseArgs {
    int Button = 0; // MouseButtonCode bits
    ShiftState Shift;
    float X = 0;
    float Y = 0;
};

MouseArgs classicMouseArgs(const QMouseEvent* event);

} // namespace controls
