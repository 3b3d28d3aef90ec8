#pragma once

#include "picture/bitmap_saver.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

namespace picture {

// libjpeg-turbo decoding a whole JPEG file held in memory straight into the rows the caller
// wants, with the very settings and library Qt's reader uses, so the pixels and the
// resolution come out as Qt's would. Only the usual colour JPEG (three components, YCbCr)
// is taken; anything else, and any file libjpeg reports an error in, gives nothing, and the
// caller asks Qt's reader, which then fails or succeeds in its own words. The orientation tag
// is not applied: the caller sends a turned picture to Qt's reader.

// As Qt gives it: Format_RGB32 with the JFIF resolution.
std::optional<QImage> DecodeJpegToImage(const QByteArray& file);
// Decoded at eighths/8 of its stored size (1, 2, 4 or 8), by libjpeg's own scaling: a
// fraction of the work of a whole decode. Format_RGB32; no resolution, no orientation.
std::optional<QImage> DecodeJpegScaled(const QByteArray& file, int eighths);
// As EncodeBitmap would give Qt's picture. Throws as EncodeBitmap does (memory), naming
// `path`.
std::optional<BitmapBytes> DecodeJpegToBitmap(const QByteArray& file, const QString& path);

// The memory libjpeg holds beside the decoded picture while decoding a JPEG of more than one
// scan (a progressive one): the whole picture's coefficients. 0 for a single-scan JPEG, and
// for a file whose header (found in `head`, the file's start) cannot be read.
std::int64_t MultiScanCoefficientBytes(const QByteArray& head);

} // namespace picture
