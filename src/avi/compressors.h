#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace avi {

// One entry of the compressor list: how PICREEL drives a libavcodec encoder and what it
// tells the user about it.
struct Compressor {
    std::uint32_t fccHandler; // carried by the options record and written to the file
    const char* name;
    const char* encoder; // libavcodec encoder name; nullptr for uncompressed frames
    int pixelFormat;     // AVPixelFormat the frames are converted to
    bool lossless;
    bool intraOnly;            // every frame stands alone, so a repeated frame can reuse bytes
    int widthStep, heightStep; // the frame size must be a multiple of these
    std::uint16_t bitCount;    // biBitCount written in the stream format
    bool takesQuality, takesKeyFrames, takesDataRate;
    const char* players;
};

// The compressors this machine's libavcodec offers, "Full Frames (Uncompressed)" first.
const std::vector<const Compressor*>& availableCompressors();
// The compressor an options record names (0 and "DIB " name uncompressed frames), or
// nullptr when this machine has none of that code.
const Compressor* findCompressor(std::uint32_t fccHandler);
// Why the compressor cannot take pictures of this size, "" when it can.
std::string sizeProblem(const Compressor& c, int width, int height);

} // namespace avi
