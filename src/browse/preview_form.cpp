#include "browse/preview_form.h"

#include <QCloseEvent>
#include <QPainter>
#include <QScreen>

PreviewForm::PreviewForm(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("Preview Form"));
    setFocusPolicy(Qt::StrongFocus);
}

void PreviewForm::showPicture(const QString& caption, const QImage& picture) {
    setWindowTitle(caption);
    picture_ = picture;
    applyOuterSize();
    show();
    // The frame is known only once the window system has decorated the window.
    applyOuterSize();
    raise();
    activateWindow();
    update();
}

void PreviewForm::applyOuterSize() {
    // The 25 pixels are the whole allowance for title bar and borders.
    QSize outer(picture_.width(), picture_.height() + 25);
    if (const QScreen* s = screen())
        outer = outer.boundedTo(s->availableGeometry().size());
    const QSize frame = frameGeometry().size() - geometry().size();
    resize((outer - frame).expandedTo(QSize(1, 1)));
}

void PreviewForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
}

void PreviewForm::keyPressEvent(QKeyEvent*) {
    close();
}

void PreviewForm::mousePressEvent(QMouseEvent*) {
    close();
}

void PreviewForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (QWidget* owner = parentWidget())
        owner->activateWindow();
}
