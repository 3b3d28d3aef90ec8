#include "picture/picture_loader.h"

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

[[noreturn]] void refuse(const QString& path, const QString& why) {
    throw PictureError(PictureError::Kind::NotLoadable, path + QStringLiteral(": ") + why);
}

// Our own look at the first bytes, so that no other reader Qt happens to have (PNG, ICO,
// TGA, ...) gets a say, and so that a file's name never decides.
QByteArray formatByContent(const QByteArray& head) {
    if (head.startsWith("BM"))
        return "bmp";
    if (head.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    return {};
}

// A picture file opened for decoding after the checks every load makes.
class CheckedReader {
public:
    explicit CheckedReader(const QString& path) : path_(path), file_(path) {
        // Qt refuses anything above 128 MB decoded; ours is the pixel limit checked below.
        // Set once: readers work on several threads at a time.
        static const bool limitSet = [] {
            QImageReader::setAllocationLimit(int(maxPicturePixels * 4 / (1024 * 1024)));
            return true;
        }();
        Q_UNUSED(limitSet);

        // Opening a FIFO or a device would wait for a writer that never comes and freeze the
        // window (Add all tries every file of a folder): plain files only.
        const QFileInfo info(path);
        if (info.exists() && !info.isFile())
            refuse(path, QStringLiteral("not a plain file"));
        if (!file_.open(QIODevice::ReadOnly))
            refuse(path, file_.errorString());
        format_ = formatByContent(file_.peek(6));
        if (format_.isEmpty())
            refuse(path, QStringLiteral("not a BMP, JPEG or GIF picture"));

        reader_.setDevice(&file_);
        reader_.setFormat(format_);
        reader_.setDecideFormatFromContent(false);
        reader_.setAutoTransform(true);
        const QSize size = reader_.size();
        if (size.isValid() && qint64(size.width()) * size.height() > maxPicturePixels)
            refuse(path, QStringLiteral("%1 x %2 pixels is more than this program decodes")
                             .arg(size.width())
                             .arg(size.height()));
    }

    const QByteArray& format() const { return format_; }

    // The whole file, when it is a JPEG that libjpeg-turbo may decode here rather than Qt:
    // not turned by its orientation tag, and of a sensible size to hold in memory.
    std::optional<QByteArray> plainJpeg() {
        constexpr qint64 largestHeld = 64 * 1024 * 1024;
        if (format_ != "jpeg" || reader_.transformation() != QImageIOHandler::TransformationNone ||
            file_.size() > largestHeld || !file_.seek(0))
            return std::nullopt;
        QByteArray whole = file_.readAll();
        if (file_.error() != QFileDevice::NoError)
            return std::nullopt;
        return whole;
    }
    QImageReader& reader() { return reader_; }

    QImage read() {
        QImage image;
        if (!reader_.read(&image))
            refuse(path_, reader_.errorString());
        return image;
    }

private:
    QString path_;
    QFile file_;
    QByteArray format_;
    QImageReader reader_;
};

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

QSize LoadedPictureSize(const QString& path) {
    CheckedReader checked(path);
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
