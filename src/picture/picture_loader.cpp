#include "picture/picture_loader.h"

#include "picture/picture_error.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

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

} // namespace

namespace {

// Opens `path` the way LoadPicture reads it and refuses what it refuses from the header.
// `file` must outlive the reader.
void openReader(const QString& path, QFile& file, QImageReader& reader) {
    // Qt refuses anything above 128 MB decoded; ours is the pixel limit checked below.
    QImageReader::setAllocationLimit(int(maxPicturePixels * 4 / (1024 * 1024)));

    // Opening a FIFO or a device would wait for a writer that never comes and freeze the
    // window (Add all tries every file of a folder): plain files only.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        refuse(path, QStringLiteral("not a plain file"));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(path, file.errorString());
    const QByteArray format = formatByContent(file.peek(6));
    if (format.isEmpty())
        refuse(path, QStringLiteral("not a BMP, JPEG or GIF picture"));

    reader.setDevice(&file);
    reader.setFormat(format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > maxPicturePixels)
        refuse(path, QStringLiteral("%1 x %2 pixels is more than this program decodes")
                         .arg(size.width())
                         .arg(size.height()));
}

} // namespace

QImage LoadPicture(const QString& path) {
    QFile file;
    QImageReader reader;
    openReader(path, file, reader);
    QImage image;
    if (!reader.read(&image))
        refuse(path, reader.errorString());
    return image;
}

QSize LoadedPictureSize(const QString& path) {
    QFile file;
    QImageReader reader;
    openReader(path, file, reader);
    // A GIF's first frame may be placed inside a larger screen; only decoding says which
    // size the loader gives, so GIFs are decoded.
    QSize size = reader.format() == "gif" ? QSize() : reader.size();
    if (!size.isValid())
        return LoadPicture(path).size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return size;
}

} // namespace picture
