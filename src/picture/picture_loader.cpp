#include "picture/picture_loader.h"

#include "picture/picture_error.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>

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
        QImageReader::setAllocationLimit(int(maxPicturePixels * 4 / (1024 * 1024)));

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

} // namespace

QImage LoadPicture(const QString& path) {
    return CheckedReader(path).read();
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
