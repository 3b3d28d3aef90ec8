#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace avi {

// One entry of the compressor list: how PICREEL drives a libavcodec encoder and what it
// tells the user about it.
struct Compressor {
    std::uint32_t fccHandler = 0; // carried by the options record and written to the file
    const char* name = "";
    const char* encoder = nullptr; // libavcodec encoder name; nullptr for uncompressed frames
    int pixelFormat = -1;          // AVPixelFormat the frames are converted to
    bool lossless = false;
    bool intraOnly = false; // every frame stands alone, so a repeated frame can reuse bytes
    int widthStep = 1;      // the frame size must be a multiple of these
    int heightStep = 1;
    std::uint16_t bitCount = 24; // biBitCount written in the stream format
    bool takesQuality = false;
    bool takesKeyFrames = false;
    bool takesDataRate = false;
    // Which players read the files, as tried on Debian 12 with FFmpeg 5.1 and GStreamer 1.22.
    const char* players = "";
};

// The compressors this machine's libavcodec offers, "Full Frames (Uncompressed)" first.
const std::vector<const Compressor*>& availableCompressors();
// The compressor an options record names (0 and "DIB " name uncompressed frames), or
// nullptr when this machine has none of that code.
const Compressor* findCompressor(std::uint32_t fccHandler);
// What the list tells the user about which players read the files made from pictures of
// bitCount bits (0: not known yet).
std::string playerNote(const Compressor& c, std::uint16_t bitCount);
// Why the compressor cannot take pictures of this size, "" when it can.
std::string sizeProblem(const Compressor& c, int width, int height);

} // namespace avi
