#pragma once

#include "avi/avi_status.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace avi {

// The picture format of a device-independent bitmap, read from its info block
// (BITMAPINFOHEADER, then masks or colour table).
struct DibFormat {
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: rows stored top-down
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;      // 0 BI_RGB, 3 BI_BITFIELDS
    std::uint32_t stride = 0;           // bytes per row, a multiple of 4
    std::uint32_t imageSize = 0;        // bytes of pixels in one frame
    bool rgb565 = false;                // 16-bit BI_BITFIELDS with 5-6-5 masks
    std::vector<std::uint32_t> palette; // 0x00RRGGBB per entry, 2^bitCount entries

    int rows() const { return height < 0 ? -height : height; }
    bool topDown() const { return height < 0; }
};

// Checks the info block and reads its format; Fault::BadFormat and why when it is not a
// DIB we can take (compressed DIBs, odd masks, a colour table running past the block,
// absurd sizes).
Result<DibFormat> readDibFormat(const void* info, std::size_t size);

// Expands the pixels of a 1-, 4- or 8-bit DIB through its colour table into top-down
// rows of B, G, R bytes (width * 3 bytes each, no padding).
void expandPaletted(const DibFormat& f, const std::uint8_t* bits, std::uint8_t* bgr);

} // namespace avi
