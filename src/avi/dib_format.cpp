#include "avi/dib_format.h"

#include "bytes/le_bytes.h"
#include "picture/bitmap_headers.h"

namespace avi {

namespace {

// Larger than any picture the program can load, small enough that no size overflows.
constexpr std::int64_t maxSide = 1 << 15;

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::size_t maskBytes = 3 * 4;    // red, green and blue masks after the header
constexpr std::size_t colourEntryBytes = 4; // RGBQUAD

Status badFormat(std::string why) {
    return failure(Fault::BadFormat, "the picture format: " + std::move(why));
}

} // namespace

Result<DibFormat> readDibFormat(const void* info, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(info);
    if (p == nullptr || size < picture::bitmapInfoHeaderSize)
        return badFormat("shorter than a BITMAPINFOHEADER");
    const picture::BitmapInfoHeader h = picture::decodeInfoHeader(p);
    const auto headerSize = std::uint32_t(h.biSize);
    if (headerSize < picture::bitmapInfoHeaderSize || headerSize > size)
        return badFormat("biSize " + std::to_string(headerSize) + " does not fit the block");
    DibFormat f;
    f.width = h.biWidth;
    f.height = h.biHeight;
    f.bitCount = std::uint16_t(h.biBitCount);
    f.compression = std::uint32_t(h.biCompression);
    const auto used = std::uint32_t(h.biClrUsed);
    if (h.biPlanes != 1)
        return badFormat("biPlanes is not 1");
    if (f.width <= 0 || f.width > maxSide || f.height == 0 || f.height < -maxSide ||
        f.height > maxSide)
        return badFormat(std::to_string(f.width) + " × " + std::to_string(f.height) +
                         " pixels: a side is 0 or over " + std::to_string(maxSide) + " pixels");
    switch (f.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return badFormat(std::to_string(f.bitCount) + " bits per pixel");
    }
    f.stride = std::uint32_t((std::int64_t(f.width) * f.bitCount + 31) / 32 * 4);
    // A frame is one chunk, and chunks stay below 2 GiB.
    const std::uint64_t image = std::uint64_t(f.stride) * std::uint64_t(f.rows());
    if (image >= 0x7FFFFFFFu)
        return badFormat("a frame of " + std::to_string(image) +
                         " bytes, more than one chunk (2 GiB) holds");
    f.imageSize = std::uint32_t(image);

    if (f.compression == BI_BITFIELDS) {
        if (f.bitCount != 16 && f.bitCount != 32)
            return badFormat("colour masks on a " + std::to_string(f.bitCount) + "-bit picture");
        // The masks follow a 40-byte header; larger headers carry them inside.
        if (size < picture::bitmapInfoHeaderSize + maskBytes)
            return badFormat("the colour masks are missing");
        bytes::LeReader masks(p + picture::bitmapInfoHeaderSize);
        const std::uint32_t r = masks.u32(), g = masks.u32(), b = masks.u32();
        if (f.bitCount == 16 && r == 0xF800 && g == 0x07E0 && b == 0x001F)
            f.rgb565 = true;
        else if (!(f.bitCount == 16 && r == 0x7C00 && g == 0x03E0 && b == 0x001F) &&
                 !(f.bitCount == 32 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF))
            return badFormat("colour masks other than 5-5-5, 5-6-5 or 8-8-8");
    } else if (f.compression != BI_RGB) {
        return badFormat("a compressed DIB");
    }

    if (f.bitCount <= 8) {
        const std::uint32_t full = 1u << f.bitCount;
        const std::uint32_t count = used == 0 ? full : used;
        if (count > full || headerSize + std::uint64_t(count) * colourEntryBytes > size)
            return badFormat("the colour table runs past the block");
        f.palette.assign(full, 0);
        bytes::LeReader table(p + headerSize);
        for (std::uint32_t i = 0; i < count; ++i)
            f.palette[i] = table.u32() & 0xFFFFFF;
    }
    return f;
}

void expandPaletted(const DibFormat& f, const std::uint8_t* bits, std::uint8_t* bgr) {
    const int rows = f.rows();
    const int perByte = 8 / f.bitCount;
    const unsigned mask = (1u << f.bitCount) - 1;
    for (int y = 0; y < rows; ++y) {
        const int srcRow = f.topDown() ? y : rows - 1 - y;
        const std::uint8_t* src = bits + std::size_t(srcRow) * f.stride;
        std::uint8_t* out = bgr + std::size_t(y) * f.width * 3;
        for (int x = 0; x < f.width; ++x) {
            // The leftmost pixel sits in the most significant bits of its byte.
            const int shift = (perByte - 1 - x % perByte) * f.bitCount;
            const std::uint32_t c = f.palette[(src[x / perByte] >> shift) & mask];
            out[3 * x] = std::uint8_t(c);
            out[3 * x + 1] = std::uint8_t(c >> 8);
            out[3 * x + 2] = std::uint8_t(c >> 16);
        }
    }
}

} // namespace avi
