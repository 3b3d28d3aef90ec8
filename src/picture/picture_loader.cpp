#include "picture/picture_loader.h"

#include "picture/checked_reader.h"
#include "picture/jpeg_decoder.h"
#include "picture/picture_error.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <optional>

namespace picture {

namespace {

// The picture decoded by `direct` when that can take it, else by Qt's reader and `fromQt`.
// A JPEG libjpeg finds fault with goes to Qt's reader afresh, which gives its own verdict.
// The reader is gone before `fromQt` runs: a GIF reader keeps the picture it gave, and
// `fromQt` may reuse the picture's memory only while nothing else holds it.
template <typename Direct, typename FromQt>
auto loadThrough(const QString& path, Direct direct, FromQt fromQt) {
    QImage image;
    {
        CheckedReader checked(path);
        const std::optional<QByteArray> jpeg = checked.plainJpeg();
        if (jpeg) {
            if (auto decoded = direct(*jpeg))
                return std::move(*decoded);
        } else {
            image = checked.read();
        }
    }
    if (image.isNull())
        image = CheckedReader(path).read();
    return fromQt(std::move(image));
}
} // namespace

QImage LoadPicture(const QString& path) {
    return loadThrough(path, DecodeJpegToImage, [](QImage&& image) { return std::move(image); });
}

BitmapBytes LoadPictureAsBitmap(const QString& path) {
    return loadThrough(
        path, [&](const QByteArray& jpeg) { return DecodeJpegToBitmap(jpeg, path); },
        [&](QImage&& image) { return EncodeBitmap(std::move(image), path); });
}

ReducedPicture LoadReducedPicture(const QString& path, QSize atLeast) {
    CheckedReader checked(path);
    QImageReader& reader = checked.reader();
    // The size as stored; the orientation tag turns it afterwards.
    const QSize stored = reader.size();
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize bound = turned ? atLeast.transposed() : atLeast;
    if (checked.format() != "jpeg" || !stored.isValid() || stored.width() <= bound.width() ||
        stored.height() <= bound.height()) {
        QImage whole = checked.read();
        const QSize natural = whole.size();
        return {std::move(whole), natural};
    }
    const double factor =
        std::max(double(bound.width()) / stored.width(), double(bound.height()) / stored.height());
    reader.setScaledSize(
        QSize(int(std::ceil(stored.width() * factor)), int(std::ceil(stored.height() * factor))));
    return {checked.read(), turned ? stored.transposed() : stored};
}

QSize LoadedPictureSize(const QString& path, Readable readable) {
    CheckedReader checked(path, readable);
    QImageReader& reader = checked.reader();
    // A GIF's first frame may be placed inside a larger screen; only decoding says which
    // size the loader gives, so GIFs are decoded.
    QSize size = checked.format() == "gif" ? QSize() : reader.size();
    if (!size.isValid())
        return checked.read().size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return size;
}

} // namespace picture
