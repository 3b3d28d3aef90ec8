#include "picture/bitmap_saver.h"

#include "picture/bitmap_headers.h"
#include "picture/file_io.h"
#include "picture/picture_error.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>

namespace picture {

namespace {

[[noreturn]] void fail(const QString& path, const QString& why) {
    throw PictureError(PictureError::Kind::WriteFailed, path + QStringLiteral(": ") + why);
}

} // namespace

void SavePicture(const QImage& image, const QString& path) {
    if (image.isNull())
        fail(path, QStringLiteral("there is no picture to save"));
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    if (bgr.isNull())
        fail(path, QStringLiteral("not enough memory to convert the picture"));

    const auto width = std::size_t(bgr.width());
    const auto height = std::size_t(bgr.height());
    const std::size_t rowBytes = width * 3;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t(3);
    const std::size_t headers = bitmapFileHeaderSize + bitmapInfoHeaderSize;
    const std::size_t imageSize = stride * height;
    // The loader's pixel limit keeps every picture it gives far below this.
    if (headers + imageSize > std::size_t(INT32_MAX))
        fail(path, QStringLiteral("the picture is too large for a Bitmap file"));

    // Built whole in memory and written with one call: rows bottom-up, padded with zeros to
    // four bytes as the format wants.
    const std::size_t total = headers + imageSize;
    auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(total);
    encodeFileHeader({bitmapSignature, std::int32_t(total), 0, 0, std::int32_t(headers)},
                     buffer.get());
    BitmapInfoHeader info;
    info.biSize = bitmapInfoHeaderSize;
    info.biWidth = std::int32_t(width);
    info.biHeight = std::int32_t(height);
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = std::int32_t(imageSize);
    // Qt keeps the resolution in dots per metre already.
    info.biXPelsPerMeter = std::max(0, bgr.dotsPerMeterX());
    info.biYPelsPerMeter = std::max(0, bgr.dotsPerMeterY());
    encodeInfoHeader(info, buffer.get() + bitmapFileHeaderSize);
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = buffer.get() + headers + (height - 1 - y) * stride;
        std::memcpy(row, bgr.constScanLine(int(y)), rowBytes);
        std::memset(row + rowBytes, 0, stride - rowBytes);
    }

    FileDescriptor fd(::open(QFile::encodeName(path).constData(),
                             O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        fail(path, systemErrorText(errno));
    writeAt(fd.get(), buffer.get(), total, 0, path);
    if (!fd.close())
        fail(path, systemErrorText(errno));
}

} // namespace picture
