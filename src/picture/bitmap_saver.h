#pragma once

#include "picture/byte_buffer.h"

#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace picture {

// The platform's picture saving: writes `image` as an uncompressed bottom-up 24-bit Bitmap
// (40-byte info header, no colour table), replacing any file at `path`. Every picture comes
// out as 24 bits whatever it was decoded as, so the same input always gives the same
// width, height and bit count, and pictures of one size always match. Alpha is dropped.
// Throws PictureError (WriteFailed) for a null image, a picture too large for a Bitmap file
// or for the memory at hand, and a file that cannot be written.
void SavePicture(const QImage& image, const QString& path);

// The whole Bitmap file SavePicture writes, built in memory. Throws PictureError
// (WriteFailed, naming `path`) when it cannot be built.
struct BitmapBytes {
    ByteBuffer data;
    std::size_t size = 0;
};
BitmapBytes EncodeBitmap(const QImage& image, const QString& path);
// The same, made in the picture's own memory where it can be: a large 32-bit picture that
// nothing else shares becomes the Bitmap in place, so converting it never holds two copies.
// Other pictures take their own size and the Bitmap's, and no full-size step between.
BitmapBytes EncodeBitmap(QImage&& image, const QString& path);
// The writing half of SavePicture: puts `bitmap` at `path`, throwing as SavePicture does.
void WriteBitmap(const BitmapBytes& bitmap, const QString& path);

// A Bitmap file as SavePicture lays it out, headers written and each row's padding zeroed,
// whose pixel rows a decoder fills in place. Throws as EncodeBitmap does.
class BitmapCanvas {
public:
    BitmapCanvas(int width, int height, int dotsPerMeterX, int dotsPerMeterY, const QString& path);
    // Row y counted from the top of the picture, as decoders give them: width * 3 bytes of
    // blue, green, red.
    std::uint8_t* row(int y) {
        return bytes_.data.get() + pixelsAt_ + std::size_t(height_ - 1 - y) * stride_;
    }
    // Bytes from one row to the next, padding included.
    std::size_t stride() const { return stride_; }
    BitmapBytes take() { return std::move(bytes_); }

private:
    BitmapBytes bytes_;
    std::size_t pixelsAt_;
    std::size_t stride_;
    int height_;
};

} // namespace picture
