#include "mainwindow/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace artwork {

namespace {

// The classic 16-colour palette, so the small pictures stay true 16-colour bitmaps.
QList<QRgb> sixteenColours() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QImage toSixteenColours(const QImage& image, const QList<QRgb>& colours = sixteenColours()) {
    return image.convertToFormat(QImage::Format_Indexed8, colours,
                                 Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace

QImage programIconImage() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    // The reel: a grey disc with five dark holes round a hub.
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(QColor(192, 192, 192));
    p.drawEllipse(1, 1, 26, 26);
    p.setBrush(QColor(0, 0, 128));
    const QPoint holes[] = {{14, 5}, {22, 11}, {19, 20}, {9, 20}, {6, 11}};
    for (const QPoint& h : holes)
        p.drawEllipse(QRect(h.x() - 3, h.y() - 3, 6, 6));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QRect(12, 12, 4, 4));
    // Film running off the reel.
    p.setBrush(QColor(128, 0, 0));
    p.drawRect(18, 24, 13, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 0));
    for (int x = 20; x < 31; x += 4)
        p.drawRect(x, 26, 2, 3);
    p.end();

    // Keep the transparency as a mask over the 16-colour picture.
    QImage sixteen = toSixteenColours(image).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (qAlpha(image.pixel(x, y)) < 128)
                sixteen.setPixel(x, y, qRgba(0, 0, 0, 0));
    return sixteen;
}

QIcon programIcon() {
    return QIcon(QPixmap::fromImage(programIconImage()));
}

QImage filmStrip() {
    constexpr int width = 165;
    constexpr int height = 420;
    QImage image(width, height, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), QColor(28, 24, 22));

    // A faint sheen across the base so it reads as film, not a black box.
    QLinearGradient sheen(0, 0, width, 0);
    sheen.setColorAt(0, QColor(48, 40, 34));
    sheen.setColorAt(0.5, QColor(22, 20, 19));
    sheen.setColorAt(1, QColor(48, 40, 34));
    p.fillRect(image.rect(), sheen);

    // Sprocket holes down both edges.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 232, 222));
    for (int y = 4; y < height; y += 16) {
        p.drawRoundedRect(QRectF(5, y, 9, 8), 2, 2);
        p.drawRoundedRect(QRectF(width - 14, y, 9, 8), 2, 2);
    }

    // Three frame windows behind the thumbnails, slightly larger than them.
    p.setBrush(QColor(70, 64, 58));
    p.drawRoundedRect(QRectF(21, 44, 123, 91), 4, 4);
    p.drawRoundedRect(QRectF(17, 156, 131, 101), 4, 4);
    p.drawRoundedRect(QRectF(21, 276, 123, 91), 4, 4);
    return image;
}

QImage upArrow() {
    const QColor face = QPalette().color(QPalette::Button);
    QImage image(16, 15, QImage::Format_RGB32);
    image.fill(face);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    QPainterPath triangle;
    triangle.moveTo(8, 1);
    triangle.lineTo(14.5, 8);
    triangle.lineTo(1.5, 8);
    triangle.closeSubpath();
    p.drawPath(triangle);
    for (int x : {4, 7, 10})
        p.drawRect(x, 10, 2, 4);
    p.end();
    // Reduced to the classic sixteen the face would move to its nearest entry, often white,
    // and show as a square on the button: the face takes the light grey's place instead.
    QList<QRgb> colours = sixteenColours();
    colours[7] = face.rgb();
    return toSixteenColours(image, colours);
}

QImage downArrow() {
    return upArrow().mirrored(false, true);
}

} // namespace artwork
