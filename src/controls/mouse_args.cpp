#include "controls/mouse_args.h"

#include <QMouseEvent>

namespace controls {

MouseArgs classicMouseArgs(const QMouseEvent* event) {
    MouseArgs args;
    const Qt::MouseButtons held = event->buttons() | event->button();
    if (held & Qt::LeftButton)
        args.Button |= LeftButton;
    if (held & Qt::RightButton)
        args.Button |= RightButton;
    if (held & Qt::MiddleButton)
        args.Button |= MiddleButton;
    args.Shift = classicShiftState(event->modifiers());
    args.X = float(event->position().x());
    args.Y = float(event->position().y());
    return args;
}

} // namespace controls
