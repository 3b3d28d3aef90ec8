#include "controls/image_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace controls {

ImageBox::ImageBox(Fit fit, Border border, QWidget* parent) : QFrame(parent), fit_(fit) {
    switch (border) {
    case Border::None:
        setFrameStyle(QFrame::NoFrame);
        break;
    case Border::Sunken3D:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    case Border::Flat:
        setFrameStyle(QFrame::Box | QFrame::Plain);
        break;
    }
    setLineWidth(1);
}

void ImageBox::setPicture(const QImage& picture) {
    setPicture(picture, picture.size());
}

void ImageBox::setPicture(const QImage& picture, QSize naturalSize) {
    picture_ = picture;
    if (fit_ == Fit::Natural && !picture_.isNull()) {
        const int frame = 2 * frameWidth();
        resize(naturalSize.width() + frame, naturalSize.height() + frame);
    }
    update();
}

void ImageBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (picture_.isNull())
        return;
    QPainter painter(this);
    const QRect inside = contentsRect();
    if (fit_ == Fit::Stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(inside, picture_);
    } else {
        painter.drawImage(inside.topLeft(), picture_);
    }
}

void ImageBox::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(classicMouseArgs(event));
}

void ImageBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}

} // namespace controls
