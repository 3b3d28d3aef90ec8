#include "auxwindows/about_artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace about_artwork {

namespace {

// Reel spokes: five holes round the hub, as on the program's icon.
void drawReelHoles(QPainter& p, QPointF centre, qreal distance, qreal radius) {
    for (int i = 0; i < 5; ++i) {
        QTransform turn;
        turn.rotate(i * 72.0 - 90.0);
        p.drawEllipse(centre + turn.map(QPointF(distance, 0)), radius, radius);
    }
}

} // namespace

QImage background() {
    constexpr int width = 458;
    constexpr int height = 288;
    QImage image(width, height, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient ground(0, 0, 0, height);
    ground.setColorAt(0, QColor(252, 249, 240));
    ground.setColorAt(1, QColor(228, 220, 202));
    p.fillRect(image.rect(), ground);

    // A faint reel at the right, mostly behind the buttons' column; the text stays on
    // plain ground.
    const QPointF hub(392, 92);
    p.setPen(QPen(QColor(0, 0, 128, 26), 3));
    p.setBrush(QColor(0, 0, 128, 12));
    p.drawEllipse(hub, 78, 78);
    p.setBrush(QColor(252, 249, 240, 150));
    drawReelHoles(p, hub, 44, 18);
    p.drawEllipse(hub, 9, 9);

    // A strip of film along the top edge, dark with light sprocket holes, like the filmstrip
    // of the main window.
    QLinearGradient sheen(0, 0, width, 0);
    sheen.setColorAt(0, QColor(48, 40, 34));
    sheen.setColorAt(0.5, QColor(22, 20, 19));
    sheen.setColorAt(1, QColor(48, 40, 34));
    p.setPen(Qt::NoPen);
    p.fillRect(QRect(0, 0, width, 11), sheen);
    p.setBrush(QColor(236, 232, 222));
    for (int x = 4; x < width; x += 16)
        p.drawRoundedRect(QRectF(x, 2.5, 8, 6), 1.5, 1.5);
    return image;
}

QImage emblem() {
    // Painted without smoothing in the classic colours, so it stays a 16-colour picture.
    const QColor black(0, 0, 0), navy(0, 0, 128), maroon(128, 0, 0), silver(192, 192, 192),
        yellow(255, 255, 0), aqua(0, 255, 255), white(255, 255, 255);
    QImage image(40, 34, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);

    // The film leaving the reel: a maroon strip with two frames and yellow sprocket holes.
    p.setPen(black);
    p.setBrush(maroon);
    p.drawRect(14, 20, 25, 13);
    p.setPen(Qt::NoPen);
    p.setBrush(aqua);
    p.drawRect(22, 23, 7, 7);
    p.drawRect(31, 23, 7, 7);
    p.setBrush(yellow);
    for (int x = 22; x < 39; x += 4) {
        p.drawRect(x, 21, 2, 1);
        p.drawRect(x, 31, 2, 1);
    }

    // The reel over it.
    p.setPen(black);
    p.setBrush(silver);
    p.drawEllipse(0, 0, 28, 28);
    p.setBrush(navy);
    drawReelHoles(p, QPointF(14, 14), 8, 3);
    p.setBrush(white);
    p.drawEllipse(QRect(12, 12, 4, 4));
    return image;
}

} // namespace about_artwork
