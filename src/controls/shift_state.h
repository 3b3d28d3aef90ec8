#pragma once

#include <QFlags>
#include <Qt>

namespace controls {

// The classic shift state that mouse and key events carry. The values are the classic
// codes, so a handler that compares with a number still reads right: Shift+Ctrl is 3.
enum class ShiftKey { Shift = 1, Ctrl = 2, Alt = 4 };
Q_DECLARE_FLAGS(ShiftState, ShiftKey)
Q_DECLARE_OPERATORS_FOR_FLAGS(ShiftState)

inline ShiftState classicShiftState(Qt::KeyboardModifiers modifiers) {
    ShiftState state;
    state.setFlag(ShiftKey::Shift, modifiers.testFlag(Qt::ShiftModifier));
    state.setFlag(ShiftKey::Ctrl, modifiers.testFlag(Qt::ControlModifier));
    state.setFlag(ShiftKey::Alt, modifiers.testFlag(Qt::AltModifier));
    return state;
}

} // namespace controls
