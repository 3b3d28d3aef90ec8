#include "picture/fitted_picture.h"

#include "picture/checked_reader.h"
#include "picture/jpeg_decoder.h"
#include "picture/picture_error.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

extern "C" {
#include <libswscale/swscale.h>
}

namespace picture {

namespace {

QSize turned(QSize stored, QImageIOHandler::Transformations t) {
    return t & QImageIOHandler::TransformationRotate90 ? stored.transposed() : stored;
}

// As Qt's reader turns a picture by its tag: mirrored or flipped first, then a quarter turn
// clockwise.
QImage upright(QImage image, QImageIOHandler::Transformations t) {
    const bool mirror = t & QImageIOHandler::TransformationMirror;
    const bool flip = t & QImageIOHandler::TransformationFlip;
    if (mirror || flip)
        image = image.mirrored(mirror, flip);
    if (t & QImageIOHandler::TransformationRotate90)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

// The smallest of libjpeg's quick scales (in eighths) that leaves at most a tenth of the size
// `needed` to the final scaling. A 24-megapixel photograph fitted to 1080p then decodes at a
// quarter and is scaled up by 8%: a fifth less work than at half its size, and no loss the
// eye can find after a fourfold reduction in the DCT.
int eighthsCovering(QSize stored, QSize needed) {
    for (int eighths : {1, 2, 4})
        if (stored.width() * eighths * 10 >= needed.width() * 8 * 9 &&
            stored.height() * eighths * 10 >= needed.height() * 8 * 9)
            return eighths;
    return 8;
}

// The picture as 32-bit pixels with no transparency left: see-through parts take `background`.
QImage opaque(QImage image, const QColor& background) {
    if (!image.hasAlphaChannel())
        return image.format() == QImage::Format_RGB32 ? image
                                                      : image.convertToFormat(QImage::Format_RGB32);
    QImage over(image.size(), QImage::Format_RGB32);
    if (over.isNull())
        return over;
    over.fill(background);
    QPainter painter(&over);
    painter.drawImage(0, 0, image);
    return over;
}

// The picture decoded upright, perhaps reduced: at least as large, in the picture's own
// coordinates, as the part of it the frame shows needs. A JPEG libjpeg gives up on goes to
// Qt's reader afresh, as the whole file has been read past its header by then.
QImage decodeFor(const QString& path, const FrameFit& fit) {
    CheckedReader checked(path, Readable::WithPhotoFormats);
    QImageReader& reader = checked.reader();
    const QSize stored = reader.size();
    if (stored.isValid()) {
        if (std::optional<QByteArray> jpeg = checked.plainJpeg(true)) {
            const QImageIOHandler::Transformations t = reader.transformation();
            const Placement place = placementOf(turned(stored, t), fit);
            const QSize scaledShown(
                int(std::int64_t(stored.width()) * place.target.width() / place.source.width()),
                int(std::int64_t(stored.height()) * place.target.height() / place.source.height()));
            const QSize needed = turned(scaledShown, t);
            if (auto decoded = DecodeJpegScaled(*jpeg, eighthsCovering(stored, needed)))
                return upright(std::move(*decoded), t);
            return CheckedReader(path, Readable::WithPhotoFormats).read();
        }
    }
    return checked.read();
}

// Keeps one scaler per thread, made again only when the sizes change.
struct Scaler {
    SwsContext* context = nullptr;
    ~Scaler() { sws_freeContext(context); }
    SwsContext* forSizes(QSize from, QSize to) {
        context = sws_getCachedContext(context, from.width(), from.height(), AV_PIX_FMT_BGR0,
                                       to.width(), to.height(), AV_PIX_FMT_BGR24,
                                       SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
        return context;
    }
};

void fillRow(std::uint8_t* row, int pixels, const QColor& colour) {
    const std::uint8_t bgr[3] = {std::uint8_t(colour.blue()), std::uint8_t(colour.green()),
                                 std::uint8_t(colour.red())};
    for (int x = 0; x < pixels; ++x)
        std::memcpy(row + x * 3, bgr, 3);
}

} // namespace

QSize UprightPictureSize(const QString& path) {
    return LoadedPictureSize(path, Readable::WithPhotoFormats);
}

BitmapBytes LoadFittedBitmap(const QString& path, const FrameFit& fit) {
    QImage picture = opaque(decodeFor(path, fit), fit.background);
    if (picture.isNull())
        throw PictureError(PictureError::Kind::ReadFailed,
                           path + QStringLiteral(": not enough memory to fit the picture"));

    const Placement place = placementOf(picture.size(), fit);
    BitmapCanvas canvas(fit.frame.width(), fit.frame.height(), picture.dotsPerMeterX(),
                        picture.dotsPerMeterY(), path);
    if (place.target.size() != fit.frame)
        for (int y = 0; y < fit.frame.height(); ++y)
            fillRow(canvas.row(y), fit.frame.width(), fit.background);

    thread_local Scaler scaler;
    SwsContext* context = scaler.forSizes(place.source.size(), place.target.size());
    if (context == nullptr)
        throw PictureError(PictureError::Kind::ReadFailed,
                           path + QStringLiteral(": the picture cannot be scaled to the frame"));
    const std::uint8_t* from[4] = {picture.constScanLine(place.source.top()) +
                                       std::size_t(place.source.left()) * 4,
                                   nullptr, nullptr, nullptr};
    const int fromStride[4] = {int(picture.bytesPerLine()), 0, 0, 0};
    // The Bitmap's rows run bottom-up: written from the frame's top row with a step backwards.
    std::uint8_t* to[4] = {canvas.row(place.target.top()) + std::size_t(place.target.left()) * 3,
                           nullptr, nullptr, nullptr};
    const int toStride[4] = {-int(canvas.stride()), 0, 0, 0};
    sws_scale(context, from, fromStride, 0, place.source.height(), to, toStride);
    return canvas.take();
}

} // namespace picture
