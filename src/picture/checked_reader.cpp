#include "picture/checked_reader.h"

#include "picture/picture_error.h"
#include "picture/picture_loader.h"

#include <QFileInfo>

namespace picture {

namespace {

// Our own look at the first bytes, so that no other reader Qt happens to have (ICO, TGA, ...)
// gets a say, and so that a file's name never decides.
QByteArray formatByContent(const QByteArray& head, Readable readable) {
    if (head.startsWith("BM"))
        return "bmp";
    if (head.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    if (readable == Readable::Classic)
        return {};
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        return "webp";
    if (head.startsWith(QByteArrayLiteral("II*\0")) || head.startsWith(QByteArrayLiteral("MM\0*")))
        return "tiff";
    return {};
}

} // namespace

void refuseToLoad(const QString& path, const QString& why) {
    throw PictureError(PictureError::Kind::NotLoadable, path + QStringLiteral(": ") + why);
}

CheckedReader::CheckedReader(const QString& path, Readable readable) : path_(path), file_(path) {
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
        refuseToLoad(path, QStringLiteral("not a plain file"));
    if (!file_.open(QIODevice::ReadOnly))
        refuseToLoad(path, file_.errorString());
    format_ = formatByContent(file_.peek(12), readable);
    if (format_.isEmpty())
        refuseToLoad(path, readable == Readable::Classic
                               ? QStringLiteral("not a BMP, JPEG or GIF picture")
                               : QStringLiteral("not a BMP, JPEG, GIF, PNG, WebP or TIFF picture"));

    reader_.setDevice(&file_);
    reader_.setFormat(format_);
    reader_.setDecideFormatFromContent(false);
    reader_.setAutoTransform(true);
    const QSize size = reader_.size();
    if (size.isValid() && qint64(size.width()) * size.height() > maxPicturePixels)
        refuseToLoad(path, QStringLiteral("%1 x %2 pixels is more than this program decodes")
                               .arg(size.width())
                               .arg(size.height()));
}

std::optional<QByteArray> CheckedReader::plainJpeg(bool turnedToo) {
    constexpr qint64 largestHeld = 64 * 1024 * 1024;
    if (format_ != "jpeg" ||
        (!turnedToo && reader_.transformation() != QImageIOHandler::TransformationNone) ||
        file_.size() > largestHeld || !file_.seek(0))
        return std::nullopt;
    QByteArray whole = file_.readAll();
    if (file_.error() != QFileDevice::NoError)
        return std::nullopt;
    return whole;
}

QImage CheckedReader::read() {
    QImage image;
    if (!reader_.read(&image))
        refuseToLoad(path_, reader_.errorString());
    return image;
}

} // namespace picture
