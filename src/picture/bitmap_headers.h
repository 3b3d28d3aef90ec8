#pragma once

#include <cstddef>
#include <cstdint>

namespace picture {

// The two records at the start of a .bmp file, with the widths and signs the file gives
// them. How they sit in memory is ours; on disk they are little-endian and unpadded.
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

constexpr std::size_t bitmapFileHeaderSize = 14;
constexpr std::size_t bitmapInfoHeaderSize = 40;
// "BM" read as a little-endian 16-bit number.
constexpr std::int16_t bitmapSignature = 0x4D42;

// Each reads or writes exactly the record's on-disk size at `bytes`.
BitmapFileHeader decodeFileHeader(const std::uint8_t* bytes);
BitmapInfoHeader decodeInfoHeader(const std::uint8_t* bytes);
void encodeFileHeader(const BitmapFileHeader& header, std::uint8_t* bytes);
void encodeInfoHeader(const BitmapInfoHeader& header, std::uint8_t* bytes);

} // namespace picture
