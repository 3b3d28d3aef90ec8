#pragma once

#include "bytes/le_bytes.h"

#include <cstddef>
#include <cstdint>

namespace picture {

// The two records at the start of a .bmp file, with the widths and signs the file gives
// them. How they sit in memory is ours; on disk they are little-endian and unpadded, and
// their sizes come from the functions that encode them.
struct BitmapFileHeader {
    std::int16_t bfType = 0;
    std::int32_t bfSize = 0;
    std::int16_t bfReserved1 = 0;
    std::int16_t bfReserved2 = 0;
    std::int32_t bfOffBits = 0;
};

struct BitmapInfoHeader {
    std::int32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::int16_t biPlanes = 0;
    std::int16_t biBitCount = 0;
    std::int32_t biCompression = 0;
    std::int32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::int32_t biClrUsed = 0;
    std::int32_t biClrImportant = 0;
};

constexpr void encode(bytes::LeWriter& w, const BitmapFileHeader& h) {
    w.i16(h.bfType);
    w.i32(h.bfSize);
    w.i16(h.bfReserved1);
    w.i16(h.bfReserved2);
    w.i32(h.bfOffBits);
}

constexpr void encode(bytes::LeWriter& w, const BitmapInfoHeader& h) {
    w.i32(h.biSize);
    w.i32(h.biWidth);
    w.i32(h.biHeight);
    w.i16(h.biPlanes);
    w.i16(h.biBitCount);
    w.i32(h.biCompression);
    w.i32(h.biSizeImage);
    w.i32(h.biXPelsPerMeter);
    w.i32(h.biYPelsPerMeter);
    w.i32(h.biClrUsed);
    w.i32(h.biClrImportant);
}

constexpr std::size_t bitmapFileHeaderSize = bytes::encodedSize<BitmapFileHeader>();
constexpr std::size_t bitmapInfoHeaderSize = bytes::encodedSize<BitmapInfoHeader>();
// The sizes every Bitmap reader expects, so that a field left out or of the wrong width
// stops the build.
static_assert(bitmapFileHeaderSize == 14 && bitmapInfoHeaderSize == 40);

// "BM" read as a little-endian 16-bit number.
constexpr std::int16_t bitmapSignature = 0x4D42;

// Each reads exactly the record's size on disk at `bytes`.
BitmapFileHeader decodeFileHeader(const std::uint8_t* bytes);
BitmapInfoHeader decodeInfoHeader(const std::uint8_t* bytes);

} // namespace picture
