#include "avi/dib_format.h"

#include <cstring>

namespace avi {

namespace {

std::uint32_t u32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Larger than any picture the program can load, small enough that no size overflows.
constexpr std::int64_t maxSide = 1 << 15;

} // namespace

std::optional<DibFormat> readDibFormat(const void* info, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(info);
    if (p == nullptr || size < 40)
        return std::nullopt;
    const std::uint32_t headerSize = u32(p);
    if (headerSize < 40 || headerSize > size)
        return std::nullopt;
    DibFormat f;
    f.width = std::int32_t(u32(p + 4));
    f.height = std::int32_t(u32(p + 8));
    std::uint16_t planes;
    std::memcpy(&planes, p + 12, 2);
    std::memcpy(&f.bitCount, p + 14, 2);
    f.compression = u32(p + 16);
    const std::uint32_t used = u32(p + 32);
    if (planes != 1 || f.width <= 0 || f.width > maxSide || f.height == 0 || f.height < -maxSide ||
        f.height > maxSide)
        return std::nullopt;
    switch (f.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return std::nullopt;
    }
    f.stride = std::uint32_t((std::int64_t(f.width) * f.bitCount + 31) / 32 * 4);
    // A frame is one chunk, and chunks stay below 2 GiB.
    const std::uint64_t image = std::uint64_t(f.stride) * std::uint64_t(f.rows());
    if (image >= 0x7FFFFFFFu)
        return std::nullopt;
    f.imageSize = std::uint32_t(image);

    if (f.compression == 3) {
        if (f.bitCount != 16 && f.bitCount != 32)
            return std::nullopt;
        // The masks follow a 40-byte header; larger headers carry them inside.
        if (size < 52)
            return std::nullopt;
        const std::uint32_t r = u32(p + 40), g = u32(p + 44), b = u32(p + 48);
        if (f.bitCount == 16 && r == 0xF800 && g == 0x07E0 && b == 0x001F)
            f.rgb565 = true;
        else if (!(f.bitCount == 16 && r == 0x7C00 && g == 0x03E0 && b == 0x001F) &&
                 !(f.bitCount == 32 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF))
            return std::nullopt;
    } else if (f.compression != 0) {
        return std::nullopt;
    }

    if (f.bitCount <= 8) {
        const std::uint32_t full = 1u << f.bitCount;
        const std::uint32_t count = used == 0 ? full : used;
        if (count > full || headerSize + std::uint64_t(count) * 4 > size)
            return std::nullopt;
        f.palette.assign(full, 0);
        for (std::uint32_t i = 0; i < count; ++i)
            f.palette[i] = u32(p + headerSize + 4 * i) & 0xFFFFFF;
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
