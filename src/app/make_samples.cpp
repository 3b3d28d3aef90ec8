// Paints a dozen small pictures that together make a short animation (a ball rolling
// across a sunset), saved alternately as BMP and JPEG, so that a new user has something
// to turn into a video at once.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>

namespace {

constexpr int frameCount = 12;
constexpr int width = 160;
constexpr int height = 120;

QImage paintFrame(int i) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(40, 60, 140));
    sky.setColorAt(1, QColor(250, 170, 90));
    p.fillRect(image.rect(), sky);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 120));
    p.drawEllipse(QPointF(120, 70 + i * 2), 18, 18); // the sun sets as the clip runs

    p.setBrush(QColor(40, 110, 50));
    p.drawRect(0, 90, width, height - 90);

    const double t = double(i) / (frameCount - 1);
    const double x = 16 + t * (width - 32);
    const double bounce = std::abs(qSin(t * M_PI * 3)) * 40;
    QRadialGradient ball(QPointF(x - 4, 78 - bounce), 14);
    ball.setColorAt(0, QColor(255, 255, 255));
    ball.setColorAt(1, QColor(200, 30, 40));
    p.setBrush(ball);
    p.drawEllipse(QPointF(x, 82 - bounce), 10, 10);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (int i = 0; i < frameCount; ++i) {
        const bool bmp = i % 2 == 0;
        const QString name = QStringLiteral("%1/reel%2.%3")
                                 .arg(folder)
                                 .arg(i + 1, 2, 10, QLatin1Char('0'))
                                 .arg(bmp ? QStringLiteral("bmp") : QStringLiteral("jpg"));
        if (!paintFrame(i).save(name, bmp ? "BMP" : "JPEG", 95)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
