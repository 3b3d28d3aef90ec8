#include "platform/qt/window_frame.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {

// Asked of the window system itself: the widget's own idea of its frame is brought up to date
// only when the window moves, and a window that the manager frames where it stands does not.
QMargins frameMargins(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

FrameWatch::FrameWatch(QWidget* window, Calls calls, std::function<void()> changed)
    : QObject(window), window_(window), calls_(calls), changed_(std::move(changed)) {
    window->installEventFilter(this);
}

bool FrameWatch::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    QWindow* handle = window_->windowHandle();
    if (watched == window_ && type == QEvent::Show && handle)
        handle->installEventFilter(this); // the window exists from its first showing on
    // The frame comes before the window is first drawn, or with the move into it.
    const bool mayTellFrame =
        watched == handle ? type == QEvent::Expose
                          : type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize;
    if (!mayTellFrame || !window_->isVisible())
        return false;
    const QMargins frame = frameMargins(window_);
    if (frame == seen_)
        return false;
    seen_ = frame;
    if (calls_ == Calls::Once) {
        window_->removeEventFilter(this);
        if (handle)
            handle->removeEventFilter(this);
    }
    // After the event: the window being shown would put back a place given during its showing.
    QMetaObject::invokeMethod(this, changed_, Qt::QueuedConnection);
    return false;
}

QRect outerGeometry(const QWidget* window) {
    return window->geometry().marginsAdded(frameMargins(window));
}

void moveFrameTo(QWidget* window, QPoint topLeft) {
    const QMargins frame = frameMargins(window);
    const QPoint inside = topLeft + QPoint(frame.left(), frame.top());
    // A window's move() places its frame as far as the widget knows the frame, which may be
    // behind the window system: it is given the place the window must take under that frame.
    const QPoint knownFrame = window->geometry().topLeft() - window->pos();
    window->move(inside - knownFrame);
}

void centreFrameOn(QWidget* window, QPoint centre) {
    QRect outer = outerGeometry(window);
    outer.moveCenter(centre);
    moveFrameTo(window, outer.topLeft());
}

void keepFrameWithin(QWidget* window, const QRect& area) {
    QRect outer = outerGeometry(window);
    const QPoint was = outer.topLeft();
    // The top-left corner last, so that the title bar stays on the screen when nothing fits.
    if (outer.right() > area.right())
        outer.moveRight(area.right());
    if (outer.bottom() > area.bottom())
        outer.moveBottom(area.bottom());
    if (outer.left() < area.left())
        outer.moveLeft(area.left());
    if (outer.top() < area.top())
        outer.moveTop(area.top());
    if (outer.topLeft() != was)
        moveFrameTo(window, outer.topLeft());
}

void keepOnScreenOnceFramed(QWidget* dialog) {
    new FrameWatch(dialog, FrameWatch::Calls::Once, [dialog] {
        if (const QScreen* screen = dialog->screen())
            keepFrameWithin(dialog, screen->availableGeometry());
    });
}

} // namespace platform
