#include "browse/preview_form.h"

#include "platform/qt/window_frame.h"

#include <QCloseEvent>
#include <QPainter>
#include <QScreen>

PreviewForm::PreviewForm(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("Preview Form"));
    setFocusPolicy(Qt::StrongFocus);
    // Sized again when the window manager tells the frame, which the first showing cannot know.
    new platform::FrameWatch(this, platform::FrameWatch::Calls::EveryChange,
                             [this] { applyOuterSize(); });
}

void PreviewForm::showPicture(const QString& caption, const QImage& picture) {
    setWindowTitle(caption);
    picture_ = picture;
    applyOuterSize();
    show();
    raise();
    activateWindow();
    update();
}

void PreviewForm::applyOuterSize() {
    // The 25 pixels are the whole allowance for title bar and borders. The window's own units
    // are the screen's pixels divided by the scale.
    const qreal ratio = devicePixelRatioF();
    QSize outer(qRound(picture_.width() / ratio), qRound((picture_.height() + 25) / ratio));
    if (const QScreen* s = screen())
        outer = outer.boundedTo(s->availableGeometry().size());
    const QMargins frame = platform::frameMargins(this);
    const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    resize((outer - frameSize).expandedTo(QSize(1, 1)));
}

bool PreviewForm::event(QEvent* event) {
    // Every key closes the window, the owner's shortcuts (F1 for Tips, Ctrl+X for Exit)
    // included: claimed here, they arrive as keys instead of running.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void PreviewForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(picture_.size()) / devicePixelRatioF()),
                      picture_);
}

void PreviewForm::keyPressEvent(QKeyEvent*) {
    close();
}

void PreviewForm::mousePressEvent(QMouseEvent*) {
    close();
}

void PreviewForm::closeEvent(QCloseEvent* event) {
    event->accept();
    // Once this window is gone: asked while it still shows, the window manager may give the
    // activation back to it, or to nothing, as it takes it away.
    if (QWidget* owner = parentWidget())
        QMetaObject::invokeMethod(
            owner, [owner] { owner->activateWindow(); }, Qt::QueuedConnection);
}
