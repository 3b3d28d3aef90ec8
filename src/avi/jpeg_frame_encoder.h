#pragma once

#include "avi/avi_status.h"
#include "avi/dib_format.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace avi {

// Turns 24- and 32-bit DIB frames into MJPEG frames with libjpeg-turbo, reading the DIB's
// rows in place: each frame a baseline JFIF picture, full-range YCbCr with 4:2:0 chroma,
// carrying its own standard Huffman tables, since MJPEG players expect every frame to
// stand alone.
class JpegFrameEncoder {
public:
    // Whether frames of this format go to libjpeg as they are.
    static bool takes(const DibFormat& source);

    JpegFrameEncoder();
    JpegFrameEncoder(const JpegFrameEncoder&) = delete;
    JpegFrameEncoder& operator=(const JpegFrameEncoder&) = delete;
    ~JpegFrameEncoder();

    // quality: libjpeg's scale, 1..100.
    Status open(const DibFormat& source, int quality);
    Status encode(const std::uint8_t* bits, std::vector<std::uint8_t>& packet);

    struct Codec; // libjpeg's state, known to the encoder's own file only

private:
    std::unique_ptr<Codec> codec_;
    DibFormat source_;
    bool open_ = false;
};

} // namespace avi
