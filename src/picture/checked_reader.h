#pragma once

#include "picture/picture_loader.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <optional>

namespace picture {

// A picture file opened for decoding after the checks every load makes: a plain file, one of
// the readable formats by content, not larger than maxPicturePixels by its header. Throws
// PictureError (NotLoadable) naming the file when any check fails.
class CheckedReader {
public:
    explicit CheckedReader(const QString& path, Readable readable = Readable::Classic);

    // Qt's name of the format: "bmp", "jpeg", "gif", "png", "webp" or "tiff".
    const QByteArray& format() const { return format_; }
    // The whole file, when it is a JPEG that libjpeg-turbo may decode here rather than Qt:
    // not turned by its orientation tag (unless `turnedToo`), and of a sensible size to hold.
    std::optional<QByteArray> plainJpeg(bool turnedToo = false);
    QImageReader& reader() { return reader_; }
    // The picture, or PictureError (NotLoadable) with the reader's reason.
    QImage read();

private:
    QString path_;
    QFile file_;
    QByteArray format_;
    QImageReader reader_;
};

[[noreturn]] void refuseToLoad(const QString& path, const QString& why);

} // namespace picture
