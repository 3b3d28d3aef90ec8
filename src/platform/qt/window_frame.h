#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>

class QWidget;

namespace platform {

// A window's frame (title bar and borders) is the window manager's, and it tells the frame's
// size only some time after the window is shown: a window sized or placed by its outer size
// before then is off by the frame. A FrameWatch calls `changed` when the frame turns out other
// than it was, once or every time, so that the window can size or place itself again.
class FrameWatch : public QObject {
public:
    enum class Calls { Once, EveryChange };
    FrameWatch(QWidget* window, Calls calls, std::function<void()> changed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    Calls calls_;
    std::function<void()> changed_;
    QMargins seen_; // none until the window manager tells one
};

// The window's frame as the window system tells it now; none before it does.
QMargins frameMargins(const QWidget* window);

// The window with its frame, as the window system tells the frame now.
QRect outerGeometry(const QWidget* window);

// Moves `window` so that its frame's top-left corner lies on `topLeft`.
void moveFrameTo(QWidget* window, QPoint topLeft);
// Moves `window` so that the centre of its frame lies on `centre`.
void centreFrameOn(QWidget* window, QPoint centre);
// Moves `window` as little as takes to bring it with its frame into `area`.
void keepFrameWithin(QWidget* window, const QRect& area);
// Moves a dialog into its screen's available area once its frame is known: Qt keeps a dialog
// it places over its owner on the screen by the dialog's inside only, so a title bar can end
// up above the screen's top.
void keepOnScreenOnceFramed(QWidget* dialog);

} // namespace platform
