#include "picture/bitmap_saver.h"

#include "picture/bitmap_headers.h"
#include "picture/byte_buffer.h"
#include "picture/file_io.h"
#include "picture/picture_error.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace picture {

namespace {

[[noreturn]] void fail(const QString& path, const QString& why) {
    throw PictureError(PictureError::Kind::WriteFailed, path + QStringLiteral(": ") + why);
}

// One row of RGB32 pixels (bytes B, G, R, unused, on the little-endian machines we run on)
// to a Bitmap row of B, G, R. This is most of the saving's work, so it gets a vector path.
void packRowPlain(const std::uint8_t* from, std::uint8_t* to, std::size_t width) {
    for (std::size_t x = 0; x < width; ++x, from += 4, to += 3) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
    }
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("ssse3"))) void packRowSsse3(const std::uint8_t* from, std::uint8_t* to,
                                                   std::size_t width) {
    const __m128i drop = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    std::size_t x = 0;
    // Each store writes 16 bytes of which 12 count: stop while the 4 extra stay in the row.
    for (; x + 6 <= width; x += 4, from += 16, to += 12)
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(to),
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)), drop));
    packRowPlain(from, to, width - x);
}

void packRow(const std::uint8_t* from, std::uint8_t* to, std::size_t width) {
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3)
        packRowSsse3(from, to, width);
    else
        packRowPlain(from, to, width);
}
#else
void packRow(const std::uint8_t* from, std::uint8_t* to, std::size_t width) {
    packRowPlain(from, to, width);
}
#endif

// The file and info headers of a 24-bit Bitmap of these measures, at `at`.
void encodeHeaders(std::uint8_t* at, int width, int height, std::size_t stride, int dotsPerMeterX,
                   int dotsPerMeterY) {
    const std::size_t imageSize = stride * std::size_t(height);
    const std::size_t pixelsAt = bitmapFileHeaderSize + bitmapInfoHeaderSize;
    bytes::encodeAt(at, BitmapFileHeader{.bfType = bitmapSignature,
                                         .bfSize = std::int32_t(pixelsAt + imageSize),
                                         .bfOffBits = std::int32_t(pixelsAt)});
    BitmapInfoHeader info;
    info.biSize = bitmapInfoHeaderSize;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = std::int32_t(imageSize);
    info.biXPelsPerMeter = std::max(0, dotsPerMeterX);
    info.biYPelsPerMeter = std::max(0, dotsPerMeterY);
    bytes::encodeAt(at + bitmapFileHeaderSize, info);
}

} // namespace

BitmapCanvas::BitmapCanvas(int width, int height, int dotsPerMeterX, int dotsPerMeterY,
                           const QString& path)
    : height_(height) {
    const auto w = std::size_t(width);
    const auto h = std::size_t(height);
    const std::size_t rowBytes = w * 3;
    stride_ = (rowBytes + 3) & ~std::size_t(3);
    pixelsAt_ = bitmapFileHeaderSize + bitmapInfoHeaderSize;
    const std::size_t imageSize = stride_ * h;
    // The loader's pixel limit keeps every picture it gives far below this.
    if (pixelsAt_ + imageSize > std::size_t(INT32_MAX))
        fail(path, QStringLiteral("the picture is too large for a Bitmap file"));

    // Built whole in memory and written with one call: rows bottom-up, padded with zeros to
    // four bytes as the format wants.
    const std::size_t total = pixelsAt_ + imageSize;
    bytes_ = {allocateBytes(total, PictureError::Kind::WriteFailed, path), total};
    std::uint8_t* at = bytes_.data.get();
    encodeHeaders(at, width, height, stride_, dotsPerMeterX, dotsPerMeterY);
    if (stride_ != rowBytes)
        for (std::size_t y = 0; y < h; ++y)
            std::memset(at + pixelsAt_ + y * stride_ + rowBytes, 0, stride_ - rowBytes);
}

namespace {

bool thirtyTwoBits(const QImage& image) {
    // Alpha is dropped: Qt's own conversion of ARGB32 to RGB32 only sets it opaque.
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
}

BitmapCanvas canvasFor(const QImage& image, const QString& path) {
    // Qt keeps the resolution in dots per metre already.
    return BitmapCanvas(image.width(), image.height(), image.dotsPerMeterX(), image.dotsPerMeterY(),
                        path);
}

// Pictures in other formats go through Qt's conversion a band of rows at a time.
BitmapBytes encodeByBands(const QImage& image, const QString& path) {
    BitmapCanvas canvas = canvasFor(image, path);
    constexpr int bandRows = 64;
    for (int top = 0; top < image.height(); top += bandRows) {
        const int rows = std::min(bandRows, image.height() - top);
        const QImage band =
            image.copy(0, top, image.width(), rows).convertToFormat(QImage::Format_RGB32);
        if (band.isNull())
            fail(path, QStringLiteral("not enough memory to convert the picture"));
        for (int y = 0; y < rows; ++y)
            packRow(band.constScanLine(y), canvas.row(top + y), std::size_t(image.width()));
    }
    return canvas.take();
}

// The Bitmap written over the picture's own pixels: rows packed to three bytes where they
// stand, turned bottom-up, and moved up past the headers. Each packed row lands at or
// before the bytes it came from, so no pixel is overwritten before it is read.
BitmapBytes encodeInPlace(QImage&& image, const QString& path) {
    const auto width = std::size_t(image.width());
    const auto height = std::size_t(image.height());
    const std::size_t stride = (width * 3 + 3) & ~std::size_t(3);
    const std::size_t pixelsAt = bitmapFileHeaderSize + bitmapInfoHeaderSize;
    const std::size_t total = pixelsAt + stride * height;
    std::uint8_t* const at = image.bits();
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = at + y * stride;
        packRow(at + y * std::size_t(image.bytesPerLine()), row, width);
        std::memset(row + width * 3, 0, stride - width * 3);
    }
    const ByteBuffer spare = allocateBytes(stride, PictureError::Kind::WriteFailed, path);
    for (std::size_t y = 0; y < height / 2; ++y) {
        std::uint8_t* const top = at + y * stride;
        std::uint8_t* const bottom = at + (height - 1 - y) * stride;
        std::memcpy(spare.get(), top, stride);
        std::memcpy(top, bottom, stride);
        std::memcpy(bottom, spare.get(), stride);
    }
    std::memmove(at + pixelsAt, at, stride * height);
    encodeHeaders(at, image.width(), image.height(), stride, image.dotsPerMeterX(),
                  image.dotsPerMeterY());
    auto owner = std::make_shared<const QImage>(std::move(image));
    return {ByteBuffer(at, ByteRelease{std::move(owner)}), total};
}

} // namespace

BitmapBytes EncodeBitmap(const QImage& image, const QString& path) {
    if (image.isNull())
        fail(path, QStringLiteral("there is no picture to save"));
    if (!thirtyTwoBits(image))
        return encodeByBands(image, path);
    BitmapCanvas canvas = canvasFor(image, path);
    for (int y = 0; y < image.height(); ++y)
        packRow(image.constScanLine(y), canvas.row(y), std::size_t(image.width()));
    return canvas.take();
}

BitmapBytes EncodeBitmap(QImage&& image, const QString& path) {
    // Below this the copy costs less than the turning and moving the in-place way needs.
    constexpr qsizetype inPlaceFrom = 32 * 1024 * 1024;
    const std::int64_t bitmapSize = bitmapFileHeaderSize + bitmapInfoHeaderSize +
                                    (std::int64_t(image.width()) * 3 + 3) / 4 * 4 * image.height();
    if (image.isNull() || !thirtyTwoBits(image) || !image.isDetached() ||
        image.sizeInBytes() < inPlaceFrom || bitmapSize > image.sizeInBytes() ||
        bitmapSize > INT32_MAX)
        return EncodeBitmap(std::as_const(image), path);
    return encodeInPlace(std::move(image), path);
}

void SavePicture(const QImage& image, const QString& path) {
    WriteBitmap(EncodeBitmap(image, path), path);
}

void WriteBitmap(const BitmapBytes& bitmap, const QString& path) {
    const std::size_t total = bitmap.size;
    // Written over in place and cut to length afterwards: truncating first would hand the
    // file's pages back to the system only to ask for them again a moment later.
    FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        fail(path, systemErrorText(errno));
    writeAt(fd.get(), bitmap.data.get(), total, 0, path);
    if (::ftruncate(fd.get(), off_t(total)) != 0 || !fd.close())
        fail(path, systemErrorText(errno));
}

} // namespace picture
